// The window procedure of attached windows, the creation hook that attaches them, the routing of
// a message through the object's map, and CWnd's default handlers.
#include "afx/Wnd.h"

#include "afx/DebugReport.h"
#include "afx/ThreadState.h"

namespace {

// What the report of an exception escaping a handler of msg names as its place.
class HandlerPlace
{
public:
    explicit HandlerPlace(const MSG& msg) : m_msg(msg) {}
    operator LPCWSTR() const
    {
        ::wsprintfW(m_text, L"a message handler (message 0x%04X)", m_msg.message);
        return m_text;
    }

private:
    const MSG& m_msg;
    mutable wchar_t m_text[48] = {};
};

LRESULT ResultAfterException(const MSG& msg)
{
    if (msg.message == WM_CREATE)
        return -1;  // the creation fails
    if (msg.message == WM_PAINT)
        ::ValidateRect(msg.hwnd, nullptr);  // no endless repaint requests
    return 0;
}

// Sets the thread's current message, and counts the nesting, for the duration of one window
// procedure call.
class CurrentMessageScope
{
public:
    CurrentMessageScope(AfxThreadState* pState, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
        : m_pState(pState),
          m_saved(pState->lastSentMsg)
    {
        ++pState->nWndProcDepth;
        MSG msg{};
        msg.hwnd = hWnd;
        msg.message = nMsg;
        msg.wParam = wParam;
        msg.lParam = lParam;
        pState->lastSentMsg = msg;
    }
    ~CurrentMessageScope()
    {
        m_pState->lastSentMsg = m_saved;
        --m_pState->nWndProcDepth;
    }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

private:
    AfxThreadState* m_pState;
    MSG m_saved;
};

bool IsImeWindow(HWND hWnd)
{
    wchar_t cls[16] = {};
    if (!::GetClassNameW(hWnd, cls, 16))
        return false;
    return ::lstrcmpiW(cls, L"IME") == 0 || ::lstrcmpiW(cls, L"MSCTFIME UI") == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Window procedure and creation hook

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);

    AfxThreadState* pState = AfxGetThreadState();
    CurrentMessageScope scope(pState, hWnd, nMsg, wParam, lParam);
    const LRESULT lResult = AfxCallGuarded<AfxCatch::All>(
        HandlerPlace(pState->lastSentMsg), [&] { return pWnd->WindowProc(nMsg, wParam, lParam); },
        [&] { return ResultAfterException(pState->lastSentMsg); });

    // The window's last message: make sure the object lets go even when a derived handler of
    // WM_NCDESTROY did not call the base one.
    if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd)
        pWnd->FinishNcDestroy(hWnd);
    return lResult;
}

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    AfxThreadState* pState = AfxGetThreadState();
    if (nCode == HCBT_CREATEWND && pState->pWndInit)
    {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hWnd) && !CWnd::FromHandlePermanent(hWnd))
        {
            CWnd* pWnd = pState->pWndInit;
            pState->pWndInit = nullptr;
            pWnd->AttachAndSubclass(hWnd);
        }
    }
    return ::CallNextHookEx(pState->hHookCbt, nCode, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    AfxThreadState* pState = AfxGetThreadState();
    if (pState->nHookDepth++ == 0)
        pState->hHookCbt =
            ::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    pState->pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate()
{
    AfxThreadState* pState = AfxGetThreadState();
    BOOL bAttached = pState->pWndInit == nullptr;
    pState->pWndInit = nullptr;
    if (pState->nHookDepth > 0 && --pState->nHookDepth == 0 && pState->hHookCbt)
    {
        ::UnhookWindowsHookEx(pState->hHookCbt);
        pState->hHookCbt = nullptr;
    }
    return bAttached;
}

// ---------------------------------------------------------------------------------------------
// Message processing

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
    }
    else
    {
        const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(GetMessageMap(), message);
        if (!pEntry)
            return FALSE;
        lResult = pEntry->pfnThunk(this, wParam, lParam);
    }
    if (pResult)
        *pResult = lResult;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = AfxGetThreadState()->lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0)
        nCode = CN_COMMAND;  // menu (0) or accelerator (1)
    return OnCmdMsg(nID, nCode);
}

// ---------------------------------------------------------------------------------------------
// Default handlers

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

void CWnd::OnNcDestroy()
{
    HWND hWnd = m_hWnd;
    Default();
    if (hWnd && FromHandlePermanent(hWnd) == this)
        FinishNcDestroy(hWnd);
}

void CWnd::OnMove(int, int)
{
    Default();
}

void CWnd::OnSize(UINT, int, int)
{
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    return reinterpret_cast<HBRUSH>(DefWindowProc(
        WM_CTLCOLORMSGBOX + nCtlColor, reinterpret_cast<WPARAM>(pDC ? pDC->m_hDC : nullptr),
        reinterpret_cast<LPARAM>(pWnd ? pWnd->m_hWnd : nullptr)));
}

void CWnd::OnActivate(UINT, CWnd*, BOOL)
{
    Default();
}
