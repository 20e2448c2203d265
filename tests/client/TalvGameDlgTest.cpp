// The game window run modally in this process with the fake browser as its HTML view:
// initialisation (notification-area icon, window icons, style, caption, navigation), the
// notification-area callback, the icon re-sent on every WM_SIZE and the icon's removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/TalvGameDlg.h"
#include "tests/client/GameWindowRun.h"
#include "tests/client/ProgramTexts.h"
#include "tests/support/FakeWebBrowser.h"

using namespace gametest;

namespace {

const wchar_t kGameUrl[] = L"http://game.orvane.example/play?uid=7&server=12&key=abc";

using GameWindow = GameWindowTest;

}  // namespace

TEST_F(GameWindow, InitialisationAddsIconSetsIconsStyleCaptionAndNavigates)
{
    CTalvGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    ModalScript script;
    script.Then([&] {
        const HWND hwnd = dlg.m_hWnd;
        // The notification-area record and the icon it added.
        EXPECT_EQ(g_nid.cbSize, DWORD(sizeof(void*) == 8 ? 968 : 952));
        EXPECT_EQ(g_nid.hWnd, hwnd);
        EXPECT_EQ(g_nid.uID, 155u);
        EXPECT_EQ(g_nid.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(g_nid.uCallbackMessage, UINT(WM_USER + 1));
        EXPECT_EQ(g_nid.hIcon, GameIcon());
        EXPECT_EQ(g_nid.szTip[0], L'\0');
        EXPECT_EQ(g_nid.dwState, 0u);
        EXPECT_EQ(g_nid.szInfo[0], L'\0');
        EXPECT_EQ(g_nid.uVersion, 0u);
        EXPECT_TRUE(TrayIconExists(hwnd, 155));
        EXPECT_FALSE(TrayIconExists(hwnd, 154));

        // One icon handle serves as big and small window icon.
        EXPECT_EQ(dlg.m_hIcon, GameIcon());
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)),
                  GameIcon());
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)),
                  GameIcon());

        // Frame bits added beside the template's popup style; maximised and shown.
        EXPECT_EQ(Style(hwnd) & kFrameBits, kFrameBits);
        EXPECT_TRUE(Style(hwnd) & WS_POPUP);
        EXPECT_TRUE(Style(hwnd) & DS_MODALFRAME);
        EXPECT_TRUE(::IsZoomed(hwnd));
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        EXPECT_EQ(dlg.m_bFullScreen, FALSE);

        EXPECT_EQ(TextOf(hwnd), std::wstring(L"Orvanes12服") + kHint);

        // The start page first, then the game page.
        FakeWebBrowser* view = FakeWebBrowser::Newest();
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->Navigations().size(), 2u);
        const std::wstring& start = view->Navigations()[0];
        EXPECT_EQ(start.substr(0, 6), L"res://");
        EXPECT_EQ(start.substr(start.size() - 4), L"/106");
        EXPECT_EQ(view->Navigations()[1], kGameUrl);
    });
    EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    EXPECT_EQ(script.StepsRun(), 1u);
}

TEST_F(GameWindow, CaptionShowsTheServerTextBetweenSAndServerSign)
{
    struct Case
    {
        bool setUrls;
        const wchar_t* serverUrl;
        std::wstring caption;
    };
    const Case cases[] = {
        {true, L"http://game.orvane.example/enter?uid=7&server=12&t=3",
         std::wstring(L"Orvanes12服") + kHint},
        {true, L"http://game.orvane.example/enter?server=12", std::wstring(L"Orvanes 服") + kHint},
        {false, nullptr, std::wstring(L"Orvanes服") + kHint},
    };
    for (const Case& c : cases)
    {
        CTalvGameDlg dlg;
        if (c.setUrls)
            dlg.SetUrls(kGameUrl, c.serverUrl);
        std::wstring caption;
        std::wstring lastNavigation = L"(none)";
        ModalScript script;
        script.Then([&] {
            caption = TextOf(dlg.m_hWnd);
            if (FakeWebBrowser* view = FakeWebBrowser::Newest())
                if (!view->Navigations().empty())
                    lastNavigation = view->Navigations().back();
        });
        EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
        EXPECT_EQ(caption, c.caption);
        // Without SetUrls the view is sent to the empty URL.
        EXPECT_EQ(lastNavigation, c.setUrls ? std::wstring(kGameUrl) : std::wstring());
    }
}

