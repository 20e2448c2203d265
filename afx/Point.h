// A POINT made from its coordinates: the position a mouse message handler receives.
#pragma once

#include <windows.h>

class CPoint : public POINT
{
public:
    CPoint(int initX, int initY) noexcept
    {
        x = initX;
        y = initY;
    }
};
