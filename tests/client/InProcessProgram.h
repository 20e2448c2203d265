// The program run in this process: an application object that counts its ends, the windows the
// program has in front, and the end of a scripted run that timed out.
#pragma once

#include <windows.h>

#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "client/TranslucentApp.h"
#include "tests/client/StepScript.h"
#include "tests/support/FakeWebBrowser.h"

// The application object with the program's limits, as the library's WinMain runs it, with the
// ExitInstance calls counted. It is the application while it lives.
class CountingApp : public CTranslucentApp
{
public:
    CountingApp() : CTranslucentApp(HandOverLimits{}) {}
    int ExitInstance() override
    {
        ++exits;
        tokenAtExit = g_gdiplusToken;
        return CTranslucentApp::ExitInstance();
    }
    int exits = 0;
    ULONG_PTR tokenAtExit = 0;
};

// The login window in front, once it is shown; else NULL.
inline CTalvTranslucentDlg* FrontLogin()
{
    CWinApp* pApp = AfxGetApp();
    auto* p = pApp ? dynamic_cast<CTalvTranslucentDlg*>(pApp->m_pMainWnd) : nullptr;
    return p && p->m_hWnd && ::IsWindowVisible(p->m_hWnd) ? p : nullptr;
}

// The game window that a hand-over made the main window, once it is shown; else NULL.
inline CTalvGameDlg* FrontGame()
{
    CWinApp* pApp = AfxGetApp();
    auto* p = pApp ? dynamic_cast<CTalvGameDlg*>(pApp->m_pMainWnd) : nullptr;
    return p && p->m_hWnd && ::IsWindowVisible(p->m_hWnd) ? p : nullptr;
}

// The live fake whose control window is a child of hParent, or NULL.
inline FakeWebBrowser* FakeInside(HWND hParent)
{
    for (FakeWebBrowser* fake : FakeWebBrowser::Live())
        if (fake->Window() && ::GetParent(fake->Window()) == hParent)
            return fake;
    return nullptr;
}

// Ends what runs when a script timed out: a game window that a hand-over opened, else the window
// *phWnd, else the modal loops (a quit request).
inline StepScript::Action EndRunOnTimeout(HWND* phWnd)
{
    return [phWnd] {
        if (CTalvGameDlg* pGame = FrontGame())
            pGame->EndDialog(IDCANCEL);
        else if (phWnd && ::IsWindow(*phWnd))
            ::PostMessageW(*phWnd, WM_CLOSE, 0, 0);
        else
            ::PostQuitMessage(0);
    };
}
