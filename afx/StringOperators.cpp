// CString's concatenation and comparison operators.
#include "afx/String.h"

#include <climits>
#include <cwchar>
#include <string_view>

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, LPCWSTR b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(LPCWSTR a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, wchar_t b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(wchar_t a, const CString& b)
{
    CString r(a, 1);
    r += b;
    return r;
}

namespace {
std::wstring_view View(LPCWSTR psz) noexcept
{
    return psz ? std::wstring_view(psz, wcsnlen(psz, size_t(INT_MAX))) : std::wstring_view();
}

std::wstring_view View(const CString& s) noexcept
{
    return std::wstring_view(s.GetString(), size_t(s.GetLength()));
}
}  // namespace

bool operator==(const CString& a, const CString& b) noexcept
{
    return View(a) == View(b);
}
bool operator==(const CString& a, LPCWSTR b) noexcept
{
    return View(a) == View(b);
}
bool operator==(LPCWSTR a, const CString& b) noexcept
{
    return View(a) == View(b);
}
bool operator!=(const CString& a, const CString& b) noexcept
{
    return !(a == b);
}
bool operator!=(const CString& a, LPCWSTR b) noexcept
{
    return !(a == b);
}
bool operator!=(LPCWSTR a, const CString& b) noexcept
{
    return !(a == b);
}
bool operator<(const CString& a, const CString& b) noexcept
{
    return View(a) < View(b);
}
bool operator<(const CString& a, LPCWSTR b) noexcept
{
    return View(a) < View(b);
}
bool operator<(LPCWSTR a, const CString& b) noexcept
{
    return View(a) < View(b);
}
