// A device context handle with drawing helpers. The object does not own the HDC: whoever got the
// DC (BeginPaint, GetDC, the system in WM_ERASEBKGND/WM_CTLCOLOR*) releases it.
#pragma once

#include <windows.h>

#include <utility>

#include "afx/Object.h"
#include "afx/String.h"

class CGdiObject;

class CDC : public CObject
{
    DECLARE_DYNAMIC(CDC)
public:
    CDC() noexcept : m_hDC(nullptr) {}
    explicit CDC(HDC hDC) noexcept : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    ~CDC() override = default;

    // A temporary object for hDC, the same one for the same handle until the thread's temporary
    // objects are dropped (when the message loop that made it is idle, or at thread end; see
    // AfxDeleteTempMap). NULL for a NULL handle.
    static CDC* FromHandle(HDC hDC);
    // Drops every temporary device context object of the thread.
    static void DeleteTempMap() noexcept;

    HDC GetSafeHdc() const noexcept { return m_hDC; }
    operator HDC() const noexcept { return m_hDC; }
    BOOL Attach(HDC hDC) noexcept
    {
        m_hDC = hDC;
        return hDC != nullptr;
    }
    HDC Detach() noexcept { return std::exchange(m_hDC, nullptr); }

    HGDIOBJ SelectObject(HGDIOBJ hObject) noexcept { return ::SelectObject(m_hDC, hObject); }
    HGDIOBJ SelectObject(CGdiObject* pObject) noexcept;

    COLORREF SetBkColor(COLORREF color) noexcept { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const noexcept { return ::GetBkColor(m_hDC); }

    COLORREF GetPixel(int x, int y) const noexcept { return ::GetPixel(m_hDC, x, y); }
    int FillRect(LPCRECT lpRect, HBRUSH hBrush) noexcept
    {
        return ::FillRect(m_hDC, lpRect, hBrush);
    }
    void FillSolidRect(LPCRECT lpRect, COLORREF color) noexcept;
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) noexcept;

    HDC m_hDC;
};
