// A POINT with constructors and arithmetic.
#pragma once

#include <windows.h>

class CPoint : public POINT
{
public:
    CPoint() noexcept
    {
        x = 0;
        y = 0;
    }
    CPoint(int initX, int initY) noexcept
    {
        x = initX;
        y = initY;
    }
    CPoint(POINT pt) noexcept
    {
        x = pt.x;
        y = pt.y;
    }
    CPoint(SIZE size) noexcept
    {
        x = size.cx;
        y = size.cy;
    }
    // Signed 16-bit coordinates packed in a mouse message's lParam.
    explicit CPoint(LPARAM lParam) noexcept
    {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }

    void Offset(int dx, int dy) noexcept
    {
        x += dx;
        y += dy;
    }
    void Offset(POINT pt) noexcept { Offset(pt.x, pt.y); }

    bool operator==(POINT pt) const noexcept { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const noexcept { return !(*this == pt); }
    CPoint& operator+=(POINT pt) noexcept
    {
        Offset(pt);
        return *this;
    }
    CPoint& operator-=(POINT pt) noexcept
    {
        Offset(-pt.x, -pt.y);
        return *this;
    }
    CPoint operator+(POINT pt) const noexcept { return CPoint(x + pt.x, y + pt.y); }
    CPoint operator-(POINT pt) const noexcept { return CPoint(x - pt.x, y - pt.y); }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
};
