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

    // Frees the skin image of a login window that has been replaced: its window is closing and it
    // is never drawn again, but the object lives on until the program ends.
    void ReleaseSkin();
};
