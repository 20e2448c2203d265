// A 32-bit top-down DIB section selected into its own memory device context, for tests that
// draw or capture pixels.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

class Canvas
{
public:
    Canvas(int cx, int cy) : m_cx(cx), m_cy(cy), m_dc(::CreateCompatibleDC(nullptr))
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<DWORD*>(bits);
        if (m_dc && m_bitmap)
            m_old = ::SelectObject(m_dc.get(), m_bitmap.get());
    }
    ~Canvas()
    {
        if (m_old)
            ::SelectObject(m_dc.get(), m_old);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ok() const { return m_bits != nullptr && m_old != nullptr; }
    HDC DC() const { return m_dc.get(); }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(m_bitmap.get()); }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    DWORD Pixel(int x, int y) const { return m_bits[y * m_cx + x] & 0x00FFFFFF; }

private:
    struct DeleteDC
    {
        void operator()(HDC h) const { ::DeleteDC(h); }
    };
    struct DeleteObj
    {
        void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
    };
    using MemDC = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDC>;
    using GdiObj = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, DeleteObj>;

    int m_cx, m_cy;
    MemDC m_dc;
    GdiObj m_bitmap;
    DWORD* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};
