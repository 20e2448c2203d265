#include "afx/ThreadState.h"

AfxThreadState::AfxThreadState()
    : lastSentMsg{},
      pWndInit(nullptr),
      hHookCbt(nullptr),
      nHookDepth(0),
      nWndProcDepth(0),
      nLoopDepth(0),
      bQuitPending(false),
      nQuitCode(0)
{
}

AfxThreadState::~AfxThreadState()
{
    if (hHookCbt)
        ::UnhookWindowsHookEx(hHookCbt);
}

AfxThreadState* AfxGetThreadState()
{
    thread_local AfxThreadState state;
    return &state;
}

int AfxGetWndProcDepth()
{
    return AfxGetThreadState()->nWndProcDepth;
}

void AfxDeleteTempMap(int nDepth)
{
    AfxThreadState* pState = AfxGetThreadState();
    pState->temporaryMap.DeleteFrom(nDepth);
    pState->temporaryDCMap.DeleteFrom(nDepth);
}

void AfxPostQuitMessage(int nExitCode)
{
    AfxThreadState* pState = AfxGetThreadState();
    pState->bQuitPending = true;
    pState->nQuitCode = nExitCode;
    ::PostQuitMessage(nExitCode);
}

void AfxResetQuitState()
{
    AfxThreadState* pState = AfxGetThreadState();
    pState->bQuitPending = false;
    pState->nQuitCode = 0;
}
