// The start-up floor of the benchmarks that does the login window's work with the Windows API and
// GDI+ alone, not the class library: GDI+ started, the skin PNG decoded from the resources into a
// 32-bit premultiplied DIB section, one layered pop-up "OrvaneLayeredFloor" of the skin's size
// given its frame by UpdateLayeredWindow, an owned colour-keyed panel over it hosting the
// WebBrowser control navigated to the guest-login page, six owner-drawn buttons with the panel's
// images, and then the window shown.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>

#include "res/resource.h"
#include "tests/bench/EmbeddedBrowser.h"
#include "tests/bench/FloorProgram.h"
#include "afx/ScopedHandles.h"

namespace {

const wchar_t kTitle[] = L"OrvaneLayeredFloor";
const wchar_t kUrl[] = L"http://passport.orvane.example/guest/c/qelv/login.php";
const COLORREF kKeyColour = RGB(0, 255, 0);
const RECT kBrowserRect = {428, 297, 428 + 724, 297 + 369};

struct ButtonPlace
{
    int id;
    UINT normal, hot;
    int x, y, cx, cy;
};
const ButtonPlace kButtons[] = {
    {IDC_HOMEPAGE, IDB_HOMEPAGE, IDB_HOMEPAGE_HOT, 485, 210, 70, 32},
    {IDC_PAY, IDB_PAY, IDB_PAY_HOT, 657, 210, 70, 32},
    {IDC_SERVICE, IDB_SERVICE, IDB_SERVICE_HOT, 853, 210, 70, 32},
    {IDC_FORUM, IDB_FORUM, IDB_FORUM_HOT, 1033, 210, 70, 32},
    {IDC_CLOSE, IDB_CLOSE, IDB_CLOSE_HOT, 1140, 155, 35, 35},
    {IDC_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_HOT, 1105, 155, 35, 35},
};
const int kButtonCount = sizeof(kButtons) / sizeof(kButtons[0]);

class GdiplusSession
{
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok)
            m_token = 0;
    }
    ~GdiplusSession()
    {
        if (m_token)
            Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Started() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

struct Image
{
    CScopedBitmap hBitmap;
    SIZE size = {0, 0};
    bool bAlpha = false;
};

// A PNG resource decoded into a top-down 32-bit DIB section with premultiplied alpha.
Image DecodePng(HINSTANCE hInst, UINT id)
{
    Image img;
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(id), L"PNG");
    const DWORD cb = hRes ? ::SizeofResource(hInst, hRes) : 0;
    HGLOBAL hResData = cb ? ::LoadResource(hInst, hRes) : nullptr;
    const void* pRes = hResData ? ::LockResource(hResData) : nullptr;
    CScopedGlobal copy(pRes ? ::GlobalAlloc(GMEM_FIXED, cb) : nullptr);
    if (!copy)
        return img;
    std::memcpy(copy.Get(), pRes, cb);
    CComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, &stream)))
    {
        stream.Detach();
        return img;
    }
    copy.Detach();

    Gdiplus::Bitmap bitmap(stream);
    const int cx = static_cast<int>(bitmap.GetWidth()), cy = static_cast<int>(bitmap.GetHeight());
    if (bitmap.GetLastStatus() != Gdiplus::Ok || cx <= 0 || cy <= 0)
        return img;
    void* pBits = nullptr;
    CScopedBitmap dib = AfxCreateDibSection32(cx, cy, true, &pBits);
    Gdiplus::Rect rect(0, 0, cx, cy);
    Gdiplus::BitmapData data = {};
    if (!dib || bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
                    Gdiplus::Ok)
        return img;
    for (int y = 0; y < cy; ++y)
        std::memcpy(static_cast<BYTE*>(pBits) + size_t(y) * cx * 4,
                    static_cast<const BYTE*>(data.Scan0) + ptrdiff_t(y) * data.Stride,
                    size_t(cx) * 4);
    bitmap.UnlockBits(&data);
    img.hBitmap = std::move(dib);
    img.size = {cx, cy};
    img.bAlpha = true;
    return img;
}

