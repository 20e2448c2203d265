// The hand-over between the login window and the game window, run as the whole program in
// process: the application object from InitInstance to ExitInstance (AfxRunApp), its real
// windows and modal loops, the fake browser as the login panel's control and the game window's
// view. The test plays the player from a thread timer: it completes navigations in the panel's
// browser, closes the game window and answers the exit confirmation.
#include "tests/client/HandOverFixture.h"

#include <exdispid.h>

#include <memory>

using namespace handover;

namespace {

// Navigations whose URL lacks the host, or has it only in other letter case, change nothing: the
// login window, its panel and browser stay, the location is not read, no game window comes.
TEST_F(HandOverTest, NavigationWithoutTheHostChangesNothing)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    size_t locationReads = 0;
    AwaitLogin(d, c);
    d.Do([&] {
        c.panelFake->SetLocation(L"http://game.orvane.example/play?uid=7");
        for (const wchar_t* url :
             {L"http://passport.orvane.example/guest/c/qelv/next.php?uid=7&server=12&t=3",
              L"http://GAME.ORVANE.EXAMPLE/enter?uid=7&server=12&t=3",
              L"http://Game.orvane.example/enter?uid=7&server=12&t=3",
              L"http://game.orvane.exampl/enter?uid=7&server=12&t=3",
              L"http://game-orvane.example/enter?uid=7&server=12&t=3", L""})
            c.panelFake->FireNavigateComplete2(url);
        for (const FakeInvokeCall& call : c.panelFake->Calls())
            locationReads += call.dispid == 211 ? 1 : 0;
    });
    d.Pause(5);
    d.Do([&] {
        EXPECT_EQ(FrontLogin(), c.login);
        EXPECT_TRUE(::IsWindowVisible(c.hLogin));
        EXPECT_TRUE(::IsWindowVisible(c.hPanel));
        EXPECT_TRUE(::IsWindow(c.hBrowser));
        EXPECT_NE(CWnd::FromHandlePermanent(c.hPanel), nullptr) << "panel still attached";
        EXPECT_FALSE(QuitPending());
    });
    ClickLoginClose(d, c);
    RunToCleanEnd(log, d);
    EXPECT_EQ(locationReads, 0u);
    EXPECT_EQ(log.Count(Event::GameInit), 0);
    EXPECT_EQ(log.Count(Event::LoginInit), 1);
}

// The URL argument as something other than a string (or nothing at all) is no match; a string
// reached through a reference is read through it.
TEST_F(HandOverTest, UrlArgumentThatIsNoStringIsNoMatch)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    AwaitLogin(d, c);
    d.Do([&] {
        c.panelFake->SetLocation(L"http://game.orvane.example/play?uid=7");
        FakeWebBrowser* fake = c.panelFake;
        VARIANT disp;
        disp.vt = VT_DISPATCH;
        disp.pdispVal = fake;
        auto byRef = [](VARIANT* target) {
            VARIANT v;
            v.vt = VT_VARIANT | VT_BYREF;
            v.pvarVal = target;
            return v;
        };
        // A number, an object, a null string, a null string reference, a null reference, and no
        // URL argument at all.
        VARIANT number;
        number.vt = VT_I4;
        number.lVal = 0x7fff0000;
        VARIANT object;
        object.vt = VT_DISPATCH;
        object.pdispVal = fake;
        VARIANT nullString;
        nullString.vt = VT_BSTR;
        nullString.bstrVal = nullptr;
        VARIANT nullStringRef;
        nullStringRef.vt = VT_BSTR | VT_BYREF;
        nullStringRef.pbstrVal = nullptr;
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, byRef(&number)});
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, number});
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, byRef(&object)});
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, byRef(&nullString)});
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, byRef(&nullStringRef)});
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, byRef(nullptr)});
        fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp});
    });
    d.Do([&] {
        EXPECT_EQ(FrontLogin(), c.login);
        EXPECT_EQ(log.Count(Event::GameInit), 0);
    });
    // A string reference carrying the host hands over.
    BSTR url = ::SysAllocString(L"http://game.orvane.example/enter?uid=7&server=41&t=3");
    d.Nest([&] {
        VARIANT disp;
        disp.vt = VT_DISPATCH;
        disp.pdispVal = c.panelFake;
        VARIANT ref;
        ref.vt = VT_BSTR | VT_BYREF;
        ref.pbstrVal = &url;
        VARIANT outer;
        outer.vt = VT_VARIANT | VT_BYREF;
        outer.pvarVal = &ref;
        c.panelFake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, outer});
    });
    AwaitGame(d, c);
    std::wstring caption;
    d.Do([&] { caption = TextOf(c.hGame); });
    Cycle back;
    CloseGameThenLogin(d, c, back);
    RunToCleanEnd(log, d);
    ::SysFreeString(url);
    EXPECT_EQ(caption, std::wstring(L"Orvanes41服") + kHint);
    EXPECT_EQ(log.Count(Event::GameInit), 1);
}

