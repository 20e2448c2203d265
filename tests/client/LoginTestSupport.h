// Helpers of the login window tests: their fixtures, a login window that records what stood at the
// start of its OnInitDialog, a script of steps run from a thread timer inside a modal loop, and the
// pixels of a button as it draws itself, compared with the images of the resources.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <chrono>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "afx/OleControlContainer.h"
#include "afx/ThreadState.h"
#include "afx/WinApp.h"
#include "client/TalvStandardDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/support/FakeWebBrowser.h"

namespace logintest {

// The login window of the program with a look at the state before its own initialisation.
class ProbeLoginDlg : public CTalvTranslucentDlg
{
public:
    ProbeLoginDlg() : CTalvTranslucentDlg(158, L"PNG", nullptr, nullptr) {}

    CTalvStandardDlg* Panel() const { return static_cast<CTalvStandardDlg*>(m_pStandardDlg); }

    BOOL OnInitDialog() override
    {
        initCalls++;
        panelAtInit = m_pStandardDlg != nullptr;
        if (panelAtInit)
        {
            HWND hPanel = m_pStandardDlg->m_hWnd;
            panelWindowAtInit = ::IsWindow(hPanel) != FALSE;
            panelVisibleAtInit = ::IsWindowVisible(hPanel) != FALSE;
        }
        if (FakeWebBrowser* fake = FakeWebBrowser::Newest())
            callsAtInit = fake->Calls();
        loginVisibleAtInit = ::IsWindowVisible(m_hWnd) != FALSE;
        return CTalvTranslucentDlg::OnInitDialog();
    }

    int initCalls = 0;
    bool panelAtInit = false;
    bool panelWindowAtInit = false;
    bool panelVisibleAtInit = false;
    bool loginVisibleAtInit = true;
    std::vector<FakeInvokeCall> callsAtInit;
};

// Steps run one after the other from a thread timer (so inside whatever modal loop is running).
// A step returns true when it is done. When the script runs longer than its limit, it records a
// failure and closes the window it was given.
class TimerScript
{
public:
    using Step = std::function<bool()>;

    explicit TimerScript(std::vector<Step> steps, HWND* phWndToClose = nullptr,
                         int nLimitMs = 20000)
        : m_steps(std::move(steps)),
          m_phWnd(phWndToClose),
          m_nLimitMs(nLimitMs)
    {
        s_current = this;
        m_start = std::chrono::steady_clock::now();
        m_timer = ::SetTimer(nullptr, 0, 25, &TimerScript::Tick);
    }
    ~TimerScript()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    TimerScript(const TimerScript&) = delete;
    TimerScript& operator=(const TimerScript&) = delete;

    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }
    size_t StepsDone() const { return m_next; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TimerScript* self = s_current;
        if (!self || self->m_busy || self->Finished())
            return;
        self->m_busy = true;
        auto elapsed = std::chrono::steady_clock::now() - self->m_start;
        if (elapsed > std::chrono::milliseconds(self->m_nLimitMs))
        {
            self->m_timedOut = true;
            self->m_next = self->m_steps.size();
            if (self->m_phWnd && ::IsWindow(*self->m_phWnd))
                ::PostMessageW(*self->m_phWnd, WM_CLOSE, 0, 0);
        }
        else if (self->m_steps[self->m_next]())
        {
            ++self->m_next;
        }
        self->m_busy = false;
    }

    static inline TimerScript* s_current = nullptr;
    std::vector<Step> m_steps;
    HWND* m_phWnd;
    int m_nLimitMs;
    size_t m_next = 0;
    bool m_busy = false;
    bool m_timedOut = false;
    UINT_PTR m_timer = 0;
    std::chrono::steady_clock::time_point m_start;
};

// Removes a quit request that closing a main window left behind, so the next test starts clean.
inline void ForgetQuit()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
    AfxResetQuitState();
}

