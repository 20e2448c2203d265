#include <windows.h>
#include <gtest/gtest.h>
#include <memory>

#include "layered/LoadImageFromResource.h"
#include "LayeredTestSupport.h"
#include "TestDialogs.h"

namespace {

constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr uint32_t kSkinBgra = 0xFFE07020;  // opaque (224, 112, 32)

uint32_t Bgra(COLORREF c)
{
    return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) |
           GetBValue(c);
}

// What a render child sees of the redraw in progress: the DIB section selected into the Graphics.
struct DibSnapshot
{
    bool valid = false;
    LONG width = 0;
    LONG height = 0;  // as in the header: positive for bottom-up rows
    WORD bitCount = 0;
    std::vector<uint32_t> pixels;  // copied row by row as stored

    uint32_t At(int x, int y) const { return DibPixel(pixels.data(), width, height, x, y); }

    void Take(Gdiplus::Graphics* pGraphics)
    {
        HDC hDC = pGraphics->GetHDC();
        HBITMAP hBitmap = static_cast<HBITMAP>(::GetCurrentObject(hDC, OBJ_BITMAP));
        DIBSECTION ds = {};
        if (::GetObjectW(hBitmap, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits)
        {
            valid = true;
            width = ds.dsBmih.biWidth;
            height = ds.dsBmih.biHeight;
            bitCount = ds.dsBmih.biBitCount;
            const auto* p = static_cast<const uint32_t*>(ds.dsBm.bmBits);
            pixels.assign(p, p + static_cast<size_t>(ds.dsBm.bmWidth) * ds.dsBm.bmHeight);
        }
        pGraphics->ReleaseHDC(hDC);
    }
};

struct SkinWithChildren
{
    EventLog log;
    CTestRenderChild a{"A", &log, true, kRed, RECT{10, 10, 30, 30}};
    CTestRenderChild b{"B", &log, false, kGreen, RECT{50, 10, 70, 30}};
    CTestRenderChild c{"C", &log, true, kBlue, RECT{20, 20, 40, 40}};
    CTestRenderChild probe{"probe", &log, true, RGB(0, 0, 0), RECT{0, 0, 0, 0}};
    DibSnapshot seen;
    CTestSkinDialog dlg;

    SkinWithChildren()
    {
        dlg.makeCompanion = false;
        probe.m_onRender = [this](Gdiplus::Graphics* g) { seen.Take(g); };
        dlg.onInitChildren = [this](CTestSkinDialog* p) {
            p->AddRenderChild(&a);
            p->AddRenderChild(&b);
            p->AddRenderChild(&c);
            p->AddRenderChild(&probe);
        };
    }
    ~SkinWithChildren()
    {
        if (dlg.m_hWnd)
            dlg.DestroyWindow();
        PumpMessages();
    }
    bool Create() { return dlg.Create(MAKEINTRESOURCEW(IDD_TEST_SKIN), nullptr) != FALSE; }
    void Redraw()
    {
        log.clear();
        seen = DibSnapshot();
        dlg.UpdateView();
    }
};

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

}  // namespace

