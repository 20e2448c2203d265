// Helpers of the game window tests: a modal run of CTalvGameDlg that plays test steps inside its
// own message loop, a recorder of the messages that windows receive, and probes of the
// notification area.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

#include "client/TalvGameDlg.h"
#include "tests/support/KeyInput.h"

namespace gametest {

// Plays steps inside the dialog's modal loop, one per timer tick. A thread timer's tick is only
// generated when no posted message is waiting, so whatever a step posted has been through the
// loop (pre-translation, dispatch) before the next step runs. After the last step the dialog is
// ended with kEndCode, so a run that ended any other way shows in DoModal's result.
class ModalScript
{
public:
    static constexpr int kEndCode = 4242;

    using Step = std::function<void()>;

    ModalScript& Then(Step step)
    {
        m_steps.push_back(std::move(step));
        return *this;
    }

    INT_PTR Run(CTalvGameDlg& dlg)
    {
        m_pDlg = &dlg;
        m_next = 0;
        Current() = this;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &ModalScript::OnTick);
        const INT_PTR result = dlg.DoModal();
        ::KillTimer(nullptr, timer);
        Current() = nullptr;
        return result;
    }

    // Steps that have run.
    size_t StepsRun() const { return m_next; }

private:
    static ModalScript*& Current()
    {
        static ModalScript* current = nullptr;
        return current;
    }

    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalScript* self = Current();
        if (!self || self->m_busy || !self->m_pDlg->m_hWnd)
            return;
        self->m_busy = true;
        if (self->m_next < self->m_steps.size())
            self->m_steps[self->m_next++]();
        else if (self->m_pDlg->m_hWnd)
            self->m_pDlg->EndDialog(kEndCode);
        self->m_busy = false;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
    CTalvGameDlg* m_pDlg = nullptr;
};

// A message a watched window received (posted and sent alike).
struct Received
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Subclasses windows and records every message they receive, then passes it on.
class WindowRecorder
{
public:
    ~WindowRecorder()
    {
        for (auto& entry : Procs())
            if (::IsWindow(entry.first) && ::GetWindowLongPtrW(entry.first, GWLP_WNDPROC) ==
                                               reinterpret_cast<LONG_PTR>(&WindowRecorder::Proc))
                ::SetWindowLongPtrW(entry.first, GWLP_WNDPROC,
                                    reinterpret_cast<LONG_PTR>(entry.second));
        Procs().clear();
        Log().clear();
    }

    void Watch(HWND hwnd)
    {
        const LONG_PTR previous =
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
        Procs()[hwnd] = reinterpret_cast<WNDPROC>(previous);
    }

    void Clear() { Log().clear(); }
    const std::vector<Received>& Messages() const { return Log(); }

    // Messages of that kind (and key, when given) in the log.
    int Count(UINT message, WPARAM key = WPARAM(-1)) const
    {
        int n = 0;
        for (const Received& r : Log())
            if (r.message == message && (key == WPARAM(-1) || r.wParam == key))
                ++n;
        return n;
    }

private:
    static std::map<HWND, WNDPROC>& Procs()
    {
        static std::map<HWND, WNDPROC> procs;
        return procs;
    }
    static std::vector<Received>& Log()
    {
        static std::vector<Received> log;
        return log;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Log().push_back({hwnd, message, wParam, lParam});
        auto it = Procs().find(hwnd);
        WNDPROC previous = it != Procs().end() ? it->second : &::DefWindowProcW;
        return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
};

// Records what SendMessage delivers on this thread (WH_CALLWNDPROC), and lets a test act at a
// given message (before the window procedure sees it).
class SentMessageHook
{
public:
    using Action = std::function<void(const Received&)>;

    SentMessageHook()
    {
        Self() = this;
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &SentMessageHook::Proc, nullptr,
                                     ::GetCurrentThreadId());
    }
    ~SentMessageHook()
    {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        Self() = nullptr;
    }
    SentMessageHook(const SentMessageHook&) = delete;
    SentMessageHook& operator=(const SentMessageHook&) = delete;

    bool Installed() const { return m_hook != nullptr; }
    // Messages of these kinds are logged.
    void Log(std::vector<UINT> messages) { m_logged = std::move(messages); }
    void OnMessage(UINT message, Action action) { m_actions[message] = std::move(action); }
    const std::vector<Received>& Messages() const { return m_log; }

private:
    static SentMessageHook*& Self()
    {
        static SentMessageHook* self = nullptr;
        return self;
    }

    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        SentMessageHook* self = Self();
        if (code == HC_ACTION && self)
        {
            const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
            const Received r{cwp->hwnd, cwp->message, cwp->wParam, cwp->lParam};
            for (UINT m : self->m_logged)
                if (m == r.message)
                    self->m_log.push_back(r);
            auto it = self->m_actions.find(r.message);
            if (it != self->m_actions.end())
                it->second(r);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK m_hook = nullptr;
    std::vector<UINT> m_logged;
    std::map<UINT, Action> m_actions;
    std::vector<Received> m_log;
};

// TRUE when the notification area holds an icon of that window and identifier: a modification
// that changes nothing succeeds only for an icon that exists.
inline bool TrayIconExists(HWND hwnd, UINT id)
{
    NOTIFYICONDATAW nid = {};
    nid.cbSize = offsetof(NOTIFYICONDATAW, hBalloonIcon);
    nid.hWnd = hwnd;
    nid.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

inline HICON GameIcon()
{
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(155));
}

inline DWORD Style(HWND hwnd)
{
    return static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
}

constexpr DWORD kFrameBits = 0x00CF0000;

inline bool IsWindowedState(HWND hwnd)
{
    return (Style(hwnd) & kFrameBits) == kFrameBits && !(Style(hwnd) & WS_POPUP);
}

inline bool IsFullScreenState(HWND hwnd)
{
    return (Style(hwnd) & kFrameBits) == 0 && (Style(hwnd) & WS_POPUP);
}

// TRUE when a lies above b in the z-order of top-level windows.
inline bool IsAbove(HWND a, HWND b)
{
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        if (h == a)
            return true;
        if (h == b)
            return false;
    }
    return false;
}

}  // namespace gametest
