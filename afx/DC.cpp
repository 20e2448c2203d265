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
