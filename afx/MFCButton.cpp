#include "afx/MFCButton.h"

#include <algorithm>
#include <cstring>
#include <objidl.h>
#include <gdiplus.h>
#include "afx/ButtonProperties.h"
#include "afx/ScopedHandles.h"
#include "afx/WinApp.h"

namespace {

const wchar_t kClassName[] = L"MFCButton";
const wchar_t kPropertyProp[] = L"MFCButton.Properties";

WNDPROC g_pfnButtonProc = nullptr;

// Property string kept on a window that no object is bound to yet; the window owns it.
void StoreProperties(HWND hWnd, const char* pData, size_t nLength)
{
    std::unique_ptr<std::string> old(static_cast<std::string*>(::RemovePropW(hWnd, kPropertyProp)));
    auto text = std::make_unique<std::string>(pData, nLength);
    if (::SetPropW(hWnd, kPropertyProp, text.get()))
        text.release();
}

std::unique_ptr<std::string> TakeProperties(HWND hWnd)
{
    return std::unique_ptr<std::string>(
        static_cast<std::string*>(::RemovePropW(hWnd, kPropertyProp)));
}

// Length of a property string whose size the sender did not give: the run of complete
// "<MFCButton_...>...</MFCButton_...>" elements at pData, read no further than nMax bytes.
size_t MeasureProperties(const char* pData, size_t nMax)
{
    static const char kOpen[] = "<MFCButton_";
    const size_t nOpen = sizeof(kOpen) - 1;
    size_t pos = 0;
    for (;;)
    {
        if (nMax - pos < nOpen || std::memcmp(pData + pos, kOpen, nOpen) != 0)
            return pos;
        const char* end = nullptr;
        for (size_t i = pos + nOpen; i + 1 < nMax; ++i)
        {
            if (pData[i] == '<' && pData[i + 1] == '/')
            {
                for (size_t j = i + 2; j < nMax; ++j)
                {
                    if (pData[j] == '>')
                    {
                        end = pData + j + 1;
                        break;
                    }
                    if (pData[j] == '<' || pData[j] == '\0')
                        break;
                }
                break;
            }
            if (pData[i] == '\0')
                break;
        }
        if (!end)
            return pos;
        pos = size_t(end - pData);
    }
}

size_t PropertyLength(WPARAM wParam, LPARAM lParam)
{
    if (!lParam)
        return 0;
    return wParam ? size_t(wParam) : MeasureProperties(reinterpret_cast<const char*>(lParam), 4096);
}

LRESULT CALLBACK ClassWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg)
    {
    case WM_MFC_INITCTRL:
        // No object is bound yet: keep the string for the object that binds later.
        if (lParam)
            StoreProperties(hWnd, reinterpret_cast<const char*>(lParam),
                            PropertyLength(wParam, lParam));
        return 0;
    case WM_NCDESTROY:
        TakeProperties(hWnd);
        break;
    }
    return ::CallWindowProcW(g_pfnButtonProc, hWnd, nMsg, wParam, lParam);
}

// Registered before main() in every program that uses the button.
const BOOL g_bClassRegistered = CMFCButton::RegisterWindowClass();

}  // namespace

IMPLEMENT_DYNAMIC(CMFCButton, CButton)

BEGIN_MESSAGE_MAP(CMFCButton, CButton)
    ON_MESSAGE(WM_MFC_INITCTRL, OnInitControl)
    ON_MESSAGE(WM_PAINT, OnPaintMessage)
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
    ON_MESSAGE(WM_MOUSEMOVE, OnMouseMoveMessage)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeaveMessage)
    ON_MESSAGE(WM_SETCURSOR, OnSetCursorMessage)
    ON_MESSAGE(BM_SETSTATE, OnStateChange)
    ON_MESSAGE(WM_ENABLE, OnStateChange)
    ON_MESSAGE(WM_SETFOCUS, OnStateChange)
    ON_MESSAGE(WM_KILLFOCUS, OnStateChange)
END_MESSAGE_MAP()

void CMFCButton::PostNcDestroy()
{
    m_imgNormal = Image();
    m_imgHot = Image();
    m_imgDisabled = Image();
    CButton::PostNcDestroy();
}

