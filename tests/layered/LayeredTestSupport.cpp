#include "LayeredTestSupport.h"

#include <gtest/gtest.h>
#include <vector>

#include "afx/WinApp.h"

namespace {

// GDI+ for the whole run, and the test executable as the library's resource module.
class LayeredEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&m_token, &input, nullptr));
        AfxSetResourceHandle(TestModule());
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new LayeredEnvironment);

}  // namespace

HINSTANCE TestModule()
{
    return ::GetModuleHandleW(nullptr);
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

size_t FreeGdiHandleSlots()
{
    std::vector<HGDIOBJ> objects;
    objects.reserve(70000);
    while (objects.size() < 1000000)
    {
        HBRUSH hBrush = ::CreateSolidBrush(RGB(1, 2, 3));
        if (!hBrush)
            break;
        objects.push_back(hBrush);
    }
    for (HGDIOBJ h : objects)
        ::DeleteObject(h);
    return objects.size();
}

Gdiplus::Color ImagePixel(Gdiplus::Image* pImage, int x, int y)
{
    Gdiplus::Bitmap canvas(static_cast<INT>(pImage->GetWidth()),
                           static_cast<INT>(pImage->GetHeight()), PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&canvas);
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.DrawImage(pImage, 0, 0, static_cast<INT>(pImage->GetWidth()),
                    static_cast<INT>(pImage->GetHeight()));
    }
    Gdiplus::Color c;
    canvas.GetPixel(x, y, &c);
    return c;
}

uint32_t DibPixel(const void* pBits, int width, int height, int x, int y)
{
    const auto* pRow =
        static_cast<const uint32_t*>(pBits) + static_cast<size_t>(height - 1 - y) * width;
    return pRow[x];
}
