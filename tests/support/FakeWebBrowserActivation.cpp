// The fake as an in-place control: its windows, activation and focus, and the keys it is
// offered (IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject).
#include "tests/support/FakeWebBrowser.h"

#include <algorithm>
#include <cstdio>

namespace {

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

}  // namespace

// IOleObject

STDMETHODIMP FakeWebBrowser::SetClientSite(IOleClientSite* site)
{
    m_site = site;
    if (site != nullptr && !m_loadCalled && !m_initNewCalled)
        m_siteBeforeState = true;
    return S_OK;
}

STDMETHODIMP FakeWebBrowser::GetClientSite(IOleClientSite** site)
{
    *site = CComPtr<IOleClientSite>(m_site).Detach();
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
    CComPtr<IOleInPlaceSite> inPlace;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
        return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    inPlace->OnInPlaceActivate();
    HWND host = nullptr;
    inPlace->GetWindow(&host);
    if (parent == nullptr)
        parent = host;
    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> doc;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof(info);
    if (SUCCEEDED(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info)))
    {
        m_gotFrame = frame != nullptr;
        m_contextPos = pos;
    }
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
        CComPtr<IOleInPlaceSite> inPlace = SiteAs<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (inPlace == nullptr)
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
    m_frame.Release();
    m_doc.Release();
    if (CComPtr<IOleInPlaceSite> inPlace = SiteAs<IOleInPlaceSite>(IID_IOleInPlaceSite))
        inPlace->OnUIDeactivate(FALSE);
    return S_OK;
}

void FakeWebBrowser::TellFocus(bool focus)
{
    if (CComPtr<IOleControlSite> control = SiteAs<IOleControlSite>(IID_IOleControlSite))
        control->OnFocus(focus ? TRUE : FALSE);
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
    if (CComPtr<IOleInPlaceSite> inPlace = SiteAs<IOleInPlaceSite>(IID_IOleInPlaceSite))
        inPlace->OnInPlaceDeactivate();
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
