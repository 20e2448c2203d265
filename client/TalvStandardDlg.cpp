#include "client/TalvStandardDlg.h"

#include <exdispid.h>
#include <shellapi.h>

#include "afx/WinApp.h"
#include "client/TranslucentApp.h"
#include "res/resource.h"

const wchar_t CTalvStandardDlg::kGuestLoginUrl[] =
    L"http://passport.orvane.example/guest/c/qelv/login.php";
const wchar_t CTalvStandardDlg::kHomepageUrl[] = L"http://www.orvane.example/link/cms?gid=qelv";
const wchar_t CTalvStandardDlg::kPayUrl[] = L"http://www.orvane.example/link/pay?gid=qelv";
const wchar_t CTalvStandardDlg::kServiceUrl[] = L"http://www.orvane.example/link/kf?gid=qelv";
const wchar_t CTalvStandardDlg::kForumUrl[] = L"http://www.orvane.example/link/bbs?gid=qelv";
const wchar_t CTalvStandardDlg::kGameServerHost[] = L"game.orvane.example";

namespace {

const COLORREF kKeyColour = RGB(0, 255, 0);

void OpenInDefaultBrowser(LPCWSTR url)
{
    ::ShellExecuteW(nullptr, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

IMPLEMENT_DYNAMIC(CTalvStandardDlg, CStandardDialog)

BEGIN_MESSAGE_MAP(CTalvStandardDlg, CStandardDialog)
    ON_BN_CLICKED(IDC_OFFICIAL_SITE, OnBnClickedOfficialSite)
    ON_BN_CLICKED(IDC_HOMEPAGE, OnBnClickedHomepage)
    ON_BN_CLICKED(IDC_CLOSE, OnBnClickedClose)
    ON_BN_CLICKED(IDC_PAY, OnBnClickedPay)
    ON_BN_CLICKED(IDC_SERVICE, OnBnClickedService)
    ON_BN_CLICKED(IDC_FORUM, OnBnClickedForum)
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_MINIMIZE, OnBnClickedMinimize)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CTalvStandardDlg, CStandardDialog)
    ON_EVENT(CTalvStandardDlg, IDC_BROWSER, DISPID_NAVIGATECOMPLETE2, OnNavigateComplete2,
             VTS_DISPATCH VTS_PVARIANT)
END_EVENTSINK_MAP()

CTalvStandardDlg::CTalvStandardDlg(CWnd* pParent)
    : CStandardDialog(IDD_STANDARD_DIALOG, kKeyColour, pParent)
{
}

CTalvStandardDlg::~CTalvStandardDlg() = default;

void CTalvStandardDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_OFFICIAL_SITE, m_btnOfficialSite);
    DDX_Control(pDX, IDC_BROWSER, m_browser);
    DDX_Control(pDX, IDC_HOMEPAGE, m_btnHomepage);
    DDX_Control(pDX, IDC_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_PAY, m_btnPay);
    DDX_Control(pDX, IDC_SERVICE, m_btnService);
    DDX_Control(pDX, IDC_FORUM, m_btnForum);
    DDX_Control(pDX, IDC_MINIMIZE, m_btnMinimize);
}

BOOL CTalvStandardDlg::OnInitDialog()
{
    CStandardDialog::OnInitDialog();

    m_browser.MoveWindow(428, 297, 724, 369, TRUE);
    m_browser.Navigate(kGuestLoginUrl, nullptr, nullptr, nullptr, nullptr);
    m_browser.put_Silent(TRUE);

    struct Placement
    {
        CMFCButton& button;
        UINT normal;
        UINT hot;
        int x, y, cx, cy;
    };
    const Placement buttons[] = {
        {m_btnHomepage, IDB_HOMEPAGE, IDB_HOMEPAGE_HOT, 485, 210, 70, 32},
        {m_btnPay, IDB_PAY, IDB_PAY_HOT, 657, 210, 70, 32},
        {m_btnService, IDB_SERVICE, IDB_SERVICE_HOT, 853, 210, 70, 32},
        {m_btnForum, IDB_FORUM, IDB_FORUM_HOT, 1033, 210, 70, 32},
        {m_btnClose, IDB_CLOSE, IDB_CLOSE_HOT, 1140, 155, 35, 35},
        {m_btnMinimize, IDB_MINIMIZE, IDB_MINIMIZE_HOT, 1105, 155, 35, 35},
    };
    for (const Placement& p : buttons)
    {
        p.button.SetImage(p.normal, p.hot, 0);
        p.button.m_bTransparent = TRUE;
        p.button.MoveWindow(p.x, p.y, p.cx, p.cy, TRUE);
    }
    return TRUE;
}

void CTalvStandardDlg::OnOK()
{
    // Enter on the panel does nothing: the login page keeps the keyboard.
}

void CTalvStandardDlg::OnBnClickedOfficialSite()
{
}

void CTalvStandardDlg::OnBnClickedHomepage()
{
    OpenInDefaultBrowser(kHomepageUrl);
}

void CTalvStandardDlg::OnBnClickedClose()
{
    CWinApp* pApp = AfxGetApp();
    CWnd* pMainWnd = pApp ? pApp->m_pMainWnd : nullptr;
    ::SendMessageW(pMainWnd ? pMainWnd->m_hWnd : nullptr, WM_CLOSE, 0, 0);
}

void CTalvStandardDlg::OnBnClickedPay()
{
    OpenInDefaultBrowser(kPayUrl);
}

void CTalvStandardDlg::OnBnClickedService()
{
    OpenInDefaultBrowser(kServiceUrl);
}

void CTalvStandardDlg::OnBnClickedForum()
{
    OpenInDefaultBrowser(kForumUrl);
}

void CTalvStandardDlg::OnDestroy()
{
    CDHtmlDialog::OnDestroy();
}

void CTalvStandardDlg::OnClose()
{
    CWnd::Default();
}

void CTalvStandardDlg::OnBnClickedMinimize()
{
    ShowWindow(SW_MINIMIZE);
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->ShowWindow(SW_MINIMIZE);
}

void CTalvStandardDlg::OnNavigateComplete2(LPDISPATCH, VARIANT* pvarURL)
{
    // A panel that has handed over (or lost its window) starts nothing more.
    if (!m_hWnd)
        return;

    const CString strUrl = UrlOf(pvarURL);
    if (strUrl.Find(kGameServerHost) < 0)
        return;

    const CString strLocation = m_browser.GetLocationURL();
    ::PostMessageW(m_browser.m_hWnd, WM_CLOSE, 0, 0);
    m_browser.Detach();
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    Detach();

    if (CTranslucentApp* pApp = dynamic_cast<CTranslucentApp*>(AfxGetApp()))
        pApp->ShowGameWindow(strLocation, strUrl);
}
