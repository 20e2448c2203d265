#include "afx/Dialog.h"

#include <vector>

#include "afx/DebugReport.h"
#include "afx/DlgInitReader.h"
#include "afx/OleControlContainer.h"
#include "afx/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM, LPARAM)
{
    if (nMsg != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!pDlg)
        return TRUE;
    // Nothing may unwind through the dialog manager.
    return AfxCallGuarded<AfxCatch::LibraryAndStd>(
        L"OnInitDialog",
        [&] {
            // ActiveX controls of the template exist before OnInitDialog runs.
            if (pDlg->m_pCtrlCont)
                pDlg->m_pCtrlCont->CreatePendingDialogItems();
            return pDlg->OnInitDialog();
        },
        [] { return TRUE; });
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)),
      m_nIDHelp(nIDTemplate),
      m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // Destroy the window while this object is still a dialog.
    if (m_hWnd)
        DestroyWindow();
}

void CDialog::SetTemplateName(LPCWSTR lpszTemplateName)
{
    if (IS_INTRESOURCE(lpszTemplateName))
    {
        m_lpszTemplateName = lpszTemplateName;
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    }
    else
    {
        std::wstring name(lpszTemplateName);  // may point into m_strTemplateName
        m_strTemplateName = std::move(name);
        m_lpszTemplateName = m_strTemplateName.c_str();
    }
}

LPCDLGTEMPLATE CDialog::LoadTemplate(LPCWSTR lpszTemplateName)
{
    if (!lpszTemplateName)
        return nullptr;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceW(hInst, lpszTemplateName, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!hRes)
        return nullptr;
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    return hData ? static_cast<LPCDLGTEMPLATE>(::LockResource(hData)) : nullptr;
}

HWND CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    if (!lpDialogTemplate || m_hWnd)
        return nullptr;
    // ActiveX controls named by class identifier are taken out of the template; the container
    // creates them once the window exists.
    std::vector<BYTE> stripped;
    std::vector<COleControlContainer::DialogItem> items;
    if (AfxIsControlContainerEnabled() &&
        COleControlContainer::StripTemplate(lpDialogTemplate, stripped, items))
    {
        COleControlContainer::For(this)->SetPendingDialogItems(
            std::move(items), CDlgInitReader::FromResource(m_lpszTemplateName));
        lpDialogTemplate = reinterpret_cast<LPCDLGTEMPLATE>(stripped.data());
    }
    AfxHookWindowCreate(this);
    HWND hWnd =
        ::CreateDialogIndirectParamW(AfxGetInstanceHandle(), lpDialogTemplate,
                                     pParentWnd ? pParentWnd->m_hWnd : nullptr, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!hWnd)
        return nullptr;
    if (m_hWnd != hWnd && !m_hWnd)
        SubclassWindow(hWnd);
    return m_hWnd == hWnd ? hWnd : nullptr;
}

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
{
    SetTemplateName(lpszTemplateName);
    m_pParentWnd = pParentWnd;
    LPCDLGTEMPLATE pTemplate = LoadTemplate(m_lpszTemplateName);
    if (!pTemplate)
        return FALSE;
    return CreateIndirect(pTemplate, pParentWnd) != nullptr;
}

namespace {

// Puts the visible pop-ups that hWndOwner owns back on top of it. Owned pop-ups always stand above
// their owner, but Wine without a window manager maps a window over all others, its own pop-ups
// included, when its X window was made anew while they were shown (a layered window's first
// update does that). Moving them through the topmost band makes Wine restack them.
BOOL CALLBACK RestackIfOwnedBy(HWND hWnd, LPARAM lParam)
{
    if (::GetWindow(hWnd, GW_OWNER) == reinterpret_cast<HWND>(lParam) && ::IsWindowVisible(hWnd))
    {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
        ::SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }
    return TRUE;
}

void RestackOwnedPopups(HWND hWndOwner)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), RestackIfOwnedBy,
                        reinterpret_cast<LPARAM>(hWndOwner));
}

}  // namespace

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE pTemplate = LoadTemplate(m_lpszTemplateName);
    if (!pTemplate || m_hWnd)
        return -1;

    // Owner: the parent's top-level window, else the main window when it is another window.
    HWND hOwner = nullptr;
    if (m_pParentWnd && m_pParentWnd->m_hWnd)
    {
        hOwner = m_pParentWnd->m_hWnd;
        while (hOwner && (::GetWindowLongW(hOwner, GWL_STYLE) & WS_CHILD))
            hOwner = ::GetParent(hOwner);
    }
    else if (CWnd* pMain = AfxGetMainWnd())
    {
        if (pMain != this && pMain->m_hWnd && ::IsWindow(pMain->m_hWnd))
            hOwner = pMain->m_hWnd;
    }

    bool bEnableOwner = false;
    if (hOwner && hOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hOwner))
    {
        ::EnableWindow(hOwner, FALSE);
        bEnableOwner = true;
    }

    // EndDialog may already be called from OnInitDialog.
    m_bContinueModal = true;
    m_nModalResult = -1;
    HWND hWnd = CreateIndirect(pTemplate, CWnd::FromHandle(hOwner));
    if (hWnd && ::IsWindowVisible(hWnd))
        RestackOwnedPopups(hWnd);
    if (hWnd && m_bContinueModal)
        RunModalLoop(MLF_SHOWONIDLE);
    m_bContinueModal = false;

    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bEnableOwner && ::IsWindow(hOwner))
        ::EnableWindow(hOwner, TRUE);
    if (hOwner && ::IsWindow(hOwner) &&
        (!m_hWnd || ::GetActiveWindow() == m_hWnd || ::GetActiveWindow() == nullptr))
        ::SetActiveWindow(hOwner);
    if (m_hWnd)
        DestroyWindow();
    return hWnd ? m_nModalResult : -1;
}

void CDialog::EndDialog(int nResult)
{
    if (m_bContinueModal || m_bInModalLoop)
        EndModalLoop(nResult);
    else
        m_nModalResult = nResult;
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    ExecuteDlgInit(m_lpszTemplateName);
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || !m_hWnd)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    // A hosted control sees its keys before the dialog manager does.
    if (m_pCtrlCont && m_pCtrlCont->PreTranslateMessage(pMsg))
        return TRUE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode)
{
    if (CWnd::OnCmdMsg(nID, nCode))
        return TRUE;
    if (nCode != CN_COMMAND)
        return FALSE;
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->OnCmdMsg(nID, nCode);
}
