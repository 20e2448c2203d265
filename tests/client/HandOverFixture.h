// The fixture of the hand-over tests: the whole program run in process (theApp from InitInstance
// to ExitInstance), the fake browser registered, the start of a fresh copy replaced by a counter;
// and a plan of login -> game -> login cycles.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "client/TranslucentApp.h"
#include "tests/client/HandOverSteps.h"
#include "tests/client/ProgramLog.h"
#include "tests/client/TrayProbe.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/MessageQueue.h"

namespace handover {

class HandOverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_browsers.Registered());
        ASSERT_EQ(AfxGetApp(), &theApp);
        ForgetQuit();
        theApp.m_pMainWnd = nullptr;
        SetBounds(CTranslucentApp::kCycleBound, CTranslucentApp::kHardCycleBound);
        ::SetCursorPos(5, 5);
    }
    void TearDown() override
    {
        AfxSetResourceHandle(nullptr);
        theApp.m_pMainWnd = nullptr;
        // Nothing of this fixture stays behind in theApp; still never a real copy.
        CTranslucentApp::HandOverLimits limits;
        limits.startFreshCopy = [] { return FALSE; };
        theApp.SetHandOverLimits(limits);
        ForgetQuit();
    }

    // The program as the library's WinMain runs it; its exit code.
    int RunProgram() { return AfxRunApp(&theApp); }

    // The cycle bounds in force. Never the real start of a copy here: it would run this test
    // program again; the copies are counted instead.
    void SetBounds(int nCycleBound, int nHardCycleBound)
    {
        CTranslucentApp::HandOverLimits limits;
        limits.nCycleBound = nCycleBound;
        limits.nHardCycleBound = nHardCycleBound;
        limits.startFreshCopy = [this] {
            ++m_freshCopies;
            m_nestedAtFreshCopy.push_back(theApp.NestedCycles());
            return m_freshCopyStarts ? TRUE : FALSE;
        };
        theApp.SetHandOverLimits(limits);
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
        EXPECT_EQ(theApp.m_pMainWnd, nullptr);
        EXPECT_EQ(theApp.NestedCycles(), 0);
        // The browsers of the replaced panels and game windows went with the program.
        EXPECT_TRUE(FakeWebBrowser::Live().empty()) << FakeWebBrowser::Live().size() << " left";
    }

    FakeBrowserRegistration m_browsers;
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
