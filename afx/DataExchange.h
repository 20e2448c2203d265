// Dialog data exchange: DoDataExchange gets one of these and binds or moves data per control.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd),
          m_bSaveAndValidate(bSaveAndValidate)
    {
    }

    CWnd* m_pDlgWnd;          // the dialog whose controls are exchanged
    BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
};

// Binds rControl to the dialog's control nIDC, once (a control that already has its window is left
// alone). The dialog's BindControlSite gets the first chance (hosted ActiveX controls); otherwise
// the child window is subclassed, so its messages run through rControl's message map, and
// rControl's PreSubclassWindow runs. A missing control leaves rControl unbound.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
