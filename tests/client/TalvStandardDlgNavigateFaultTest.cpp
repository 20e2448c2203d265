// Completed navigations that the login panel cannot take at face value: a URL argument that is no
// string, is null or is missing, and URLs of a megabyte with and without the game host. None
// of them may crash the program; only a URL with the game host hands over.
#include "tests/client/InProcessProgram.h"
#include "tests/client/LoginWindowFixture.h"
#include "tests/client/ProbeLoginDlg.h"
#include "tests/client/StepScript.h"
#include "tests/support/ThreadWindows.h"

#include <exdispid.h>

using namespace logintest;

using LoginFaultTest = LoginWindowTest;

namespace {

const wchar_t kGameNavigation[] = L"http://game.orvane.example/play?uid=7&server=12&key=abc";
const wchar_t kGameLocation[] = L"http://game.orvane.example/play?uid=7&key=abc";
const size_t kMegabyte = size_t(1) << 20;

enum class UrlArg
{
    Empty,           // by reference to VT_EMPTY
    Null,            // by reference to VT_NULL
    Integer,         // by reference to VT_I4
    NullString,      // by reference to a VT_BSTR whose BSTR is NULL
    Object,          // by reference to VT_DISPATCH
    NullReference,   // VT_VARIANT | VT_BYREF with a NULL pointer
    IntegerByValue,  // VT_I4 by value
    Missing,         // only the first argument
};

struct OddCase
{
    const char* name;
    UrlArg arg;
};

// Fires NavigateComplete2 (browser object, URL argument) with an odd URL argument.
void FireOdd(FakeWebBrowser* fake, UrlArg kind)
{
    VARIANT target;
    ::VariantInit(&target);
    // What a careless reader of bstrVal would take for a string: no valid address.
    target.llVal = 0x10;
    switch (kind)
    {
    case UrlArg::Null:
        target.vt = VT_NULL;
        break;
    case UrlArg::Integer:
    case UrlArg::IntegerByValue:
        target.vt = VT_I4;
        target.lVal = 0x1234;
        break;
    case UrlArg::NullString:
        target.vt = VT_BSTR;
        target.bstrVal = nullptr;
        break;
    case UrlArg::Object:
        target.vt = VT_DISPATCH;
        target.pdispVal = fake;
        break;
    default:
        break;
    }
    VARIANT disp;
    disp.vt = VT_DISPATCH;
    disp.pdispVal = fake;
    VARIANT url;
    ::VariantInit(&url);
    if (kind == UrlArg::IntegerByValue)
    {
        url = target;
    }
    else
    {
        url.vt = VT_VARIANT | VT_BYREF;
        url.pvarVal = kind == UrlArg::NullReference ? nullptr : &target;
    }
    if (kind == UrlArg::Missing)
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp});
    else
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, url});
}

class FaultNavigateEvent : public LoginFaultTest, public ::testing::WithParamInterface<OddCase>
{
protected:
    FakeBrowserRegistration m_browser;
};

