// What the start-up floors of the benchmarks share: a window owner, a window procedure that ends
// the program with its window, and the program's run with OLE around it.
#pragma once

#include <windows.h>
#include <ole2.h>

// A window, destroyed when the owner goes (if it is still there).
class WindowOwner
{
public:
    explicit WindowOwner(HWND hWnd) : m_hWnd(hWnd) {}
    ~WindowOwner()
    {
        if (m_hWnd && ::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }
    WindowOwner(const WindowOwner&) = delete;
    WindowOwner& operator=(const WindowOwner&) = delete;
    HWND get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// The main window's procedure: its destruction ends the message loop.
inline LRESULT CALLBACK QuitOnDestroyProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY)
    {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

// Dispatches the thread's messages until the quit message.
inline void PumpUntilQuit()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// run(hInst) with OLE initialised on the thread; 1 when OLE could not be.
inline int RunWithOle(int (*run)(HINSTANCE), HINSTANCE hInst)
{
    if (FAILED(::OleInitialize(nullptr)))
        return 1;
    const int code = run(hInst);
    ::OleUninitialize();
    return code;
}
