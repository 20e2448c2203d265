// Helpers of the hand-over tests: the whole program (the application object theApp, its windows
// and modal loops) driven from a thread timer that keeps ticking inside every nested modal loop,
// with the fake browser as the login panel's control and the game window's view, and a log of
// what the program did (windows initialised and destroyed, quit requests taken, GDI+ shut down).
#pragma once

#include <windows.h>
#include <exdispid.h>
#include <objidl.h>
#include <gdiplus.h>
#include <psapi.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "afx/ThreadState.h"
#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvStandardDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "client/TranslucentApp.h"
#include "tests/client/LoginTestSupport.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ImportPatch.h"

namespace handover {

const wchar_t kExitCaption[] = L"退出游戏";
const wchar_t kExitText[] = L"确定退出游戏？";
const wchar_t kGuestLoginUrl[] = L"http://passport.orvane.example/guest/c/qelv/login.php";
const UINT kTrayIconId = 155;

using ImportPatch = CImportPatch;

// The lowest stack address of the current call.
inline uintptr_t StackHere()
{
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

// What the program did, in order.
struct Event
{
    enum Kind
    {
        LoginInit,
        GameInit,
        Destroyed,
        QuitTaken,
        GdiplusDown,
        ImageDisposed
    } kind;
    HWND hwnd;
    uintptr_t stack;  // a stack address inside the program's call at that moment
};

// Hooks on this thread that log the program's events while the object lives: WM_INITDIALOG of
// login and game windows (sent), window destruction (CBT), WM_QUIT taken by a message loop
// (GetMessage hook), GdiplusShutdown and GdipDisposeImage (imports).
class ProgramLog
{
public:
    ProgramLog()
        : m_gdiplus(L"gdiplus.dll", "GdiplusShutdown", reinterpret_cast<void*>(&OnGdiplusShutdown)),
          m_dispose(L"gdiplus.dll", "GdipDisposeImage", reinterpret_cast<void*>(&OnDisposeImage))
    {
        Self() = this;
        const DWORD tid = ::GetCurrentThreadId();
        m_hSent = ::SetWindowsHookExW(WH_CALLWNDPROC, &OnSent, nullptr, tid);
        m_hCbt = ::SetWindowsHookExW(WH_CBT, &OnCbt, nullptr, tid);
        m_hGet = ::SetWindowsHookExW(WH_GETMESSAGE, &OnGet, nullptr, tid);
    }
    ~ProgramLog()
    {
        ::UnhookWindowsHookEx(m_hSent);
        ::UnhookWindowsHookEx(m_hCbt);
        ::UnhookWindowsHookEx(m_hGet);
        Self() = nullptr;
    }
    ProgramLog(const ProgramLog&) = delete;
    ProgramLog& operator=(const ProgramLog&) = delete;

    bool Active() const
    {
        return m_hSent && m_hCbt && m_hGet && m_gdiplus.Active() && m_dispose.Active();
    }
    const std::vector<Event>& Events() const { return m_events; }

    int Count(Event::Kind kind) const
    {
        int n = 0;
        for (const Event& e : m_events)
            n += e.kind == kind ? 1 : 0;
        return n;
    }
    std::vector<Event> Of(Event::Kind kind) const
    {
        std::vector<Event> out;
        for (const Event& e : m_events)
            if (e.kind == kind)
                out.push_back(e);
        return out;
    }
    // Events of that kind from position first up to (not including) last.
    int CountBetween(Event::Kind kind, int first, int last) const
    {
        int n = 0;
        for (int i = first < 0 ? 0 : first; i < last && i < static_cast<int>(m_events.size()); ++i)
            n += m_events[static_cast<size_t>(i)].kind == kind ? 1 : 0;
        return n;
    }
    // Position of the first event of that kind and window, or -1.
    int IndexOf(Event::Kind kind, HWND hwnd) const
    {
        for (size_t i = 0; i < m_events.size(); ++i)
            if (m_events[i].kind == kind && m_events[i].hwnd == hwnd)
                return static_cast<int>(i);
        return -1;
    }

    // What stood when GDI+ was shut down (ExitInstance).
    size_t liveBrowsersAtShutdown = size_t(-1);
    bool mainWindowAtShutdown = true;

    // Called at each login window's WM_INITDIALOG (before the window's own handler).
    std::function<void(HWND)> onLoginInit;

private:
    static ProgramLog*& Self()
    {
        static ProgramLog* self = nullptr;
        return self;
    }

    static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && Self() && cwp->message == WM_INITDIALOG)
        {
            CWnd* pWnd = CWnd::FromHandlePermanent(cwp->hwnd);
            if (dynamic_cast<CTalvTranslucentDlg*>(pWnd))
            {
                Self()->m_events.push_back({Event::LoginInit, cwp->hwnd, StackHere()});
                if (Self()->onLoginInit)
                    Self()->onLoginInit(cwp->hwnd);
            }
            else if (dynamic_cast<CTalvGameDlg*>(pWnd))
            {
                Self()->m_events.push_back({Event::GameInit, cwp->hwnd, StackHere()});
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_DESTROYWND && Self())
            Self()->m_events.push_back(
                {Event::Destroyed, reinterpret_cast<HWND>(wParam), StackHere()});
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static LRESULT CALLBACK OnGet(int code, WPARAM wParam, LPARAM lParam)
    {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && Self() && msg->message == WM_QUIT)
            Self()->m_events.push_back({Event::QuitTaken, nullptr, StackHere()});
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static void WINAPI OnGdiplusShutdown(ULONG_PTR token)
    {
        if (ProgramLog* self = Self())
        {
            self->m_events.push_back({Event::GdiplusDown, nullptr, StackHere()});
            self->liveBrowsersAtShutdown = FakeWebBrowser::Live().size();
            CWinApp* pApp = AfxGetApp();
            self->mainWindowAtShutdown = pApp && pApp->m_pMainWnd;
            reinterpret_cast<void(WINAPI*)(ULONG_PTR)>(self->m_gdiplus.Original())(token);
        }
    }

    static int WINAPI OnDisposeImage(void* image)
    {
        ProgramLog* self = Self();
        if (!self)
            return 0;
        self->m_events.push_back({Event::ImageDisposed, nullptr, StackHere()});
        return reinterpret_cast<int(WINAPI*)(void*)>(self->m_dispose.Original())(image);
    }

    ImportPatch m_gdiplus;
    ImportPatch m_dispose;
    HHOOK m_hSent = nullptr;
    HHOOK m_hCbt = nullptr;
    HHOOK m_hGet = nullptr;
    std::vector<Event> m_events;
};

// Steps run from a thread timer, one per tick, in whatever modal loop is innermost; a step
// returns true when done, and may append further steps. A nesting step (one that opens a modal
// run that lasts until the program ends, like firing the event that hands over) counts as done
// before it runs. Past the time limit (steps done or not) the program is made to quit with
// kTimeoutCode.
class Driver
{
public:
    static constexpr int kTimeoutCode = 99;
    using Fn = std::function<bool()>;

    explicit Driver(int nLimitMs = 30000) : m_nLimitMs(nLimitMs)
    {
        Self() = this;
        m_start = std::chrono::steady_clock::now();
        m_timer = ::SetTimer(nullptr, 0, 10, &Tick);
    }
    ~Driver()
    {
        ::KillTimer(nullptr, m_timer);
        Self() = nullptr;
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    void Wait(Fn fn) { m_steps.push_back({std::move(fn), false}); }
    void Do(std::function<void()> fn)
    {
        m_steps.push_back({[fn] {
                               fn();
                               return true;
                           },
                           false});
    }
    void Nest(std::function<void()> fn)
    {
        m_steps.push_back({[fn] {
                               fn();
                               return true;
                           },
                           true});
    }

    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }
    size_t StepsDone() const { return m_next; }

private:
    struct Step
    {
        Fn fn;
        bool nests;
    };

    static Driver*& Self()
    {
        static Driver* self = nullptr;
        return self;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Driver* self = Self();
        if (!self || self->m_busy || self->m_timedOut)
            return;
        // Also after the last step: a program that should have ended by now hangs.
        if (std::chrono::steady_clock::now() - self->m_start >
            std::chrono::milliseconds(self->m_nLimitMs))
        {
            self->m_timedOut = true;
            AfxPostQuitMessage(kTimeoutCode);
            return;
        }
        if (self->Finished())
            return;
        const size_t i = self->m_next;
        if (self->m_steps[i].nests)
        {
            ++self->m_next;
            Fn fn = self->m_steps[i].fn;
            fn();
            return;
        }
        self->m_busy = true;
        Fn fn = self->m_steps[i].fn;
        if (fn())
            ++self->m_next;
        self->m_busy = false;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    bool m_busy = false;
    bool m_timedOut = false;
    int m_nLimitMs;
    UINT_PTR m_timer = 0;
    std::chrono::steady_clock::time_point m_start;
};

// The login window in front, once it is shown; else NULL.
inline CTalvTranslucentDlg* FrontLogin()
{
    auto* p = dynamic_cast<CTalvTranslucentDlg*>(theApp.m_pMainWnd);
    return p && p->m_hWnd && ::IsWindowVisible(p->m_hWnd) ? p : nullptr;
}

// The game window in front, once it is shown; else NULL.
inline CTalvGameDlg* FrontGame()
{
    auto* p = dynamic_cast<CTalvGameDlg*>(theApp.m_pMainWnd);
    return p && p->m_hWnd && ::IsWindowVisible(p->m_hWnd) ? p : nullptr;
}

// The pop-up that hWndOwner owns and that holds the panel's close button (control 1004).
inline HWND PanelOf(HWND hWndOwner)
{
    return logintest::OwnedPanel(hWndOwner);
}

// The live fake whose control window is a child of hParent, or NULL.
inline FakeWebBrowser* FakeInside(HWND hParent)
{
    for (FakeWebBrowser* fake : FakeWebBrowser::Live())
        if (fake->Window() && ::GetParent(fake->Window()) == hParent)
            return fake;
    return nullptr;
}

using logintest::ThreadWindowTitled;

inline std::wstring TextOf(HWND hWnd)
{
    wchar_t text[256] = L"";
    ::GetWindowTextW(hWnd, text, 256);
    return text;
}

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

// TRUE when the thread's queue holds a quit request (left in place).
inline bool QuitPending()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE | PM_NOYIELD) != FALSE;
}

// Removes a quit request that the end of a run left behind, so the next test starts clean.
inline void ForgetQuit()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
    AfxResetQuitState();
}

