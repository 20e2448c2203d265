#include "afx/Brush.h"

IMPLEMENT_DYNAMIC(CBrush, CGdiObject)

BOOL CBrush::CreateSolidBrush(COLORREF color) noexcept
{
    return Attach(::CreateSolidBrush(color));
}

BOOL CBrush::CreateSysColorBrush(int nIndex) noexcept
{
    // System colour brushes belong to the system: keep a private solid copy we may delete.
    return Attach(::CreateSolidBrush(::GetSysColor(nIndex)));
}

BOOL CBrush::CreatePatternBrush(HBITMAP hBitmap) noexcept
{
    return Attach(::CreatePatternBrush(hBitmap));
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const noexcept
{
    return GetObject(int(sizeof(LOGBRUSH)), pLogBrush);
}