// After the odd event the login window is as it was; a proper event afterwards still hands over,
// which shows both that the panel listens and that a hand-over would have been seen.
TEST_P(FaultNavigateEvent, OddUrlArgumentChangesNothing)
{
    ASSERT_TRUE(m_browser.Registered());
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    FakeWebBrowser* fake = nullptr;
    bool loginAfter = false, panelAfter = false, gameAfter = true;
    bool handedOver = false;
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            fake = FakeWebBrowser::Newest();
            fake->SetLocation(kGameLocation);
            fake->ClearCalls();
            FireOdd(fake, GetParam().arg);
        })
        .Do([&] {
            loginAfter = AfxGetApp()->m_pMainWnd == &dlg && ::IsWindowVisible(hWnd);
            panelAfter = dlg.Panel()->m_hWnd && dlg.Panel()->m_browser.m_hWnd;
            gameAfter = FrontGame() != nullptr;
        })
        .Nest([&] { fake->FireNavigateComplete2(kGameNavigation); })
        .Wait([&] { return FrontGame() != nullptr; })
        .Do([&] {
            handedOver = true;
            FrontGame()->EndDialog(IDCANCEL);
        });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut()) << "steps done: " << script.StepsDone();
    EXPECT_TRUE(loginAfter);
    EXPECT_TRUE(panelAfter);
    EXPECT_FALSE(gameAfter);
    EXPECT_TRUE(handedOver);
    EXPECT_FALSE(::IsWindow(hWnd));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, FaultNavigateEvent,
    ::testing::Values(OddCase{"Empty", UrlArg::Empty}, OddCase{"Null", UrlArg::Null},
                      OddCase{"Integer", UrlArg::Integer},
                      OddCase{"NullString", UrlArg::NullString}, OddCase{"Object", UrlArg::Object},
                      OddCase{"NullReference", UrlArg::NullReference},
                      OddCase{"IntegerByValue", UrlArg::IntegerByValue},
                      OddCase{"Missing", UrlArg::Missing}),
    [](const ::testing::TestParamInfo<OddCase>& info) { return info.param.name; });

using FaultLongUrl = LoginFaultTest;

TEST_F(FaultLongUrl, MegabyteWithoutTheHostIsIgnored)
{
    FakeBrowserRegistration browser;
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    bool loginAfter = false, gameAfter = true, locationRead = true;
    // The host in other letter case, at the very end, does not count.
    const std::wstring url = L"http://www.orvane.example/?q=" + std::wstring(kMegabyte, L'a') +
                             L"&to=GAME.ORVANE.EXAMPLE";
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            FakeWebBrowser* fake = FakeWebBrowser::Newest();
            fake->ClearCalls();
            fake->FireNavigateComplete2(url);
            locationRead = false;
            for (const FakeInvokeCall& call : fake->Calls())
                locationRead = locationRead || call.dispid == 211;
        })
        .Do([&] {
            loginAfter = AfxGetApp()->m_pMainWnd == &dlg && ::IsWindowVisible(hWnd);
            gameAfter = FrontGame() != nullptr;
            ::PostMessageW(::GetDlgItem(dlg.Panel()->m_hWnd, 1004), BM_CLICK, 0, 0);
        });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut());
    EXPECT_FALSE(locationRead);
    EXPECT_TRUE(loginAfter);
    EXPECT_FALSE(gameAfter);
    EXPECT_FALSE(::IsWindow(hWnd));
}

// The host and the server number lie beyond a megabyte of query: the hand-over takes place and
// the game window gets the server number from the far end of the URL.
TEST_F(FaultLongUrl, MegabyteWithTheHostHandsOver)
{
    FakeBrowserRegistration browser;
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    FakeWebBrowser* fake = nullptr;
    std::wstring gameUrl, server;
    const std::wstring url = L"http://www.orvane.example/?q=" + std::wstring(kMegabyte, L'a') +
                             L"&to=game.orvane.example&server=12&key=abc";
    StepScript script(EndRunOnTimeout(&hWnd), 15000);
    script.WaitShown(dlg, hWnd)
        .Nest([&] {
            fake = FakeWebBrowser::Newest();
            fake->SetLocation(kGameLocation);
            fake->FireNavigateComplete2(url);
        })
        .Wait([&] { return FrontGame() != nullptr; })
        .Do([&] {
            CTalvGameDlg* game = FrontGame();
            gameUrl = game->m_strUrl.GetString();
            server = game->m_strServer.GetString();
            game->EndDialog(IDCANCEL);
        });
    RunAsMainWindow(dlg);

    EXPECT_FALSE(script.TimedOut()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(gameUrl, kGameLocation);
    EXPECT_EQ(server, L"12");
    EXPECT_FALSE(::IsWindow(hWnd));
}

}  // namespace
