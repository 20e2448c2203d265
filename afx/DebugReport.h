// The library's reports to the debugger output (OutputDebugStringW), one line each: what went
// wrong where the library cannot hand the failure back to a caller, above all exceptions that
// reach a window or dialog procedure, a COM boundary or the application's start-up; and the guard
// that stops such exceptions there (AfxCallGuarded).
#pragma once

#include <windows.h>

#include <exception>

#include "afx/Exception.h"

// A line formatted as wsprintfW formats (at most 1024 characters; the line end is added).
void AfxDebugReport(LPCWSTR lpszFormat, ...);

// "exception in <lpszWhere>: <class>: <text>"; the text is left out when it is only the class
// name.
void AfxReportException(LPCWSTR lpszWhere, const CException& e);
void AfxReportException(LPCWSTR lpszWhere, const std::exception& e);
// An exception of no type the library knows.
void AfxReportException(LPCWSTR lpszWhere);

// The exceptions a guard stops: the library's own, those and the standard library's, or any.
enum class AfxCatch
{
    Library,
    LibraryAndStd,
    All
};

// Returns body(). An exception of the kinds kCatch names that leaves it is reported as thrown in
// where (anything that converts to LPCWSTR, read only then) and onException() gives the result
// instead; any other exception goes on to the caller.
template <AfxCatch kCatch, class Where, class Body, class OnException>
auto AfxCallGuarded(const Where& where, Body&& body, OnException&& onException) -> decltype(body())
{
    try
    {
        return body();
    }
    catch (CException& e)
    {
        AfxReportException(where, e);
    }
    catch (std::exception& e)
    {
        if constexpr (kCatch == AfxCatch::Library)
            throw;
        else
            AfxReportException(where, e);
    }
    catch (...)
    {
        if constexpr (kCatch != AfxCatch::All)
            throw;
        else
            AfxReportException(where);
    }
    return onException();
}
