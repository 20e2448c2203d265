// The fixture of the hand-over tests: the whole program run in process (an application object of
// the test's own from InitInstance to ExitInstance), the fake browser registered, the start of a
// fresh copy replaced by a counter; and a plan of login -> game -> login cycles.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "client/TranslucentApp.h"
#include "tests/client/HandOverSteps.h"
#include "tests/client/ProgramLog.h"
#include "tests/client/TrayProbe.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/MessageQueue.h"

namespace handover {

// Login windows nested beneath the one in front, as the program's windows show it: each game
// window it made and then no longer had in front was replaced by a login window (or was to be).
inline int NestedCycles(const ProgramLog& log)
{
    CWinApp* pApp = AfxGetApp();
    const HWND hMain = pApp && pApp->m_pMainWnd ? pApp->m_pMainWnd->m_hWnd : nullptr;
    int n = 0;
    for (const Event& e : log.Of(Event::GameInit))
        n += e.hwnd != hMain ? 1 : 0;
    return n;
}

class HandOverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_browsers.Registered());
        ForgetQuit();
        SetBounds(CTranslucentApp::kCycleBound, CTranslucentApp::kHardCycleBound);
        ASSERT_EQ(AfxGetApp(), m_app.get());
        ::SetCursorPos(5, 5);
    }
    void TearDown() override
    {
        AfxSetResourceHandle(nullptr);
        m_app.reset();
        ForgetQuit();
    }

    // The program as the library's WinMain runs it; its exit code.
    int RunProgram() { return AfxRunApp(m_app.get()); }
    CTranslucentApp& App() { return *m_app; }

    // The program's application object from here on, with these cycle bounds. Never the real
    // start of a copy here: it would run this test program again; the copies are counted instead,
    // with the nesting the windows show at that moment.
    void SetBounds(int nCycleBound, int nHardCycleBound)
    {
        CTranslucentApp::HandOverLimits limits;
        limits.nCycleBound = nCycleBound;
        limits.nHardCycleBound = nHardCycleBound;
        limits.startFreshCopy = [this] {
            ++m_freshCopies;
            const ProgramLog* log = ProgramLog::Running();
            m_nestedAtFreshCopy.push_back(log ? NestedCycles(*log) : -1);
            return m_freshCopyStarts ? TRUE : FALSE;
        };
        m_app.reset();
        m_app = std::make_unique<CTranslucentApp>(std::move(limits));
    }

    // Runs the program to its end through the login window's close button, with the checks
    // that hold after every such run.
    void RunToCleanEnd(const ProgramLog& log, const Driver& d)
    {
        const int code = RunProgram();
        ExpectCleanEnd(log, code, d);
    }

    // Checks that hold after every run that ended through the login window's close button.
    void ExpectCleanEnd(const ProgramLog& log, int code, const Driver& d)
    {
        EXPECT_FALSE(d.TimedOut()) << "stopped after step " << d.StepsDone();
        EXPECT_TRUE(d.Finished());
        EXPECT_EQ(code, 0);
        EXPECT_EQ(log.Count(Event::GdiplusDown), 1) << "ExitInstance runs once";
        EXPECT_FALSE(log.mainWindowAtShutdown);
        EXPECT_EQ(App().m_pMainWnd, nullptr);
        // The browsers of the replaced panels and game windows went with the program.
        EXPECT_TRUE(FakeWebBrowser::Live().empty()) << FakeWebBrowser::Live().size() << " left";
    }

    FakeBrowserRegistration m_browsers;
    std::unique_ptr<CTranslucentApp> m_app;
    int m_freshCopies = 0;
    bool m_freshCopyStarts = true;
    std::vector<int> m_nestedAtFreshCopy;
};

// Runs cycles login -> game -> login, then the login window's close button.
struct CycleRun
{
    explicit CycleRun(int n) : cycles(static_cast<size_t>(n) + 1) {}

    // Every cycle but the last login window: login, hand-over, game, close confirmed with Yes.
    void PlanCycles(Driver& d)
    {
        for (size_t i = 0; i + 1 < cycles.size(); ++i)
        {
            Cycle& c = cycles[i];
            ReachGame(d, c, static_cast<int>(i) + 1);
            d.Do([&c, this] {
                captionsRight +=
                    TextOf(c.hGame) == L"Orvanes" + std::to_wstring(c.server) + L"服" + kHint ? 1
                                                                                              : 0;
            });
            RequestClose(d, c, closeWay);
            AnswerExit(d, IDYES);
        }
    }

    // The cycles, then the last login window's close button.
    void Plan(Driver& d)
    {
        PlanCycles(d);
        AwaitLogin(d, cycles.back());
        ClickLoginClose(d, cycles.back());
    }

    std::vector<Cycle> cycles;
    int captionsRight = 0;
    CloseWay closeWay = CloseWay::PostedClose;
};

}  // namespace handover
