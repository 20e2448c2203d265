#include <utility>

#include <gtest/gtest.h>

#include "afx/Brush.h"
#include "afx/DC.h"
#include "afx/Rect.h"

namespace {

// GDI objects of this process, or 0 where the system does not count them.
DWORD GdiObjectCount()
{
    return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
}

// A 16x16 32-bit memory bitmap selected into a memory DC.
class MemoryCanvas
{
public:
    MemoryCanvas()
    {
        m_hDC = ::CreateCompatibleDC(nullptr);
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = 16;
        bmi.bmiHeader.biHeight = -16;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_hBitmap = ::CreateDIBSection(m_hDC, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
    }
    ~MemoryCanvas()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

TEST(CBrush, DestructionDeletesTheBrush)
{
    DWORD before = GdiObjectCount();
    HGDIOBJ handle = nullptr;
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(10, 20, 30)));
        handle = brush.m_hObject;
        ASSERT_NE(nullptr, handle);
        EXPECT_EQ(DWORD(OBJ_BRUSH), ::GetObjectType(handle));
        if (before != 0)
        {
            EXPECT_EQ(before + 1, GdiObjectCount());
        }
    }
    EXPECT_EQ(0u, ::GetObjectType(handle));
    if (before != 0)
    {
        EXPECT_EQ(before, GdiObjectCount());
    }
}

TEST(CBrush, RecreatingReplacesAndDeletesTheOldBrush)
{
    CBrush brush(RGB(1, 2, 3));
    HGDIOBJ first = brush.m_hObject;
    ASSERT_NE(nullptr, first);
    LOGBRUSH lb = {};
    ASSERT_EQ(int(sizeof(lb)), brush.GetLogBrush(&lb));
    EXPECT_EQ(RGB(1, 2, 3), lb.lbColor);
    EXPECT_EQ(UINT(BS_SOLID), lb.lbStyle);

    ASSERT_TRUE(brush.CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(0u, ::GetObjectType(first));
    ASSERT_EQ(int(sizeof(lb)), brush.GetLogBrush(&lb));
    EXPECT_EQ(RGB(4, 5, 6), lb.lbColor);

    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_EQ(nullptr, brush.m_hObject);
    EXPECT_FALSE(brush.DeleteObject());
}

TEST(CBrush, DetachAndMoveHandOverOwnership)
{
    HGDIOBJ kept = nullptr;
    {
        CBrush brush(RGB(7, 7, 7));
        kept = brush.Detach();
        EXPECT_EQ(nullptr, brush.m_hObject);
    }
    EXPECT_EQ(DWORD(OBJ_BRUSH), ::GetObjectType(kept));

    CGdiObject owner;
    EXPECT_TRUE(owner.Attach(kept));
    CGdiObject moved(std::move(owner));
    EXPECT_EQ(nullptr, owner.m_hObject);
    EXPECT_EQ(kept, moved.m_hObject);
    moved = CGdiObject();
    EXPECT_EQ(0u, ::GetObjectType(kept));
}

TEST(CDC, FromHandleGivesOneTemporaryPerHandle)
{
    EXPECT_EQ(nullptr, CDC::FromHandle(nullptr));

    MemoryCanvas canvas;
    CDC* pDC = CDC::FromHandle(canvas.m_hDC);
    ASSERT_NE(nullptr, pDC);
    EXPECT_EQ(canvas.m_hDC, pDC->GetSafeHdc());
    EXPECT_EQ(pDC, CDC::FromHandle(canvas.m_hDC));
    EXPECT_TRUE(pDC->IsKindOf(RUNTIME_CLASS(CDC)));
    CDC::DeleteTempMap();

    // The wrapper never owns the DC: dropping it leaves the DC usable.
    EXPECT_EQ(DWORD(OBJ_MEMDC), ::GetObjectType(canvas.m_hDC));
    CDC* pAgain = CDC::FromHandle(canvas.m_hDC);
    ASSERT_NE(nullptr, pAgain);
    EXPECT_EQ(canvas.m_hDC, pAgain->m_hDC);
    CDC::DeleteTempMap();
}

TEST(CDC, DrawsWithBrushesAndSolidFills)
{
    MemoryCanvas canvas;
    CDC dc(canvas.m_hDC);

    CRect all(0, 0, 16, 16);
    dc.FillSolidRect(all, RGB(200, 0, 0));
    EXPECT_EQ(RGB(200, 0, 0), dc.GetPixel(15, 15));

    CBrush green(RGB(0, 128, 0));
    dc.FillRect(CRect(4, 4, 8, 8), green);
    EXPECT_EQ(RGB(0, 128, 0), dc.GetPixel(4, 4));
    EXPECT_EQ(RGB(0, 128, 0), dc.GetPixel(7, 7));
    EXPECT_EQ(RGB(200, 0, 0), dc.GetPixel(8, 8));

    // FillSolidRect leaves the background colour as it found it.
    dc.SetBkColor(RGB(1, 1, 1));
    dc.FillSolidRect(0, 0, 2, 2, RGB(0, 0, 255));
    EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(1, 1));
    EXPECT_EQ(RGB(1, 1, 1), dc.GetBkColor());

    CBrush blue(RGB(0, 0, 250));
    HGDIOBJ previous = dc.SelectObject(&blue);
    EXPECT_NE(nullptr, previous);
    EXPECT_EQ(blue.m_hObject, ::GetCurrentObject(canvas.m_hDC, OBJ_BRUSH));
    ::PatBlt(canvas.m_hDC, 10, 10, 2, 2, PATCOPY);
    EXPECT_EQ(RGB(0, 0, 250), dc.GetPixel(11, 11));
    dc.SelectObject(previous);
    EXPECT_EQ(previous, ::GetCurrentObject(canvas.m_hDC, OBJ_BRUSH));

    EXPECT_EQ(canvas.m_hDC, dc.Detach());
    EXPECT_EQ(nullptr, dc.GetSafeHdc());
}

