// The login panel: the colour-keyed companion of the login window. It carries the embedded
// browser with the guest-login page and six image buttons (four link pages, minimise, close).
#pragma once

#include <windows.h>

#include "afx/Button.h"
#include "afx/DataExchange.h"
#include "afx/EventSinkMap.h"
#include "afx/MFCButton.h"
#include "client/WebBrowser2.h"
#include "layered/StandardDialog.h"

class CTalvStandardDlg : public CStandardDialog
{
    DECLARE_DYNAMIC(CTalvStandardDlg)

public:
    explicit CTalvStandardDlg(CWnd* pParent = nullptr);
    ~CTalvStandardDlg() override;

    // Pages the panel shows and opens.
    static const wchar_t kGuestLoginUrl[];
    static const wchar_t kHomepageUrl[];
    static const wchar_t kPayUrl[];
    static const wchar_t kServiceUrl[];
    static const wchar_t kForumUrl[];
    // A completed navigation whose URL contains this (anywhere, same case) ends the login.
    static const wchar_t kGameServerHost[];

protected:
    void DoDataExchange(CDataExchange* pDX) override;

public:
    BOOL OnInitDialog() override;

protected:
    void OnOK() override;

    void OnBnClickedOfficialSite();
    void OnBnClickedHomepage();
    void OnBnClickedClose();
    void OnBnClickedPay();
    void OnBnClickedService();
    void OnBnClickedForum();
    void OnDestroy();
    void OnClose();
    void OnBnClickedMinimize();

    // NavigateComplete2 of the browser (pDisp: the page or frame, not examined; pvarURL: the URL
    // the navigation completed on). A URL with the game server's host hands over to the game
    // window, which runs before this returns.
    void OnNavigateComplete2(LPDISPATCH pDisp, VARIANT* pvarURL);

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

public:
    CButton m_btnOfficialSite;
    CWebBrowser2 m_browser;
    CMFCButton m_btnHomepage;
    CMFCButton m_btnClose;
    CMFCButton m_btnPay;
    CMFCButton m_btnService;
    CMFCButton m_btnForum;
    CMFCButton m_btnMinimize;
};