TEST(UpdateView, AddsTheLayeredStyleOnlyWhenItIsMissing)
{
    SkinWithChildren skin;
    ASSERT_TRUE(skin.Create());
    HWND hWnd = skin.dlg.m_hWnd;
    ASSERT_TRUE(::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    skin.dlg.exStyleWrites.clear();
    skin.Redraw();
    EXPECT_TRUE(skin.dlg.exStyleWrites.empty());

    const LONG without = ::GetWindowLongW(hWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED;
    ::SetWindowLongW(hWnd, GWL_EXSTYLE, without);
    skin.dlg.exStyleWrites.clear();
    skin.Redraw();
    ASSERT_EQ(1u, skin.dlg.exStyleWrites.size());
    EXPECT_EQ(DWORD(without | WS_EX_LAYERED), skin.dlg.exStyleWrites[0]);
    EXPECT_EQ(without | WS_EX_LAYERED, ::GetWindowLongW(hWnd, GWL_EXSTYLE));
}

TEST(UpdateView, KeepsTheWindowsPlaceAndGivesItTheImagesSize)
{
    SkinWithChildren skin;
    ASSERT_TRUE(skin.Create());
    skin.dlg.MoveWindow(123, -77, 50, 40);
    skin.Redraw();
    RECT rc = WindowRect(skin.dlg.m_hWnd);
    EXPECT_EQ(123, rc.left);
    EXPECT_EQ(-77, rc.top);
    EXPECT_EQ(TEST_SKIN_WIDTH, rc.right - rc.left);
    EXPECT_EQ(TEST_SKIN_HEIGHT, rc.bottom - rc.top);

    // The size is read from the image on every redraw.
    skin.dlg.ReplaceImage(LoadImageFromResource(IDB_TEST_BITMAP, RT_BITMAP, TestModule()));
    skin.Redraw();
    rc = WindowRect(skin.dlg.m_hWnd);
    EXPECT_EQ(123, rc.left);
    EXPECT_EQ(-77, rc.top);
    EXPECT_EQ(40, rc.right - rc.left);
    EXPECT_EQ(30, rc.bottom - rc.top);
    ASSERT_TRUE(skin.seen.valid);
    EXPECT_EQ(40, skin.seen.width);
    EXPECT_EQ(30, skin.seen.height);
}

TEST(UpdateView, DrawsTheSkinThenEnabledChildrenInListOrder)
{
    SkinWithChildren skin;
    ASSERT_TRUE(skin.Create());
    skin.Redraw();

    const EventLog expected = {"render A", "render C", "render probe"};
    EXPECT_EQ(expected, skin.log);

    ASSERT_TRUE(skin.seen.valid);
    EXPECT_EQ(TEST_SKIN_WIDTH, skin.seen.width);
    EXPECT_EQ(TEST_SKIN_HEIGHT, skin.seen.height);  // positive: bottom-up rows
    EXPECT_EQ(32, skin.seen.bitCount);
    EXPECT_EQ(0u, skin.seen.At(1, 1));  // transparent corner stays cleared
    EXPECT_EQ(kSkinBgra, skin.seen.At(150, 100));
    EXPECT_EQ(kSkinBgra, skin.seen.At(60, 20));  // B is disabled
    EXPECT_EQ(Bgra(kRed), skin.seen.At(12, 12));
    EXPECT_EQ(Bgra(kBlue), skin.seen.At(25, 25));  // C, later in the list, covers A
}

TEST(UpdateView, HiddenBackgroundShrinksTheSkinAndDrawsEveryChild)
{
    SkinWithChildren skin;
    ASSERT_TRUE(skin.Create());
    skin.dlg.SetHideBackground(true);
    skin.Redraw();

    const EventLog expected = {"render A", "render B", "render C", "render probe"};
    EXPECT_EQ(expected, skin.log);

    ASSERT_TRUE(skin.seen.valid);
    EXPECT_EQ(TEST_SKIN_WIDTH, skin.seen.width);
    EXPECT_EQ(TEST_SKIN_HEIGHT, skin.seen.height);
    EXPECT_EQ(0u, skin.seen.At(150, 100));
    EXPECT_EQ(0u, skin.seen.At(299, 199));
    EXPECT_EQ(0u, skin.seen.At(1, 0));
    EXPECT_EQ(0u, skin.seen.At(0, 1));
    EXPECT_EQ(Bgra(kGreen), skin.seen.At(60, 20));
    EXPECT_EQ(Bgra(kBlue), skin.seen.At(25, 25));

    const RECT rc = WindowRect(skin.dlg.m_hWnd);
    EXPECT_EQ(TEST_SKIN_WIDTH, rc.right - rc.left);
    EXPECT_EQ(TEST_SKIN_HEIGHT, rc.bottom - rc.top);
}

TEST(UpdateView, WithoutAnImageNothingHappens)
{
    SkinWithChildren skin;
    ASSERT_TRUE(skin.Create());
    skin.dlg.MoveWindow(10, 10, 50, 40);
    ::SetWindowLongW(skin.dlg.m_hWnd, GWL_EXSTYLE,
                     ::GetWindowLongW(skin.dlg.m_hWnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    skin.dlg.ReplaceImage(nullptr);
    skin.dlg.exStyleWrites.clear();
    skin.Redraw();
    EXPECT_TRUE(skin.log.empty());
    EXPECT_TRUE(skin.dlg.exStyleWrites.empty());
    const RECT rc = WindowRect(skin.dlg.m_hWnd);
    EXPECT_EQ(50, rc.right - rc.left);
}

TEST(UpdateView, TheScreenShowsTheSkinShapedByItsAlpha)
{
    CTestSkinDialog dlg;
    dlg.makeCompanion = false;
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_TEST_SKIN), nullptr));
    dlg.MoveWindow(200, 150, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);
    HDC hScreen = ::GetDC(nullptr);
    const COLORREF below = ::GetPixel(hScreen, 201, 151);
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    dlg.UpdateView();
    for (int i = 0; i < 20; ++i)
    {
        PumpMessages();
        ::Sleep(10);
    }
    EXPECT_EQ(RGB(224, 112, 32), ::GetPixel(hScreen, 200 + 150, 150 + 100));
    EXPECT_EQ(below, ::GetPixel(hScreen, 201, 151));  // fully transparent corner
    ::ReleaseDC(nullptr, hScreen);
    dlg.DestroyWindow();
    PumpMessages();
}

TEST(UpdateView, ManyRedrawsLeaveNoGdiObjectOrDeviceContextBehind)
{
    SkinWithChildren skin;
    ASSERT_TRUE(skin.Create());
    for (int i = 0; i < 20; ++i)
        skin.Redraw();
    PumpMessages();
    const size_t before = FreeGdiHandleSlots();
    ASSERT_GT(before, 1000u);
    for (int i = 0; i < 500; ++i)
        skin.dlg.UpdateView();
    PumpMessages();
    const size_t after = FreeGdiHandleSlots();
    EXPECT_LE(before, after + 10) << "handle slots lost over 500 redraws: " << (before - after);

    skin.dlg.SetHideBackground(true);
    const size_t beforeHidden = FreeGdiHandleSlots();
    for (int i = 0; i < 500; ++i)
        skin.dlg.UpdateView();
    PumpMessages();
    EXPECT_LE(beforeHidden, FreeGdiHandleSlots() + 10);
}
