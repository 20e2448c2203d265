// The fake's state, class information and events: IPersistStreamInit, the DWebBrowserEvents2
// connection point, events fired to its sinks, and the questions it asks its host.
#include "tests/support/FakeWebBrowser.h"

#include <exdispid.h>
#include <mshtmhst.h>
#include <olectl.h>

#include <algorithm>

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
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&dispatch))))
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
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                      0};
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
    CComPtr<IDispatch> ambient = SiteAs<IDispatch>(IID_IDispatch);
    if (ambient == nullptr)
        return false;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    HRESULT hr = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    bool ok = SUCCEEDED(hr) && result.vt == VT_BOOL;
    if (ok)
        *value = result.boolVal;
    ::VariantClear(&result);
    return ok;
}

bool FakeWebBrowser::HostInfoFlags(DWORD* flags) const
{
    CComPtr<IDocHostUIHandler> handler = SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler);
    if (handler == nullptr)
        return false;
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof(info);
    HRESULT hr = handler->GetHostInfo(&info);
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
    CComPtr<IDocHostUIHandler> handler = SiteAs<IDocHostUIHandler>(IID_IDocHostUIHandler);
    if (handler == nullptr)
        return E_NOINTERFACE;
    POINT pt{10, 10};
    HRESULT hr = handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr);
    return hr;
}
