#include "afx/OleDispatchException.h"

#include <cwchar>

IMPLEMENT_DYNAMIC(COleDispatchException, CException)

BOOL COleDispatchException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const
{
    if (!lpszError || nMaxError == 0)
        return FALSE;
    wcsncpy_s(lpszError, nMaxError, m_strDescription.GetString(), _TRUNCATE);
    return !m_strDescription.IsEmpty();
}
