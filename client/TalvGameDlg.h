// The game window: an HTML dialog that shows the game page maximised, with the server number in
// its caption, an icon in the notification area (added again when the taskbar restarts) and the
// F5/F11/F12/Esc hot keys.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include "afx/DHtmlDialog.h"
#include "afx/String.h"

// The notification-area record shared by every game window (one is on screen at a time).
extern NOTIFYICONDATAW g_nid;

class CTalvGameDlg : public CDHtmlDialog
{
    DECLARE_DYNCREATE(CTalvGameDlg)

public:
    explicit CTalvGameDlg(CWnd* pParent = nullptr);
    ~CTalvGameDlg() override;

    // Takes the game page's URL and the server number out of the second URL; call before DoModal.
    void SetUrls(CString strGameUrl, CString strServerUrl);
    // Navigates the view to the game page again, wherever it has gone since.
    void Refresh();
    // Switches between the maximised framed window and a maximised popup without frame.
    void ToggleFullScreen();
    // Closes the HTML view of a game window that has been replaced, so that the game page does
    // not run on unseen while the object lives on until the program ends.
    void CloseReplacedView();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CString m_strUrl;     // game page
    BOOL m_bFullScreen;   // TRUE while full screen
    CString m_strServer;  // server number shown in the caption (" " when the URL has none)
    HICON m_hIcon;        // icon 155, shared: never destroyed

protected:
    BOOL OnInitDialog() override;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    // Asks whether to leave the game; on Yes, removes the icon and brings a new login window.
    void OnClose();
    // The taskbar has (re)started: adds the icon again while the window has one.
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
    DECLARE_DHTML_EVENT_MAP()

private:
    bool m_bTrayIcon;  // the icon was added and not removed since
};
