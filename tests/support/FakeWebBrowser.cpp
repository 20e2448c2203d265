// The fake's object, its calls recorded and its failures planted: IUnknown, IDispatch and the
// members of IWebBrowser2 it implements.
#include "tests/support/FakeWebBrowser.h"

#include <algorithm>

namespace {

std::vector<FakeWebBrowser*>& Registry()
{
    static std::vector<FakeWebBrowser*> live;
    return live;
}

// Dispatch identifiers of IWebBrowser2 members the fake implements.
const DISPID kNavigate = 104;
const DISPID kLocationURL = 211;
const DISPID kSilent = 551;

int g_created = 0;
std::wstring g_deferredDescription;

HRESULT __stdcall DeferredFillIn(EXCEPINFO* info)
{
    info->bstrDescription = ::SysAllocString(g_deferredDescription.c_str());
    return S_OK;
}

}  // namespace

FakeWebBrowser::FakeWebBrowser(const FakeBrowserOptions& options) : m_options(options)
{
    ::VariantInit(&m_locationResult);
    Registry().push_back(this);
    m_serial = g_created + 1;
    ++g_created;
}

FakeWebBrowser::~FakeWebBrowser()
{
    m_frame.Release();
    m_doc.Release();
    DestroyWindowIfAny();
    for (auto& sink : m_sinks)
        sink.second->Release();
    m_site.Release();
    ::VariantClear(&m_locationResult);
    auto& live = Registry();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

const std::vector<FakeWebBrowser*>& FakeWebBrowser::Live()
{
    return Registry();
}

FakeWebBrowser* FakeWebBrowser::Newest()
{
    return Registry().empty() ? nullptr : Registry().back();
}

int FakeWebBrowser::CreatedCount()
{
    return g_created;
}

int FakeWebBrowser::SinkCount() const
{
    return static_cast<int>(m_sinks.size());
}

void FakeWebBrowser::SetLocationResult(const VARIANT& value)
{
    ::VariantClear(&m_locationResult);
    ::VariantCopy(&m_locationResult, const_cast<VARIANT*>(&value));
}

void FakeWebBrowser::FailNext(DISPID dispid, HRESULT hr)
{
    m_failures.push_back({dispid, hr, false, 0, S_OK, L"", false});
}

void FakeWebBrowser::ThrowNext(DISPID dispid, WORD code, SCODE scode,
                               const std::wstring& description, bool deferred)
{
    m_failures.push_back({dispid, DISP_E_EXCEPTION, true, code, scode, description, deferred});
}

HRESULT FakeWebBrowser::TakeFailure(DISPID dispid, EXCEPINFO* excepInfo)
{
    auto it = std::find_if(m_failures.begin(), m_failures.end(),
                           [dispid](const Failure& f) { return f.dispid == dispid; });
    if (it == m_failures.end())
        return S_OK;
    Failure f = *it;
    m_failures.erase(it);
    if (f.exception && excepInfo != nullptr)
    {
        *excepInfo = EXCEPINFO{};
        excepInfo->wCode = f.code;
        excepInfo->scode = f.scode;
        excepInfo->bstrSource = ::SysAllocString(L"FakeWebBrowser");
        m_exceptionBstrs.push_back(excepInfo->bstrSource);
        if (f.deferred)
        {
            g_deferredDescription = f.description;
            excepInfo->pfnDeferredFillIn = &DeferredFillIn;
        }
        else
        {
            excepInfo->bstrDescription = ::SysAllocString(f.description.c_str());
            m_exceptionBstrs.push_back(excepInfo->bstrDescription);
        }
    }
    return f.hr;
}

void FakeWebBrowser::Record(DISPID dispid, WORD flags, DISPPARAMS* params, VARIANT* result)
{
    FakeInvokeCall call;
    call.dispid = dispid;
    call.flags = flags;
    call.wantedResult = result != nullptr;
    if (params != nullptr)
    {
        for (UINT i = params->cArgs; i-- > 0;)
        {
            const VARIANT& v = params->rgvarg[i];
            FakeInvokeArg arg;
            arg.vt = v.vt;
            if (v.vt & VT_BYREF)
                arg.pointer = v.byref;
            else if (v.vt == VT_BSTR)
            {
                arg.pointer = v.bstrVal;
                arg.nullBstr = v.bstrVal == nullptr;
                if (v.bstrVal != nullptr)
                    arg.text.assign(v.bstrVal, ::SysStringLen(v.bstrVal));
            }
            else if (v.vt == VT_BOOL)
                arg.number = v.boolVal;
            else if (v.vt == VT_I2)
                arg.number = v.iVal;
            else if (v.vt == VT_I4)
                arg.number = v.lVal;
            else if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN)
                arg.pointer = v.punkVal;
            call.args.push_back(arg);
        }
        for (UINT i = 0; i < params->cNamedArgs; ++i)
            call.namedArgs.push_back(params->rgdispidNamedArgs[i]);
    }
    m_calls.push_back(call);
}