TEST_F(GameWindow, TrayCallbackRestoresOnlyOnLeftButtonReleaseOfItsIcon)
{
    CTalvGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    HWND blocker = nullptr;
    ModalScript script;
    script.Then([&] {
        dlg.ShowWindow(SW_HIDE);
        // Another icon's identifier: 1, nothing happens.
        EXPECT_EQ(::SendMessageW(dlg.m_hWnd, WM_USER + 1, 154, WM_LBUTTONUP), 1);
        EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd));
        // Other mouse messages of its own icon: 0, nothing happens.
        for (LPARAM mouse : {WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK})
        {
            EXPECT_EQ(::SendMessageW(dlg.m_hWnd, WM_USER + 1, 155, mouse), 0) << mouse;
            EXPECT_FALSE(::IsWindowVisible(dlg.m_hWnd)) << mouse;
        }
        // A window in front of it.
        blocker = ::CreateWindowExW(0, L"STATIC", L"blocker", WS_POPUP | WS_VISIBLE, 10, 10, 200,
                                    100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(blocker, nullptr);
        ::SetWindowPos(blocker, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ASSERT_TRUE(IsAbove(blocker, dlg.m_hWnd));
    });
    script.Then([&] {
        EXPECT_EQ(::SendMessageW(dlg.m_hWnd, WM_USER + 1, 155, WM_LBUTTONUP), 0);
        EXPECT_TRUE(::IsWindowVisible(dlg.m_hWnd));
        EXPECT_TRUE(::IsZoomed(dlg.m_hWnd));
        EXPECT_TRUE(IsAbove(dlg.m_hWnd, blocker));
        EXPECT_EQ(Style(dlg.m_hWnd) & kFrameBits, kFrameBits);
        EXPECT_TRUE(Style(dlg.m_hWnd) & WS_POPUP);
    });
    script.Then([&] {
        // From a restored (not hidden) state it maximises as well.
        dlg.ShowWindow(SW_RESTORE);
        EXPECT_FALSE(::IsZoomed(dlg.m_hWnd));
        EXPECT_EQ(::SendMessageW(dlg.m_hWnd, WM_USER + 1, 155, WM_LBUTTONUP), 0);
        EXPECT_TRUE(::IsZoomed(dlg.m_hWnd));
    });
    EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    EXPECT_EQ(script.StepsRun(), 3u);
    if (blocker)
        ::DestroyWindow(blocker);
}

TEST_F(GameWindow, SizeMessagesResendTheBigIconNullBeforeInitialisation)
{
    SentMessageHook hook;
    ASSERT_TRUE(hook.Installed());
    hook.Log({WM_INITDIALOG, WM_SIZE, WM_SETICON});
    CTalvGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    ModalScript script;
    script.Then([&] {
        dlg.ShowWindow(SW_MINIMIZE);
        dlg.ShowWindow(SW_MAXIMIZE);
        ::SendMessageW(dlg.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    });
    HWND hwnd = nullptr;
    script.Then([&] { hwnd = dlg.m_hWnd; });
    EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    ASSERT_NE(hwnd, nullptr);

    // The dialog's messages in order; for each WM_SIZE the next WM_SETICON (before the next
    // WM_SIZE or WM_INITDIALOG) must be the big icon: NULL before initialisation, 155 after.
    std::vector<Received> own;
    for (const Received& r : hook.Messages())
        if (r.hwnd == hwnd)
            own.push_back(r);
    bool initialised = false;
    int sizesBefore = 0, sizesAfter = 0;
    for (size_t i = 0; i < own.size(); ++i)
    {
        if (own[i].message == WM_INITDIALOG)
        {
            initialised = true;
            continue;
        }
        if (own[i].message != WM_SIZE)
            continue;
        (initialised ? sizesAfter : sizesBefore)++;
        const Received* icon = nullptr;
        for (size_t j = i + 1; j < own.size(); ++j)
        {
            if (own[j].message == WM_SETICON)
            {
                icon = &own[j];
                break;
            }
            if (own[j].message == WM_SIZE || own[j].message == WM_INITDIALOG)
                break;
        }
        ASSERT_NE(icon, nullptr) << "WM_SIZE #" << i << " without WM_SETICON after it";
        EXPECT_EQ(icon->wParam, WPARAM(ICON_BIG)) << i;
        EXPECT_EQ(reinterpret_cast<HICON>(icon->lParam), initialised ? GameIcon() : nullptr) << i;
    }
    EXPECT_TRUE(initialised);
    EXPECT_GE(sizesBefore, 1);
    EXPECT_GE(sizesAfter, 3);
}

namespace {

// The game window, recording the messages that reach its default processing.
class DefaultRecordingGameDlg : public CTalvGameDlg
{
public:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        defaults.push_back(message);
        return CTalvGameDlg::DefWindowProc(message, wParam, lParam);
    }

    int Defaulted(UINT message) const
    {
        return static_cast<int>(std::count(defaults.begin(), defaults.end(), message));
    }

    std::vector<UINT> defaults;
};

}  // namespace

