#include "afx/DebugReport.h"

#include <cstdarg>

#include "afx/Exception.h"
#include "afx/String.h"

namespace {

void ReportExceptionLine(LPCWSTR lpszWhere, const CString& strClass, const CString& strText)
{
    CString line(L"exception in ");
    line += lpszWhere;
    line += L": ";
    line += strClass;
    if (!strText.IsEmpty() && strText != strClass)
    {
        line += L": ";
        line += strText;
    }
    line += L"\n";
    ::OutputDebugStringW(line);
}

}  // namespace

void AfxDebugReport(LPCWSTR lpszFormat, ...)
{
    wchar_t text[1026];
    va_list args;
    va_start(args, lpszFormat);
    int n = ::wvsprintfW(text, lpszFormat, args);
    va_end(args);
    if (n < 0)
        n = 0;
    text[n] = L'\n';
    text[n + 1] = L'\0';
    ::OutputDebugStringW(text);
}

void AfxReportException(LPCWSTR lpszWhere, const CException& e)
{
    ReportExceptionLine(lpszWhere, CString::FromMultiByte(e.GetRuntimeClass()->m_lpszClassName),
                        e.Describe());
}

void AfxReportException(LPCWSTR lpszWhere, const std::exception& e)
{
    ReportExceptionLine(lpszWhere, CString(L"std::exception"), CString::FromMultiByte(e.what()));
}

void AfxReportException(LPCWSTR lpszWhere)
{
    ReportExceptionLine(lpszWhere, CString(L"unknown exception"), CString());
}
