#include "tests/support/FakeWebBrowser.h"

#include <exdispid.h>
#include <mshtmhst.h>
#include <olectl.h>

#include <algorithm>

#include "tests/support/FakeBrowserFactory.h"

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

const wchar_t kWindowClass[] = L"OrvaneFakeBrowserWindow";

void RegisterWindowClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::RegisterClassW(&wc);
    done = true;
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
    DestroyWindowIfAny();
    for (auto& sink : m_sinks)
        sink.second->Release();
    if (m_site != nullptr)
        m_site->Release();
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

STDMETHODIMP FakeWebBrowser::Invoke(DISPID dispid, REFIID, LCID, WORD flags,
                                    DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                    UINT*)
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

// IOleObject

STDMETHODIMP FakeWebBrowser::SetClientSite(IOleClientSite* site)
{
    if (site != nullptr)
        site->AddRef();
    if (m_site != nullptr)
        m_site->Release();
    m_site = site;
    if (site != nullptr && !m_loadCalled && !m_initNewCalled)
        m_siteBeforeState = true;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::GetClientSite(IOleClientSite** site)
{
    *site = m_site;
    if (m_site != nullptr)
        m_site->AddRef();
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::Close(DWORD)
{
    InPlaceDeactivate();
    m_closed = true;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                    LPCRECT rect)
{
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW &&
        verb != OLEIVERB_UIACTIVATE)
        return E_NOTIMPL;
    if (m_options.refuseInPlace)
        return E_FAIL;
    if (m_hWnd != nullptr)
        return S_OK;
    if (site == nullptr)
        site = m_site;
    if (site == nullptr)
        return E_UNEXPECTED;
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
        return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK)
    {
        inPlace->Release();
        return E_FAIL;
    }
    inPlace->OnInPlaceActivate();
    HWND host = nullptr;
    inPlace->GetWindow(&host);
    if (parent == nullptr)
        parent = host;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof(info);
    if (SUCCEEDED(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info)))
    {
        m_gotFrame = frame != nullptr;
        m_contextPos = pos;
        if (frame != nullptr)
            frame->Release();
        if (doc != nullptr)
            doc->Release();
    }
    inPlace->Release();
    if (rect != nullptr)
        pos = *rect;
    RegisterWindowClass();
    m_hWnd = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                               pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                               parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    return m_hWnd != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP FakeWebBrowser::GetUserClassID(CLSID* clsid)
{
    *clsid = CLSID_WebBrowser;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT || size == nullptr)
        return E_INVALIDARG;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::GetExtent(DWORD, SIZEL* size)
{
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::Advise(IAdviseSink*, DWORD* cookie)
{
    *cookie = 0;
    return E_NOTIMPL;
}

STDMETHODIMP FakeWebBrowser::GetMiscStatus(DWORD, DWORD* status)
{
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

// IOleInPlaceObject

STDMETHODIMP FakeWebBrowser::GetWindow(HWND* phwnd)
{
    *phwnd = m_hWnd;
    return m_hWnd != nullptr ? S_OK : E_FAIL;
}

void FakeWebBrowser::DestroyWindowIfAny()
{
    if (m_hWnd != nullptr)
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

STDMETHODIMP FakeWebBrowser::InPlaceDeactivate()
{
    if (m_hWnd == nullptr)
        return S_OK;
    DestroyWindowIfAny();
    IOleInPlaceSite* inPlace = nullptr;
    if (m_site != nullptr &&
        SUCCEEDED(m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
    {
        inPlace->OnInPlaceDeactivate();
        inPlace->Release();
    }
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::SetObjectRects(LPCRECT pos, LPCRECT)
{
    if (pos == nullptr)
        return E_INVALIDARG;
    if (m_hWnd != nullptr)
        ::MoveWindow(m_hWnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
                     TRUE);
    return S_OK;
}

// IPersistStreamInit

STDMETHODIMP FakeWebBrowser::GetClassID(CLSID* clsid)
{
    *clsid = CLSID_WebBrowser;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::Load(LPSTREAM stream)
{
    m_loadCalled = true;
    if (m_options.failLoad)
        return E_FAIL;
    m_loadedState.clear();
    BYTE buffer[256];
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0)
        m_loadedState.insert(m_loadedState.end(), buffer, buffer + read);
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::InitNew()
{
    m_initNewCalled = true;
    return S_OK;
}

// IConnectionPointContainer

STDMETHODIMP FakeWebBrowser::FindConnectionPoint(REFIID riid, IConnectionPoint** cp)
{
    *cp = nullptr;
    if (riid != DIID_DWebBrowserEvents2)
        return CONNECT_E_NOCONNECTION;
    *cp = &m_point;
    m_point.AddRef();
    return S_OK;
}

// IProvideClassInfo2

STDMETHODIMP FakeWebBrowser::GetGUID(DWORD kind, GUID* guid)
{
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || guid == nullptr)
        return E_INVALIDARG;
    *guid = DIID_DWebBrowserEvents2;
    return S_OK;
}

// Connection point

STDMETHODIMP FakeWebBrowser::EventPoint::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint)
    {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP FakeWebBrowser::EventPoint::GetConnectionInterface(IID* iid)
{
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::EventPoint::GetConnectionPointContainer(
    IConnectionPointContainer** cpc)
{
    *cpc = m_owner;
    m_owner->AddRef();
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::EventPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    *cookie = 0;
    if (sink == nullptr)
        return E_POINTER;
    IDispatch* dispatch = nullptr;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2,
                                    reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_owner->m_nextCookie++;
    m_owner->m_sinks.emplace_back(*cookie, dispatch);
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::EventPoint::Unadvise(DWORD cookie)
{
    auto& sinks = m_owner->m_sinks;
    auto it = std::find_if(sinks.begin(), sinks.end(),
                           [cookie](const auto& s) { return s.first == cookie; });
    if (it == sinks.end())
        return CONNECT_E_NOCONNECTION;
    IDispatch* sink = it->second;
    sinks.erase(it);
    sink->Release();
    return S_OK;
}

// Events

void FakeWebBrowser::Fire(DISPID dispid, std::vector<VARIANT> args)
{
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr,
                      static_cast<UINT>(args.size()), 0};
    AddRef();
    auto sinks = m_sinks;
    for (auto& s : sinks)
        s.second->AddRef();
    for (auto& s : sinks)
    {
        s.second->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                         nullptr, nullptr);
        s.second->Release();
    }
    Release();
}

void FakeWebBrowser::FireNavigateComplete2(const std::wstring& url)
{
    VARIANT urlValue;
    ::VariantInit(&urlValue);
    urlValue.vt = VT_BSTR;
    urlValue.bstrVal = ::SysAllocString(url.c_str());
    VARIANT disp;
    disp.vt = VT_DISPATCH;
    disp.pdispVal = static_cast<IWebBrowser2*>(this);
    VARIANT urlRef;
    urlRef.vt = VT_VARIANT | VT_BYREF;
    urlRef.pvarVal = &urlValue;
    Fire(DISPID_NAVIGATECOMPLETE2, {disp, urlRef});
    ::VariantClear(&urlValue);
}

// Questions to the host

bool FakeWebBrowser::AmbientUserMode(VARIANT_BOOL* value) const
{
    if (m_site == nullptr)
        return false;
    IDispatch* ambient = nullptr;
    if (FAILED(m_site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient))))
        return false;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    HRESULT hr = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    ambient->Release();
    bool ok = SUCCEEDED(hr) && result.vt == VT_BOOL;
    if (ok)
        *value = result.boolVal;
    ::VariantClear(&result);
    return ok;
}

bool FakeWebBrowser::HostInfoFlags(DWORD* flags) const
{
    if (m_site == nullptr)
        return false;
    IDocHostUIHandler* handler = nullptr;
    if (FAILED(m_site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))))
        return false;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    HRESULT hr = handler->GetHostInfo(&info);
    handler->Release();
    if (info.pchHostCss != nullptr)
        ::CoTaskMemFree(info.pchHostCss);
    if (info.pchHostNS != nullptr)
        ::CoTaskMemFree(info.pchHostNS);
    if (FAILED(hr))
        return false;
    *flags = info.dwFlags;
    return true;
}

HRESULT FakeWebBrowser::AskContextMenu() const
{
    if (m_site == nullptr)
        return E_UNEXPECTED;
    IDocHostUIHandler* handler = nullptr;
    if (FAILED(m_site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))))
        return E_NOINTERFACE;
    POINT pt{10, 10};
    HRESULT hr = handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr);
    handler->Release();
    return hr;
}

// Registration

FakeBrowserRegistration::FakeBrowserRegistration(const FakeBrowserOptions& options)
{
    m_factory = new FakeBrowserFactory(options);
    if (FAILED(::CoRegisterClassObject(CLSID_WebBrowser, m_factory, CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &m_cookie)))
        m_cookie = 0;
}

FakeBrowserRegistration::~FakeBrowserRegistration()
{
    if (m_cookie != 0)
        ::CoRevokeClassObject(m_cookie);
    m_factory->Release();
}

int FakeBrowserRegistration::Requests() const
{
    return m_factory->Requests();
}
