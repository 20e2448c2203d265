// A start-up floor of the benchmarks: the least a Win32 program does to show one window hosting
// the WebBrowser control. It makes a hidden 1208 x 762 pop-up window titled "OrvaneFloor",
// embeds the control in place over it, starts the same navigation as the login panel, and then
// shows the window, as the login window is shown only after its panel and browser are set up.
// It uses the Windows API alone, not the class library.
#include <windows.h>

#include "tests/bench/EmbeddedBrowser.h"
#include "tests/bench/FloorProgram.h"

namespace {

const wchar_t kTitle[] = L"OrvaneFloor";
const wchar_t kUrl[] = L"http://passport.orvane.example/guest/c/qelv/login.php";
const int kWidth = 1208;
const int kHeight = 762;

int Run(HINSTANCE hInst)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = QuitOnDestroyProc;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"OrvaneFloorWindow";
    ::RegisterClassW(&wc);

    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + ((work.right - work.left) - kWidth) / 2;
    const int y = work.top + ((work.bottom - work.top) - kHeight) / 2;
    WindowOwner window(::CreateWindowExW(0, wc.lpszClassName, kTitle, WS_POPUP, x, y, kWidth,
                                         kHeight, nullptr, nullptr, hInst, nullptr));
    const HWND hWnd = window.get();
    if (!hWnd)
        return 2;

    RECT rc;
    ::GetClientRect(hWnd, &rc);
    EmbeddedBrowser browser(hWnd, rc, kUrl);
    // Without the control in place there is nothing to measure: the window is never shown.
    if (!browser.Ready())
        return 3;
    ::ShowWindow(hWnd, SW_SHOW);
    PumpUntilQuit();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInst, HINSTANCE, LPWSTR, int)
{
    return RunWithOle(&Run, hInst);
}
