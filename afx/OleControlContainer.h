// The ActiveX controls hosted by one window: their sites, and for dialogs the controls that the
// dialog template names by a class identifier string ("{8856F961-...}"). Such items are taken out
// of the template handed to the dialog manager (which cannot create them) and created by the
// container once the dialog window exists, before the dialog's OnInitDialog, at their template
// position in the tab order and with the persisted state of their dialog-init record (0x0376).
//
// A window owns its container through CWnd::m_pCtrlCont; the window object deletes it when the
// window is destroyed while attached, or when the object goes.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <vector>

#include "afx/DlgInitReader.h"
#include "afx/ScopedHandles.h"

class CWnd;
class COleControlSite;

// Dialog-init message that carries an ActiveX control's persisted state.
#define WM_OCC_LOADFROMSTREAM 0x0376

// Hosting of ActiveX controls in dialogs: off until this is called. Without it a template that
// names a control by class identifier is handed to the dialog manager unchanged (and fails).
void AfxEnableControlContainer(BOOL bEnable = TRUE);
BOOL AfxIsControlContainerEnabled();

class COleControlContainer
{
public:
    // An ActiveX control item of a dialog template.
    struct DialogItem
    {
        UINT nID = 0;
        CLSID clsid = CLSID_NULL;
        short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
        DWORD dwStyle = 0;
        DWORD dwExStyle = 0;
        int nIndex = 0;  // position among all items of the template
    };

    explicit COleControlContainer(CWnd* pWnd);
    ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // The container of pWnd, made on first use (owned by pWnd).
    static COleControlContainer* For(CWnd* pWnd);

    // Creates a control and its site; the wrapper (may be NULL) is bound to the site and
    // subclasses the control's window. pDocHostFlags: offer the browser host UI handler with
    // these flags. NULL when the control cannot be created.
    COleControlSite* CreateControl(CWnd* pWndCtrl, REFCLSID clsid, LPCWSTR lpszWindowName,
                                   DWORD dwStyle, const RECT& rect, UINT nID, IStream* pState,
                                   BSTR bstrLicKey, const DWORD* pDocHostFlags = nullptr);
    // Tears the control down and forgets its site.
    void DestroySite(COleControlSite* pSite);
    // The site of control nID, or NULL.
    COleControlSite* FindSite(UINT nID) const;
    // A keyboard message for one of the controls, or a window inside it, goes first to that
    // control's active object; TRUE when the control took it (not to be translated or
    // dispatched).
    BOOL PreTranslateMessage(MSG* pMsg);
    // Binds rControl to the site of control nID (its window subclassed by rControl); FALSE when
    // there is no such site.
    BOOL BindControl(int nID, CWnd& rControl);

    // Dialog templates. Copies pTemplate without its ActiveX items into rCopy and lists them;
    // FALSE (and nothing filled) when the template has none or cannot be read.
    static BOOL StripTemplate(LPCDLGTEMPLATE pTemplate, std::vector<BYTE>& rCopy,
                              std::vector<DialogItem>& rItems);
    // Items to create at WM_INITDIALOG, with the dialog-init data that holds their persisted
    // state.
    void SetPendingDialogItems(std::vector<DialogItem> items, const CDlgInitReader& dlgInit);
    // Creates the pending items in the dialog window (called once it exists, before
    // OnInitDialog). Items that cannot be created are left out.
    void CreatePendingDialogItems();

private:
    CWnd* m_pWnd;
    std::vector<CComPtr<COleControlSite>> m_sites;  // one reference each
    std::vector<DialogItem> m_pending;
    CDlgInitReader m_dlgInit;
};
