#include "HostingTestSupport.h"

#include <stdexcept>

namespace hosttest {

BEGIN_MESSAGE_MAP(BrowserWrapper, CWnd)
    ON_MESSAGE(WM_HOST_PROBE, OnProbe)
END_MESSAGE_MAP()

LRESULT BrowserWrapper::OnProbe(WPARAM, LPARAM)
{
    ++m_nProbes;
    return 42;
}

BEGIN_EVENTSINK_MAP(HostDlg, CDialog)
    ON_EVENT(HostDlg, 9999, 252, OnOtherControl, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(HostDlg, IDC_HOST_BROWSER, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(HostDlg, IDC_HOST_BROWSER, 113, OnTitleChange, VTS_BSTR)
END_EVENTSINK_MAP()

BOOL HostDlg::OnInitDialog()
{
    m_bControlAtInit = ::GetDlgItem(m_hWnd, IDC_HOST_BROWSER) != nullptr;
    return CDialog::OnInitDialog();
}

void HostDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_HOST_BROWSER, m_browser);
}

void HostDlg::OnNavigateComplete2(LPDISPATCH pDisp, VARIANT* pUrl)
{
    std::wstring url;
    if (pUrl != nullptr && pUrl->vt == VT_BSTR && pUrl->bstrVal != nullptr)
        url = pUrl->bstrVal;
    m_navs.push_back({pDisp, pUrl, url});
    if (m_bThrow)
        throw COleException(E_FAIL);
}

void HostDlg::OnTitleChange(LPCWSTR lpszTitle)
{
    m_titles.emplace_back(lpszTitle != nullptr ? lpszTitle : L"(null)");
    if (m_bThrow)
        throw std::runtime_error("title handler failed");
}

void HostDlg::OnOtherControl(LPDISPATCH, VARIANT*)
{
    ++m_nOtherControl;
}

BEGIN_EVENTSINK_MAP(DerivedHostDlg, HostDlg)
    ON_EVENT(DerivedHostDlg, IDC_HOST_BROWSER, 102, OnStatusTextChange, VTS_BSTR)
    ON_EVENT(DerivedHostDlg, IDC_HOST_BROWSER, 113, OnDerivedTitleChange, VTS_BSTR)
END_EVENTSINK_MAP()

void DerivedHostDlg::OnStatusTextChange(LPCWSTR lpszText)
{
    m_status.emplace_back(lpszText != nullptr ? lpszText : L"(null)");
}

void DerivedHostDlg::OnDerivedTitleChange(LPCWSTR lpszTitle)
{
    m_derivedTitles.emplace_back(lpszTitle != nullptr ? lpszTitle : L"(null)");
}

BOOL HtmlDlg::OnInitDialog()
{
    m_bInitResult = CDHtmlDialog::OnInitDialog();
    return m_bInitResult;
}

void HtmlDlg::OnBeforeNavigate(LPDISPATCH pDisp, LPCWSTR szUrl)
{
    m_before.emplace_back(szUrl);
    CDHtmlDialog::OnBeforeNavigate(pDisp, szUrl);
}

std::wstring ResourceUrl(UINT nID)
{
    wchar_t szModule[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, szModule, MAX_PATH);
    return L"res://" + std::wstring(szModule) + L"/" + std::to_wstring(nID);
}

}  // namespace hosttest
