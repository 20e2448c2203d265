// A child window that draws itself onto the skin of a translucent dialog during its redraw.
#pragma once

#include <windows.h>
#include <algorithm>
#include <gdiplus.h>

#include "afx/Wnd.h"

class CRenderChild : public CWnd
{
public:
    // Draws onto the Graphics of the redraw in progress. Called only while m_bRenderEnabled is
    // set, or for every child while the dialog hides its background.
    virtual void Render(Gdiplus::Graphics* pGraphics) = 0;

    bool m_bRenderEnabled = true;
};
