// The login panel's embedded web browser: the WebBrowser ActiveX control, driven through its
// dispatch interface (Navigate 104, LocationURL 211, Silent 551). The control's window and site
// come from the dialog template and DDX_Control, or from Create. Without a site the operations
// do nothing; failed calls raise COleException / COleDispatchException.
#pragma once

#include "afx/Afx.h"

class CWebBrowser2 : public CWnd
{
    DECLARE_DYNCREATE(CWebBrowser2)
public:
    CWebBrowser2() = default;
    ~CWebBrowser2() override;

    // The class identifier of the control: CLSID_WebBrowser.
    static const CLSID& GetClsid();

    // Creates the WebBrowser control (the class name and lpParam are ignored), without persisted
    // state.
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr) override;

    // Flags, target frame name, post data and headers may each be NULL (not given).
    void Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                  VARIANT* Headers);
    void put_Silent(BOOL bNewValue);
    // The URL of the page the control shows; empty without a control.
    CString GetLocationURL();
};
