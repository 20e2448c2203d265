// Owners of the GDI handles the floors of the benchmarks make, each released when it goes.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct GdiObjectDelete
{
    void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct MemoryDcDelete
{
    void operator()(HDC h) const { ::DeleteDC(h); }
};

using BitmapOwner = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;
using BrushOwner = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDelete>;
using MemoryDcOwner = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDelete>;

// A window's device context, from GetDC to ReleaseDC.
class WindowDcScope
{
public:
    explicit WindowDcScope(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~WindowDcScope()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    WindowDcScope(const WindowDcScope&) = delete;
    WindowDcScope& operator=(const WindowDcScope&) = delete;
    HDC get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// An object selected into a device context for one scope.
class SelectionScope
{
public:
    SelectionScope(HDC hDC, HGDIOBJ hObj) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObj)) {}
    ~SelectionScope()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A 32-bit DIB section of cx by cy pixels, rows top-down when topDown, else bottom-up; its bits
// in *ppBits.
inline BitmapOwner MakeDib32(int cx, int cy, bool topDown, void** ppBits)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = topDown ? -cy : cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    *ppBits = nullptr;
    return BitmapOwner(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, ppBits, nullptr, 0));
}
