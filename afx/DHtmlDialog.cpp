#include "afx/DHtmlDialog.h"

#include <exdispid.h>
#include <mshtmhst.h>

#include <cstring>

#include "afx/OleControlContainer.h"
#include "afx/OleControlSite.h"
#include "afx/WinApp.h"

namespace {

// A VARIANT that clears itself.
struct Variant : VARIANT
{
    Variant() { ::VariantInit(this); }
    ~Variant() { ::VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

}  // namespace

IMPLEMENT_DYNAMIC(CDHtmlDialog, CDialog)

BEGIN_MESSAGE_MAP(CDHtmlDialog, CDialog)
    ON_WM_DESTROY()
    ON_WM_SIZE()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CDHtmlDialog, CDialog)
    ON_EVENT(
        CDHtmlDialog, AFX_IDW_PANE_FIRST, DISPID_BEFORENAVIGATE2, OnBeforeNavigate2Event,
        VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
    ON_EVENT(CDHtmlDialog, AFX_IDW_PANE_FIRST, DISPID_NAVIGATECOMPLETE2, OnNavigateComplete2Event,
             VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CDHtmlDialog, AFX_IDW_PANE_FIRST, DISPID_DOCUMENTCOMPLETE, OnDocumentCompleteEvent,
             VTS_DISPATCH VTS_PVARIANT)
END_EVENTSINK_MAP()

BEGIN_DHTML_EVENT_MAP(CDHtmlDialog)
END_DHTML_EVENT_MAP()

CDHtmlDialog::CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd),
      m_nHtmlResID(nHtmlResID)
{
}

CDHtmlDialog::~CDHtmlDialog()
{
    // Destroy the window while this object is still an HTML dialog (OnDestroy closes the view).
    if (m_hWnd)
        DestroyWindow();
    CloseView();
}

BOOL CDHtmlDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    RECT rcClient{};
    ::GetClientRect(m_hWnd, &rcClient);
    DWORD dwFlags = m_dwHostFlags;
    COleControlSite* pSite = COleControlContainer::For(this)->CreateControl(
        &m_wndBrowser, CLSID_WebBrowser, nullptr, WS_CHILD | WS_VISIBLE, rcClient,
        AFX_IDW_PANE_FIRST, nullptr, nullptr, &dwFlags);
    if (pSite != nullptr && pSite->GetControlUnknown() != nullptr)
        pSite->GetControlUnknown()->QueryInterface(IID_IWebBrowser2,
                                                   reinterpret_cast<void**>(&m_pBrowserApp));
    if (m_pBrowserApp == nullptr)
    {
        if (pSite != nullptr && m_pCtrlCont != nullptr)
            m_pCtrlCont->DestroySite(pSite);
        DestroyWindow();
        return FALSE;
    }

    if (m_nHtmlResID != 0)
    {
        wchar_t szModule[MAX_PATH] = L"";
        ::GetModuleFileNameW(AfxGetResourceHandle(), szModule, MAX_PATH);
        wchar_t szId[16];
        ::wsprintfW(szId, L"/%u", m_nHtmlResID);
        CString strUrl(L"res://");
        strUrl += szModule;
        strUrl += szId;
        Navigate(strUrl);
    }
    return TRUE;
}

void CDHtmlDialog::Navigate(LPCWSTR lpszURL, DWORD dwFlags, LPCWSTR lpszTargetFrameName,
                            LPCWSTR lpszHeaders, LPVOID lpvPostData, DWORD dwPostDataLen)
{
    if (m_pBrowserApp == nullptr)
        return;
    BSTR bstrUrl = ::SysAllocString(lpszURL != nullptr ? lpszURL : L"");
    if (bstrUrl == nullptr)
        return;
    Variant vFlags, vTarget, vPostData, vHeaders;
    vFlags.vt = VT_I4;
    vFlags.lVal = static_cast<LONG>(dwFlags);
    if (lpszTargetFrameName != nullptr)
    {
        vTarget.vt = VT_BSTR;
        vTarget.bstrVal = ::SysAllocString(lpszTargetFrameName);
    }
    if (lpszHeaders != nullptr)
    {
        vHeaders.vt = VT_BSTR;
        vHeaders.bstrVal = ::SysAllocString(lpszHeaders);
    }
    if (lpvPostData != nullptr && dwPostDataLen > 0)
    {
        SAFEARRAY* psa = ::SafeArrayCreateVector(VT_UI1, 0, dwPostDataLen);
        void* pData = nullptr;
        if (psa != nullptr && SUCCEEDED(::SafeArrayAccessData(psa, &pData)))
        {
            std::memcpy(pData, lpvPostData, dwPostDataLen);
            ::SafeArrayUnaccessData(psa);
            vPostData.vt = VT_ARRAY | VT_UI1;
            vPostData.parray = psa;
        }
        else if (psa != nullptr)
        {
            ::SafeArrayDestroy(psa);
        }
    }
    m_pBrowserApp->Navigate(bstrUrl, &vFlags, &vTarget, &vPostData, &vHeaders);
    ::SysFreeString(bstrUrl);
}

LPCWSTR CDHtmlDialog::UrlOf(VARIANT* pUrl)
{
    pUrl = afx_event::Target(pUrl);
    BSTR bstrUrl = nullptr;
    if (pUrl != nullptr && pUrl->vt == VT_BSTR)
        bstrUrl = pUrl->bstrVal;
    else if (pUrl != nullptr && pUrl->vt == (VT_BSTR | VT_BYREF) && pUrl->pbstrVal != nullptr)
        bstrUrl = *pUrl->pbstrVal;
    return bstrUrl != nullptr ? bstrUrl : L"";
}

void CDHtmlDialog::OnBeforeNavigate(LPDISPATCH, LPCWSTR)
{
}

void CDHtmlDialog::OnNavigateComplete(LPDISPATCH, LPCWSTR szUrl)
{
    m_strCurrentUrl = szUrl;
}

void CDHtmlDialog::OnDocumentComplete(LPDISPATCH, LPCWSTR szUrl)
{
    m_strCurrentUrl = szUrl;
}

void CDHtmlDialog::OnBeforeNavigate2Event(LPDISPATCH pDisp, VARIANT* pUrl, VARIANT*, VARIANT*,
                                          VARIANT*, VARIANT*, VARIANT_BOOL*)
{
    OnBeforeNavigate(pDisp, UrlOf(pUrl));
}

void CDHtmlDialog::OnNavigateComplete2Event(LPDISPATCH pDisp, VARIANT* pUrl)
{
    OnNavigateComplete(pDisp, UrlOf(pUrl));
}

void CDHtmlDialog::OnDocumentCompleteEvent(LPDISPATCH pDisp, VARIANT* pUrl)
{
    OnDocumentComplete(pDisp, UrlOf(pUrl));
}

void CDHtmlDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_wndBrowser.m_pCtrlSite != nullptr)
        m_wndBrowser.MoveWindow(0, 0, cx, cy);
}

void CDHtmlDialog::CloseView()
{
    m_pBrowserApp.Release();
    if (m_wndBrowser.m_pCtrlSite != nullptr || m_wndBrowser.m_hWnd != nullptr)
        m_wndBrowser.DestroyWindow();
}

void CDHtmlDialog::OnDestroy()
{
    CloseView();
    CDialog::OnDestroy();
}
