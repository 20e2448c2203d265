// The colour-keyed companion dialog: a modeless dialog whose background is painted in a key colour
// that the layered window makes transparent, so that only its controls show over a skin window.
#pragma once

#include <windows.h>

#include "afx/Brush.h"
#include "afx/DHtmlDialog.h"

class CStandardDialog : public CDHtmlDialog
{
    // Recorded with CDialog as its base: the HTML dialog's machinery plays no part here.
    DECLARE_DYNAMIC(CStandardDialog)

public:
    CStandardDialog(UINT nIDTemplate, COLORREF crKey, CWnd* pParent = nullptr);
    ~CStandardDialog() override;

    // Creates the dialog modelessly from its template, owned by the parent given to the
    // constructor, and shows it (also when the creation failed).
    void CreateAndShow();

    BOOL OnInitDialog() override;

protected:
    // Dismissal first asks the owner to close (sent, so it has been handled on return).
    void OnOK() override;
    void OnCancel() override;

    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    COLORREF m_crKey;
    CBrush m_brKey;  // created by OnInitDialog; lives as long as the object

    DECLARE_MESSAGE_MAP()

private:
    void NotifyOwnerOfClose();
};
