// Faults of the embedded browser: a control that refuses to be created, and calls into it that
// fail with an error code or with an exception of the control's own. The library's handler
// reports each failure in the debug output and the login window goes on working.
#include "tests/client/InProcessProgram.h"
#include "tests/client/LoginWindowFixture.h"
#include "tests/client/ProbeLoginDlg.h"
#include "tests/client/StepScript.h"
#include "tests/support/ThreadWindows.h"
#include "tests/client/DebugOutputRecorder.h"

#include <shellapi.h>

using namespace logintest;

using LoginFaultTest = LoginWindowTest;

namespace {

const wchar_t kGameNavigation[] = L"http://game.orvane.example/play?uid=7&server=12&key=abc";
const wchar_t kGameLocation[] = L"http://game.orvane.example/play?uid=7&key=abc";
// A result code that no system message describes, so the report shows it as a number.
const HRESULT kOddFailure = static_cast<HRESULT>(0x80041234);

std::vector<std::wstring> g_opened;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_opened.push_back(file ? file : L"");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

// Records the pages the program asks the shell to open instead of starting a browser.
class ShellOpenRecorder
{
public:
    ShellOpenRecorder() { g_opened.clear(); }
    bool Active() const { return m_patch.Active(); }
    const std::vector<std::wstring>& Opened() const { return g_opened; }

private:
    CImportPatch m_patch{L"shell32.dll", "ShellExecuteW",
                         reinterpret_cast<void*>(&RecordShellExecute)};
};

using FaultBrowser = LoginFaultTest;

TEST_F(FaultBrowser, RefusedControlLeavesTheButtonsWorking)
{
    FakeBrowserOptions refuse;
    refuse.refuseCreation = true;
    FakeBrowserRegistration browser(refuse);
    ASSERT_TRUE(browser.Registered());
    ShellOpenRecorder shell;
    ASSERT_TRUE(shell.Active());
    const int created = FakeWebBrowser::CreatedCount();

    ProbeLoginDlg dlg;
    HWND hWnd = nullptr, hPanel = nullptr;
    SIZE login = {};
    bool browserWindow = true, minimised = false;
    RECT homepage = {};
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            login = WindowSize(hWnd);
            hPanel = dlg.Panel() ? dlg.Panel()->m_hWnd : nullptr;
            browserWindow = dlg.Panel() && dlg.Panel()->m_browser.m_hWnd != nullptr;
            if (hPanel)
            {
                ::GetWindowRect(::GetDlgItem(hPanel, 1006), &homepage);
                ::MapWindowPoints(nullptr, hPanel, reinterpret_cast<POINT*>(&homepage), 2);
                for (int id : {1006, 1008, 1009, 1010})
                    ::SendMessageW(::GetDlgItem(hPanel, id), BM_CLICK, 0, 0);
                ::SendMessageW(::GetDlgItem(hPanel, 1012), BM_CLICK, 0, 0);
            }
        })
        .Wait([&] {
            minimised = ::IsIconic(hWnd) != FALSE;
            return minimised;
        })
        .Do([&] { ::PostMessageW(::GetDlgItem(hPanel, 1004), BM_CLICK, 0, 0); });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut());
    // Creation was asked for, and no control came of it.
    EXPECT_GE(browser.Requests(), 1);
    EXPECT_EQ(FakeWebBrowser::CreatedCount(), created);
    EXPECT_FALSE(browserWindow);
    EXPECT_EQ(login.cx, 1208);
    EXPECT_EQ(login.cy, 762);
    ASSERT_NE(hPanel, nullptr);
    // The panel's initialisation went on past the missing control.
    EXPECT_EQ(homepage.left, 485);
    EXPECT_EQ(homepage.top, 210);
    const std::vector<std::wstring> expected = {
        L"http://www.orvane.example/link/cms?gid=qelv",
        L"http://www.orvane.example/link/pay?gid=qelv",
        L"http://www.orvane.example/link/kf?gid=qelv",
        L"http://www.orvane.example/link/bbs?gid=qelv",
    };
    EXPECT_EQ(shell.Opened(), expected);
    EXPECT_TRUE(minimised);
    EXPECT_FALSE(::IsWindow(hWnd));
}