TEST_F(GameWindow, RightButtonOnTheWindowItselfGetsNoDefaultProcessing)
{
    SentMessageHook hook;
    ASSERT_TRUE(hook.Installed());
    hook.Log({WM_CONTEXTMENU});
    DefaultRecordingGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    int downs = -1, ups = -1, middles = -1;
    HWND hwnd = nullptr;
    ModalScript script;
    script.Then([&] {
        hwnd = dlg.m_hWnd;
        dlg.defaults.clear();
        ::SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        ::SendMessageW(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
        // The middle button has no handler: its press shows what reaching the default looks like.
        ::SendMessageW(hwnd, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(20, 20));
        downs = dlg.Defaulted(WM_RBUTTONDOWN);
        ups = dlg.Defaulted(WM_RBUTTONUP);
        middles = dlg.Defaulted(WM_MBUTTONDOWN);
    });
    EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    EXPECT_EQ(downs, 0);
    EXPECT_EQ(ups, 0);
    EXPECT_EQ(middles, 1);
    // The default of a right-button release would ask the window for its context menu.
    for (const Received& r : hook.Messages())
        EXPECT_NE(r.hwnd, hwnd) << "WM_CONTEXTMENU";
}

TEST_F(GameWindow, IconLivesUntilTheWindowIsDestroyedThroughItsObject)
{
    SentMessageHook hook;
    ASSERT_TRUE(hook.Installed());
    HWND hwnd = nullptr;
    int atDestroy = -1, atNcDestroy = -1;
    hook.OnMessage(WM_DESTROY, [&](const Received& r) {
        if (r.hwnd == hwnd && hwnd)
            atDestroy = TrayIconExists(hwnd, 155);
    });
    hook.OnMessage(WM_NCDESTROY, [&](const Received& r) {
        if (r.hwnd == hwnd && hwnd)
        {
            // A taskbar restart now must not bring the removed icon back.
            ::SendMessageW(hwnd, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
            atNcDestroy = TrayIconExists(hwnd, 155);
        }
    });
    CTalvGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    ModalScript script;
    script.Then([&] {
        hwnd = dlg.m_hWnd;
        EXPECT_TRUE(TrayIconExists(hwnd, 155));
        EXPECT_TRUE(dlg.DestroyWindow());
    });
    script.Run(dlg);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(atDestroy, 1) << "the icon should still be there when WM_DESTROY arrives";
    EXPECT_EQ(atNcDestroy, 0) << "the icon should be gone once WM_DESTROY was handled";
    // g_nid keeps the last window's values.
    EXPECT_EQ(g_nid.hWnd, hwnd);
    EXPECT_EQ(g_nid.uID, 155u);
}

TEST_F(GameWindow, SecondWindowRefillsTheRecordWithItsOwnHandle)
{
    HWND first = nullptr, second = nullptr;
    {
        CTalvGameDlg dlg;
        dlg.SetUrls(kGameUrl, kGameUrl);
        ModalScript script;
        script.Then([&] { first = dlg.m_hWnd; });
        EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    }
    {
        CTalvGameDlg dlg;
        dlg.SetUrls(kGameUrl, kGameUrl);
        ModalScript script;
        script.Then([&] {
            second = dlg.m_hWnd;
            EXPECT_EQ(g_nid.hWnd, second);
            EXPECT_TRUE(TrayIconExists(second, 155));
        });
        EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    }
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
}

// When the view cannot be made the library destroys the window during its initialisation; the
// rest of OnInitDialog must then leave the notification area and the record alone.
TEST(GameWindowWithoutView, NoIconAndNoNavigationWhenTheViewCannotBeCreated)
{
    FakeBrowserOptions options;
    options.refuseCreation = true;
    FakeBrowserRegistration registration(options);
    ASSERT_TRUE(registration.Registered());

    NOTIFYICONDATAW before = {};
    before.cbSize = 1;
    before.hWnd = reinterpret_cast<HWND>(0x1234);
    before.uID = 77;
    g_nid = before;

    SentMessageHook hook;
    HWND hwnd = nullptr;
    hook.OnMessage(WM_INITDIALOG, [&](const Received& r) { hwnd = r.hwnd; });
    CTalvGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    ModalScript script;
    script.Then([] { ADD_FAILURE() << "the window should not have come up"; });
    EXPECT_EQ(script.Run(dlg), -1);
    EXPECT_GE(registration.Requests(), 1);
    EXPECT_NE(hwnd, nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(g_nid.cbSize, 1u);
    EXPECT_EQ(g_nid.hWnd, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(g_nid.uID, 77u);
    EXPECT_EQ(g_nid.hIcon, nullptr);
    g_nid = NOTIFYICONDATAW{};
}

TEST(GameWindowClass, DynamicallyCreatableUnderItsName)
{
    CRuntimeClass* rc = RUNTIME_CLASS(CTalvGameDlg);
    EXPECT_STREQ(rc->m_lpszClassName, "CTalvGameDlg");
    EXPECT_EQ(rc->m_pBaseClass, RUNTIME_CLASS(CDHtmlDialog));
    CObject* obj = rc->CreateObject();
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->GetRuntimeClass(), rc);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CDialog)));
    auto* dlg = dynamic_cast<CTalvGameDlg*>(obj);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->m_pParentWnd, nullptr);
    EXPECT_EQ(dlg->m_lpszTemplateName, MAKEINTRESOURCEW(150));
    // No element event of any page is bound.
    const DHtmlEventMapEntry* map = dlg->GetDHtmlEventMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map[0].nType, UINT(DHTMLEVENTMAPENTRY_END));
    delete obj;
}
