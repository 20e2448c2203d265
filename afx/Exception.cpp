#include "afx/Exception.h"

IMPLEMENT_DYNAMIC(CException, CObject)

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const
{
    if (lpszError && nMaxError > 0)
        lpszError[0] = 0;
    return FALSE;
}

CString CException::Describe() const
{
    wchar_t buffer[512];
    if (GetErrorMessage(buffer, UINT(sizeof(buffer) / sizeof(buffer[0]))) && buffer[0])
        return CString(buffer);
    return CString::FromMultiByte(GetRuntimeClass()->m_lpszClassName);
}
