// GDI+ that fails to start: the program, run by the library's WinMain path, still shows its login
// window (0 by 0, since no skin can be loaded) with the panel, and its close button still ends the
// program with exit code 0.
//
// The fault is made by redirecting the executable's GDI+ imports: GdiplusStartup fails, and every
// call that needs a running GDI+ answers GdiplusNotInitialized, as GDI+ does when it was not
// started. (Wine's GDI+ would serve those calls without a start-up.)
#include <gtest/gtest.h>

#include "afx/OleControlContainer.h"
#include "tests/client/InProcessProgram.h"
#include "tests/client/StepScript.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/MessageQueue.h"
#include "tests/support/ThreadWindows.h"
#include "tests/support/WindowPixels.h"

namespace {

const Gdiplus::Status kNotRunning = Gdiplus::GdiplusNotInitialized;

int g_startups = 0;
int g_refusedCalls = 0;

Gdiplus::Status WINAPI FailingStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput*,
                                      Gdiplus::GdiplusStartupOutput*)
{
    ++g_startups;
    if (token)
        *token = 0;
    return Gdiplus::GenericError;
}

void WINAPI IgnoredShutdown(ULONG_PTR)
{
}

Gdiplus::Status WINAPI NoImageFromStream(IStream*, void** image)
{
    ++g_refusedCalls;
    if (image)
        *image = nullptr;
    return kNotRunning;
}

Gdiplus::Status WINAPI NoBitmapFromHbitmap(HBITMAP, HPALETTE, void** bitmap)
{
    ++g_refusedCalls;
    if (bitmap)
        *bitmap = nullptr;
    return kNotRunning;
}

Gdiplus::Status WINAPI NoGraphics(HDC, void** graphics)
{
    ++g_refusedCalls;
    if (graphics)
        *graphics = nullptr;
    return kNotRunning;
}

Gdiplus::Status WINAPI NoSize(void*, UINT* value)
{
    ++g_refusedCalls;
    if (value)
        *value = 0;
    return kNotRunning;
}

Gdiplus::Status WINAPI NoDrawing(void*, void*, INT, INT, INT, INT)
{
    ++g_refusedCalls;
    return kNotRunning;
}

// GDI+ as it is when its start-up failed, for as long as the object lives.
class GdiplusNotRunning
{
public:
    bool Active() const
    {
        for (const CImportPatch* p : {&m_startup, &m_stream, &m_bitmapStream, &m_hbitmap})
            if (!p->Active())
                return false;
        return true;
    }

private:
    template <class Fn>
    static void* F(Fn f)
    {
        return reinterpret_cast<void*>(f);
    }
    CImportPatch m_startup{L"gdiplus.dll", "GdiplusStartup", F(&FailingStartup)};
    CImportPatch m_shutdown{L"gdiplus.dll", "GdiplusShutdown", F(&IgnoredShutdown)};
    CImportPatch m_stream{L"gdiplus.dll", "GdipLoadImageFromStream", F(&NoImageFromStream)};
    CImportPatch m_bitmapStream{L"gdiplus.dll", "GdipCreateBitmapFromStream",
                                F(&NoImageFromStream)};
    CImportPatch m_hbitmap{L"gdiplus.dll", "GdipCreateBitmapFromHBITMAP", F(&NoBitmapFromHbitmap)};
    CImportPatch m_graphics{L"gdiplus.dll", "GdipCreateFromHDC", F(&NoGraphics)};
    CImportPatch m_width{L"gdiplus.dll", "GdipGetImageWidth", F(&NoSize)};
    CImportPatch m_height{L"gdiplus.dll", "GdipGetImageHeight", F(&NoSize)};
    CImportPatch m_draw{L"gdiplus.dll", "GdipDrawImageRectI", F(&NoDrawing)};
};

TEST(FaultGdiplus, StartFailsLoginWindowIsEmptyAndTheCloseButtonStillEndsTheProgram)
{
    static CountingApp app;  // the application from here on, as in the program
    ASSERT_EQ(AfxGetApp(), &app);
    AfxEnableControlContainer();
    FakeBrowserRegistration browser;
    ASSERT_TRUE(browser.Registered());

    GdiplusNotRunning gdiplus;
    ASSERT_TRUE(gdiplus.Active());
    g_startups = 0;
    g_refusedCalls = 0;

    HWND hLogin = nullptr, hPanel = nullptr;
    SIZE login = {-1, -1}, panel = {-1, -1};
    bool visible = false, closeBound = false;
    StepScript script(EndRunOnTimeout(&hLogin), 15000);
    script
        .Wait([&] {
            hLogin = app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : nullptr;
            return hLogin && ::IsWindowVisible(hLogin);
        })
        .Do([&] {
            visible = ::IsWindowVisible(hLogin) != FALSE;
            login = WindowSize(hLogin);
            hPanel = OwnedPopupWith(hLogin, 1004);
            if (hPanel)
            {
                panel = WindowSize(hPanel);
                HWND hClose = ::GetDlgItem(hPanel, 1004);
                closeBound = CWnd::FromHandlePermanent(hClose) != nullptr;
                // The close button paints without its image.
                RenderWindow(hClose);
                ::PostMessageW(hClose, BM_CLICK, 0, 0);
            }
        });
    const int code = AfxRunApp(&app);

    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(g_startups, 1);
    // The skin was asked for and refused: the fault reached the program.
    EXPECT_GT(g_refusedCalls, 0);
    EXPECT_TRUE(visible);
    EXPECT_EQ(login.cx, 0);
    EXPECT_EQ(login.cy, 0);
    ASSERT_NE(hPanel, nullptr);
    EXPECT_EQ(panel.cx, 0);
    EXPECT_EQ(panel.cy, 0);
    EXPECT_TRUE(closeBound);

    EXPECT_EQ(code, 0);
    EXPECT_EQ(app.exits, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hLogin));
    EXPECT_FALSE(::IsWindow(hPanel));
    ForgetQuit();
}

}  // namespace
