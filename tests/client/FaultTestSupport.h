// Helpers of the fault tests: redirection of the test executable's imports (to make a platform
// call fail or to record it), a recorder of debug output, and a script of steps run from a thread
// timer that keeps going inside modal loops that a step opens.
#pragma once

#include <windows.h>

#include <chrono>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "afx/ThreadState.h"
#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvStandardDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/client/LoginTestSupport.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ImportPatch.h"

namespace faulttest {

// The faults are made by redirecting the executable's imports.
using ImportPatch = CImportPatch;

// Records what the executable writes with OutputDebugStringW while it lives.
class DebugOutputRecorder
{
public:
    DebugOutputRecorder()
        : m_patch(L"kernel32.dll", "OutputDebugStringW", reinterpret_cast<void*>(&Record))
    {
        Lines().clear();
    }
    ~DebugOutputRecorder() { Lines().clear(); }

    bool Active() const { return m_patch.Active(); }
    const std::vector<std::wstring>& Output() const { return Lines(); }
    // Lines that contain every one of the fragments, in any letter case.
    int Count(std::initializer_list<const wchar_t*> fragments) const
    {
        int n = 0;
        for (const std::wstring& line : Lines())
        {
            const std::wstring text = Lower(line);
            bool all = true;
            for (const wchar_t* f : fragments)
                all = all && text.find(Lower(f)) != std::wstring::npos;
            n += all ? 1 : 0;
        }
        return n;
    }

private:
    static std::vector<std::wstring>& Lines()
    {
        static std::vector<std::wstring> lines;
        return lines;
    }
    static std::wstring Lower(std::wstring text)
    {
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(towlower(c));
        return text;
    }
    static void WINAPI Record(LPCWSTR text) { Lines().push_back(text ? text : L""); }

    ImportPatch m_patch;
};

// The game window that a hand-over made the main window, once its window is up; else NULL.
inline CTalvGameDlg* RunningGameWindow()
{
    CWinApp* pApp = AfxGetApp();
    CTalvGameDlg* pGame = pApp ? dynamic_cast<CTalvGameDlg*>(pApp->m_pMainWnd) : nullptr;
    return pGame && pGame->m_hWnd && ::IsWindowVisible(pGame->m_hWnd) ? pGame : nullptr;
}

// Steps run from a thread timer, one per tick; a step returns true when it is done. A step made
// with Nesting() counts as done before it runs, so that the steps after it go on inside a modal
// loop it opens. Past the time limit (also when the steps are done but the run has not ended)
// the script stops and ends what runs: a game window that a
// hand-over opened, else the window given, else the modal loops (quit request).
class Script
{
public:
    struct Step
    {
        std::function<bool()> fn;
        bool nests = false;
    };
    static Step Wait(std::function<bool()> fn) { return Step{std::move(fn), false}; }
    static Step Do(std::function<void()> fn)
    {
        return Step{[fn] {
                        fn();
                        return true;
                    },
                    false};
    }
    static Step Nesting(std::function<void()> fn)
    {
        return Step{[fn] {
                        fn();
                        return true;
                    },
                    true};
    }

    explicit Script(std::vector<Step> steps, HWND* phWndToClose = nullptr, int nLimitMs = 15000)
        : m_steps(std::move(steps)),
          m_phWnd(phWndToClose),
          m_nLimitMs(nLimitMs)
    {
        Current() = this;
        m_start = std::chrono::steady_clock::now();
        m_timer = ::SetTimer(nullptr, 0, 20, &Script::Tick);
    }
    ~Script()
    {
        ::KillTimer(nullptr, m_timer);
        Current() = nullptr;
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }
    size_t StepsDone() const { return m_next; }

private:
    static Script*& Current()
    {
        static Script* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Script* self = Current();
        if (!self || self->m_stopped)
            return;
        if (std::chrono::steady_clock::now() - self->m_start >
            std::chrono::milliseconds(self->m_nLimitMs))
        {
            self->m_timedOut = true;
            self->m_stopped = true;
            if (CTalvGameDlg* pGame = RunningGameWindow())
                pGame->EndDialog(IDCANCEL);
            else if (self->m_phWnd && ::IsWindow(*self->m_phWnd))
                ::PostMessageW(*self->m_phWnd, WM_CLOSE, 0, 0);
            else
                ::PostQuitMessage(0);
            return;
        }
        if (self->m_busy || self->Finished())
            return;
        Step& step = self->m_steps[self->m_next];
        if (step.nests)
        {
            ++self->m_next;
            step.fn();
            return;
        }
        self->m_busy = true;
        if (step.fn())
            ++self->m_next;
        self->m_busy = false;
    }

    std::vector<Step> m_steps;
    HWND* m_phWnd;
    int m_nLimitMs;
    size_t m_next = 0;
    bool m_busy = false;
    bool m_timedOut = false;
    bool m_stopped = false;
    UINT_PTR m_timer = 0;
    std::chrono::steady_clock::time_point m_start;
};

using logintest::ForgetQuit;

inline SIZE WindowSize(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

using logintest::OwnedPanel;

// A login panel that lets the test act on its browser control after the control exists and
// before the panel's own initialisation uses it.
class ArmedPanel : public CTalvStandardDlg
{
public:
    ArmedPanel(CWnd* pParent, std::function<void(FakeWebBrowser*)> arm)
        : CTalvStandardDlg(pParent),
          m_arm(std::move(arm))
    {
    }
    BOOL OnInitDialog() override
    {
        if (m_arm)
            m_arm(FakeWebBrowser::Newest());
        return CTalvStandardDlg::OnInitDialog();
    }

private:
    std::function<void(FakeWebBrowser*)> m_arm;
};

// The program's login window: skin 158 by default, the panel armed when a function is given.
class LoginDlg : public CTalvTranslucentDlg
{
public:
    explicit LoginDlg(UINT nSkin = 158, LPCWSTR lpszType = L"PNG",
                      std::function<void(FakeWebBrowser*)> arm = nullptr)
        : CTalvTranslucentDlg(nSkin, lpszType, nullptr, nullptr),
          m_arm(std::move(arm))
    {
    }
    CStandardDialog* CreateStandardDialog() override
    {
        if (!m_arm)
            return CTalvTranslucentDlg::CreateStandardDialog();
        // Owned by the login window, which deletes it with itself.
        return new ArmedPanel(this, m_arm);
    }
    CTalvStandardDlg* Panel() const { return static_cast<CTalvStandardDlg*>(m_pStandardDlg); }

private:
    std::function<void(FakeWebBrowser*)> m_arm;
};

// The login window tests of the faults; each registers the fake browser as its case needs.
using LoginFaultTest = logintest::LoginWindowTest;

}  // namespace faulttest