struct NavigateFault
{
    const char* name;
    bool exception;  // the control raises its own exception, else it fails with kOddFailure
};

class FaultNavigate : public LoginFaultTest, public ::testing::WithParamInterface<NavigateFault>
{
};

TEST_P(FaultNavigate, FailingNavigateIsReportedAndTheLoginWindowGoesOn)
{
    FakeBrowserRegistration browser;
    DebugOutputRecorder debug;
    ASSERT_TRUE(debug.Active());
    const bool exception = GetParam().exception;
    ProbeLoginDlg dlg(158, L"PNG", [exception](FakeWebBrowser* fake) {
        if (!fake)
            return;
        if (exception)
            fake->ThrowNext(104, 0, E_FAIL, L"navigation refused by the control");
        else
            fake->FailNext(104, kOddFailure);
    });
    HWND hWnd = nullptr, hPanel = nullptr;
    SIZE login = {};
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd).Do([&] {
        login = WindowSize(hWnd);
        hPanel = dlg.Panel() ? dlg.Panel()->m_hWnd : nullptr;
        if (hPanel)
            ::PostMessageW(::GetDlgItem(hPanel, 1004), BM_CLICK, 0, 0);
    });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut());
    if (exception)
        EXPECT_EQ(debug.Count({L"exception", L"navigation refused by the control"}), 1);
    else
        EXPECT_EQ(debug.Count({L"exception", L"0x80041234"}), 1);
    EXPECT_EQ(login.cx, 1208);
    EXPECT_EQ(login.cy, 762);
    EXPECT_NE(hPanel, nullptr);
    EXPECT_FALSE(::IsWindow(hWnd));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultNavigate,
                         ::testing::Values(NavigateFault{"ErrorCode", false},
                                           NavigateFault{"ControlException", true}),
                         [](const ::testing::TestParamInfo<NavigateFault>& info) {
                             return info.param.name;
                         });

// A completed navigation to the game host whose location cannot be read: the report comes from
// the library's event handling, no hand-over starts, and the next completed navigation hands over
// as usual.
TEST_P(FaultNavigate, FailingLocationIsReportedAndTheNextNavigationHandsOver)
{
    FakeBrowserRegistration browser;
    DebugOutputRecorder debug;
    ASSERT_TRUE(debug.Active());
    const bool exception = GetParam().exception;
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    FakeWebBrowser* fake = nullptr;
    bool loginAfterFault = false, panelAfterFault = false;
    int reportsAfterFault = -1;
    std::wstring gameUrl, gameView;
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            fake = FakeWebBrowser::Newest();
            fake->SetLocation(kGameLocation);
            if (exception)
                fake->ThrowNext(211, 0, E_FAIL, L"location unavailable");
            else
                fake->FailNext(211, kOddFailure);
            fake->FireNavigateComplete2(kGameNavigation);
            reportsAfterFault = exception ? debug.Count({L"exception", L"location unavailable"})
                                          : debug.Count({L"exception", L"0x80041234"});
            loginAfterFault = AfxGetApp()->m_pMainWnd == &dlg && ::IsWindowVisible(hWnd);
            panelAfterFault = dlg.Panel()->m_hWnd && dlg.Panel()->m_browser.m_hWnd;
        })
        .Nest([&] { fake->FireNavigateComplete2(kGameNavigation); })
        .Wait([&] { return FrontGame() != nullptr; })
        .Do([&] {
            CTalvGameDlg* game = FrontGame();
            gameUrl = game->m_strUrl.GetString();
            if (FakeWebBrowser* view = FakeWebBrowser::Newest();
                view && view != fake && !view->Navigations().empty())
                gameView = view->Navigations().back();
            game->EndDialog(IDCANCEL);
        });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(reportsAfterFault, 1);
    EXPECT_TRUE(loginAfterFault);
    EXPECT_TRUE(panelAfterFault);
    EXPECT_EQ(gameUrl, kGameLocation);
    EXPECT_EQ(gameView, kGameLocation);
    EXPECT_FALSE(::IsWindow(hWnd));
}

}  // namespace
