#include "afx/MessagePump.h"

#include "afx/ThreadState.h"
#include "afx/WinApp.h"
#include "afx/Wnd.h"

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hMain = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(hMain, pMsg))
        return TRUE;
    if (!hMain || !pMsg->hwnd)
        return FALSE;
    HWND hTop = pMsg->hwnd;
    while (HWND hUp = ::GetParent(hTop))
        hTop = hUp;
    return hTop != hMain ? pMainWnd->PreTranslateMessage(pMsg) : FALSE;
}

int AfxPumpMessage(MSG& rMsg, const std::function<void()>& onIdle,
                   const std::function<void(const MSG&)>& onTaken)
{
    if (!::PeekMessageW(&rMsg, nullptr, 0, 0, PM_NOREMOVE))
    {
        if (onIdle)
            onIdle();
        // Every frame that ran inside this loop's dispatches has returned.
        const int nDepth = AfxGetThreadState()->nLoopDepth;
        if (nDepth > 0)
            AfxDeleteTempMap(nDepth);
    }
    BOOL bGot = ::GetMessageW(&rMsg, nullptr, 0, 0);
    if (bGot == 0 || bGot == -1)
        return bGot;
    if (onTaken)
        onTaken(rMsg);
    if (!AfxPreTranslateMessage(&rMsg))
    {
        ::TranslateMessage(&rMsg);
        ::DispatchMessageW(&rMsg);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// CWnd's pre-translation walk and modal loop

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        if (CWnd* pWnd = FromHandlePermanent(hWnd))
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

int CWnd::RunModalLoop(DWORD dwFlags)
{
    AfxThreadState* pState = AfxGetThreadState();
    bool bShowIdle = (dwFlags & MLF_SHOWONIDLE) && m_hWnd && !(GetStyle() & WS_VISIBLE);
    m_bContinueModal = true;
    m_bInModalLoop = true;
    ++pState->nLoopDepth;

    // A window that waits to be shown: on the first idle moment, or on the first system timer
    // or system key.
    auto showNow = [&] {
        if (bShowIdle && m_hWnd)
        {
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
        }
        bShowIdle = false;
    };
    auto onTaken = [&](const MSG& msg) {
        if (bShowIdle && (msg.message == 0x0118 /* WM_SYSTIMER */ || msg.message == WM_SYSKEYDOWN))
            showNow();
    };
    MSG msg;
    while (m_bContinueModal)
    {
        int nGot = AfxPumpMessage(msg, showNow, onTaken);
        if (nGot == 0)
        {
            // Every loop below this one must end too.
            AfxPostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (nGot == -1)
        {
            m_nModalResult = -1;
            break;
        }
    }

    --pState->nLoopDepth;
    m_bInModalLoop = false;
    m_bContinueModal = false;
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal)
    {
        m_bContinueModal = false;
        // Wake the loop up.
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
        else
            ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
}
