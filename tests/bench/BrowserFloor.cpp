// The start-up floor of the benchmarks: the least a Win32 program does to show one window hosting
// the WebBrowser control. It makes a hidden 1208 x 762 pop-up window titled "OrvaneFloor",
// embeds the control in place over it, starts the same navigation as the login panel, and then
// shows the window, as the login window is shown only after its panel and browser are set up.
// It uses the Windows API alone, not the class library.
#include <windows.h>
#include <ole2.h>
#include <exdisp.h>

namespace {

const wchar_t kTitle[] = L"OrvaneFloor";
const wchar_t kUrl[] = L"http://passport.orvane.example/guest/c/qelv/login.php";
const int kWidth = 1208;
const int kHeight = 762;

// The control's site and frame in one static object: it lives as long as the program.
class Site : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame
{
public:
    HWND hWnd = nullptr;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *ppv = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** pp) override { *pp = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override { *phwnd = hWnd; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override
    {
        *ppFrame = this;
        *ppDoc = nullptr;
        ::GetClientRect(hWnd, pos);
        *clip = *pos;
        info->fMDIApp = FALSE;
        info->hwndFrame = hWnd;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

Site g_site;

LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInst, HINSTANCE, LPWSTR, int)
{
    if (FAILED(::OleInitialize(nullptr)))
        return 1;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"OrvaneFloorWindow";
    ::RegisterClassW(&wc);

    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + ((work.right - work.left) - kWidth) / 2;
    const int y = work.top + ((work.bottom - work.top) - kHeight) / 2;
    HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, kTitle, WS_POPUP, x, y, kWidth, kHeight,
                                  nullptr, nullptr, hInst, nullptr);
    if (!hWnd)
        return 2;
    g_site.hWnd = hWnd;

    // Without the control in place there is nothing to measure: the window is never shown.
    IOleObject* pObject = nullptr;
    IWebBrowser2* pBrowser = nullptr;
    bool inPlace = false;
    if (SUCCEEDED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IOleObject, reinterpret_cast<void**>(&pObject)))) {
        pObject->SetClientSite(&g_site);
        IPersistStreamInit* pInit = nullptr;
        if (SUCCEEDED(pObject->QueryInterface(IID_IPersistStreamInit,
                                              reinterpret_cast<void**>(&pInit)))) {
            pInit->InitNew();
            pInit->Release();
        }
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        inPlace = SUCCEEDED(pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &g_site, 0, hWnd, &rc))
                  && ::GetWindow(hWnd, GW_CHILD) != nullptr;
        if (SUCCEEDED(pObject->QueryInterface(IID_IWebBrowser2,
                                              reinterpret_cast<void**>(&pBrowser)))) {
            BSTR url = ::SysAllocString(kUrl);
            pBrowser->Navigate(url, nullptr, nullptr, nullptr, nullptr);
            ::SysFreeString(url);
            pBrowser->put_Silent(VARIANT_TRUE);
        }
    }

    if (!inPlace || !pBrowser)
        return 3;
    ::ShowWindow(hWnd, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }

    if (pBrowser)
        pBrowser->Release();
    if (pObject) {
        pObject->Close(OLECLOSE_NOSAVE);
        pObject->SetClientSite(nullptr);
        pObject->Release();
    }
    ::OleUninitialize();
    return 0;
}
