// An owned GDI brush.
#pragma once

#include "afx/GdiObject.h"

class CBrush : public CGdiObject
{
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() noexcept = default;

    // Replace any brush held now with a new one; FALSE when GDI could not make it.
    BOOL CreateSolidBrush(COLORREF color) noexcept;
};
