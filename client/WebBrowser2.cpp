#include "client/WebBrowser2.h"

#include <exdisp.h>

IMPLEMENT_DYNCREATE(CWebBrowser2, CWnd)

CWebBrowser2::~CWebBrowser2() = default;

const CLSID& CWebBrowser2::GetClsid()
{
    return CLSID_WebBrowser;
}

BOOL CWebBrowser2::Create(LPCWSTR, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CWnd* pParentWnd, UINT nID, LPVOID)
{
    return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID, nullptr, FALSE,
                         nullptr);
}

void CWebBrowser2::Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName,
                            VARIANT* PostData, VARIANT* Headers)
{
    static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, URL, Flags, TargetFrameName,
                 PostData, Headers);
}

void CWebBrowser2::put_Silent(BOOL bNewValue)
{
    static const BYTE parms[] = VTS_BOOL;
    InvokeHelper(551, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, parms, bNewValue);
}

CString CWebBrowser2::GetLocationURL()
{
    CString result;
    InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    return result;
}
