// Keys, commands and buttons of the login panel and its login window while they run, with the
// fake browser in place of the WebBrowser control.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/client/LoginWindowFixture.h"
#include "tests/client/ProbeLoginDlg.h"
#include "tests/client/StepScript.h"
#include "tests/support/KeyInput.h"

using namespace logintest;

namespace {

using LoginCommandsTest = FakeBrowserLoginTest;

TEST_F(LoginCommandsTest, EnterAndEscLeaveTheLoginWindowOpenAndWmCloseEndsItWithCancel)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    bool openAfterKeys = false;
    StepScript script(CloseOnTimeout(&hWnd));
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            PostStrokes(hWnd, {VK_RETURN, VK_ESCAPE});
        })
        .Pause(5)
        .Do([&] {
            openAfterKeys = ::IsWindow(hWnd) && ::IsWindowVisible(hWnd);
            ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(openAfterKeys);
    EXPECT_FALSE(::IsWindow(hWnd));
}

// Keys meant for the login page go to its control's active object first; what it takes is
// neither translated nor dispatched; a Tab it declines still moves the focus on, through the
// dialog manager.
TEST_F(LoginCommandsTest, KeysForThePageGoToTheControlFirst)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr, view = nullptr;
    FakeWebBrowser* fake = nullptr;
    std::string keys, tab, tabFocus;
    bool focusInView = false;
    StepScript script(CloseOnTimeout(&hWnd));
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            fake = FakeWebBrowser::Newest();
            fake->UIActivate();  // as a click into the page does
            view = fake->View();
            fake->SetConsumedKeys({VK_DELETE, 'C'});
            fake->ClearKeyEvents();
            focusInView = ::GetFocus() == view;
            PostStrokes(view, {VK_DELETE, VK_BACK, 'A'});
        })
        .Do([&] {
            SetModifier(VK_CONTROL, true);
            PostStrokes(view, {'C'});
        })
        .Do([&] {
            SetModifier(VK_CONTROL, false);
            keys = KeyTrace(fake->KeyEvents());
            fake->ClearKeyEvents();
            PostStrokes(view, {VK_TAB});
        })
        .Do([&] {
            tab = KeyTrace(fake->KeyEvents());
            tabFocus = KeyTrace(fake->KeyEvents(), true);
            ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(focusInView);
    EXPECT_EQ(keys, "A down 2e *, A up 2e *, A down 08, V down 08, A up 08, V up 08, "
                    "A down 41, V down 41, A up 41, V up 41, A char 08, V char 08, "
                    "A char 61, V char 61, A down 43 ^ *, A up 43 ^ *");
    EXPECT_EQ(tab, "A down 09, A up 09, V up 09");
    // The dialog manager took the focus from the page on the key-down. (Other tests' windows on
    // the display may take and give back the focus meanwhile.)
    EXPECT_NE(tabFocus.find("A down 09, F"), std::string::npos) << tabFocus;
    EXPECT_NE(tabFocus.find("F-"), std::string::npos) << tabFocus;
}

// IDOK reaches the panel's empty OnOK; the hidden buttons 104 (empty handler) and 105 (no handler)
// do nothing either: the panel and the login window stay.
TEST_F(LoginCommandsTest, OkAndHiddenButtonsOnThePanelDoNothing)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr, hPanel = nullptr;
    bool openAfter = false;
    StepScript script(CloseOnTimeout(&hWnd));
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            hPanel = dlg.Panel()->m_hWnd;
            ::SendMessageW(hPanel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            ::SendMessageW(hPanel, WM_COMMAND, MAKEWPARAM(104, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hPanel, 104)));
            ::SendMessageW(hPanel, WM_COMMAND, MAKEWPARAM(105, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(hPanel, 105)));
            ::PostMessageW(hPanel, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        })
        .Pause(5)
        .Do([&] {
            openAfter = ::IsWindowVisible(hWnd) && ::IsWindowVisible(hPanel);
            ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(openAfter);
}

// Cancel and WM_CLOSE on the panel send WM_CLOSE to the login window, whose run ends with IDCANCEL.
TEST_F(LoginCommandsTest, CancelAndCloseOnThePanelCloseTheLoginWindow)
{
    for (UINT message : {UINT(WM_COMMAND), UINT(WM_CLOSE)})
    {
        SCOPED_TRACE(message);
        ProbeLoginDlg dlg;
        HWND hWnd = nullptr, hPanel = nullptr;
        StepScript script(CloseOnTimeout(&hWnd), 5000);
        script.WaitShown(dlg, hWnd)
            .Do([&] {
                hPanel = dlg.Panel()->m_hWnd;
                ::PostMessageW(hPanel, message, message == WM_COMMAND ? IDCANCEL : 0, 0);
            })
            .Wait([] { return false; });  // the run must end without the script
        EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
        EXPECT_FALSE(script.TimedOut());
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_FALSE(::IsWindow(hPanel));
        ForgetQuit();
    }
}

// The login window, counting the WM_CLOSE messages it receives.
class CloseCountingLoginDlg : public ProbeLoginDlg
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CLOSE)
            ++closes;
        return ProbeLoginDlg::WindowProc(message, wParam, lParam);
    }

    int closes = 0;
};