CMFCButton::CMFCButton()
    : m_bTransparent(FALSE),
      m_nFlatStyle(BUTTONSTYLE_3D),
      m_bAutosize(FALSE),
      m_bFullTextTooltip(FALSE),
      m_nCursorType(0),
      m_nImageType(0),
      m_bImageOnTop(FALSE),
      m_bImageOnRight(FALSE),
      m_bHover(FALSE)
{
}

CMFCButton::~CMFCButton() = default;

BOOL CMFCButton::RegisterWindowClass()
{
    HINSTANCE hInst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(hInst, kClassName, &wc))
        return TRUE;
    if (!::GetClassInfoExW(nullptr, L"BUTTON", &wc))
        return FALSE;
    g_pfnButtonProc = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ClassWndProc;
    wc.hInstance = hInst;
    wc.lpszClassName = kClassName;
    wc.style |= CS_GLOBALCLASS;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void CMFCButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    MakeOwnerDraw();
    if (std::unique_ptr<std::string> props = TakeProperties(m_hWnd))
        ApplyProperties(props->data(), props->size());
}

void CMFCButton::MakeOwnerDraw()
{
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~LONG_PTR(BS_TYPEMASK)) | BS_OWNERDRAW);
}

void CMFCButton::ApplyProperties(const char* pData, size_t nLength)
{
    if (!pData)
        return;
    const CButtonProperties properties(std::string(pData, nLength));
    properties.ReadInt("Style", m_nFlatStyle);
    properties.ReadBool("Autosize", m_bAutosize);
    std::wstring tip;
    if (properties.ReadText("Tooltip", tip))
        m_strTooltip = tip;
    properties.ReadBool("FullTextTool", m_bFullTextTooltip);
    properties.ReadInt("CursorType", m_nCursorType);
    properties.ReadInt("ImageType", m_nImageType);
    properties.ReadBool("ImageOnTop", m_bImageOnTop);
    properties.ReadBool("ImageOnRight", m_bImageOnRight);
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

CMFCButton::Image CMFCButton::LoadImageResource(UINT nID)
{
    if (nID == 0)
        return Image();
    HINSTANCE hInst = AfxGetResourceHandle();
    if (!hInst)
        hInst = ::GetModuleHandleW(nullptr);
    if (::FindResourceW(hInst, MAKEINTRESOURCEW(nID), L"PNG"))
        return LoadPngResource(hInst, nID);
    return LoadBitmapResource(hInst, nID);
}

CMFCButton::Image CMFCButton::LoadPngResource(HINSTANCE hInst, UINT nID)
{
    Image img;
    HRSRC hRes = ::FindResourceW(hInst, MAKEINTRESOURCEW(nID), L"PNG");
    DWORD nSize = hRes ? ::SizeofResource(hInst, hRes) : 0;
    HGLOBAL hResData = nSize ? ::LoadResource(hInst, hRes) : nullptr;
    const void* pRes = hResData ? ::LockResource(hResData) : nullptr;
    if (!pRes)
        return img;

    // The stream owns the copy and frees it when released.
    CScopedGlobal copy(::GlobalAlloc(GMEM_MOVEABLE, nSize));
    if (!copy)
        return img;
    if (void* p = ::GlobalLock(copy))
    {
        std::memcpy(p, pRes, nSize);
        ::GlobalUnlock(copy);
    }
    CComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, &stream)))
    {
        stream.Detach();
        return img;
    }
    copy.Detach();

    Gdiplus::Bitmap bitmap(stream);
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return img;
    const UINT w = bitmap.GetWidth(), h = bitmap.GetHeight();
    if (w == 0 || h == 0 || w > 0x4000 || h > 0x4000)
        return img;

    void* pBits = nullptr;
    CScopedBitmap hBitmap = AfxCreateDibSection32(INT(w), INT(h), true, &pBits);  // as the rows
    if (!hBitmap || !pBits)
        return img;

    Gdiplus::Rect rect(0, 0, INT(w), INT(h));
    Gdiplus::BitmapData data = {};
    if (bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok)
        return img;
    for (UINT y = 0; y < h; ++y)
        std::memcpy(static_cast<BYTE*>(pBits) + size_t(y) * w * 4,
                    static_cast<const BYTE*>(data.Scan0) + ptrdiff_t(y) * data.Stride,
                    size_t(w) * 4);
    bitmap.UnlockBits(&data);
    ::GdiFlush();

    img.hBitmap = std::move(hBitmap);
    img.size = {LONG(w), LONG(h)};
    img.bAlpha = true;
    return img;
}

