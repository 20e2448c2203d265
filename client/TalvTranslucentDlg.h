// The login window: the skin PNG drawn as a layered window with the login panel over it.
#pragma once

#include <windows.h>

#include "layered/TranslucentDialog.h"

class CTalvTranslucentDlg : public CTranslucentDialog
{
    DECLARE_DYNAMIC(CTalvTranslucentDlg)

public:
    // Loads the skin now; the window is made by DoModal.
    CTalvTranslucentDlg(UINT nImageResID, LPCTSTR lpszImageType, HINSTANCE hImageInst,
                        CWnd* pParent = nullptr);
    ~CTalvTranslucentDlg() override;

    CStandardDialog* CreateStandardDialog() override;
    void OnInitChildrenWnds() override;
};
