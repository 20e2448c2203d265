// The calling thread's message queue in tests that wait on windows of their own thread, and the
// quit requests that one test's main window leaves behind for the next.
#pragma once

#include <windows.h>

#include "afx/ThreadState.h"

// Dispatches what is waiting (quit requests are dropped) until pred() holds or dwMs milliseconds
// have passed, sleeping up to dwSliceMs between rounds while nothing arrives.
template <class Pred>
bool PumpUntil(Pred pred, DWORD dwMs, DWORD dwSliceMs = 10)
{
    DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (pred())
            return true;
        if (::GetTickCount() - dwStart > dwMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, dwSliceMs, QS_ALLINPUT);
    }
}

// Dispatches the messages waiting in the queue; a quit request stays for the loop that runs.
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

// TRUE when the queue holds a quit request (left in place).
inline bool QuitPending()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE | PM_NOYIELD) != FALSE;
}

// Removes the quit request that closing a main window left behind, so the next test starts clean.
inline void ForgetQuit()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
    AfxResetQuitState();
}
