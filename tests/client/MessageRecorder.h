// Recorders of the messages that windows of this thread receive: through a subclass of the
// window (posted and sent alike), or through a hook on what SendMessage delivers.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

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
