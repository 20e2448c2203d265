// Steps of the hand-over tests, played inside the whole program run in process: the login window
// in front, the completed navigation that hands over, the game window, its close request and the
// exit confirmation answered, the login window's close button.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "afx/ThreadState.h"
#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/client/InProcessProgram.h"
#include "tests/client/ProgramTexts.h"
#include "tests/client/StepScript.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ThreadWindows.h"

namespace handover {

// Steps one per tick of 10 ms; past the time limit (steps done or not) the program is made to
// quit with kTimeoutCode.
class Driver : public StepScript
{
public:
    static constexpr int kTimeoutCode = 99;

    explicit Driver(int nLimitMs = 30000)
        : StepScript([] { AfxPostQuitMessage(kTimeoutCode); }, nLimitMs, 10)
    {
    }
};

// The windows of one login window in front and what the hand-over made of them.
struct Cycle
{
    int server = 0;
    CTalvTranslucentDlg* login = nullptr;
    HWND hLogin = nullptr, hPanel = nullptr, hBrowser = nullptr;
    FakeWebBrowser* panelFake = nullptr;
    CTalvGameDlg* game = nullptr;
    HWND hGame = nullptr;
    std::wstring location, eventUrl;
};

inline std::wstring EventUrlFor(int server)
{
    return L"http://game.orvane.example/enter?uid=7&server=" + std::to_wstring(server) + L"&t=3";
}

inline std::wstring LocationFor(int server)
{
    return L"http://game.orvane.example/play/" + std::to_wstring(server) + L"?uid=7";
}

// Steps that wait for the login window in front and record its windows into c.
inline void AwaitLogin(Driver& d, Cycle& c)
{
    d.Wait([&c] {
        CTalvTranslucentDlg* login = FrontLogin();
        HWND hPanel = login ? OwnedPopupWith(login->m_hWnd, 1004) : nullptr;
        FakeWebBrowser* fake = hPanel ? FakeInside(hPanel) : nullptr;
        if (!fake)
            return false;
        c.login = login;
        c.hLogin = login->m_hWnd;
        c.hPanel = hPanel;
        c.panelFake = fake;
        c.hBrowser = fake->Window();
        return true;
    });
}

// The completed navigation that hands over: the fake's location is the game page.
inline void FireHandOver(Driver& d, Cycle& c)
{
    d.Nest([&c] {
        c.location = LocationFor(c.server);
        c.eventUrl = EventUrlFor(c.server);
        c.panelFake->SetLocation(c.location);
        // The player clicked into the page: the control holds the site's frame, the site its
        // active object, until the end of the program.
        c.panelFake->UIActivate();
        c.panelFake->FireNavigateComplete2(c.eventUrl);
    });
}

inline void AwaitGame(Driver& d, Cycle& c)
{
    d.Wait([&c] {
        CTalvGameDlg* game = FrontGame();
        if (!game)
            return false;
        c.game = game;
        c.hGame = game->m_hWnd;
        return true;
    });
}

// How the game window is asked to close: a posted WM_CLOSE, or the key message Alt+F4 and the
// system command that the default window procedure makes of it, dispatched by the modal loop.
enum class CloseWay
{
    PostedClose,
    AltF4,
    SystemCommand
};

inline void RequestClose(Driver& d, Cycle& c, CloseWay way = CloseWay::PostedClose)
{
    d.Do([&c, way] {
        switch (way)
        {
        case CloseWay::PostedClose:
            ::PostMessageW(c.hGame, WM_CLOSE, 0, 0);
            break;
        case CloseWay::AltF4:
            // Context code (bit 29): Alt is down.
            ::PostMessageW(c.hGame, WM_SYSKEYDOWN, VK_F4, 0x20000001);
            break;
        case CloseWay::SystemCommand:
            ::PostMessageW(c.hGame, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
    });
}

// The confirmation answered once it is shown (inspect sees it first).
inline void AnswerExit(Driver& d, int answer, std::function<void(HWND)> inspect = nullptr)
{
    d.Wait([answer, inspect] {
        HWND hBox = ThreadWindowTitled(kExitCaption);
        if (!hBox)
            return false;
        if (inspect)
            inspect(hBox);
        ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hBox, answer)));
        return true;
    });
}

// The close request (as the caption's close button makes it) and the confirmation answered.
inline void CloseGame(Driver& d, Cycle& c, int answer, std::function<void(HWND)> inspect = nullptr)
{
    RequestClose(d, c);
    AnswerExit(d, answer, std::move(inspect));
}

// A cycle up to its game window: the login window, the hand-over to that server, the game window.
inline void ReachGame(Driver& d, Cycle& c, int server)
{
    c.server = server;
    AwaitLogin(d, c);
    FireHandOver(d, c);
    AwaitGame(d, c);
}

// The login window's close button.
inline void ClickLoginClose(Driver& d, Cycle& c)
{
    d.Do([&c] { ::PostMessageW(::GetDlgItem(c.hPanel, 1004), BM_CLICK, 0, 0); });
}

// The game window closed with Yes, then the login window that follows (recorded into back)
// closed by its close button.
inline void CloseGameThenLogin(Driver& d, Cycle& c, Cycle& back)
{
    CloseGame(d, c, IDYES);
    AwaitLogin(d, back);
    ClickLoginClose(d, back);
}

}  // namespace handover