// The host only in the path or only in a query value still hands over.
class HandOverHostPlaceTest : public HandOverTest,
                              public ::testing::WithParamInterface<const wchar_t*>
{
};

TEST_P(HandOverHostPlaceTest, HostAnywhereInTheUrlHandsOver)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    std::wstring caption;
    AwaitLogin(d, c);
    d.Nest([&] {
        c.panelFake->SetLocation(L"http://passport.orvane.example/guest/c/qelv/done.php");
        c.panelFake->FireNavigateComplete2(GetParam());
    });
    AwaitGame(d, c);
    d.Do([&] { caption = TextOf(c.hGame); });
    Cycle back;
    CloseGameThenLogin(d, c, back);
    RunToCleanEnd(log, d);
    EXPECT_EQ(log.Count(Event::GameInit), 1);
    EXPECT_EQ(caption, std::wstring(L"Orvanes5服") + kHint);
}

INSTANTIATE_TEST_SUITE_P(
    Places, HandOverHostPlaceTest,
    ::testing::Values(L"http://passport.orvane.example/to/game.orvane.example/x?uid=7&server=5&t=3",
                      L"http://passport.orvane.example/next?to=game.orvane.example&server=5&t=3",
                      L"game.orvane.example&server=5&"));

// A completed frame navigation hands over: the game window opens the top-level location, takes
// the server number from the frame's URL, has no owner, and the login window, its panel and its
// browser control window are destroyed in that order once the game window exists.
TEST_F(HandOverTest, GameWindowOpensOnTheTopLevelLocation)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    // A frame of the page: another browser object than the control's.
    FakeWebBrowser* frame = new FakeWebBrowser(FakeBrowserOptions());
    const std::wstring top = L"http://game.orvane.example/play?uid=7&key=abc";
    const std::wstring frameUrl = L"http://game.orvane.example/frame/enter?uid=7&server=12&t=3";
    std::wstring caption;
    HWND hOwner = reinterpret_cast<HWND>(-1);
    bool quitPendingInGame = true, mainIsGame = false, iconShown = false;
    bool loginGone = false, panelGone = false, browserGone = false;
    CWnd* panelObject = nullptr;
    FakeWebBrowser* view = nullptr;
    std::vector<std::wstring> viewNavigations;
    size_t locationReads = 0;

    int fired = -1;
    AwaitLogin(d, c);
    d.Nest([&] {
        fired = static_cast<int>(log.Events().size());
        panelObject = CWnd::FromHandlePermanent(c.hPanel);
        c.panelFake->SetLocation(top);
        VARIANT disp;
        disp.vt = VT_DISPATCH;
        disp.pdispVal = static_cast<IWebBrowser2*>(frame);
        VARIANT url;
        url.vt = VT_BSTR;
        url.bstrVal = ::SysAllocString(frameUrl.c_str());
        VARIANT ref;
        ref.vt = VT_VARIANT | VT_BYREF;
        ref.pvarVal = &url;
        c.panelFake->Fire(DISPID_NAVIGATECOMPLETE2, {disp, ref});
        ::VariantClear(&url);
    });
    AwaitGame(d, c);
    d.Do([&] {
        caption = TextOf(c.hGame);
        hOwner = ::GetWindow(c.hGame, GW_OWNER);
        quitPendingInGame = QuitPending();
        mainIsGame = App().m_pMainWnd == c.game;
        iconShown = TrayIconExists(c.hGame, kTrayIconId);
        loginGone = !::IsWindow(c.hLogin);
        panelGone = !::IsWindow(c.hPanel);
        browserGone = !::IsWindow(c.hBrowser);
        view = FakeInside(c.hGame);
        if (view)
            viewNavigations = view->Navigations();
        for (const FakeInvokeCall& call : c.panelFake->Calls())
            locationReads += call.dispid == 211 && call.flags == DISPATCH_PROPERTYGET ? 1 : 0;
        // The panel object still exists, detached.
        EXPECT_EQ(panelObject->m_hWnd, nullptr);
    });
    Cycle back;
    CloseGameThenLogin(d, c, back);
    const int code = RunProgram();
    frame->Release();
    ExpectCleanEnd(log, code, d);

    EXPECT_EQ(caption, std::wstring(L"Orvanes12服") + kHint);
    EXPECT_EQ(hOwner, nullptr);
    EXPECT_FALSE(quitPendingInGame) << "the hand-over must not end the program";
    EXPECT_TRUE(mainIsGame);
    EXPECT_TRUE(iconShown);
    EXPECT_TRUE(loginGone);
    EXPECT_TRUE(panelGone);
    EXPECT_TRUE(browserGone);
    EXPECT_EQ(locationReads, 1u);
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view, c.panelFake);
    ASSERT_FALSE(viewNavigations.empty());
    EXPECT_EQ(viewNavigations.back(), top);

    // Close requests in the order browser control, panel, login window, handled once the game
    // window exists.
    const int game = log.IndexOf(Event::GameInit, c.hGame);
    const int browser = log.IndexOf(Event::Destroyed, c.hBrowser);
    const int panel = log.IndexOf(Event::Destroyed, c.hPanel);
    const int login = log.IndexOf(Event::Destroyed, c.hLogin);
    ASSERT_GE(game, 0);
    // The replaced login window keeps no skin image while it waits for the program's end.
    EXPECT_EQ(log.CountBetween(Event::ImageDisposed, fired, game), 1);
    EXPECT_LT(game, browser);
    EXPECT_LT(browser, panel);
    EXPECT_LT(panel, login);
}

