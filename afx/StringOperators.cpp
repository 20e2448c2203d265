// CString's concatenation and comparison operators.
#include "afx/String.h"

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

namespace {
std::wstring_view View(const CString& s) noexcept
{
    return std::wstring_view(s.GetString(), size_t(s.GetLength()));
}
}  // namespace

bool operator==(const CString& a, const CString& b) noexcept
{
    return View(a) == View(b);
}
bool operator!=(const CString& a, const CString& b) noexcept
{
    return !(a == b);
}
