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
    struct HandOverLimits;
    // The application with the hand-over's limits; the program's own runs with the defaults.
    explicit CTranslucentApp(HandOverLimits limits);
    ~CTranslucentApp() override;

    // Runs the login window; always FALSE, so the library enters no message loop of its own.
    BOOL InitInstance() override;
    // Shuts GDI+ down; the library's result is the exit code.
    int ExitInstance() override;

    // Replaces the login window in front by a game window on strGameUrl, with the server number
    // taken from strServerUrl, and runs it; returns when that run has ended.
    void ShowGameWindow(CString strGameUrl, CString strServerUrl);
    // Replaces the game window in front by a new login window and runs it; returns when that run
    // has ended. From the cycle bound on, or when the thread is near its limit of nested window
    // procedure calls, starts a fresh copy of the program and ends this one.
    void ShowLoginWindow();

    // Every login, game, login cycle nests two more modal runs on the thread, and with them a few
    // more window procedure calls, of which Wine counts one per cycle (the game window closed by
    // Alt+F4 or by its frame's close button) against its limit of 64 per thread. After this many nested
    // cycles, a confirmed close of the game window starts a fresh copy of the program instead
    // of nesting deeper. It also does so earlier when the thread has fewer than kNestingReserve
    // window procedure calls left. If the copy cannot be started, nesting goes on while there is
    // room, up to kHardCycleBound, where the program ends; the main thread's 32 MiB stack
    // reservation leaves about 24 KiB per cycle up to there, above a 2 MiB base.
    static const int kCycleBound = 10;
    static const int kHardCycleBound = 1250;
    // Nested window procedure calls a confirmed close needs for the next login window and the
    // cycle after it, with room to spare.
    static const int kNestingReserve = 24;

    // How the hand-over ends nesting: the cycle bounds, and how a fresh copy of the program is
    // started (TRUE when it started). A test that runs the program in its own process makes its
    // own application object with lower or higher bounds, and must never start itself again, so
    // it gives its own starter.
    struct HandOverLimits
    {
        int nCycleBound = kCycleBound;
        int nHardCycleBound = kHardCycleBound;
        std::function<BOOL()> startFreshCopy;  // empty: the program's own executable
    };

    DECLARE_MESSAGE_MAP()

private:
    // Makes dlg the main window and runs it. A window that could not be made at all leaves the
    // program without any window: then the main window pointer is cleared, the program ends,
    // and FALSE is returned.
    BOOL RunAsMainWindow(CDialog& dlg);
    // Runs the window that replaces the one in front. If it cannot be made (Wine's nesting limit
    // reached after all), a fresh copy gives the player a login window again.
    void RunReplacement(CDialog& dlg);
    // TRUE when the thread can nest the next login window and one more cycle.
    static BOOL HasNestingRoom();
    // Starts a fresh copy and ends this one; FALSE (nothing changed) when the copy did not start.
    BOOL HandOverToFreshCopy();
    // Closes the window in front so that every nested run ends and the program quits.
    void EndProgram();

    // Starts the program's own executable again, without arguments; TRUE when it started.
    static BOOL StartProgramCopy();

    // Login windows nested beneath the current one by hand-overs (0: only the first one).
    int m_nNestedCycles = 0;
    HandOverLimits m_limits;
};

// Token of the running GDI+, set by InitInstance.
extern ULONG_PTR g_gdiplusToken;

// The program's one application object.
extern CTranslucentApp theApp;
