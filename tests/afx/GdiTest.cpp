#include <gtest/gtest.h>

#include "afx/Brush.h"
#include "afx/DC.h"
#include "afx/ThreadState.h"

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
    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(1, 2, 3)));
    HGDIOBJ first = brush.m_hObject;
    ASSERT_NE(nullptr, first);
    LOGBRUSH lb = {};
    ASSERT_EQ(int(sizeof(lb)), ::GetObjectW(first, sizeof(lb), &lb));
    EXPECT_EQ(RGB(1, 2, 3), lb.lbColor);
    EXPECT_EQ(UINT(BS_SOLID), lb.lbStyle);

    ASSERT_TRUE(brush.CreateSolidBrush(RGB(4, 5, 6)));
    EXPECT_EQ(0u, ::GetObjectType(first));
    ASSERT_EQ(int(sizeof(lb)), ::GetObjectW(brush.m_hObject, sizeof(lb), &lb));
    EXPECT_EQ(RGB(4, 5, 6), lb.lbColor);

    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_EQ(nullptr, brush.m_hObject);
    EXPECT_FALSE(brush.DeleteObject());
}

TEST(CBrush, DetachAndAttachHandOverOwnership)
{
    HGDIOBJ kept = nullptr;
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(7, 7, 7)));
        kept = brush.Detach();
        EXPECT_EQ(nullptr, brush.m_hObject);
    }
    EXPECT_EQ(DWORD(OBJ_BRUSH), ::GetObjectType(kept));

    {
        CGdiObject owner;
        EXPECT_TRUE(owner.Attach(kept));
        EXPECT_EQ(kept, owner.m_hObject);
    }
    EXPECT_EQ(0u, ::GetObjectType(kept));
}

TEST(CDC, FromHandleGivesOneTemporaryPerHandle)
{
    EXPECT_EQ(nullptr, CDC::FromHandle(nullptr));

    MemoryCanvas canvas;
    CDC* pDC = CDC::FromHandle(canvas.m_hDC);
    ASSERT_NE(nullptr, pDC);
    EXPECT_EQ(canvas.m_hDC, pDC->m_hDC);
    EXPECT_EQ(pDC, CDC::FromHandle(canvas.m_hDC));
    EXPECT_TRUE(pDC->IsKindOf(RUNTIME_CLASS(CDC)));
    AfxDeleteTempMap();

    // The wrapper never owns the DC: dropping it leaves the DC usable.
    EXPECT_EQ(DWORD(OBJ_MEMDC), ::GetObjectType(canvas.m_hDC));
    CDC* pAgain = CDC::FromHandle(canvas.m_hDC);
    ASSERT_NE(nullptr, pAgain);
    EXPECT_EQ(canvas.m_hDC, pAgain->m_hDC);
    AfxDeleteTempMap();
}

}  // namespace
