#include "afx/DataExchange.h"

#include "afx/DebugReport.h"
#include "afx/Wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!pDX || !pDX->m_pDlgWnd || rControl.m_hWnd)
        return;
    if (pDX->m_pDlgWnd->BindControlSite(nIDC, rControl))
        return;
    HWND hCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hCtrl)
    {
        AfxDebugReport(L"DDX_Control: no control %d in the dialog", nIDC);
        return;
    }
    rControl.SubclassWindow(hCtrl);
}
