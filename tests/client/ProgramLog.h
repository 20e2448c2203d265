// A log of what the program did, in order: login and game windows initialised, windows
// destroyed, quit requests taken by a message loop, GDI+ shut down, images disposed; each with a
// stack address of the moment.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/client/MessageRecorder.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ImportPatch.h"

// The lowest stack address of the current call.
inline uintptr_t StackHere()
{
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

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

// Logs while the object lives: WM_INITDIALOG of login and game windows (sent), window destruction
// (CBT hook), WM_QUIT taken by a message loop (GetMessage hook), GdiplusShutdown and
// GdipDisposeImage (imports).
class ProgramLog
{
public:
    ProgramLog()
        : m_gdiplus(L"gdiplus.dll", "GdiplusShutdown", reinterpret_cast<void*>(&OnGdiplusShutdown)),
          m_dispose(L"gdiplus.dll", "GdipDisposeImage", reinterpret_cast<void*>(&OnDisposeImage))
    {
        Self() = this;
        const DWORD tid = ::GetCurrentThreadId();
        m_hCbt = ::SetWindowsHookExW(WH_CBT, &OnCbt, nullptr, tid);
        m_hGet = ::SetWindowsHookExW(WH_GETMESSAGE, &OnGet, nullptr, tid);
        m_sent.OnMessage(WM_INITDIALOG, [this](const Received& r) { OnInitDialog(r.hwnd); });
    }
    ~ProgramLog()
    {
        ::UnhookWindowsHookEx(m_hCbt);
        ::UnhookWindowsHookEx(m_hGet);
        Self() = nullptr;
    }
    ProgramLog(const ProgramLog&) = delete;
    ProgramLog& operator=(const ProgramLog&) = delete;

    bool Active() const
    {
        return m_sent.Installed() && m_hCbt && m_hGet && m_gdiplus.Active() && m_dispose.Active();
    }
    const std::vector<Event>& Events() const { return m_events; }
    // The log that is logging now, or NULL.
    static const ProgramLog* Running() { return Self(); }

    int Count(Event::Kind kind) const { return CountBetween(kind, 0, int(m_events.size())); }
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

    void OnInitDialog(HWND hwnd)
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(hwnd);
        if (dynamic_cast<CTalvTranslucentDlg*>(pWnd))
        {
            m_events.push_back({Event::LoginInit, hwnd, StackHere()});
            if (onLoginInit)
                onLoginInit(hwnd);
        }
        else if (dynamic_cast<CTalvGameDlg*>(pWnd))
        {
            m_events.push_back({Event::GameInit, hwnd, StackHere()});
        }
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

    CImportPatch m_gdiplus;
    CImportPatch m_dispose;
    SentMessageHook m_sent;
    HHOOK m_hCbt = nullptr;
    HHOOK m_hGet = nullptr;
    std::vector<Event> m_events;
};
