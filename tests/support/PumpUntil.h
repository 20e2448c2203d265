// A message loop for tests that wait on windows of their own thread.
#pragma once

#include <windows.h>

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
