#include "afx/OleException.h"

#include <cwchar>

IMPLEMENT_DYNAMIC(COleException, CException)

BOOL COleException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const
{
    if (!lpszError || nMaxError == 0)
        return FALSE;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               DWORD(m_sc), 0, lpszError, nMaxError, nullptr);
    if (n == 0)
    {
        _snwprintf_s(lpszError, nMaxError, _TRUNCATE, L"OLE error 0x%08lX",
                     static_cast<unsigned long>(m_sc));
        return TRUE;
    }
    while (n > 0 &&
           (lpszError[n - 1] == L'\n' || lpszError[n - 1] == L'\r' || lpszError[n - 1] == L' '))
        lpszError[--n] = 0;
    return TRUE;
}
