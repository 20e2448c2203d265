#include "afx/DC.h"

#include "afx/GdiObject.h"
#include "afx/ThreadState.h"

IMPLEMENT_DYNAMIC(CDC, CObject)

CDC* CDC::FromHandle(HDC hDC)
{
    if (!hDC)
        return nullptr;
    AfxThreadState* pState = AfxGetThreadState();
    return pState->temporaryDCMap.FromHandle(hDC, pState->nLoopDepth);
}

void CDC::DeleteTempMap() noexcept
{
    AfxGetThreadState()->temporaryDCMap.DeleteFrom(0);
}

HGDIOBJ CDC::SelectObject(CGdiObject* pObject) noexcept
{
    return pObject ? ::SelectObject(m_hDC, pObject->m_hObject) : nullptr;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF color) noexcept
{
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) noexcept
{
    RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, color);
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) noexcept
{
    return ::BitBlt(m_hDC, x, y, cx, cy, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}

BOOL CDC::TextOut(int x, int y, const CString& str) noexcept
{
    return ::TextOutW(m_hDC, x, y, str.GetString(), str.GetLength());
}

int CDC::DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) noexcept
{
    return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) noexcept
{
    return ::DrawTextW(m_hDC, str.GetString(), str.GetLength(), lpRect, nFormat);
}

SIZE CDC::GetTextExtent(const CString& str) const noexcept
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(m_hDC, str.GetString(), str.GetLength(), &size);
    return size;
}
