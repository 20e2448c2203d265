// The game window's keys, posted to the HTML view (or the window) and handled by the modal loop's
// pre-translation like keys the user presses.
#include <gtest/gtest.h>

#include <string>

#include "client/TalvGameDlg.h"
#include "tests/client/GameWindowRun.h"
#include "tests/support/FakeWebBrowser.h"

using namespace gametest;

namespace {

const wchar_t kGameUrl[] = L"http://game.orvane.example/play?uid=7&server=3&t=1";

// A game window run with its view's messages recorded; steps see the view and the window.
class GameKeys : public GameWindowTest
{
protected:
    void SetUp() override
    {
        GameWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        m_dlg.SetUrls(kGameUrl, kGameUrl);
        // First step: find the view and watch it.
        m_script.Then([this] {
            m_hwnd = m_dlg.m_hWnd;
            m_browser = FakeWebBrowser::Newest();
            ASSERT_NE(m_browser, nullptr);
            m_view = m_browser->Window();
            ASSERT_NE(m_view, nullptr);
            ASSERT_TRUE(::IsChild(m_hwnd, m_view));
            m_recorder.Watch(m_view);
        });
    }

    void Run()
    {
        EXPECT_EQ(m_script.Run(m_dlg), ModalScript::kEndCode) << "the dialog ended early";
    }

    size_t NavigationCount() const { return m_browser ? m_browser->Navigations().size() : 0; }
    std::wstring LastNavigation() const
    {
        return !m_browser || m_browser->Navigations().empty() ? L"(none)"
                                                              : m_browser->Navigations().back();
    }

    CTalvGameDlg m_dlg;
    ModalScript m_script;
    WindowRecorder m_recorder;
    HWND m_hwnd = nullptr;
    HWND m_view = nullptr;
    FakeWebBrowser* m_browser = nullptr;
};

}  // namespace

TEST_F(GameKeys, F5NavigatesToTheGameUrlAgainWhereverTheViewWent)
{
    size_t before = 0;
    m_script.Then([&] {
        before = NavigationCount();
        m_recorder.Clear();
        PostKey(m_view, VK_F5);
    });
    m_script.Then([&] {
        EXPECT_EQ(NavigationCount(), before + 1);
        EXPECT_EQ(LastNavigation(), kGameUrl);
        // F5 reaches no window.
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_F5), 0);
        // The page moves the view elsewhere; F5 on the window itself brings it back.
        const wchar_t* elsewhere = L"http://game.orvane.example/elsewhere";
        m_dlg.Navigate(elsewhere, 0, nullptr, nullptr, nullptr, 0);
        m_browser->FireNavigateComplete2(elsewhere);
        ASSERT_EQ(LastNavigation(), elsewhere);
        ASSERT_STREQ(m_dlg.m_strCurrentUrl, elsewhere);
        before = NavigationCount();
        PostKey(m_hwnd, VK_F5);
    });
    m_script.Then([&] {
        EXPECT_EQ(NavigationCount(), before + 1);
        EXPECT_EQ(LastNavigation(), kGameUrl);
        before = NavigationCount();
        SetModifier(VK_CONTROL, true);
        PostKey(m_view, VK_F5);
    });
    m_script.Then([&] {
        SetModifier(VK_CONTROL, false);
        EXPECT_EQ(NavigationCount(), before + 1) << "Ctrl+F5";
        before = NavigationCount();
        SetModifier(VK_SHIFT, true);
        PostKey(m_view, VK_F5);
    });
    m_script.Then([&] {
        SetModifier(VK_SHIFT, false);
        EXPECT_EQ(NavigationCount(), before + 1) << "Shift+F5";
        // A held key navigates again on each repeat.
        before = NavigationCount();
        PostKey(m_view, VK_F5);
        PostKey(m_view, VK_F5, WM_KEYDOWN, true);
        PostKey(m_view, VK_F5, WM_KEYDOWN, true);
    });
    m_script.Then([&] {
        EXPECT_EQ(NavigationCount(), before + 3);
        EXPECT_EQ(LastNavigation(), kGameUrl);
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_F5), 0);
    });
    Run();
}

