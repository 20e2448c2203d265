// CWnd's handle maps, attachment and subclassing, creation and destruction, and the thin
// wrappers of window functions.
#include "afx/Wnd.h"

#include <string>

#include "afx/DataExchange.h"
#include "afx/DebugReport.h"
#include "afx/DlgInitReader.h"
#include "afx/ThreadState.h"
#include "afx/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------------------
// Handle maps

CWnd::~CWnd()
{
    if (m_hWnd)
    {
        DestroyWindow();
        if (m_hWnd)
            Detach();
    }
    EndControlHosting();
    // The application must not go on designating an object that is gone.
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    AfxThreadState* pState = AfxGetThreadState();
    auto it = pState->permanentMap.find(hWnd);
    return it == pState->permanentMap.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    AfxThreadState* pState = AfxGetThreadState();
    return pState->temporaryMap.FromHandle(hWnd, pState->nLoopDepth);
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd)
    {
        AfxThreadState* pState = AfxGetThreadState();
        auto it = pState->permanentMap.find(hWnd);
        if (it != pState->permanentMap.end() && it->second == this)
            pState->permanentMap.erase(it);
    }
    m_hWnd = nullptr;
    UnbindControlSite();
    return hWnd;
}

void CWnd::AttachAndSubclass(HWND hWnd)
{
    AfxGetThreadState()->permanentMap[hWnd] = this;
    m_hWnd = hWnd;
    PreSubclassWindow();
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (pfnOld != &AfxWndProc)
        m_pfnSuper = pfnOld;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd) || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    AttachAndSubclass(hWnd);
    return TRUE;
}

void CWnd::FinishNcDestroy(HWND hWnd)
{
    // The hosted controls go with the window (their windows are gone already).
    EndControlHosting();
    if (m_pfnSuper &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &AfxWndProc)
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();

    // A modal loop of a window that is gone has nothing left to wait for.
    if (m_bContinueModal)
        EndModalLoop(-1);

    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
    {
        pApp->m_pMainWnd = nullptr;
        AfxThreadState* pState = AfxGetThreadState();
        AfxPostQuitMessage(pState->bQuitPending ? pState->nQuitCode : 0);
    }
    PostNcDestroy();
}

// ---------------------------------------------------------------------------------------------
// Creation and destruction

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                  nHeight, hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    AfxUnhookWindowCreate();
    if (!hWnd)
        return FALSE;
    if (m_hWnd != hWnd)
    {
        // The hook did not see it (another hook swallowed the notification): attach now.
        if (m_hWnd || !SubclassWindow(hWnd))
            return FALSE;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::DestroyWindow()
{
    if (DestroyHostedControl() && !m_hWnd)
        return TRUE;
    HWND hWnd = m_hWnd;
    if (!hWnd)
        return FALSE;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window that was only attached (not subclassed) never tells the object it is gone.
    if (m_hWnd == hWnd && !::IsWindow(hWnd))
        Detach();
    return bResult;
}

// ---------------------------------------------------------------------------------------------
// Subclassing and dialog data

void CWnd::PostNcDestroy()
{
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    return AfxCallGuarded<AfxCatch::Library>(
        L"DoDataExchange",
        [&] {
            DoDataExchange(&dx);
            return TRUE;
        },
        [] { return FALSE; });
}

BOOL CWnd::ExecuteDlgInit(LPCWSTR lpszResourceName)
{
    CDlgInitReader reader = CDlgInitReader::FromResource(lpszResourceName);
    CDlgInitReader::Record record;
    while (reader.Next(record))
    {
        // 0x0376..0x0379: persisted state of an ActiveX control, read by the control hosting.
        if (record.nMsg >= 0x0376 && record.nMsg <= 0x0379)
            continue;
        HWND hCtrl = ::GetDlgItem(m_hWnd, record.nIDC);
        if (!hCtrl)
            continue;
        if (record.nMsg == LB_ADDSTRING || record.nMsg == CB_ADDSTRING)
        {
            // List and combo box strings are stored as ANSI text.
            std::string text(reinterpret_cast<const char*>(record.pData), record.cbData);
            CString wide = CString::FromMultiByte(text.c_str());
            ::SendMessageW(hCtrl, record.nMsg, 0, reinterpret_cast<LPARAM>(wide.GetString()));
        }
        else
        {
            ::SendMessageW(hCtrl, record.nMsg, 0, reinterpret_cast<LPARAM>(record.pData));
        }
    }
    return reader.Malformed() ? FALSE : TRUE;
}

// ---------------------------------------------------------------------------------------------
// Wrappers

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    if (!m_hWnd)
        return FALSE;
    const DWORD dwStyle = GetStyle();
    const DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(dwNew));
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType)
{
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

void CWnd::BringWindowToTop()
{
    ::BringWindowToTop(m_hWnd);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}
