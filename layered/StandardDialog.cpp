#include "layered/StandardDialog.h"

#include "afx/ScopedHandles.h"

namespace {

using PFN_SETLAYEREDWINDOWATTRIBUTES = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

}  // namespace

IMPLEMENT_DYNAMIC(CStandardDialog, CDialog)

// Chained to CDialog's map: the HTML dialog's own entries are never consulted.
BEGIN_MESSAGE_MAP(CStandardDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CStandardDialog::CStandardDialog(UINT nIDTemplate, COLORREF crKey, CWnd* pParent)
    : CDHtmlDialog(nIDTemplate, 0, pParent)
{
    m_crKey = crKey;
}

CStandardDialog::~CStandardDialog() = default;

void CStandardDialog::CreateAndShow()
{
    Create(m_lpszTemplateName, m_pParentWnd);
    ShowWindow(SW_SHOW);
}

BOOL CStandardDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_brKey.CreateSolidBrush(m_crKey);

    const LONG exStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    const CScopedModule user32(L"User32.DLL");
    auto pfnSetAttributes =
        user32.GetProc<PFN_SETLAYEREDWINDOWATTRIBUTES>("SetLayeredWindowAttributes");
    if (pfnSetAttributes)
        pfnSetAttributes(m_hWnd, m_crKey, 0, LWA_COLORKEY);
    return TRUE;
}

HBRUSH CStandardDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_DLG)
        return static_cast<HBRUSH>(m_brKey.m_hObject);
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CStandardDialog::NotifyOwnerOfClose()
{
    CWnd* pOwner = CWnd::FromHandle(::GetParent(m_hWnd));
    if (pOwner)
        ::SendMessageW(pOwner->m_hWnd, WM_CLOSE, 0, 0);
}

void CStandardDialog::OnOK()
{
    NotifyOwnerOfClose();
    CDialog::OnOK();
}

void CStandardDialog::OnCancel()
{
    NotifyOwnerOfClose();
    CDialog::OnCancel();
}