// A second matching navigation from the first panel after the hand-over changes nothing: no
// second game window, no close request to the game window, the program goes on.
TEST_F(HandOverTest, SecondMatchingNavigationAfterTheHandOverChangesNothing)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    ReachGame(d, c, 12);
    d.Do([&] {
        c.panelFake->SetLocation(LocationFor(99));
        c.panelFake->FireNavigateComplete2(EventUrlFor(99));
        c.panelFake->FireNavigateComplete2(L"http://game.orvane.example/other");
    });
    d.Pause(5);
    d.Do([&] {
        EXPECT_EQ(FrontGame(), c.game);
        EXPECT_TRUE(::IsWindowVisible(c.hGame));
        EXPECT_EQ(ThreadWindowTitled(kExitCaption), nullptr) << "no close request reached it";
        EXPECT_EQ(TextOf(c.hGame), std::wstring(L"Orvanes12服") + kHint);
        EXPECT_FALSE(QuitPending());
    });
    Cycle back;
    CloseGameThenLogin(d, c, back);
    RunToCleanEnd(log, d);
    EXPECT_EQ(log.Count(Event::GameInit), 1);
    EXPECT_EQ(log.Count(Event::LoginInit), 2);
}

// Children of the message box: its text and the buttons it shows.
struct BoxLook
{
    HWND owner = nullptr;
    bool text = false, yes = false, no = false, others = false, icon = false;
    bool yesDefault = false;  // Yes has the default-button style and the focus
};

