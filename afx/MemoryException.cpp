#include "afx/MemoryException.h"

#include <cwchar>

IMPLEMENT_DYNAMIC(CMemoryException, CException)

BOOL CMemoryException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const
{
    if (!lpszError || nMaxError == 0)
        return FALSE;
    wcsncpy_s(lpszError, nMaxError, L"Out of memory.", _TRUNCATE);
    return TRUE;
}