// The close button sends WM_CLOSE to the login window: it has arrived when the click returns.
TEST_F(LoginCommandsTest, CloseButtonHasClosedTheLoginWindowWhenItsClickReturns)
{
    CloseCountingLoginDlg dlg;
    HWND hWnd = nullptr, hPanel = nullptr;
    int closesAtReturn = -1;
    StepScript script(CloseOnTimeout(&hWnd), 5000);
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            hPanel = dlg.Panel()->m_hWnd;
            ::SendMessageW(::GetDlgItem(hPanel, 1004), BM_CLICK, 0, 0);
            closesAtReturn = dlg.closes;
        })
        .Wait([] { return false; });  // the run must end without the script
    EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_EQ(closesAtReturn, 1);
    EXPECT_EQ(dlg.closes, 1);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::IsWindow(hPanel));
}

struct MinMax
{
    HWND hWnd;
    int cmd;
};
std::vector<MinMax> g_minMax;

LRESULT CALLBACK RecordMinMax(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_MINMAX)
        g_minMax.push_back({reinterpret_cast<HWND>(wParam), int(LOWORD(lParam))});
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(LoginCommandsTest, MinimiseActsOnThePanelFirstThenOnTheLoginWindow)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr, hPanel = nullptr;
    bool loginIconic = false;
    HHOOK hHook = nullptr;
    g_minMax.clear();
    StepScript script(CloseOnTimeout(&hWnd));
    script.WaitShown(dlg, hWnd).Do([&] {
        hPanel = dlg.Panel()->m_hWnd;
        hHook = ::SetWindowsHookExW(WH_CBT, RecordMinMax, nullptr, ::GetCurrentThreadId());
        // A click of the button as the button control reports it.
        ::SendMessageW(::GetDlgItem(hPanel, 1012), BM_CLICK, 0, 0);
        ::UnhookWindowsHookEx(hHook);
        loginIconic = ::IsIconic(hWnd) != FALSE;
        ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());
    ASSERT_NE(hHook, nullptr);
    EXPECT_TRUE(loginIconic);
    std::vector<MinMax> minimised;
    for (const MinMax& m : g_minMax)
        if (m.cmd == SW_MINIMIZE)
            minimised.push_back(m);
    ASSERT_EQ(minimised.size(), 2u);
    EXPECT_EQ(minimised[0].hWnd, hPanel);
    EXPECT_EQ(minimised[1].hWnd, hWnd);
}

