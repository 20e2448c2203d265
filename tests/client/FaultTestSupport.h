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

#include <objidl.h>
#include <gdiplus.h>

#include "afx/OleControlContainer.h"
#include "afx/ThreadState.h"
#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvStandardDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/support/FakeWebBrowser.h"

namespace faulttest {

// While it lives, the executable's import of dll!name points at pReplacement. The import address
// table holds the resolved address, which GetProcAddress gives as well (forwarders included).
class ImportPatch
{
public:
    ImportPatch(const wchar_t* dll, const char* name, void* pReplacement)
    {
        HMODULE hDll = ::GetModuleHandleW(dll);
        if (!hDll)
            hDll = ::LoadLibraryW(dll);
        m_pOriginal = hDll ? reinterpret_cast<void*>(::GetProcAddress(hDll, name)) : nullptr;
        m_pSlot = m_pOriginal ? FindSlot(m_pOriginal) : nullptr;
        if (m_pSlot)
            Write(pReplacement);
    }
    ~ImportPatch()
    {
        if (m_pSlot)
            Write(m_pOriginal);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return m_pSlot != nullptr; }
    void* Original() const { return m_pOriginal; }

private:
    static void** FindSlot(void* pTarget)
    {
        auto* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
        auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir =
            pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (dir.VirtualAddress == 0)
            return nullptr;
        for (auto* pDesc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dir.VirtualAddress);
             pDesc->Name != 0; ++pDesc)
            for (auto* pThunk = reinterpret_cast<void**>(pBase + pDesc->FirstThunk); *pThunk;
                 ++pThunk)
                if (*pThunk == pTarget)
                    return pThunk;
        return nullptr;
    }
    void Write(void* pValue)
    {
        DWORD dwOld = 0;
        if (::VirtualProtect(m_pSlot, sizeof(void*), PAGE_READWRITE, &dwOld)) {
            *m_pSlot = pValue;
            ::VirtualProtect(m_pSlot, sizeof(void*), dwOld, &dwOld);
        }
    }

    void* m_pOriginal = nullptr;
    void** m_pSlot = nullptr;
};

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
        for (const std::wstring& line : Lines()) {
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
    static void WINAPI Record(LPCWSTR text)
    {
        Lines().push_back(text ? text : L"");
    }

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
        return Step{[fn] { fn(); return true; }, false};
    }
    static Step Nesting(std::function<void()> fn)
    {
        return Step{[fn] { fn(); return true; }, true};
    }

    explicit Script(std::vector<Step> steps, HWND* phWndToClose = nullptr, int nLimitMs = 15000)
        : m_steps(std::move(steps)), m_phWnd(phWndToClose), m_nLimitMs(nLimitMs)
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
        if (std::chrono::steady_clock::now() - self->m_start
            > std::chrono::milliseconds(self->m_nLimitMs)) {
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
        if (step.nests) {
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

// Removes a quit request that closing a main window left behind, so the next test starts clean.
inline void ForgetQuit()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    AfxResetQuitState();
}

inline SIZE WindowSize(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// The pop-up that hWndOwner owns and that holds the panel's close button (control 1004).
struct OwnedPanelSearch
{
    HWND owner;
    HWND found;
};

inline BOOL CALLBACK FindOwnedPanel(HWND hWnd, LPARAM lParam)
{
    OwnedPanelSearch* s = reinterpret_cast<OwnedPanelSearch*>(lParam);
    if (::GetWindow(hWnd, GW_OWNER) == s->owner && ::GetDlgItem(hWnd, 1004))
        s->found = hWnd;
    return TRUE;
}

inline HWND OwnedPanel(HWND hWndOwner)
{
    OwnedPanelSearch search = {hWndOwner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedPanel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A login panel that lets the test act on its browser control after the control exists and
// before the panel's own initialisation uses it.
class ArmedPanel : public CTalvStandardDlg
{
public:
    ArmedPanel(CWnd* pParent, std::function<void(FakeWebBrowser*)> arm)
        : CTalvStandardDlg(pParent), m_arm(std::move(arm))
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
        : CTalvTranslucentDlg(nSkin, lpszType, nullptr, nullptr), m_arm(std::move(arm))
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

// The login window tests of the faults: GDI+ and the control container as the program has them,
// the fake browser registered, no main window or quit request left behind.
class LoginFaultTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
        AfxEnableControlContainer();
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_token); }
    void SetUp() override
    {
        ASSERT_NE(AfxGetApp(), nullptr);
        ::SetCursorPos(5, 5);
    }
    void TearDown() override
    {
        if (AfxGetApp())
            AfxGetApp()->m_pMainWnd = nullptr;
        ForgetQuit();
    }

    // Runs the login window as the main window, as the application does.
    static INT_PTR RunAsMainWindow(CTalvTranslucentDlg& dlg)
    {
        AfxGetApp()->m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        if (AfxGetApp()->m_pMainWnd == &dlg)
            AfxGetApp()->m_pMainWnd = nullptr;
        return result;
    }

    static inline ULONG_PTR s_token = 0;
};

} // namespace faulttest
