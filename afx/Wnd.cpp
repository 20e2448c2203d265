#include "afx/Wnd.h"

#include <cstdarg>
#include <exception>
#include <string>

#include "afx/DataExchange.h"
#include "afx/DebugReport.h"
#include "afx/DlgInitReader.h"
#include "afx/Exception.h"
#include "afx/OleControlContainer.h"
#include "afx/OleControlSite.h"
#include "afx/ThreadState.h"
#include "afx/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

namespace {

// What the report of an exception escaping a handler of nMsg names as its place.
struct HandlerPlace
{
    explicit HandlerPlace(UINT nMsg)
    {
        ::wsprintfW(text, L"a message handler (message 0x%04X)", nMsg);
    }
    wchar_t text[48];
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
        : m_pState(pState), m_saved(pState->lastSentMsg)
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

HWND TopLevelOf(HWND hWnd)
{
    for (HWND h = hWnd; h; h = ::GetParent(h))
        hWnd = h;
    return hWnd;
}

BOOL ModifyStyleWord(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    if (!hWnd)
        return FALSE;
    DWORD dwStyle = static_cast<DWORD>(::GetWindowLongW(hWnd, nIndex));
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew)
        return FALSE;
    ::SetWindowLongW(hWnd, nIndex, static_cast<LONG>(dwNew));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
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
    LRESULT lResult = 0;
    try
    {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    }
    catch (CException& e)
    {
        AfxReportException(HandlerPlace(pState->lastSentMsg.message).text, e);
        lResult = ResultAfterException(pState->lastSentMsg);
    }
    catch (std::exception& e)
    {
        AfxReportException(HandlerPlace(pState->lastSentMsg.message).text, e);
        lResult = ResultAfterException(pState->lastSentMsg);
    }
    catch (...)
    {
        AfxReportException(HandlerPlace(pState->lastSentMsg.message).text);
        lResult = ResultAfterException(pState->lastSentMsg);
    }

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
        pState->hHookCbt = ::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
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

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hMain = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(hMain, pMsg))
        return TRUE;
    if (hMain && pMsg->hwnd && TopLevelOf(pMsg->hwnd) != hMain)
        return pMainWnd->PreTranslateMessage(pMsg);
    return FALSE;
}

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
    if (m_pCtrlSite)
        m_pCtrlSite->UnbindWrapper();
    delete m_pCtrlCont;  // its destructor clears m_pCtrlCont
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
    auto it = pState->temporaryMap.find(hWnd);
    if (it != pState->temporaryMap.end())
        return it->second.get();
    auto pTemp = std::make_unique<CWnd>();
    pTemp->m_hWnd = hWnd;
    CWnd* pWnd = pTemp.get();
    pState->temporaryMap.emplace(hWnd, std::move(pTemp));
    return pWnd;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew))
        return FALSE;
    AfxGetThreadState()->permanentMap[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
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
    if (m_pCtrlSite)
        m_pCtrlSite->UnbindWrapper();  // the host's event connection stays
    m_pCtrlSite = nullptr;
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

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent || !pParent->m_hWnd)
        return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd && m_pfnSuper &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::FinishNcDestroy(HWND hWnd)
{
    // The hosted controls go with the window (their windows are gone already).
    delete m_pCtrlCont;
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
    if (m_pCtrlSite)
    {
        // A hosted control: its object is closed and its window goes with it.
        COleControlSite* pSite = m_pCtrlSite;
        if (COleControlContainer* pCont = pSite->GetContainer())
            pCont->DestroySite(pSite);
        else
            pSite->DestroyControl();
        if (!m_hWnd)
            return TRUE;
    }
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

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0)
        nCode = CN_COMMAND;  // menu (0) or accelerator (1)
    return OnCmdMsg(nID, nCode);
}

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
    try
    {
        DoDataExchange(&dx);
    }
    catch (CException& e)
    {
        AfxReportException(L"DoDataExchange", e);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::BindControlSite(int nID, CWnd& rControl)
{
    return m_pCtrlCont ? m_pCtrlCont->BindControl(nID, rControl) : FALSE;
}

BOOL CWnd::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, void* pPersist, BOOL bStorage,
                         BSTR bstrLicKey)
{
    if (!AfxIsControlContainerEnabled() || m_hWnd || !pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    IStream* pState = bStorage ? nullptr : static_cast<IStream*>(pPersist);
    COleControlContainer* pCont = COleControlContainer::For(pParentWnd);
    return pCont->CreateControl(this, clsid, lpszWindowName, dwStyle, rect, nID, pState,
                                bstrLicKey) != nullptr;
}

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                        const BYTE* pbParamInfo, ...)
{
    if (!m_pCtrlSite)
        return;
    va_list argList;
    va_start(argList, pbParamInfo);
    try
    {
        m_pCtrlSite->InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
    }
    catch (...)
    {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

IUnknown* CWnd::GetControlUnknown() const
{
    return m_pCtrlSite ? m_pCtrlSite->GetControlUnknown() : nullptr;
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
// Modal loop

int CWnd::RunModalLoop(DWORD dwFlags)
{
    AfxThreadState* pState = AfxGetThreadState();
    bool bShowIdle = (dwFlags & MLF_SHOWONIDLE) && m_hWnd && !(GetStyle() & WS_VISIBLE);
    m_bContinueModal = true;
    m_bInModalLoop = true;
    ++pState->nLoopDepth;

    MSG msg;
    while (m_bContinueModal)
    {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (bShowIdle && m_hWnd)
            {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
            }
            bShowIdle = false;
            if (pState->nLoopDepth == 1)
                AfxDeleteTempMap();
        }
        BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot == 0)
        {
            // Every loop below this one must end too.
            AfxPostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (bGot == -1)
        {
            m_nModalResult = -1;
            break;
        }
        if (bShowIdle && (msg.message == 0x0118 /* WM_SYSTIMER */ || msg.message == WM_SYSKEYDOWN))
        {
            if (m_hWnd)
            {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
            }
            bShowIdle = false;
        }
        if (!AfxPreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
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

// ---------------------------------------------------------------------------------------------
// Wrappers

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A NULL window would make it a thread message.
    return m_hWnd ? ::PostMessageW(m_hWnd, message, wParam, lParam) : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsWindow() const
{
    return m_hWnd && ::IsWindow(m_hWnd);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (m_pCtrlSite)
    {
        // A hosted control is moved through its in-place object.
        m_pCtrlSite->MoveControl(RECT{x, y, x + nWidth, y + nHeight});
        return;
    }
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleWord(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleWord(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const
{
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
}

CWnd* CWnd::GetParent() const
{
    return m_hWnd ? FromHandle(::GetParent(m_hWnd)) : nullptr;
}

CWnd* CWnd::GetTopLevelParent() const
{
    return m_hWnd ? FromHandle(TopLevelOf(m_hWnd)) : nullptr;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, nID)) : nullptr;
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    ::GetWindowRect(m_hWnd, lpRect);
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType)
{
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

void CWnd::SetWindowText(LPCWSTR lpszString)
{
    ::SetWindowTextW(m_hWnd, lpszString);
}

CString CWnd::GetWindowText() const
{
    int nLen = m_hWnd ? ::GetWindowTextLengthW(m_hWnd) : 0;
    if (nLen <= 0)
        return CString();
    std::wstring buffer(static_cast<size_t>(nLen) + 1, L'\0');
    int nGot = ::GetWindowTextW(m_hWnd, &buffer[0], nLen + 1);
    return CString(buffer.c_str(), nGot > 0 ? nGot : 0);
}

void CWnd::BringWindowToTop()
{
    ::BringWindowToTop(m_hWnd);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

void CWnd::Invalidate(BOOL bErase)
{
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
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

void CWnd::OnClose()
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
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

void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnRButtonDown(UINT, CPoint)
{
    Default();
}

void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
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

void CWnd::OnTimer(UINT_PTR)
{
    Default();
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}
