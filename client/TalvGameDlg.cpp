#include "client/TalvGameDlg.h"

#include <cstddef>

#include "afx/WinApp.h"
#include "client/TranslucentApp.h"
#include "res/resource.h"

// The record up to and including guidItem (without hBalloonIcon): what the icon calls are given.
static_assert(sizeof(void*) != 4 || offsetof(NOTIFYICONDATAW, hBalloonIcon) == 952,
              "the notification record is 952 bytes up to guidItem in the 32-bit program");

NOTIFYICONDATAW g_nid = {};

namespace {

const UINT kTrayNotify = WM_USER + 1;
const UINT kTrayIconId = IDI_GAME;
// Caption, system menu, sizing frame, minimise and maximise boxes.
const DWORD kFrameBits = WS_OVERLAPPEDWINDOW;
// Broadcast by the shell when the taskbar starts or restarts, losing every icon.
const UINT kTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

}  // namespace

IMPLEMENT_DYNCREATE(CTalvGameDlg, CDHtmlDialog)

BEGIN_MESSAGE_MAP(CTalvGameDlg, CDHtmlDialog)
    ON_WM_CREATE()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_MESSAGE(kTrayNotify, OnTrayNotify)
    ON_WM_ACTIVATE()
    ON_WM_CLOSE()
    ON_REGISTERED_MESSAGE(kTaskbarCreated, OnTaskbarCreated)
END_MESSAGE_MAP()

BEGIN_DHTML_EVENT_MAP(CTalvGameDlg)
END_DHTML_EVENT_MAP()

CTalvGameDlg::CTalvGameDlg(CWnd* pParent)
    : CDHtmlDialog(IDD_GAME_DIALOG, IDR_GAME_HTML, pParent),
      m_bFullScreen(FALSE),
      m_hIcon(nullptr),
      m_bTrayIcon(false)
{
}

CTalvGameDlg::~CTalvGameDlg() = default;

BOOL CTalvGameDlg::OnInitDialog()
{
    CDHtmlDialog::OnInitDialog();

    // Without its view the library has already destroyed the window: nothing is left to set up,
    // and an icon added now would outlive the window.
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return FALSE;

    g_nid.cbSize = offsetof(NOTIFYICONDATAW, hBalloonIcon);
    g_nid.hWnd = m_hWnd;
    g_nid.uID = kTrayIconId;
    g_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_nid.uCallbackMessage = kTrayNotify;
    g_nid.hIcon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_GAME));
    ::Shell_NotifyIconW(NIM_ADD, &g_nid);
    m_bTrayIcon = true;

    m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_GAME));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    ::SetWindowLongW(m_hWnd, GWL_STYLE, ::GetWindowLongW(m_hWnd, GWL_STYLE) | kFrameBits);
    ::ShowWindow(m_hWnd, SW_MAXIMIZE);

    const CString strCaption =
        CString(L"Orvane") + L"s" + m_strServer + L"服" + L"  【F5刷新】【F11全屏】【F12最小托盘】";
    ::SetWindowTextW(m_hWnd, strCaption);

    Navigate(m_strUrl, 0, nullptr, nullptr, nullptr, 0);
    return TRUE;
}

int CTalvGameDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CDHtmlDialog::OnCreate(lpCreateStruct);
}

// Right-button presses on the dialog itself get no default processing.
void CTalvGameDlg::OnRButtonDown(UINT, CPoint)
{
}

void CTalvGameDlg::OnRButtonUp(UINT, CPoint)
{
}

void CTalvGameDlg::OnSize(UINT nType, int cx, int cy)
{
    CDHtmlDialog::OnSize(nType, cx, cy);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
}

void CTalvGameDlg::OnDestroy()
{
    CDHtmlDialog::OnDestroy();
    ::Shell_NotifyIconW(NIM_DELETE, &g_nid);
    m_bTrayIcon = false;
}

LRESULT CTalvGameDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    if (wParam != kTrayIconId)
        return 1;
    if (lParam == WM_LBUTTONUP)
    {
        ShowWindow(SW_MAXIMIZE);
        BringWindowToTop();
    }
    return 0;
}

void CTalvGameDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CDHtmlDialog::OnActivate(nState, pWndOther, bMinimized);
}

void CTalvGameDlg::OnClose()
{
    if (MessageBox(L"确定退出游戏？", L"退出游戏", MB_YESNO) != IDYES)
        return;
    // The window is detached next, so its WM_DESTROY handler will not remove the icon.
    ::Shell_NotifyIconW(NIM_DELETE, &g_nid);
    m_bTrayIcon = false;
    if (CTranslucentApp* pApp = dynamic_cast<CTranslucentApp*>(AfxGetApp()))
        pApp->ShowLoginWindow();
}

LRESULT CTalvGameDlg::OnTaskbarCreated(WPARAM, LPARAM)
{
    if (m_bTrayIcon)
        ::Shell_NotifyIconW(NIM_ADD, &g_nid);
    return 0;
}

void CTalvGameDlg::CloseReplacedView()
{
    CloseView();
}

void CTalvGameDlg::SetUrls(CString strGameUrl, CString strServerUrl)
{
    m_strUrl = strGameUrl;

    const int p = strServerUrl.Find(L"&server=");
    if (p < 0)
    {
        m_strServer = L" ";
        return;
    }
    const int e = strServerUrl.Find(L'=', p + 1);
    const int a = strServerUrl.Find(L'&', p + 1);
    if (e < 0 || a < 0)
        m_strServer = L" ";
    else
        m_strServer = strServerUrl.Mid(e + 1, a - e - 1);
}

BOOL CTalvGameDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
    {
        switch (pMsg->wParam)
        {
        case VK_ESCAPE:
            if (m_bFullScreen == TRUE)
                ToggleFullScreen();
            // Esc is still delivered to its window.
            [[fallthrough]];
        case VK_RETURN:
        case VK_F10:
            ::TranslateMessage(pMsg);
            ::DispatchMessageW(pMsg);
            return TRUE;
        case VK_F5:
            Refresh();
            return TRUE;
        case VK_F11:
            ToggleFullScreen();
            break;
        case VK_F12:
            ShowWindow(SW_HIDE);
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CTalvGameDlg::Refresh()
{
    Navigate(m_strUrl, 0, nullptr, nullptr, nullptr, 0);
}

void CTalvGameDlg::ToggleFullScreen()
{
    const BOOL bWasFullScreen = m_bFullScreen;
    m_bFullScreen = FALSE;
    ModifyStyle(WS_POPUP, kFrameBits, 0);
    if (!bWasFullScreen)
    {
        ShowWindow(SW_RESTORE);
        m_bFullScreen = TRUE;
        ModifyStyle(kFrameBits, WS_POPUP, 0);
    }
    ShowWindow(SW_MAXIMIZE);
}
