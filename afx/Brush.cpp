#include "afx/Brush.h"

IMPLEMENT_DYNAMIC(CBrush, CGdiObject)

BOOL CBrush::CreateSolidBrush(COLORREF color) noexcept
{
    return Attach(::CreateSolidBrush(color));
}