TEST_F(GameKeys, F11SwitchesFullScreenAndEscLeavesIt)
{
    m_script.Then([&] {
        ASSERT_TRUE(::IsZoomed(m_hwnd));
        m_recorder.Clear();
        PostKey(m_view, VK_F11);
    });
    m_script.Then([&] {
        EXPECT_EQ(m_dlg.m_bFullScreen, TRUE);
        EXPECT_TRUE(IsFullScreenState(m_hwnd)) << std::hex << Style(m_hwnd);
        EXPECT_TRUE(::IsZoomed(m_hwnd));
        // F11 went on through the dialog manager to the view.
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_F11), 1);
        EXPECT_GE(m_recorder.Count(WM_GETDLGCODE), 1);
        PostKey(m_view, VK_F11);
    });
    m_script.Then([&] {
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        // Back with the frame, but without WS_POPUP.
        EXPECT_TRUE(IsWindowedState(m_hwnd)) << std::hex << Style(m_hwnd);
        EXPECT_TRUE(::IsZoomed(m_hwnd));
        PostKey(m_view, VK_F11);
    });
    m_script.Then([&] {
        ASSERT_EQ(m_dlg.m_bFullScreen, TRUE);
        m_recorder.Clear();
        PostKey(m_view, VK_ESCAPE);
    });
    m_script.Then([&] {
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        EXPECT_TRUE(IsWindowedState(m_hwnd)) << std::hex << Style(m_hwnd);
        EXPECT_TRUE(::IsZoomed(m_hwnd));
        // Esc still reaches the view.
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_ESCAPE), 1);
    });
    Run();
}

TEST_F(GameKeys, EscInTheWindowedStateChangesNothing)
{
    DWORD style = 0;
    m_script.Then([&] {
        style = Style(m_hwnd);
        m_recorder.Clear();
        PostKey(m_view, VK_ESCAPE);
        PostKey(m_hwnd, VK_ESCAPE);
    });
    m_script.Then([&] {
        EXPECT_EQ(Style(m_hwnd), style);
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_ESCAPE), 1);
    });
    Run();
}

TEST_F(GameKeys, EnterAndEscNeverEndTheDialogAndReachTheirWindow)
{
    m_script.Then([&] {
        m_recorder.Clear();
        PostKey(m_view, VK_RETURN);
        PostKey(m_hwnd, VK_RETURN);
        PostKey(m_view, VK_ESCAPE);
        PostKey(m_hwnd, VK_ESCAPE);
    });
    m_script.Then([&] {
        EXPECT_TRUE(::IsWindow(m_hwnd));
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_RETURN), 1);
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_ESCAPE), 1);
        // Translated as well: the character messages follow.
        EXPECT_EQ(m_recorder.Count(WM_CHAR, L'\r') + m_recorder.Count(WM_CHAR, 0x1B), 2);
        // Full screen: Esc leaves it, Enter and Esc still do not end the dialog.
        m_dlg.ToggleFullScreen();
        PostKey(m_view, VK_RETURN);
        PostKey(m_view, VK_ESCAPE);
        PostKey(m_view, VK_ESCAPE);
    });
    m_script.Then([&] {
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        EXPECT_TRUE(IsWindowedState(m_hwnd));
    });
    Run();
}

TEST_F(GameKeys, F10KeyDownGoesStraightToItsWindowSystemKeysGoToTheBase)
{
    size_t navigations = 0;
    DWORD style = 0;
    m_script.Then([&] {
        m_recorder.Clear();
        PostKey(m_view, VK_F10);
    });
    m_script.Then([&] {
        // Dispatched without asking the view for its dialog code first (no dialog manager).
        ASSERT_EQ(m_recorder.Count(WM_KEYDOWN, VK_F10), 1);
        EXPECT_EQ(m_recorder.Count(WM_GETDLGCODE), 0);
        m_recorder.Clear();
        // A key the game does not use goes through the dialog manager.
        PostKey(m_view, 'A');
    });
    m_script.Then([&] {
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, 'A'), 1);
        EXPECT_GE(m_recorder.Count(WM_GETDLGCODE), 1);
        // Keys with Alt arrive as WM_SYSKEYDOWN: F5, F11 and F12 then do nothing.
        navigations = NavigationCount();
        style = Style(m_hwnd);
        m_recorder.Clear();
        PostKey(m_view, VK_F5, WM_SYSKEYDOWN);
        PostKey(m_view, VK_F11, WM_SYSKEYDOWN);
        PostKey(m_view, VK_F12, WM_SYSKEYDOWN);
        PostKey(m_view, VK_F10, WM_SYSKEYDOWN);
        // Any key-up other than F10 ends the pending menu key of the default processing.
        PostKey(m_view, VK_F9, WM_KEYUP);
    });
    m_script.Then([&] {
        EXPECT_EQ(NavigationCount(), navigations);
        EXPECT_EQ(Style(m_hwnd), style);
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_recorder.Count(WM_SYSKEYDOWN), 4);
    });
    Run();
}

