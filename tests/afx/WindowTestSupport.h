// Helpers of the window layer tests: message queue handling and a recording control class.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "afx/ThreadState.h"

namespace afxtest {

// Empties this thread's queue (a pending WM_QUIT included) and forgets the library's quit state,
// so that one test's quit request does not end the next test's loops.
inline void DrainQueue()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message != WM_QUIT)
            ::DispatchMessageW(&msg);
    }
    AfxResetQuitState();
}

// TRUE when a WM_QUIT is waiting; its code in *pCode. Takes it off the queue.
inline bool TakeQuit(int* pCode)
{
    MSG msg;
    // Other messages may be in front of it.
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            if (pCode)
                *pCode = static_cast<int>(msg.wParam);
            return true;
        }
        ::DispatchMessageW(&msg);
    }
    return false;
}

// Dispatches messages until pred() holds or the time is up; TRUE when it held.
template <class Pred>
bool PumpUntil(Pred pred, DWORD dwTimeoutMs = 3000)
{
    DWORD dwStart = ::GetTickCount();
    while (!pred())
    {
        if (::GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        MSG msg;
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return pred();
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        else
        {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

// A message a recording control received.
struct Received
{
    int nID;
    UINT nMsg;
    std::string data;  // up to 8 bytes that lParam pointed at (messages 0x0370 and up)
};

inline std::vector<Received>& ReceivedMessages()
{
    static std::vector<Received> messages;
    return messages;
}

inline LRESULT CALLBACK RecorderProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg >= 0x0370 && nMsg < 0x8000)
    {
        Received r{::GetDlgCtrlID(hWnd), nMsg, std::string()};
        if (lParam)
        {
            const char* p = reinterpret_cast<const char*>(lParam);
            r.data.assign(p, p + 8);
        }
        ReceivedMessages().push_back(r);
        return 0;
    }
    return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

// Registers the control class the dialog-init template uses ("AfxTestRecorder").
inline void RegisterRecorderClass()
{
    WNDCLASSW wc = {};
    if (::GetClassInfoW(::GetModuleHandleW(nullptr), L"AfxTestRecorder", &wc))
        return;
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"AfxTestRecorder";
    ::RegisterClassW(&wc);
}

}  // namespace afxtest