// The windows of one login window in front and what the hand-over made of them.
struct Cycle
{
    int server = 0;
    CTalvTranslucentDlg* login = nullptr;
    HWND hLogin = nullptr, hPanel = nullptr, hBrowser = nullptr;
    FakeWebBrowser* panelFake = nullptr;
    CTalvGameDlg* game = nullptr;
    HWND hGame = nullptr;
    std::wstring location, eventUrl;
};

inline std::wstring EventUrlFor(int server)
{
    return L"http://game.orvane.example/enter?uid=7&server=" + std::to_wstring(server) + L"&t=3";
}

inline std::wstring LocationFor(int server)
{
    return L"http://game.orvane.example/play/" + std::to_wstring(server) + L"?uid=7";
}

// Steps that wait for the login window in front and record its windows into c.
inline void AwaitLogin(Driver& d, Cycle& c)
{
    d.Wait([&c] {
        CTalvTranslucentDlg* login = FrontLogin();
        HWND hPanel = login ? PanelOf(login->m_hWnd) : nullptr;
        FakeWebBrowser* fake = hPanel ? FakeInside(hPanel) : nullptr;
        if (!fake)
            return false;
        c.login = login;
        c.hLogin = login->m_hWnd;
        c.hPanel = hPanel;
        c.panelFake = fake;
        c.hBrowser = fake->Window();
        return true;
    });
}

