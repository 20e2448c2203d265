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

    int SaveDC() noexcept { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) noexcept { return ::RestoreDC(m_hDC, nSavedDC); }
    int GetDeviceCaps(int nIndex) const noexcept { return ::GetDeviceCaps(m_hDC, nIndex); }

    HGDIOBJ SelectObject(HGDIOBJ hObject) noexcept { return ::SelectObject(m_hDC, hObject); }
    HGDIOBJ SelectObject(CGdiObject* pObject) noexcept;
    HGDIOBJ SelectStockObject(int nIndex) noexcept
    {
        return ::SelectObject(m_hDC, ::GetStockObject(nIndex));
    }

    COLORREF SetTextColor(COLORREF color) noexcept { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const noexcept { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) noexcept { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const noexcept { return ::GetBkColor(m_hDC); }
    int SetBkMode(int nMode) noexcept { return ::SetBkMode(m_hDC, nMode); }
    int GetBkMode() const noexcept { return ::GetBkMode(m_hDC); }

    COLORREF GetPixel(int x, int y) const noexcept { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetPixel(int x, int y, COLORREF color) noexcept
    {
        return ::SetPixel(m_hDC, x, y, color);
    }
    int FillRect(LPCRECT lpRect, HBRUSH hBrush) noexcept
    {
        return ::FillRect(m_hDC, lpRect, hBrush);
    }
    void FillSolidRect(LPCRECT lpRect, COLORREF color) noexcept;
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) noexcept;
    BOOL BitBlt(int x, int y, int cx, int cy, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop) noexcept;

    BOOL TextOut(int x, int y, const CString& str) noexcept;
    int DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) noexcept;
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) noexcept;
    SIZE GetTextExtent(const CString& str) const noexcept;

    HDC m_hDC;
};
