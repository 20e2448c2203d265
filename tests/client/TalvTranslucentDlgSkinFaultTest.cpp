// A skin that cannot be had: a PNG resource that is missing, a resource that is no image, a
// bitmap that does not exist. The login window then has an image without content: it opens 0 by
// 0 with its panel, and the panel's close button still closes it.
#include "tests/client/InProcessProgram.h"
#include "tests/client/LoginWindowFixture.h"
#include "tests/client/ProbeLoginDlg.h"
#include "tests/client/StepScript.h"
#include "tests/support/ThreadWindows.h"

using namespace logintest;

using LoginFaultTest = LoginWindowTest;

namespace {

struct SkinCase
{
    const char* name;
    UINT id;
    LPCWSTR type;
};

class FaultSkin : public LoginFaultTest, public ::testing::WithParamInterface<SkinCase>
{
protected:
    FakeBrowserRegistration m_browser;
};

TEST_P(FaultSkin, LoginWindowOpensEmptyWithItsPanelAndClosesFromTheCloseButton)
{
    ASSERT_TRUE(m_browser.Registered());
    const SkinCase& c = GetParam();
    ProbeLoginDlg dlg(c.id, c.type);
    HWND hWnd = nullptr, hPanel = nullptr;
    SIZE login = {-1, -1}, panel = {-1, -1};
    bool browserBound = false;
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd).Do([&] {
        login = WindowSize(hWnd);
        CTalvStandardDlg* p = dlg.Panel();
        hPanel = p ? p->m_hWnd : nullptr;
        if (hPanel)
        {
            panel = WindowSize(hPanel);
            browserBound = p->m_browser.m_hWnd != nullptr;
            ::PostMessageW(::GetDlgItem(hPanel, 1004), BM_CLICK, 0, 0);
        }
    });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(login.cx, 0);
    EXPECT_EQ(login.cy, 0);
    ASSERT_NE(hPanel, nullptr);
    EXPECT_EQ(panel.cx, 0);
    EXPECT_EQ(panel.cy, 0);
    // The rest of the panel is set up as usual.
    EXPECT_TRUE(browserBound);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::IsWindow(hPanel));
}

INSTANTIATE_TEST_SUITE_P(Skins, FaultSkin,
                         ::testing::Values(SkinCase{"MissingPng", 9999, L"PNG"},
                                           // The manifest: found, but not an image.
                                           SkinCase{"NotAnImage", 1, MAKEINTRESOURCEW(24)},
                                           SkinCase{"MissingBitmap", 9999, MAKEINTRESOURCEW(2)}),
                         [](const ::testing::TestParamInfo<SkinCase>& info) {
                             return info.param.name;
                         });

// The skin that the cases above lack is there when asked for properly: the same window opens at
// the skin's size, so the cases see the fault and not some other failure.
TEST_F(LoginFaultTest, TheProgramsSkinGivesTheFullSize)
{
    FakeBrowserRegistration browser;
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    SIZE login = {-1, -1};
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd).Do([&] {
        login = WindowSize(hWnd);
        ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    });
    RunAsMainWindow(dlg);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(login.cx, 1208);
    EXPECT_EQ(login.cy, 762);
}

}  // namespace