TEST(Geometry, RectAndPointArithmetic)
{
    CRect rc(10, 20, 110, 70);
    EXPECT_EQ(100, rc.Width());
    EXPECT_EQ(50, rc.Height());
    EXPECT_EQ(CPoint(60, 45), rc.CenterPoint());
    EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rc.PtInRect(CPoint(110, 20)));  // right and bottom edges are outside

    CRect moved(rc);
    moved.OffsetRect(-10, -20);
    EXPECT_EQ(CRect(0, 0, 100, 50), moved);
    moved.MoveToXY(5, 6);
    EXPECT_EQ(CPoint(5, 6), moved.TopLeft());
    EXPECT_EQ(CPoint(105, 56), moved.BottomRight());
    moved.DeflateRect(5, 6);
    EXPECT_EQ(CRect(10, 12, 100, 50), moved);

    CRect flipped(50, 40, 10, 0);
    EXPECT_TRUE(flipped.IsRectEmpty());
    flipped.NormalizeRect();
    EXPECT_EQ(CRect(10, 0, 50, 40), flipped);

    CRect both;
    EXPECT_TRUE(both.IntersectRect(rc, CRect(0, 0, 20, 30)));
    EXPECT_EQ(CRect(10, 20, 20, 30), both);
    EXPECT_FALSE(both.IntersectRect(rc, CRect(0, 0, 5, 5)));
    EXPECT_TRUE(both.IsRectNull());

    CPoint p(3, 4);
    p += CPoint(1, 1);
    EXPECT_EQ(CPoint(4, 5), p);
    EXPECT_EQ(CPoint(1, 2), p - CPoint(3, 3));
    EXPECT_EQ(CPoint(-4, -5), -p);

    // Mouse coordinates are signed 16-bit values.
    CPoint fromMessage(MAKELPARAM(WORD(-5), WORD(300)));
    EXPECT_EQ(-5, fromMessage.x);
    EXPECT_EQ(300, fromMessage.y);
}

}  // namespace