// The completed navigation that hands over: the fake's location is the game page.
inline void FireHandOver(Driver& d, Cycle& c)
{
    d.Nest([&c] {
        c.location = LocationFor(c.server);
        c.eventUrl = EventUrlFor(c.server);
        c.panelFake->SetLocation(c.location);
        // The player clicked into the page: the control holds the site's frame, the site its
        // active object, until the end of the program.
        c.panelFake->UIActivate();
        c.panelFake->FireNavigateComplete2(c.eventUrl);
    });
}

inline void AwaitGame(Driver& d, Cycle& c)
{
    d.Wait([&c] {
        CTalvGameDlg* game = FrontGame();
        if (!game)
            return false;
        c.game = game;
        c.hGame = game->m_hWnd;
        return true;
    });
}

// How the game window is asked to close: a posted WM_CLOSE, or the key message Alt+F4 and the
// system command that the default window procedure makes of it, dispatched by the modal loop.
enum class CloseWay
{
    PostedClose,
    AltF4,
    SystemCommand
};

inline void RequestClose(Driver& d, Cycle& c, CloseWay way = CloseWay::PostedClose)
{
    d.Do([&c, way] {
        switch (way)
        {
        case CloseWay::PostedClose:
            ::PostMessageW(c.hGame, WM_CLOSE, 0, 0);
            break;
        case CloseWay::AltF4:
            // Context code (bit 29): Alt is down.
            ::PostMessageW(c.hGame, WM_SYSKEYDOWN, VK_F4, 0x20000001);
            break;
        case CloseWay::SystemCommand:
            ::PostMessageW(c.hGame, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
    });
}

// The confirmation answered once it is shown (inspect sees it first).
inline void AnswerExit(Driver& d, int answer, std::function<void(HWND)> inspect = nullptr)
{
    d.Wait([answer, inspect] {
        HWND hBox = ThreadWindowTitled(kExitCaption);
        if (!hBox)
            return false;
        if (inspect)
            inspect(hBox);
        ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hBox, answer)));
        return true;
    });
}

// The close request (as the caption's close button makes it) and the confirmation answered.
inline void CloseGame(Driver& d, Cycle& c, int answer, std::function<void(HWND)> inspect = nullptr)
{
    RequestClose(d, c);
    AnswerExit(d, answer, std::move(inspect));
}

// The login window's close button.
inline void ClickLoginClose(Driver& d, Cycle& c)
{
    d.Do([&c] { ::PostMessageW(::GetDlgItem(c.hPanel, 1004), BM_CLICK, 0, 0); });
}

}  // namespace handover
