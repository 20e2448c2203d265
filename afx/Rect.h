// A RECT with constructors, size queries and the usual geometry.
#pragma once

#include <windows.h>
#include "afx/Point.h"

class CRect : public RECT
{
public:
    CRect() noexcept { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& rc) noexcept { ::CopyRect(this, &rc); }
    CRect(LPCRECT prc) noexcept
    {
        if (prc)
            ::CopyRect(this, prc);
        else
            SetRectEmpty();
    }
    CRect(POINT topLeft, SIZE size) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = left + size.cx;
        bottom = top + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight) noexcept
    {
        left = topLeft.x;
        top = topLeft.y;
        right = bottomRight.x;
        bottom = bottomRight.y;
    }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }

    BOOL IsRectEmpty() const noexcept { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT pt) const noexcept { return ::PtInRect(this, pt); }

    void SetRectEmpty() noexcept { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT pt) noexcept { ::OffsetRect(this, pt.x, pt.y); }
    void MoveToXY(int x, int y) noexcept { OffsetRect(x - left, y - top); }
    void DeflateRect(int dx, int dy) noexcept { ::InflateRect(this, -dx, -dy); }
    void NormalizeRect() noexcept
    {
        if (left > right)
        {
            LONG t = left;
            left = right;
            right = t;
        }
        if (top > bottom)
        {
            LONG t = top;
            top = bottom;
            bottom = t;
        }
    }
    BOOL IntersectRect(LPCRECT a, LPCRECT b) noexcept { return ::IntersectRect(this, a, b); }

    bool operator==(const RECT& rc) const noexcept { return ::EqualRect(this, &rc) != FALSE; }
    bool operator!=(const RECT& rc) const noexcept { return !(*this == rc); }
};
