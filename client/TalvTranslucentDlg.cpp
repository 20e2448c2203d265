#include "client/TalvTranslucentDlg.h"

#include <new>

#include "afx/MemoryException.h"
#include "client/TalvStandardDlg.h"
#include "res/resource.h"

// The chain of base classes skips CTranslucentDialog, which keeps no record of its own.
IMPLEMENT_DYNAMIC(CTalvTranslucentDlg, CDialog)

CTalvTranslucentDlg::CTalvTranslucentDlg(UINT nImageResID, LPCTSTR lpszImageType,
                                         HINSTANCE hImageInst, CWnd* pParent)
    : CTranslucentDialog(IDD_TRANSLUCENT_DIALOG, nImageResID, lpszImageType, hImageInst, pParent)
{
}

CTalvTranslucentDlg::~CTalvTranslucentDlg() = default;

CStandardDialog* CTalvTranslucentDlg::CreateStandardDialog()
{
    // The caller owns the panel and deletes it with the window object.
    CTalvStandardDlg* pPanel = new (std::nothrow) CTalvStandardDlg(this);
    if (!pPanel)
        AfxThrowMemoryException();
    return pPanel;
}

void CTalvTranslucentDlg::OnInitChildrenWnds()
{
}
