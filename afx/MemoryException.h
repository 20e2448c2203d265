// Out of memory (also thrown for lengths that cannot be allocated).
#pragma once

#include "afx/Exception.h"

class CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const override;
};

[[noreturn]] inline void AfxThrowMemoryException()
{
    throw CMemoryException();
}
