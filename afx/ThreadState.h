// Per-thread state of the window layer: the handle maps, the message being processed, the window
// creation hook and the quit request.
#pragma once

#include <windows.h>
#include <unordered_map>

#include "afx/DC.h"
#include "afx/TempHandleMap.h"
#include "afx/Wnd.h"

struct AfxThreadState
{
    AfxThreadState();
    ~AfxThreadState();
    AfxThreadState(const AfxThreadState&) = delete;
    AfxThreadState& operator=(const AfxThreadState&) = delete;

    // Windows attached to their objects (Attach, SubclassWindow, creation by the library).
    std::unordered_map<HWND, CWnd*> permanentMap;
    // Objects made by CWnd::FromHandle and CDC::FromHandle for handles nobody attached; dropped
    // by AfxDeleteTempMap.
    CTempHandleMap<HWND, CWnd, &CWnd::m_hWnd> temporaryMap;
    CTempHandleMap<HDC, CDC, &CDC::m_hDC> temporaryDCMap;

    // The message the innermost window procedure call is processing (CWnd::Default uses it).
    MSG lastSentMsg;

    // Window creation: the object waiting for the next window created on this thread, and the
    // CBT hook that attaches it (installed while any library creation call is running).
    CWnd* pWndInit;
    HHOOK hHookCbt;
    int nHookDepth;

    // Calls of the library's window procedure nested on this thread now.
    int nWndProcDepth;

    // Message loops currently running on this thread; a loop that is idle drops the temporary
    // objects handed out at its depth or deeper.
    int nLoopDepth;

    // A quit request was posted or received; its exit code.
    bool bQuitPending;
    int nQuitCode;
};

// This thread's state, made on first use and destroyed when the thread ends.
AfxThreadState* AfxGetThreadState();

// Calls of the library's window procedure nested on this thread now (0 outside any).
int AfxGetWndProcDepth();

// Drops the temporary window and device context objects stamped nDepth or deeper (0: all).
void AfxDeleteTempMap(int nDepth = 0);

// PostQuitMessage that remembers the code for CWinApp::ExitInstance.
void AfxPostQuitMessage(int nExitCode);

// Forgets a pending quit request (a fresh start-up in the same thread).
void AfxResetQuitState();
