#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>
#include <memory>

#include "layered/LoadImageFromResource.h"
#include "LayeredTestResources.h"
#include "LayeredTestSupport.h"

namespace {

using ImagePtr = std::unique_ptr<Gdiplus::Image>;

ImagePtr Load(UINT nID, LPCWSTR lpszType, HINSTANCE hInst)
{
    return ImagePtr(LoadImageFromResource(nID, lpszType, hInst));
}

void ExpectColour(const Gdiplus::Color& c, BYTE a, BYTE r, BYTE g, BYTE b)
{
    EXPECT_EQ(a, c.GetA());
    EXPECT_EQ(r, c.GetR());
    EXPECT_EQ(g, c.GetG());
    EXPECT_EQ(b, c.GetB());
}

SIZE_T PagefileUsage()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}

}  // namespace

TEST(LoadImageFromResource, PngResourceKeepsItsSizeAndAlpha)
{
    ImagePtr image = Load(IDR_TEST_SKIN, L"PNG", TestModule());
    ASSERT_TRUE(image);
    EXPECT_EQ(Gdiplus::Ok, image->GetLastStatus());
    EXPECT_EQ(UINT(TEST_SKIN_WIDTH), image->GetWidth());
    EXPECT_EQ(UINT(TEST_SKIN_HEIGHT), image->GetHeight());
    ExpectColour(ImagePixel(image.get(), 1, 1), 0, 0, 0, 0);
    ExpectColour(ImagePixel(image.get(), 150, 100), 255, 224, 112, 32);
    const Gdiplus::Color disc = ImagePixel(image.get(), 250, 160);
    EXPECT_NEAR(128, disc.GetA(), 1);
    EXPECT_NEAR(224, disc.GetB(), 1);
}

TEST(LoadImageFromResource, StreamPathTakesTheResourceHandleForANullModule)
{
    ImagePtr image = Load(IDR_TEST_SKIN, L"PNG", nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(UINT(TEST_SKIN_WIDTH), image->GetWidth());
    EXPECT_EQ(UINT(TEST_SKIN_HEIGHT), image->GetHeight());
}

TEST(LoadImageFromResource, BitmapResourceBecomesABitmapTheRightWayUp)
{
    ImagePtr image = Load(IDB_TEST_BITMAP, RT_BITMAP, TestModule());
    ASSERT_TRUE(image);
    EXPECT_NE(nullptr, dynamic_cast<Gdiplus::Bitmap*>(image.get()));
    EXPECT_EQ(Gdiplus::Ok, image->GetLastStatus());
    EXPECT_EQ(40u, image->GetWidth());
    EXPECT_EQ(30u, image->GetHeight());
    ExpectColour(ImagePixel(image.get(), 4, 4), 255, 200, 0, 0);
    ExpectColour(ImagePixel(image.get(), 30, 25), 255, 0, 0, 200);
}

TEST(LoadImageFromResource, BitmapWithANullModuleIsLookedUpAmongTheSystemBitmaps)
{
    // The test executable has a 40x30 bitmap under the identifier of the system's check mark.
    ImagePtr own = Load(IDB_TEST_SYSTEM_ID, RT_BITMAP, TestModule());
    ASSERT_TRUE(own);
    EXPECT_EQ(40u, own->GetWidth());

    ImagePtr system = Load(IDB_TEST_SYSTEM_ID, RT_BITMAP, nullptr);
    ASSERT_TRUE(system);
    EXPECT_EQ(Gdiplus::Ok, system->GetLastStatus());
    EXPECT_GT(system->GetWidth(), 0u);
    EXPECT_NE(40u, system->GetWidth());

    // Our own bitmap is not found through a null module.
    ImagePtr none = Load(IDB_TEST_BITMAP, RT_BITMAP, nullptr);
    ASSERT_TRUE(none);
    EXPECT_EQ(0u, none->GetWidth());
}

TEST(LoadImageFromResource, MissingResourceGivesAnImageWithoutContent)
{
    for (LPCWSTR type : {static_cast<LPCWSTR>(L"PNG"), static_cast<LPCWSTR>(RT_BITMAP),
                         static_cast<LPCWSTR>(RT_RCDATA)})
    {
        ImagePtr image = Load(999, type, TestModule());
        ASSERT_TRUE(image);
        EXPECT_NE(Gdiplus::Ok, image->GetLastStatus());
        EXPECT_EQ(0u, image->GetWidth());
        EXPECT_EQ(0u, image->GetHeight());
    }
}

TEST(LoadImageFromResource, IdentifierAboveSixtyFiveThousandUsesItsLowSixteenBits)
{
    ImagePtr png = Load(0x30000u | IDR_TEST_SKIN, L"PNG", TestModule());
    ASSERT_TRUE(png);
    EXPECT_EQ(UINT(TEST_SKIN_WIDTH), png->GetWidth());

    ImagePtr bitmap = Load(0x10000u | IDB_TEST_BITMAP, RT_BITMAP, TestModule());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(40u, bitmap->GetWidth());
}

TEST(LoadImageFromResource, TypeNameSpellingBitmapTakesTheStreamPath)
{
    // Resource 301 is a PNG stored under the type name "BITMAP"; there is no RT_BITMAP 301.
    ImagePtr named = Load(IDR_TEST_NAMED_BITMAP_TYPE, L"BITMAP", TestModule());
    ASSERT_TRUE(named);
    EXPECT_EQ(Gdiplus::Ok, named->GetLastStatus());
    EXPECT_EQ(24u, named->GetWidth());
    EXPECT_EQ(18u, named->GetHeight());
    ExpectColour(ImagePixel(named.get(), 10, 10), 255, 0, 160, 0);

    ImagePtr integerType = Load(IDR_TEST_NAMED_BITMAP_TYPE, RT_BITMAP, TestModule());
    ASSERT_TRUE(integerType);
    EXPECT_EQ(0u, integerType->GetWidth());
}

TEST(LoadImageFromResource, ResourceCopyIsFreedWithTheImage)
{
    // Each load copies the 147 KB resource into a global block; 300 loads would keep 44 MB if the
    // blocks outlived their images.
    for (int i = 0; i < 20; ++i)
        Load(IDR_TEST_NOISE, L"PNG", TestModule());
    const SIZE_T before = PagefileUsage();
    for (int i = 0; i < 300; ++i)
    {
        ImagePtr image = Load(IDR_TEST_NOISE, L"PNG", TestModule());
        ASSERT_TRUE(image);
        ASSERT_EQ(192u, image->GetWidth());
    }
    const SIZE_T after = PagefileUsage();
    ASSERT_GT(before, 0u) << "no memory counter to measure with";
    EXPECT_LT(after, before + 12 * 1024 * 1024) << "grew by " << (after - before) << " bytes";
}

TEST(LoadImageFromResource, ImageStaysReadableWhileItLives)
{
    ImagePtr first = Load(IDR_TEST_SKIN, L"PNG", TestModule());
    ASSERT_TRUE(first);
    // Other loads reuse freed memory; the first image must still read its own bytes.
    for (int i = 0; i < 20; ++i)
        Load(IDR_TEST_NOISE, L"PNG", TestModule());
    ExpectColour(ImagePixel(first.get(), 150, 100), 255, 224, 112, 32);
    ExpectColour(ImagePixel(first.get(), 2, 2), 0, 0, 0, 0);
}
