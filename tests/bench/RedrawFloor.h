// The floors of the redraw benchmark: a layered pop-up of the skin's size, drawn from the login
// skin with GDI+ and the Windows API alone.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "afx/ScopedHandles.h"

class RedrawFloor
{
public:
    explicit RedrawFloor(SIZE size);
    ~RedrawFloor();
    RedrawFloor(const RedrawFloor&) = delete;
    RedrawFloor& operator=(const RedrawFloor&) = delete;

    bool Ready() const { return m_pImage && m_hWnd && m_dib && m_pGraphics; }

    // One frame on a DIB section and drawing surface kept from frame to frame.
    void KeptFrame();
    // One frame made as UpdateView makes it: the window's and a memory device context, a 32-bit
    // DIB section, a GDI+ surface on it and a reference to User32 for UpdateLayeredWindow, all
    // made for the frame and released after it.
    void FreshFrame();

private:
    SIZE m_size;
    std::unique_ptr<Gdiplus::Image> m_pImage;
    HWND m_hWnd = nullptr;
    CScopedMemoryDC m_dc{nullptr};
    CScopedBitmap m_dib;
    std::unique_ptr<CScopedSelection> m_pSelection;
    std::unique_ptr<Gdiplus::Graphics> m_pGraphics;
};
