// A dialog whose client area is an HTML view: the WebBrowser control, created by OnInitDialog
// over the whole client area (control id AFX_IDW_PANE_FIRST), kept at the client size, opening
// the dialog's HTML resource (res://<module>/<id>) as its start page, and released when the
// window is destroyed. The view shows no 3D border and no scroll bars, offers the browser's own
// context menu and never sets the window caption.
//
// The view is made whether or not AfxEnableControlContainer() was called.
// A derived class whose OnInitDialog skips this one's gets no view; one that calls it must check
// m_pBrowserApp, which stays NULL when the view could not be created (the window is then
// destroyed and OnInitDialog returns FALSE).
#pragma once

#include <windows.h>
#include <exdisp.h>

#include "afx/DHtmlEventSink.h"
#include "afx/Dialog.h"
#include "afx/EventSinkMap.h"
#include "afx/ScopedHandles.h"
#include "afx/String.h"

#ifndef AFX_IDW_PANE_FIRST
#define AFX_IDW_PANE_FIRST 0xE900
#endif

class CDHtmlDialog : public CDialog, public CDHtmlEventSink
{
    DECLARE_DYNAMIC(CDHtmlDialog)
public:
    explicit CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID = 0, CWnd* pParentWnd = nullptr);
    ~CDHtmlDialog() override;

    // CDialog's initialisation, then the HTML view and its start page.
    BOOL OnInitDialog() override;

    // Navigates the view; post data of dwPostDataLen bytes is sent as a byte array. Nothing
    // happens without a view.
    void Navigate(LPCWSTR lpszURL, DWORD dwFlags = 0, LPCWSTR lpszTargetFrameName = nullptr,
                  LPCWSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr,
                  DWORD dwPostDataLen = 0);

    // The URL an event argument carries: a string, also through a string or variant reference.
    // Anything else (no argument, another type, a null string or reference) carries "".
    static LPCWSTR UrlOf(VARIANT* pUrl);

    // Releases the browser object and destroys the view's window; the dialog stays. Also run by
    // OnDestroy. Navigate does nothing afterwards.
    void CloseView();

    // Events of the view; the defaults keep the current URL.
    virtual void OnBeforeNavigate(LPDISPATCH pDisp, LPCWSTR szUrl);
    virtual void OnNavigateComplete(LPDISPATCH pDisp, LPCWSTR szUrl);
    virtual void OnDocumentComplete(LPDISPATCH pDisp, LPCWSTR szUrl);

    // The view's browser object (an owned reference), or NULL.
    CComPtr<IWebBrowser2> m_pBrowserApp;
    // The view's window, bound to its control site.
    CWnd m_wndBrowser;

    UINT m_nHtmlResID = 0;
    // Host UI flags of the view: DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO.
    DWORD m_dwHostFlags = 0x0C;
    CString m_strCurrentUrl;

    DECLARE_DHTML_EVENT_MAP()

protected:
    // The view follows the client area.
    void OnSize(UINT nType, int cx, int cy);
    // The view is closed and released, then the default processing.
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

private:
    void OnBeforeNavigate2Event(LPDISPATCH pDisp, VARIANT* pUrl, VARIANT*, VARIANT*, VARIANT*,
                                VARIANT*, VARIANT_BOOL*);
    void OnNavigateComplete2Event(LPDISPATCH pDisp, VARIANT* pUrl);
    void OnDocumentCompleteEvent(LPDISPATCH pDisp, VARIANT* pUrl);
};
