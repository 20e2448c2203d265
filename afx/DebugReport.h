// The library's reports to the debugger output (OutputDebugStringW), one line each: what went
// wrong where the library cannot hand the failure back to a caller, above all exceptions that
// reach a window or dialog procedure, a COM boundary or the application's start-up.
#pragma once

#include <windows.h>

#include <exception>

class CException;

// A line formatted as wsprintfW formats (at most 1024 characters; the line end is added).
void AfxDebugReport(LPCWSTR lpszFormat, ...);

// "exception in <lpszWhere>: <class>: <text>"; the text is left out when it is only the class
// name.
void AfxReportException(LPCWSTR lpszWhere, const CException& e);
void AfxReportException(LPCWSTR lpszWhere, const std::exception& e);
// An exception of no type the library knows.
void AfxReportException(LPCWSTR lpszWhere);
