// A failed OLE/COM call: the status code it returned.
#pragma once

#include "afx/Exception.h"

class COleException : public CException
{
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = E_UNEXPECTED) : m_sc(sc) {}

    // The system's text for m_sc, or the code in hex when the system has none.
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const override;

    SCODE m_sc;
};

[[noreturn]] inline void AfxThrowOleException(SCODE sc)
{
    throw COleException(sc);
}
