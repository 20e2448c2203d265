// An error raised by an automation call (IDispatch::Invoke), with its description.
#pragma once

#include "afx/Exception.h"

class COleDispatchException : public CException
{
    DECLARE_DYNAMIC(COleDispatchException)
public:
    COleDispatchException(LPCWSTR lpszDescription = nullptr, UINT nHelpID = 0, WORD wCode = 0)
        : m_wCode(wCode),
          m_strDescription(lpszDescription),
          m_dwHelpContext(nHelpID),
          m_scError(0)
    {
    }

    // The description; FALSE when it is empty.
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const override;

    WORD m_wCode;  // error code of the server's own, or 0
    CString m_strDescription;
    DWORD m_dwHelpContext;
    CString m_strHelpFile;
    CString m_strSource;
    SCODE m_scError;  // status code when m_wCode is 0
};