// A button image: the PNG of that number if there is one, else the bitmap.
Image LoadButtonImage(HINSTANCE hInst, UINT id)
{
    if (::FindResourceW(hInst, MAKEINTRESOURCEW(id), L"PNG"))
        return DecodePng(hInst, id);
    Image img;
    img.hBitmap.Reset(
        static_cast<HBITMAP>(::LoadImageW(hInst, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                          LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS)));
    BITMAP bm = {};
    if (img.hBitmap && ::GetObjectW(img.hBitmap.Get(), sizeof(bm), &bm) == sizeof(bm))
        img.size = {bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
    return img;
}

struct Panel
{
    CScopedBrush keyBrush;
    Image normal[kButtonCount];
    Image hot[kButtonCount];
};
Panel* g_pPanel = nullptr;

// An owner-drawn button: the key colour, then its image centred on it.
void DrawButton(const DRAWITEMSTRUCT& dis)
{
    ::FillRect(dis.hDC, &dis.rcItem, g_pPanel->keyBrush);
    for (int i = 0; i < kButtonCount; ++i)
    {
        const Image& img = g_pPanel->normal[i];
        if (kButtons[i].id != int(dis.CtlID) || !img.hBitmap)
            continue;
        const CScopedMemoryDC imgDC(dis.hDC);
        if (!imgDC)
            return;
        const CScopedSelection selection(imgDC, img.hBitmap);
        const int x = (dis.rcItem.right - dis.rcItem.left - img.size.cx) / 2;
        const int y = (dis.rcItem.bottom - dis.rcItem.top - img.size.cy) / 2;
        if (img.bAlpha)
        {
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            ::GdiAlphaBlend(dis.hDC, x, y, img.size.cx, img.size.cy, imgDC, 0, 0, img.size.cx,
                            img.size.cy, blend);
        }
        else
        {
            ::BitBlt(dis.hDC, x, y, img.size.cx, img.size.cy, imgDC, 0, 0, SRCCOPY);
        }
    }
}

LRESULT CALLBACK PanelProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DRAWITEM && g_pPanel)
    {
        DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

void AddLayeredStyle(HWND hWnd)
{
    ::SetWindowLongW(hWnd, GWL_EXSTYLE, ::GetWindowLongW(hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
}

// The skin's frame handed to the layered window.
bool ShowFrame(HWND hWnd, const Image& skin, POINT pos)
{
    const CScopedClientDC screen(nullptr);
    const CScopedMemoryDC memDC(screen);
    if (!memDC)
        return false;
    const CScopedSelection selection(memDC, skin.hBitmap);
    SIZE size = skin.size;
    POINT src = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(hWnd, screen, &pos, &size, memDC, &src, 0, &blend, ULW_ALPHA) !=
           FALSE;
}

int Run(HINSTANCE hInst)
{
    GdiplusSession gdiplus;
    if (!gdiplus.Started())
        return 2;
    const Image skin = DecodePng(hInst, IDB_LOGIN_SKIN);
    if (!skin.hBitmap)
        return 3;

    WNDCLASSW wc = {};
    wc.lpfnWndProc = QuitOnDestroyProc;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"OrvaneLayeredFloorFrame";
    ::RegisterClassW(&wc);
    Panel panel;
    panel.keyBrush.Reset(::CreateSolidBrush(kKeyColour));
    wc.lpfnWndProc = PanelProc;
    wc.hbrBackground = panel.keyBrush;
    wc.lpszClassName = L"OrvaneLayeredFloorPanel";
    ::RegisterClassW(&wc);

    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const POINT pos = {work.left + ((work.right - work.left) - skin.size.cx) / 2,
                       work.top + ((work.bottom - work.top) - skin.size.cy) / 2};
    // Both windows become layered once made, as the program's do.
    WindowOwner frame(::CreateWindowExW(WS_EX_APPWINDOW, L"OrvaneLayeredFloorFrame", kTitle,
                                        WS_POPUP, pos.x, pos.y, skin.size.cx, skin.size.cy, nullptr,
                                        nullptr, hInst, nullptr));
    WindowOwner panelWnd(::CreateWindowExW(0, L"OrvaneLayeredFloorPanel", L"", WS_POPUP, pos.x,
                                           pos.y, skin.size.cx, skin.size.cy, frame.get(), nullptr,
                                           hInst, nullptr));
    if (!frame.get() || !panelWnd.get())
        return 4;
    AddLayeredStyle(panelWnd.get());
    if (!::SetLayeredWindowAttributes(panelWnd.get(), kKeyColour, 0, LWA_COLORKEY))
        return 4;

    // Without the control in place there is nothing to measure: the window is never shown.
    EmbeddedBrowser browser(panelWnd.get(), kBrowserRect, kUrl);
    if (!browser.Ready())
        return 5;
    g_pPanel = &panel;
    for (int i = 0; i < kButtonCount; ++i)
    {
        const ButtonPlace& b = kButtons[i];
        panel.normal[i] = LoadButtonImage(hInst, b.normal);
        panel.hot[i] = LoadButtonImage(hInst, b.hot);
        if (!panel.normal[i].hBitmap || !panel.hot[i].hBitmap ||
            !::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.x, b.y,
                               b.cx, b.cy, panelWnd.get(), reinterpret_cast<HMENU>(INT_PTR(b.id)),
                               hInst, nullptr))
            return 6;
    }
    ::ShowWindow(panelWnd.get(), SW_SHOW);
    AddLayeredStyle(frame.get());
    if (!ShowFrame(frame.get(), skin, pos))
        return 7;
    ::ShowWindow(frame.get(), SW_SHOW);
    // The frame's first layered update made its X window anew, over the panel: Wine without a
    // window manager restacks the panel above its owner when it passes through the topmost band.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(panelWnd.get(), HWND_TOPMOST, 0, 0, 0, 0, flags);
    ::SetWindowPos(panelWnd.get(), HWND_NOTOPMOST, 0, 0, 0, 0, flags);

    PumpUntilQuit();
    g_pPanel = nullptr;
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInst, HINSTANCE, LPWSTR, int)
{
    return RunWithOle(&Run, hInst);
}
