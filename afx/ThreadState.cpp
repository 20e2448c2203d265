#include "afx/ThreadState.h"

#include "afx/DC.h"
#include "afx/Wnd.h"

AfxThreadState::AfxThreadState()
    : lastSentMsg{}, pWndInit(nullptr), hHookCbt(nullptr), nHookDepth(0), nWndProcDepth(0),
      nLoopDepth(0),
      bQuitPending(false), nQuitCode(0)
{
}

AfxThreadState::~AfxThreadState()
{
    // Temporary objects only borrow their windows.
    for (auto& entry : temporaryMap)
        entry.second->m_hWnd = nullptr;
    temporaryMap.clear();
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

void AfxDeleteTempMap()
{
    AfxThreadState* pState = AfxGetThreadState();
    // Move the objects out first: a destructor must not see a half-cleared map.
    auto objects = std::move(pState->temporaryMap);
    pState->temporaryMap.clear();
    for (auto& entry : objects)
        entry.second->m_hWnd = nullptr;
    objects.clear();
    CDC::DeleteTempMap();
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
