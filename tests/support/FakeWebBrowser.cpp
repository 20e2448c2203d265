#include "tests/support/FakeWebBrowser.h"

#include <exdispid.h>
#include <mshtmhst.h>
#include <olectl.h>

#include <algorithm>
#include <cstdio>

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
const wchar_t kViewClass[] = L"OrvaneFakeBrowserView";

void RegisterWindowClass(const wchar_t* name, WNDPROC proc)
{
    WNDCLASSW wc{};
    if (::GetClassInfoW(::GetModuleHandleW(nullptr), name, &wc))
        return;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&wc);
}

FakeWebBrowser* BrowserOf(HWND hwnd)
{
    return reinterpret_cast<FakeWebBrowser*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

template <class T>
void ReleaseAndClear(T*& p)
{
    if (p != nullptr)
    {
        T* q = p;
        p = nullptr;
        q->Release();
    }
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
    ReleaseAndClear(m_frame);
    ReleaseAndClear(m_doc);
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
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE)
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
    RegisterWindowClass(kWindowClass, &FakeWebBrowser::OuterProc);
    RegisterWindowClass(kViewClass, &FakeWebBrowser::ViewProc);
    m_hWnd = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                               pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                               parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_hWnd == nullptr)
        return E_FAIL;
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_view = ::CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0,
                               pos.right - pos.left, pos.bottom - pos.top, m_hWnd, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    if (m_view != nullptr)
        ::SetWindowLongPtrW(m_view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (verb == OLEIVERB_UIACTIVATE)
        UIActivate();
    return S_OK;
}

void FakeWebBrowser::UIActivate()
{
    if (m_hWnd == nullptr || m_site == nullptr)
        return;
    if (!m_uiActive)
    {
        IOleInPlaceSite* inPlace = nullptr;
        if (FAILED(m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
            return;
        m_uiActive = true;
        inPlace->OnUIActivate();
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO info{};
        info.cb = sizeof(info);
        if (SUCCEEDED(inPlace->GetWindowContext(&m_frame, &m_doc, &pos, &clip, &info)))
        {
            // The real control names itself to its frame and document window.
            if (m_frame != nullptr)
                m_frame->SetActiveObject(this, L"WebBrowser");
            if (m_doc != nullptr)
                m_doc->SetActiveObject(this, L"WebBrowser");
        }
        inPlace->Release();
    }
    if (m_view != nullptr && ::GetFocus() != m_view)
        ::SetFocus(m_view);
}

STDMETHODIMP FakeWebBrowser::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_frame != nullptr)
        m_frame->SetActiveObject(nullptr, nullptr);
    if (m_doc != nullptr)
        m_doc->SetActiveObject(nullptr, nullptr);
    ReleaseAndClear(m_frame);
    ReleaseAndClear(m_doc);
    IOleInPlaceSite* inPlace = nullptr;
    if (m_site != nullptr &&
        SUCCEEDED(m_site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
    {
        inPlace->OnUIDeactivate(FALSE);
        inPlace->Release();
    }
    return S_OK;
}

void FakeWebBrowser::TellFocus(bool focus)
{
    IOleControlSite* control = nullptr;
    if (m_site != nullptr &&
        SUCCEEDED(m_site->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(&control))))
    {
        control->OnFocus(focus ? TRUE : FALSE);
        control->Release();
    }
    FakeKeyEvent event;
    event.kind = FakeKeyEvent::Focus;
    event.focus = focus;
    RecordKey(event);
}

LRESULT CALLBACK FakeWebBrowser::OuterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    FakeWebBrowser* self = BrowserOf(hwnd);
    if (self != nullptr && self->OnWindowMessage(message, wParam, lParam))
        return 0;
    if (self != nullptr && message == WM_SIZE && self->m_view != nullptr)
        ::MoveWindow(self->m_view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    // The control's own window passes the focus on to its view.
    if (self != nullptr && message == WM_SETFOCUS && self->m_view != nullptr)
        ::SetFocus(self->m_view);
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FakeWebBrowser::ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    FakeWebBrowser* self = BrowserOf(hwnd);
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
    {
        FakeKeyEvent event;
        event.kind = FakeKeyEvent::Received;
        event.message = message;
        event.key = wParam;
        event.hwnd = hwnd;
        event.ctrl = ::GetKeyState(VK_CONTROL) < 0;
        self->RecordKey(event);
    }
    switch (message)
    {
    case WM_LBUTTONDOWN:
        self->UIActivate();
        return 0;
    case WM_LBUTTONUP:
        // Kept alive across the click: its container may release it meanwhile.
        self->AddRef();
        self->OnViewClick(
            POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        self->Release();
        return 0;
    case WM_SETFOCUS:
        // Focus given back to the page (the dialog manager restoring it) activates the control.
        self->UIActivate();
        self->TellFocus(true);
        return 0;
    case WM_KILLFOCUS:
        self->TellFocus(false);
        return 0;
    default:
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void FakeWebBrowser::RecordKey(const FakeKeyEvent& event)
{
    m_keys.push_back(event);
}

std::string KeyTrace(const std::vector<FakeKeyEvent>& events, bool withFocus)
{
    std::string trace;
    for (const FakeKeyEvent& e : events)
    {
        if (e.kind == FakeKeyEvent::Focus && !withFocus)
            continue;
        if (!trace.empty())
            trace += ", ";
        if (e.kind == FakeKeyEvent::Focus)
        {
            trace += e.focus ? "F+" : "F-";
            continue;
        }
        const char* name = e.message == WM_KEYDOWN      ? "down"
                           : e.message == WM_KEYUP      ? "up"
                           : e.message == WM_CHAR       ? "char"
                           : e.message == WM_SYSKEYDOWN ? "sysdown"
                           : e.message == WM_SYSKEYUP   ? "sysup"
                                                        : "other";
        char token[32];
        std::snprintf(token, sizeof(token), "%c %s %02x%s%s",
                      e.kind == FakeKeyEvent::Accelerator ? 'A' : 'V', name,
                      static_cast<unsigned>(e.key), e.ctrl ? " ^" : "", e.consumed ? " *" : "");
        trace += token;
    }
    return trace;
}

STDMETHODIMP FakeWebBrowser::TranslateAccelerator(LPMSG msg)
{
    if (msg == nullptr)
        return E_INVALIDARG;
    FakeKeyEvent event;
    event.kind = FakeKeyEvent::Accelerator;
    event.message = msg->message;
    event.key = msg->wParam;
    event.hwnd = msg->hwnd;
    event.ctrl = ::GetKeyState(VK_CONTROL) < 0;
    const bool keyMessage = msg->message == WM_KEYDOWN || msg->message == WM_KEYUP ||
                            msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP;
    const auto& keys = m_options.consumedKeys;
    event.consumed = keyMessage && std::find(keys.begin(), keys.end(),
                                             static_cast<UINT>(msg->wParam)) != keys.end();
    RecordKey(event);
    return event.consumed ? S_OK : S_FALSE;
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
        {
            if (m_view != nullptr && ::IsWindow(m_view))
                ::SetWindowLongPtrW(m_view, GWLP_USERDATA, 0);
            ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
            ::DestroyWindow(m_hWnd);
        }
        m_hWnd = nullptr;
        m_view = nullptr;
    }
}

STDMETHODIMP FakeWebBrowser::InPlaceDeactivate()
{
    UIDeactivate();
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