BoxLook LookAt(HWND hBox)
{
    BoxLook look;
    look.owner = ::GetWindow(hBox, GW_OWNER);
    for (HWND h = ::GetWindow(hBox, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(h))
            continue;
        const int id = ::GetDlgCtrlID(h);
        wchar_t cls[32] = L"";
        ::GetClassNameW(h, cls, 32);
        if (_wcsicmp(cls, L"Static") == 0)
        {
            if (TextOf(h) == kExitText)
                look.text = true;
            if ((::GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                ::SendMessageW(h, STM_GETICON, 0, 0))
                look.icon = true;
        }
        else if (_wcsicmp(cls, L"Button") == 0)
        {
            if (id == IDYES)
            {
                look.yes = true;
                look.yesDefault =
                    (::GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
                    ::GetFocus() == h;
            }
            else if (id == IDNO)
                look.no = true;
            else
                look.others = true;
        }
    }
    return look;
}

// Answered No, the confirmation leaves the game window as it was (window, icon, full screen).
// Answered Yes, the icon goes at once (a taskbar restart does not bring it back), a new login
// window opens with a new panel that navigates afresh, and the game window goes once the login
// window exists.
TEST_F(HandOverTest, ExitConfirmationNoKeepsTheGameYesBringsANewLogin)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    BoxLook look;
    bool fullBefore = false, fullAfter = false, iconAfterNo = false, gameAfterNo = false;
    DWORD styleBefore = 0, styleAfter = 0;
    bool iconAtLogin = true, gameAtLogin = false, viewAliveAtLogin = true;
    FakeWebBrowser* gameView = nullptr;
    int gameViewSerial = 0;
    int loginInits = 0;
    log.onLoginInit = [&](HWND) {
        if (++loginInits == 2)
        {
            // Nor does a taskbar restart bring it back.
            ::SendMessageW(c.hGame, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
            iconAtLogin = TrayIconExists(c.hGame, kTrayIconId);
            gameAtLogin = ::IsWindow(c.hGame) != FALSE;
            viewAliveAtLogin = false;
            for (FakeWebBrowser* fake : FakeWebBrowser::Live())
                viewAliveAtLogin = viewAliveAtLogin || fake->Serial() == gameViewSerial;
        }
    };
    ReachGame(d, c, 3);
    d.Do([&] {
        gameView = FakeInside(c.hGame);
        gameViewSerial = gameView ? gameView->Serial() : -1;
        c.game->ToggleFullScreen();
        fullBefore = c.game->m_bFullScreen != FALSE;
        styleBefore = static_cast<DWORD>(::GetWindowLongW(c.hGame, GWL_STYLE));
    });
    CloseGame(d, c, IDNO, [&](HWND hBox) { look = LookAt(hBox); });
    d.Wait([&] { return ThreadWindowTitled(kExitCaption) == nullptr; });
    d.Do([&] {
        fullAfter = c.game->m_bFullScreen != FALSE;
        styleAfter = static_cast<DWORD>(::GetWindowLongW(c.hGame, GWL_STYLE));
        iconAfterNo = TrayIconExists(c.hGame, kTrayIconId);
        gameAfterNo = FrontGame() == c.game;
    });
    CloseGame(d, c, IDYES);
    Cycle back;
    bool gameGoneAtNewLogin = false;
    std::vector<FakeInvokeCall> newPanelCalls;
    AwaitLogin(d, back);
    d.Do([&] {
        gameGoneAtNewLogin = !::IsWindow(c.hGame);
        newPanelCalls = back.panelFake->Calls();
    });
    ClickLoginClose(d, back);
    RunToCleanEnd(log, d);

    EXPECT_EQ(look.owner, c.hGame);
    EXPECT_TRUE(look.text);
    EXPECT_TRUE(look.yes);
    EXPECT_TRUE(look.no);
    EXPECT_FALSE(look.others);
    EXPECT_FALSE(look.icon);
    EXPECT_TRUE(look.yesDefault);

    EXPECT_TRUE(fullBefore);
    EXPECT_TRUE(fullAfter);
    EXPECT_EQ(styleAfter, styleBefore);
    EXPECT_TRUE(iconAfterNo);
    EXPECT_TRUE(gameAfterNo);

    EXPECT_FALSE(iconAtLogin) << "the icon goes before the new login window";
    EXPECT_TRUE(gameAtLogin) << "the game window goes only once the login window exists";
    EXPECT_NE(gameView, nullptr);
    EXPECT_FALSE(viewAliveAtLogin) << "the replaced game window's page is closed";
    EXPECT_TRUE(gameGoneAtNewLogin);
    EXPECT_NE(back.login, c.login);
    EXPECT_NE(back.panelFake, c.panelFake);
    ASSERT_FALSE(newPanelCalls.empty());
    EXPECT_EQ(newPanelCalls[0].dispid, 104);
    ASSERT_FALSE(newPanelCalls[0].args.empty());
    EXPECT_EQ(newPanelCalls[0].args[0].text, kGuestLoginUrl);
    EXPECT_LT(log.IndexOf(Event::LoginInit, back.hLogin), log.IndexOf(Event::Destroyed, c.hGame));
}

}  // namespace
