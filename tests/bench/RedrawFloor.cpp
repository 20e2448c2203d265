#include "tests/bench/RedrawFloor.h"

#include <cstring>

#include "layered/LoadImageFromResource.h"
#include "res/resource.h"

namespace {

using PFN_UPDATELAYEREDWINDOW = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                              BLENDFUNCTION*, DWORD);

}  // namespace

RedrawFloor::RedrawFloor(SIZE size) : m_size(size)
{
    m_pImage.reset(LoadImageFromResource(IDB_LOGIN_SKIN, L"PNG", nullptr));
    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0,
                               size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    void* pBits = nullptr;
    m_dib = AfxCreateDibSection32(size.cx, size.cy, false, &pBits);
    if (!m_dc || !m_dib)
        return;
    m_pSelection = std::make_unique<CScopedSelection>(m_dc, m_dib);
    m_pGraphics = std::make_unique<Gdiplus::Graphics>(m_dc.Get());
    m_pGraphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
}

RedrawFloor::~RedrawFloor()
{
    m_pGraphics.reset();
    m_pSelection.reset();
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

void RedrawFloor::KeptFrame()
{
    m_pGraphics->DrawImage(m_pImage.get(), 0, 0, m_size.cx, m_size.cy);
    POINT dst = {0, 0}, src = {0, 0};
    SIZE size = m_size;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, nullptr, &dst, &size, m_dc, &src, 0, &blend, ULW_ALPHA);
}

void RedrawFloor::FreshFrame()
{
    const int cx = static_cast<int>(m_pImage->GetWidth());
    const int cy = static_cast<int>(m_pImage->GetHeight());
    const LONG exStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED))
        ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    const CScopedClientDC dc(m_hWnd);
    const CScopedMemoryDC memDC(dc);
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    void* pBits = nullptr;
    const CScopedBitmap dib = AfxCreateDibSection32(cx, cy, false, &pBits);
    if (!memDC || !dib)
        return;
    std::memset(pBits, 0, static_cast<size_t>(4) * cx * cy);
    const CScopedSelection selection(memDC, dib);
    Gdiplus::Graphics graphics(memDC);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    graphics.DrawImage(m_pImage.get(), 0, 0, cx, cy);

    const CScopedModule user32(L"User32.DLL");
    if (auto pfnUpdate = user32.GetProc<PFN_UPDATELAYEREDWINDOW>("UpdateLayeredWindow"))
    {
        POINT dst = {rcWindow.left, rcWindow.top};
        SIZE size = {cx, cy};
        POINT src = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        pfnUpdate(m_hWnd, dc, &dst, &size, memDC, &src, 0, &blend, ULW_ALPHA);
    }
}