// Wine opens URLs through winebrowser, which runs the program named in its registry key: here a
// script that appends each URL to a log in the Wine prefix.
class BrowserRedirect
{
public:
    BrowserRedirect()
    {
        std::string source = __FILE__;
        std::replace(source.begin(), source.end(), '\\', '/');
        m_script = source.substr(0, source.rfind('/') + 1) + "record_url.sh";
        char prefix[MAX_PATH] = "";
        DWORD n = ::GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
        {
            n = ::GetEnvironmentVariableA("HOME", prefix, MAX_PATH);
            m_log = std::string(prefix, n < MAX_PATH ? n : 0) + "/.wine/orvane-urls.log";
        }
        else
        {
            m_log = std::string(prefix, n) + "/orvane-urls.log";
        }
        std::remove(WindowsPath().c_str());
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr) == ERROR_SUCCESS)
        {
            DWORD type = 0, size = sizeof(m_old);
            m_hadOld = ::RegQueryValueExW(m_key, L"Browsers", nullptr, &type,
                                          reinterpret_cast<BYTE*>(m_old), &size) == ERROR_SUCCESS;
            std::wstring value(m_script.begin(), m_script.end());
            ::RegSetValueExW(m_key, L"Browsers", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(value.c_str()),
                             DWORD((value.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~BrowserRedirect()
    {
        if (m_key)
        {
            if (m_hadOld)
                ::RegSetValueExW(m_key, L"Browsers", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(m_old),
                                 DWORD((wcslen(m_old) + 1) * sizeof(wchar_t)));
            else
                ::RegDeleteValueW(m_key, L"Browsers");
            ::RegCloseKey(m_key);
        }
        std::remove(WindowsPath().c_str());
    }
    bool Ready() const { return m_key != nullptr; }
    std::string WindowsPath() const { return "Z:" + m_log; }
    std::vector<std::string> Urls() const
    {
        std::vector<std::string> urls;
        std::ifstream in(WindowsPath());
        std::string line;
        while (std::getline(in, line))
            if (!line.empty())
                urls.push_back(line);
        return urls;
    }

private:
    std::string m_script, m_log;
    HKEY m_key = nullptr;
    wchar_t m_old[1024] = L"";
    bool m_hadOld = false;
};

TEST_F(LoginCommandsTest, LinkButtonsOpenTheirPagesInTheDefaultBrowserOnEachClick)
{
    BrowserRedirect redirect;
    ASSERT_TRUE(redirect.Ready());
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr, hPanel = nullptr;
    size_t browserCalls = 0, browserCallsAfter = 0;
    std::vector<std::string> urls;
    int ticks = 0;
    StepScript script(CloseOnTimeout(&hWnd), 25000);
    script.WaitShown(dlg, hWnd)
        .Do([&] {
            hPanel = dlg.Panel()->m_hWnd;
            browserCalls = FakeWebBrowser::Newest()->Calls().size();
            for (int id : {1006, 1006, 1008, 1009, 1010, 1009})
                ::SendMessageW(::GetDlgItem(hPanel, id), BM_CLICK, 0, 0);
        })
        .Wait([&] {
            urls = redirect.Urls();
            return urls.size() >= 6 || ++ticks > 750;
        })
        .Do([&] {
            browserCallsAfter = FakeWebBrowser::Newest()->Calls().size();
            ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(RunAsMainWindow(dlg), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());

    std::vector<std::string> expected = {
        "http://www.orvane.example/link/cms?gid=qelv",
        "http://www.orvane.example/link/cms?gid=qelv",
        "http://www.orvane.example/link/pay?gid=qelv",
        "http://www.orvane.example/link/kf?gid=qelv",
        "http://www.orvane.example/link/bbs?gid=qelv",
        "http://www.orvane.example/link/kf?gid=qelv",
    };
    // Each click starts its own browser process: the order of the log lines is not fixed.
    std::sort(expected.begin(), expected.end());
    std::sort(urls.begin(), urls.end());
    EXPECT_EQ(urls, expected);
    // The embedded page is left alone.
    EXPECT_EQ(browserCallsAfter, browserCalls);
}

}  // namespace
