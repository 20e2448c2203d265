// A dialog made from a DIALOG/DIALOGEX template of the resource module, modal (DoModal) or
// modeless (Create).
#pragma once

#include <windows.h>
#include <string>

#include "afx/Wnd.h"

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: the owner (the parent's top-level window, else the main window)
    // is disabled meanwhile. Returns the EndDialog result, or -1 when the template is missing,
    // the window cannot be created or the loop ended on WM_QUIT (which is posted again).
    virtual INT_PTR DoModal();

    // Modeless creation; FALSE when the template is missing or the window was not created.
    virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // Makes the dialog's window from a loaded template (the hosting of ActiveX controls overrides
    // this to take its controls out of the template and create them itself). NULL on failure.
    virtual HWND CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd);

    // Ends a modal run with nResult (hides a modeless dialog).
    void EndDialog(int nResult);

    // WM_INITDIALOG: sends the template's dialog-init records to the controls, then
    // UpdateData(FALSE). TRUE: the dialog manager sets the focus.
    virtual BOOL OnInitDialog();
    // IDOK: UpdateData(TRUE), then EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    // IDCANCEL (also WM_CLOSE, which the dialog manager turns into IDCANCEL): EndDialog(IDCANCEL).
    virtual void OnCancel();

    // Keyboard messages of windows inside this dialog go to the hosted control they are meant
    // for, then (unless it took them) through the dialog manager (Tab, Enter, Esc, mnemonics).
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // This dialog's map chain, then the application object's (plain commands only).
    BOOL OnCmdMsg(UINT nID, int nCode) override;

    LPCWSTR m_lpszTemplateName;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

protected:
    DECLARE_MESSAGE_MAP()

private:
    void SetTemplateName(LPCWSTR lpszTemplateName);
    // The template resource, or NULL.
    static LPCDLGTEMPLATE LoadTemplate(LPCWSTR lpszTemplateName);

    std::wstring m_strTemplateName;  // storage of a template given by name
};

// Dialog procedure of the library's dialogs: WM_INITDIALOG reaches OnInitDialog; everything else
// is left to the window's object (through AfxWndProc) and to the dialog manager.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