CMFCButton::Image CMFCButton::LoadBitmapResource(HINSTANCE hInst, UINT nID)
{
    Image img;
    img.hBitmap.Reset(
        static_cast<HBITMAP>(::LoadImageW(hInst, MAKEINTRESOURCEW(nID), IMAGE_BITMAP, 0, 0,
                                          LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS)));
    BITMAP bm = {};
    if (img.hBitmap && ::GetObjectW(img.hBitmap.Get(), sizeof(bm), &bm) == sizeof(bm))
    {
        img.size = {bm.bmWidth, std::abs(bm.bmHeight)};
    }
    else
    {
        img.hBitmap.Reset();
    }
    return img;
}

void CMFCButton::SetImage(UINT uiBmpResId, UINT uiBmpHotResId, UINT uiBmpDsblResID)
{
    m_imgNormal = LoadImageResource(uiBmpResId);
    m_imgHot = LoadImageResource(uiBmpHotResId);
    m_imgDisabled = LoadImageResource(uiBmpDsblResID);

    if (!m_hWnd)
        return;
    if (m_bAutosize && m_imgNormal)
    {
        int border = m_nFlatStyle == BUTTONSTYLE_NOBORDERS ? 0 : 4;
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_imgNormal.size.cx + border,
                       m_imgNormal.size.cy + border, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

const CMFCButton::Image& CMFCButton::CurrentImage() const
{
    if (m_hWnd && !::IsWindowEnabled(m_hWnd) && m_imgDisabled)
        return m_imgDisabled;
    if (m_bHover && m_imgHot)
        return m_imgHot;
    return m_imgNormal;
}

void CMFCButton::FillBackground(HDC hDC, const RECT& rc)
{
    HBRUSH hBrush = nullptr;
    if (m_bTransparent)
    {
        // The parent's own background: a dialog answers with the brush it erases itself with.
        if (HWND hParent = ::GetParent(m_hWnd))
            hBrush = reinterpret_cast<HBRUSH>(::SendMessageW(hParent, WM_CTLCOLORDLG,
                                                             reinterpret_cast<WPARAM>(hDC),
                                                             reinterpret_cast<LPARAM>(hParent)));
    }
    if (!hBrush)
        hBrush = ::GetSysColorBrush(COLOR_BTNFACE);
    ::FillRect(hDC, &rc, hBrush);
}

void CMFCButton::Draw(HDC hTarget)
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return;

    // Drawn off screen, then copied in one go.
    const CScopedMemoryDC memDC(hTarget);
    const CScopedBitmap canvas(::CreateCompatibleBitmap(hTarget, cx, cy));
    if (!memDC || !canvas)
        return;
    const CScopedSelection selCanvas(memDC, canvas);
    const HDC hDC = memDC;

    FillBackground(hDC, rc);

    const LRESULT state = ::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0);
    const bool bPushed = (state & BST_PUSHED) != 0;
    const bool bEnabled = ::IsWindowEnabled(m_hWnd) != FALSE;
    RECT content = rc;
    if (m_nFlatStyle != BUTTONSTYLE_NOBORDERS)
    {
        if (m_nFlatStyle == BUTTONSTYLE_3D)
            ::DrawEdge(hDC, &content, bPushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        else if (bPushed)
            ::DrawEdge(hDC, &content, BDR_SUNKENOUTER, BF_RECT);
        else if (m_bHover || m_nFlatStyle == BUTTONSTYLE_SEMIFLAT)
            ::DrawEdge(hDC, &content, BDR_RAISEDINNER, BF_RECT);
        ::InflateRect(&content, -2, -2);
        if (bPushed)
            ::OffsetRect(&content, 1, 1);
    }

    // Text and image laid out as one group, centred.
    wchar_t text[256] = L"";
    const int nText = ::GetWindowTextW(m_hWnd, text, int(sizeof(text) / sizeof(text[0])));
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    const CScopedSelection selFont(hDC, hFont);
    SIZE textSize = {0, 0};
    if (nText > 0)
        ::GetTextExtentPoint32W(hDC, text, nText, &textSize);
    const Image& img = CurrentImage();
    const SIZE imgSize = img ? img.size : SIZE{0, 0};
    const int gap = (img && nText > 0) ? 4 : 0;

    POINT imgPos, textPos;
    if (m_bImageOnTop)
    {
        const int groupH = imgSize.cy + gap + textSize.cy;
        const int top = content.top + ((content.bottom - content.top) - groupH) / 2;
        imgPos = {content.left + ((content.right - content.left) - imgSize.cx) / 2, top};
        textPos = {content.left + ((content.right - content.left) - textSize.cx) / 2,
                   top + imgSize.cy + gap};
    }
    else
    {
        const int groupW = imgSize.cx + gap + textSize.cx;
        const int left = content.left + ((content.right - content.left) - groupW) / 2;
        const int midY = content.top + (content.bottom - content.top) / 2;
        if (m_bImageOnRight)
        {
            textPos = {left, midY - textSize.cy / 2};
            imgPos = {left + textSize.cx + gap, midY - imgSize.cy / 2};
        }
        else
        {
            imgPos = {left, midY - imgSize.cy / 2};
            textPos = {left + imgSize.cx + gap, midY - textSize.cy / 2};
        }
    }

    if (img)
    {
        const CScopedMemoryDC imgDC(hDC);
        if (imgDC)
        {
            const CScopedSelection selImg(imgDC, img.hBitmap);
            if (img.bAlpha)
            {
                BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                ::GdiAlphaBlend(hDC, imgPos.x, imgPos.y, imgSize.cx, imgSize.cy, imgDC, 0, 0,
                                imgSize.cx, imgSize.cy, bf);
            }
            else
            {
                ::BitBlt(hDC, imgPos.x, imgPos.y, imgSize.cx, imgSize.cy, imgDC, 0, 0, SRCCOPY);
            }
        }
    }
    if (nText > 0)
    {
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, ::GetSysColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        ::TextOutW(hDC, textPos.x, textPos.y, text, nText);
    }

    ::BitBlt(hTarget, 0, 0, cx, cy, hDC, 0, 0, SRCCOPY);
}

LRESULT CMFCButton::OnInitControl(WPARAM wParam, LPARAM lParam)
{
    if (lParam)
        ApplyProperties(reinterpret_cast<const char*>(lParam), PropertyLength(wParam, lParam));
    return 0;
}

LRESULT CMFCButton::OnPaintMessage(WPARAM wParam, LPARAM)
{
    if (wParam)
    {
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT ps;
    if (HDC hDC = ::BeginPaint(m_hWnd, &ps))
    {
        Draw(hDC);
        ::EndPaint(m_hWnd, &ps);
    }
    return 0;
}

LRESULT CMFCButton::OnPrintClient(WPARAM wParam, LPARAM)
{
    if (wParam)
        Draw(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CMFCButton::OnEraseBackground(WPARAM, LPARAM)
{
    return TRUE;  // the paint covers every pixel
}

LRESULT CMFCButton::OnMouseMoveMessage(WPARAM, LPARAM)
{
    if (!m_bHover)
    {
        m_bHover = TRUE;
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return Default();
}

LRESULT CMFCButton::OnMouseLeaveMessage(WPARAM, LPARAM)
{
    if (m_bHover)
    {
        m_bHover = FALSE;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return Default();
}

LRESULT CMFCButton::OnSetCursorMessage(WPARAM, LPARAM lParam)
{
    if (m_nCursorType == CURSOR_HAND && LOWORD(lParam) == HTCLIENT)
    {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
    }
    return Default();
}

LRESULT CMFCButton::OnStateChange(WPARAM, LPARAM)
{
    LRESULT result = Default();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return result;
}
