// Pixels of a window as its own painting draws them, and images of the resources read without the
// library's button class, to compare the two.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/Canvas.h"

// Pixels row by row: 0x00RRGGBB as a window drew them, 0xAARRGGBB (straight) as an image holds them.
struct Pixels
{
    int cx = 0, cy = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const { return data[size_t(y) * size_t(cx) + size_t(x)]; }
};

// The client area as the window's own painting (WM_PRINTCLIENT) draws it.
inline Pixels RenderWindow(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    Canvas canvas(rc.right, rc.bottom);
    // A colour nothing draws, so unpainted pixels show.
    HBRUSH hMagenta = ::CreateSolidBrush(RGB(255, 0, 255));
    ::FillRect(canvas.DC(), &rc, hMagenta);
    ::DeleteObject(hMagenta);
    ::SendMessageW(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
    ::GdiFlush();
    Pixels px;
    px.cx = canvas.Ok() ? rc.right : 0;
    px.cy = canvas.Ok() ? rc.bottom : 0;
    for (int y = 0; y < px.cy; ++y)
        for (int x = 0; x < px.cx; ++x)
            px.data.push_back(canvas.Pixel(x, y));
    return px;
}

// Images of the resources read without the button class: bitmaps from the raw DIB of the
// resource, PNGs through GDI+'s pixel reads.
inline Pixels LoadBitmapReference(UINT nID)
{
    Pixels img;
    HINSTANCE hInst = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(nID), MAKEINTRESOURCEW(2));
    if (!hRes)
        return img;
    const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(hInst, hRes)));
    BITMAPINFOHEADER bih;
    memcpy(&bih, p, sizeof(bih));
    if (bih.biBitCount != 24 || bih.biCompression != BI_RGB)
        return img;
    img.cx = bih.biWidth;
    img.cy = bih.biHeight > 0 ? bih.biHeight : -bih.biHeight;
    const BYTE* bits = p + bih.biSize;
    const int stride = (img.cx * 3 + 3) & ~3;
    img.data.resize(size_t(img.cx) * size_t(img.cy));
    for (int y = 0; y < img.cy; ++y)
    {
        const int row = bih.biHeight > 0 ? img.cy - 1 - y : y;
        for (int x = 0; x < img.cx; ++x)
        {
            const BYTE* q = bits + size_t(row) * size_t(stride) + size_t(x) * 3;
            img.data[size_t(y) * size_t(img.cx) + size_t(x)] =
                0xFF000000u | (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
        }
    }
    return img;
}

inline Pixels LoadPngReference(UINT nID)
{
    Pixels img;
    HINSTANCE hInst = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(nID), L"PNG");
    if (!hRes)
        return img;
    DWORD size = ::SizeofResource(hInst, hRes);
    const void* p = ::LockResource(::LoadResource(hInst, hRes));
    HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(::GlobalLock(hMem), p, size);
    ::GlobalUnlock(hMem);
    IStream* stream = nullptr;
    ::CreateStreamOnHGlobal(hMem, TRUE, &stream);
    {
        Gdiplus::Bitmap bmp(stream);
        if (bmp.GetLastStatus() == Gdiplus::Ok)
        {
            img.cx = int(bmp.GetWidth());
            img.cy = int(bmp.GetHeight());
            img.data.resize(size_t(img.cx) * size_t(img.cy));
            for (int y = 0; y < img.cy; ++y)
                for (int x = 0; x < img.cx; ++x)
                {
                    Gdiplus::Color c;
                    bmp.GetPixel(x, y, &c);
                    img.data[size_t(y) * size_t(img.cx) + size_t(x)] = c.GetValue();
                }
        }
    }
    stream->Release();
    return img;
}

// Pixels of the image's area (centred in the button) that differ from the image laid over the
// background colour by more than a rounding step; -1 when the sizes do not allow a comparison.
inline int CountMismatches(const Pixels& shot, const Pixels& ref, uint32_t background)
{
    if (ref.cx == 0 || ref.cx > shot.cx || ref.cy > shot.cy)
        return -1;
    const int ox = (shot.cx - ref.cx) / 2, oy = (shot.cy - ref.cy) / 2;
    int bad = 0;
    for (int y = 0; y < ref.cy; ++y)
        for (int x = 0; x < ref.cx; ++x)
        {
            const uint32_t s = ref.At(x, y);
            const uint32_t a = s >> 24;
            const uint32_t got = shot.At(ox + x, oy + y);
            for (int shift = 0; shift <= 16; shift += 8)
            {
                const int src = int((s >> shift) & 0xFF), bg = int((background >> shift) & 0xFF);
                const int want = (src * int(a) + bg * int(255 - a) + 127) / 255;
                const int have = int((got >> shift) & 0xFF);
                if (want - have > 3 || have - want > 3)
                {
                    ++bad;
                    break;
                }
            }
        }
    return bad;
}