// The login window tests: GDI+ and the control container as the program has them, the cursor
// parked in the screen's corner, no main window or quit request left behind.
class LoginWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
        AfxEnableControlContainer();
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_token); }
    void SetUp() override
    {
        ASSERT_NE(AfxGetApp(), nullptr);
        ::SetCursorPos(5, 5);
    }
    void TearDown() override
    {
        if (AfxGetApp())
            AfxGetApp()->m_pMainWnd = nullptr;
        ForgetQuit();
    }

    // Runs the login window as the main window, as the application does.
    static INT_PTR RunAsMainWindow(CTalvTranslucentDlg& dlg)
    {
        AfxGetApp()->m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        if (AfxGetApp()->m_pMainWnd == &dlg)
            AfxGetApp()->m_pMainWnd = nullptr;
        return result;
    }

    static inline ULONG_PTR s_token = 0;
};

// The same with the fake browser registered for every test.
class FakeBrowserLoginTest : public LoginWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_browser.Registered());
        LoginWindowTest::SetUp();
    }

    FakeBrowserRegistration m_browser;
};

// Dispatches the messages waiting in this thread's queue.
inline void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            ::PostQuitMessage(int(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The pop-up that hWndOwner owns and that holds the panel's close button (control 1004).
struct OwnedPanelSearch
{
    HWND owner;
    HWND found;
};

inline BOOL CALLBACK FindOwnedPanel(HWND hWnd, LPARAM lParam)
{
    OwnedPanelSearch* s = reinterpret_cast<OwnedPanelSearch*>(lParam);
    if (::GetWindow(hWnd, GW_OWNER) == s->owner && ::GetDlgItem(hWnd, 1004))
        s->found = hWnd;
    return TRUE;
}

inline HWND OwnedPanel(HWND hWndOwner)
{
    OwnedPanelSearch search = {hWndOwner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedPanel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible window of this thread with that title (other test programs may share the display).
struct TitleSearch
{
    const wchar_t* title;
    HWND found;
};

inline BOOL CALLBACK FindTitled(HWND hWnd, LPARAM lParam)
{
    TitleSearch* s = reinterpret_cast<TitleSearch*>(lParam);
    wchar_t text[64] = L"";
    ::GetWindowTextW(hWnd, text, 64);
    if (::IsWindowVisible(hWnd) && wcscmp(text, s->title) == 0)
        s->found = hWnd;
    return TRUE;
}

inline HWND ThreadWindowTitled(const wchar_t* title)
{
    TitleSearch search = {title, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline RECT RectInClient(HWND hWnd, HWND hClientOf)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(nullptr, hClientOf, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// 0x00RRGGBB pixels, row by row.
struct Pixels
{
    int cx = 0, cy = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const { return data[size_t(y) * size_t(cx) + size_t(x)]; }
};

// The button's client area as its own painting (WM_PRINTCLIENT) draws it.
inline Pixels RenderWindow(HWND hWnd)
{
    Pixels px;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    px.cx = rc.right;
    px.cy = rc.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = px.cx;
    bi.bmiHeader.biHeight = -px.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC hScreen = ::GetDC(nullptr);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hbm = ::CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, hScreen);
    HGDIOBJ old = ::SelectObject(hDC, hbm);
    // A colour nothing draws, so unpainted pixels show.
    HBRUSH hMagenta = ::CreateSolidBrush(RGB(255, 0, 255));
    ::FillRect(hDC, &rc, hMagenta);
    ::DeleteObject(hMagenta);
    ::SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hDC), PRF_CLIENT);
    ::GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    px.data.assign(p, p + size_t(px.cx) * size_t(px.cy));
    for (uint32_t& v : px.data)
        v &= 0xFFFFFF;
    ::SelectObject(hDC, old);
    ::DeleteObject(hbm);
    ::DeleteDC(hDC);
    return px;
}

// An image of the resources as straight RGBA, read without the button class: bitmaps from the raw
// DIB of the resource, PNGs through GDI+'s pixel reads.
struct RefImage
{
    int cx = 0, cy = 0;
    std::vector<uint32_t> argb;
    uint32_t At(int x, int y) const { return argb[size_t(y) * size_t(cx) + size_t(x)]; }
};

inline RefImage LoadBitmapReference(UINT nID)
{
    RefImage img;
    HINSTANCE hInst = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(nID), MAKEINTRESOURCEW(2));
    if (!hRes)
        return img;
    const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(hInst, hRes)));
    BITMAPINFOHEADER bih;
    memcpy(&bih, p, sizeof(bih));
    if (bih.biBitCount != 24 || bih.biCompression != BI_RGB)
        return img;
    img.cx = bih.biWidth;
    img.cy = bih.biHeight > 0 ? bih.biHeight : -bih.biHeight;
    const BYTE* bits = p + bih.biSize;
    const int stride = (img.cx * 3 + 3) & ~3;
    img.argb.resize(size_t(img.cx) * size_t(img.cy));
    for (int y = 0; y < img.cy; ++y)
    {
        const int row = bih.biHeight > 0 ? img.cy - 1 - y : y;
        for (int x = 0; x < img.cx; ++x)
        {
            const BYTE* q = bits + size_t(row) * size_t(stride) + size_t(x) * 3;
            img.argb[size_t(y) * size_t(img.cx) + size_t(x)] =
                0xFF000000u | (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
        }
    }
    return img;
}

inline RefImage LoadPngReference(UINT nID)
{
    RefImage img;
    HINSTANCE hInst = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(nID), L"PNG");
    if (!hRes)
        return img;
    DWORD size = ::SizeofResource(hInst, hRes);
    const void* p = ::LockResource(::LoadResource(hInst, hRes));
    HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(::GlobalLock(hMem), p, size);
    ::GlobalUnlock(hMem);
    IStream* stream = nullptr;
    ::CreateStreamOnHGlobal(hMem, TRUE, &stream);
    {
        Gdiplus::Bitmap bmp(stream);
        if (bmp.GetLastStatus() == Gdiplus::Ok)
        {
            img.cx = int(bmp.GetWidth());
            img.cy = int(bmp.GetHeight());
            img.argb.resize(size_t(img.cx) * size_t(img.cy));
            for (int y = 0; y < img.cy; ++y)
                for (int x = 0; x < img.cx; ++x)
                {
                    Gdiplus::Color c;
                    bmp.GetPixel(x, y, &c);
                    img.argb[size_t(y) * size_t(img.cx) + size_t(x)] = c.GetValue();
                }
        }
    }
    stream->Release();
    return img;
}

// Pixels of the image's area (centred in the button) that differ from the image laid over the
// background colour by more than a rounding step; -1 when the sizes do not allow a comparison.
inline int CountMismatches(const Pixels& shot, const RefImage& ref, uint32_t background)
{
    if (ref.cx == 0 || ref.cx > shot.cx || ref.cy > shot.cy)
        return -1;
    const int ox = (shot.cx - ref.cx) / 2, oy = (shot.cy - ref.cy) / 2;
    int bad = 0;
    for (int y = 0; y < ref.cy; ++y)
        for (int x = 0; x < ref.cx; ++x)
        {
            const uint32_t s = ref.At(x, y);
            const uint32_t a = s >> 24;
            const uint32_t got = shot.At(ox + x, oy + y);
            for (int shift = 0; shift <= 16; shift += 8)
            {
                const int src = int((s >> shift) & 0xFF), bg = int((background >> shift) & 0xFF);
                const int want = (src * int(a) + bg * int(255 - a) + 127) / 255;
                const int have = int((got >> shift) & 0xFF);
                if (want - have > 3 || have - want > 3)
                {
                    ++bad;
                    break;
                }
            }
        }
    return bad;
}

}  // namespace logintest