// IUnknown

STDMETHODIMP FakeWebBrowser::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWebBrowser2 ||
        riid == IID_IWebBrowserApp || riid == IID_IWebBrowser)
        *ppv = static_cast<IWebBrowser2*>(this);
    else if (riid == IID_IOleObject)
        *ppv = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
        *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (riid == IID_IOleInPlaceActiveObject)
        *ppv = static_cast<IOleInPlaceActiveObject*>(this);
    else if (riid == IID_IPersist || riid == IID_IPersistStreamInit)
        *ppv = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (m_options.provideClassInfo &&
             (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2))
        *ppv = static_cast<IProvideClassInfo2*>(this);
    if (*ppv == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeWebBrowser::AddRef()
{
    return ::InterlockedIncrement(&m_refs);
}

STDMETHODIMP_(ULONG) FakeWebBrowser::Release()
{
    LONG n = ::InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return n;
}

// IDispatch

STDMETHODIMP FakeWebBrowser::GetTypeInfoCount(UINT* pctinfo)
{
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeWebBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP FakeWebBrowser::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* excepInfo, UINT*)
{
    Record(dispid, flags, params, result);
    HRESULT hr = TakeFailure(dispid, excepInfo);
    if (FAILED(hr))
        return hr;
    const UINT count = params != nullptr ? params->cArgs : 0;
    switch (dispid)
    {
    case kNavigate:
        if (count >= 1 && params->rgvarg[count - 1].vt == VT_BSTR)
        {
            BSTR url = params->rgvarg[count - 1].bstrVal;
            RecordNavigation(url != nullptr ? url : L"");
        }
        return S_OK;
    case kLocationURL:
        if (!(flags & DISPATCH_PROPERTYGET) || result == nullptr)
            return DISP_E_MEMBERNOTFOUND;
        if (m_locationResult.vt != VT_EMPTY)
            return ::VariantCopy(result, &m_locationResult);
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocString(m_location.c_str());
        m_handedOut.push_back(result->bstrVal);
        return S_OK;
    case kSilent:
        if (flags & DISPATCH_PROPERTYPUT)
        {
            if (count != 1 || params->cNamedArgs != 1 ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
            if (params->rgvarg[0].vt != VT_BOOL)
                return DISP_E_TYPEMISMATCH;
            m_silent = params->rgvarg[0].boolVal != VARIANT_FALSE;
            return S_OK;
        }
        if ((flags & DISPATCH_PROPERTYGET) && result != nullptr)
        {
            result->vt = VT_BOOL;
            result->boolVal = m_silent ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// IWebBrowser2

void FakeWebBrowser::RecordNavigation(const std::wstring& url)
{
    m_navigations.push_back(url);
}

STDMETHODIMP FakeWebBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    RecordNavigation(url != nullptr ? url : L"");
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    if (url != nullptr && url->vt == (VT_VARIANT | VT_BYREF))
        url = url->pvarVal;
    if (url == nullptr || url->vt != VT_BSTR)
        return E_INVALIDARG;
    RecordNavigation(url->bstrVal != nullptr ? url->bstrVal : L"");
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::get_LocationURL(BSTR* url)
{
    *url = ::SysAllocString(m_location.c_str());
    m_handedOut.push_back(*url);
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::get_Silent(VARIANT_BOOL* value)
{
    *value = m_silent ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::put_Silent(VARIANT_BOOL value)
{
    m_silent = value != VARIANT_FALSE;
    return S_OK;
}