TEST_F(GameKeys, KeyUpsGoToTheBaseAndDoNothing)
{
    size_t navigations = 0;
    DWORD style = 0;
    m_script.Then([&] {
        m_dlg.ToggleFullScreen();
        navigations = NavigationCount();
        style = Style(m_hwnd);
        m_recorder.Clear();
        for (UINT vk : {VK_F5, VK_F11, VK_F12, VK_ESCAPE, VK_RETURN})
            PostKey(m_view, vk, WM_KEYUP);
    });
    m_script.Then([&] {
        EXPECT_EQ(NavigationCount(), navigations);
        EXPECT_EQ(Style(m_hwnd), style);
        EXPECT_EQ(m_dlg.m_bFullScreen, TRUE);
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_recorder.Count(WM_KEYUP), 5);
    });
    Run();
}

TEST_F(GameKeys, F12HidesAndTheTrayIconBringsItBackInTheSameStateAlsoAfterATaskbarRestart)
{
    m_script.Then([&] {
        m_recorder.Clear();
        PostKey(m_view, VK_F12);
    });
    m_script.Then([&] {
        EXPECT_FALSE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_recorder.Count(WM_KEYDOWN, VK_F12), 0);
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        // The taskbar restarts without the icon; its broadcast brings the icon back.
        NOTIFYICONDATAW lost = g_nid;
        ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &lost));
        ASSERT_FALSE(TrayIconExists(m_hwnd, 155));
        ::SendMessageW(m_hwnd, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        EXPECT_TRUE(TrayIconExists(m_hwnd, 155));
        ::SendMessageW(m_hwnd, WM_USER + 1, 155, WM_LBUTTONUP);
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_TRUE(::IsZoomed(m_hwnd));
        // Now in full screen.
        PostKey(m_view, VK_F11);
    });
    m_script.Then([&] {
        ASSERT_EQ(m_dlg.m_bFullScreen, TRUE);
        PostKey(m_hwnd, VK_F12);
    });
    m_script.Then([&] {
        EXPECT_FALSE(::IsWindowVisible(m_hwnd));
        EXPECT_EQ(m_dlg.m_bFullScreen, TRUE);
        EXPECT_TRUE(IsFullScreenState(m_hwnd));
        ::SendMessageW(m_hwnd, WM_USER + 1, 155, WM_LBUTTONUP);
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
        EXPECT_TRUE(::IsZoomed(m_hwnd));
        EXPECT_TRUE(IsFullScreenState(m_hwnd)) << std::hex << Style(m_hwnd);
        PostKey(m_view, VK_ESCAPE);
    });
    m_script.Then([&] {
        EXPECT_EQ(m_dlg.m_bFullScreen, FALSE);
        EXPECT_TRUE(IsWindowedState(m_hwnd));
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
    });
    Run();
}

// Keys meant for the page go to the control's active object first; what it takes is neither
// translated nor dispatched, what it declines goes on through the dialog manager as before. The
// window's own keys come before the control: F5 and Enter act even when the control would take
// them.
TEST_F(GameKeys, KeysForThePageGoToTheControlFirst)
{
    HWND view = nullptr;
    size_t navigations = 0;
    m_script.Then([&] {
        m_browser->UIActivate();  // as a click into the page does
        view = m_browser->View();
        ASSERT_EQ(::GetFocus(), view);
        m_browser->SetConsumedKeys({VK_DELETE, 'C', VK_F5, VK_RETURN});
        m_browser->ClearKeyEvents();
        PostStrokes(view, {VK_TAB, VK_UP, VK_DELETE, VK_BACK, 'A'});
    });
    m_script.Then([&] {
        SetModifier(VK_CONTROL, true);
        PostStrokes(view, {'C'});
    });
    m_script.Then([&] {
        SetModifier(VK_CONTROL, false);
        EXPECT_EQ(KeyTrace(m_browser->KeyEvents()),
                  "A down 09, A up 09, V up 09, "
                  "A down 26, A up 26, V up 26, "
                  "A down 2e *, A up 2e *, "
                  "A down 08, V down 08, A up 08, V up 08, "
                  "A down 41, V down 41, A up 41, V up 41, "
                  // the characters the translation posted behind the strokes
                  "A char 08, V char 08, A char 61, V char 61, "
                  "A down 43 ^ *, A up 43 ^ *");
        m_browser->ClearKeyEvents();
        navigations = NavigationCount();
        PostStrokes(view, {VK_F5, VK_RETURN});
    });
    m_script.Then([&] {
        EXPECT_EQ(NavigationCount(), navigations + 1);
        EXPECT_EQ(KeyTrace(m_browser->KeyEvents()),
                  "A up 74 *, V down 0d, A up 0d *, A char 0d, V char 0d");
        EXPECT_TRUE(::IsWindowVisible(m_hwnd));
    });
    Run();
}
