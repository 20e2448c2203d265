// Dialogs and helpers shared by the control hosting tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "afx/Afx.h"
#include "tests/support/MessageQueue.h"
#include "HostingTestIds.h"

namespace hosttest {

// A message the wrapper's own map answers with 42.
const UINT WM_HOST_PROBE = WM_APP + 7;

using ::PumpUntil;

inline void Pump(DWORD dwMs = 20)
{
    PumpUntil([] { return false; }, dwMs);
}

// The control's wrapper: a window object with a map of its own.
class BrowserWrapper : public CWnd
{
public:
    int m_nProbes = 0;

protected:
    LRESULT OnProbe(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

struct NavEvent
{
    IDispatch* pDisp;
    VARIANT* pUrl;
    std::wstring url;
};

// A dialog hosting control 1005 (bound to m_browser by DDX_Control) with an event sink map:
// NavigateComplete2 (252) and TitleChange (113) of control 1005, NavigateComplete2 of control
// 9999 (which does not exist).
class HostDlg : public CDialog
{
public:
    explicit HostDlg(UINT nIDTemplate) : CDialog(nIDTemplate) {}

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    BrowserWrapper m_browser;
    bool m_bControlAtInit = false;
    bool m_bThrow = false;
    std::vector<NavEvent> m_navs;
    std::vector<std::wstring> m_titles;
    int m_nOtherControl = 0;

protected:
    void OnNavigateComplete2(LPDISPATCH pDisp, VARIANT* pUrl);
    void OnTitleChange(LPCWSTR lpszTitle);
    void OnOtherControl(LPDISPATCH, VARIANT*);

    DECLARE_EVENTSINK_MAP()
};

// A derived dialog with a map of its own: StatusTextChange (102) and its own TitleChange.
class DerivedHostDlg : public HostDlg
{
public:
    explicit DerivedHostDlg(UINT nIDTemplate) : HostDlg(nIDTemplate) {}

    std::vector<std::wstring> m_status;
    std::vector<std::wstring> m_derivedTitles;

protected:
    void OnStatusTextChange(LPCWSTR lpszText);
    void OnDerivedTitleChange(LPCWSTR lpszTitle);

    DECLARE_EVENTSINK_MAP()
};

// An HTML dialog on template IDD_HOST_HTML that records its view's BeforeNavigate2 URLs.
class HtmlDlg : public CDHtmlDialog
{
public:
    explicit HtmlDlg(UINT nHtmlResID) : CDHtmlDialog(IDD_HOST_HTML, nHtmlResID) {}

    BOOL OnInitDialog() override;
    void OnBeforeNavigate(LPDISPATCH pDisp, LPCWSTR szUrl) override;

    BOOL m_bInitResult = -1;
    std::vector<std::wstring> m_before;
};

// res://<this executable>/<id>
std::wstring ResourceUrl(UINT nID);

}  // namespace hosttest
