// The application object: starts GDI+, runs the login window modally, shuts GDI+ down.
#pragma once

#include <windows.h>

#include <functional>

#include "afx/Dialog.h"
#include "afx/String.h"
#include "afx/WinApp.h"

class CTranslucentApp : public CWinApp
{
public:
    CTranslucentApp();
    ~CTranslucentApp() override;

    // Runs the login window; always FALSE, so the library enters no message loop of its own.
    BOOL InitInstance() override;
    // Shuts GDI+ down; the library's result is the exit code.
    int ExitInstance() override;

    // Replaces the login window in front by a game window on strGameUrl, with the server number
    // taken from strServerUrl, and runs it; returns when that run has ended.
    void ShowGameWindow(CString strGameUrl, CString strServerUrl);
    // Replaces the game window in front by a new login window and runs it; returns when that run
    // has ended. From the cycle bound on, starts a fresh copy of the program and ends this one.
    void ShowLoginWindow();

    // Every login, game, login cycle nests two more modal runs on the thread's stack (about 4 KiB
    // in the 64-bit build with a stand-in browser; more with the real control's event calls).
    // After this many nested cycles, a confirmed close of the game window starts a fresh copy of
    // the program instead of nesting deeper; if the copy cannot be started, nesting goes on up to
    // kHardCycleBound, where the program ends. The main thread's 32 MiB stack reservation leaves
    // about 24 KiB per cycle up to kHardCycleBound, above a 2 MiB base.
    static const int kCycleBound = 1000;
    static const int kHardCycleBound = 1250;

    // Login windows nested beneath the current one by hand-overs (0: only the first one).
    int NestedCycles() const { return m_nNestedCycles; }

    // The cycle bounds in force (tests lower them).
    int m_nCycleBound = kCycleBound;
    int m_nHardCycleBound = kHardCycleBound;
    // Starts a fresh copy of the program; TRUE when it started. Tests replace it.
    std::function<BOOL()> m_pfnStartFreshCopy;

    DECLARE_MESSAGE_MAP()

private:
    // Makes dlg the main window and runs it. A window that could not be made at all leaves the
    // program without any window: then the main window pointer is cleared and the program ends.
    void RunAsMainWindow(CDialog& dlg);
    // Starts a fresh copy and ends this one; FALSE (nothing changed) when the copy did not start.
    BOOL HandOverToFreshCopy();
    // Closes the window in front so that every nested run ends and the program quits.
    void EndProgram();

    int m_nNestedCycles = 0;
};

// Starts the program's own executable again, without arguments; TRUE when it started.
BOOL StartProgramCopy();

// Token of the running GDI+, set by InitInstance.
extern ULONG_PTR g_gdiplusToken;

// The program's one application object.
extern CTranslucentApp theApp;
