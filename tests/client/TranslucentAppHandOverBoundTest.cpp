// Many login -> game -> login cycles in process: how deep they nest (stack, the library's window
// procedure, the window procedure calls the system counts), the cycle bound and the fresh copy
// that takes over there, and what the program does when a window cannot be made or the thread
// nears Wine's limit of nested window procedure calls.
#include "tests/client/HandOverFixture.h"

#include "afx/NestingHeadroom.h"

using namespace handover;

namespace {

// Window procedure calls probed for: more than Wine allows on a thread (64).
const int kProbe = 100;

// How deep the thread is nested at one moment.
struct Nesting
{
    int libraryDepth;  // calls of the library's window procedure
    int headroom;      // further window procedure calls the system allows, up to kProbe

    static Nesting Now() { return {AfxGetWndProcDepth(), AfxNestingHeadroom(kProbe)}; }
};

// A message-only window that, sent kNest with a depth, sends itself the message again that many
// times and then calls the step innermost: the step runs under that many more nested calls.
class NestingWindow
{
public:
    static const UINT kNest = WM_APP + 7;

    NestingWindow()
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HandOverNestingWindow";
        ::RegisterClassExW(&wc);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~NestingWindow() { ::DestroyWindow(m_hWnd); }
    NestingWindow(const NestingWindow&) = delete;
    NestingWindow& operator=(const NestingWindow&) = delete;

    void RunNested(int nDepth, std::function<void()> step)
    {
        m_step = std::move(step);
        ::SendMessageW(m_hWnd, kNest, static_cast<WPARAM>(nDepth), reinterpret_cast<LPARAM>(this));
    }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
    {
        if (nMsg != kNest)
            return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
        NestingWindow* self = reinterpret_cast<NestingWindow*>(lParam);
        if (wParam > 1)
            ::SendMessageW(hWnd, kNest, wParam - 1, lParam);
        else
            self->m_step();
        return 0;
    }

    HWND m_hWnd = nullptr;
    std::function<void()> m_step;
};

// TRUE where the system limits nested window procedure calls (Wine); Windows nests them as deep
// as the stack allows.
bool NestingIsLimited()
{
    return AfxNestingHeadroom(kProbe) < kProbe;
}

// 50 cycles, then the close button: every nested run ends, innermost first; ExitInstance runs
// once, after every window and its browser is gone; the exit code is 0.
TEST_F(HandOverTest, FiftyCyclesThenCloseEndsEveryRunInnermostFirst)
{
    const int kCycles = 50;
    // Past the bound the program would hand over to a fresh copy: here the nesting itself counts.
    SetBounds(kCycles + 1, CTranslucentApp::kHardCycleBound);
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d(400000);
    CycleRun run(kCycles);
    run.Plan(d);
    std::vector<Nesting> nesting;
    log.onLoginInit = [&nesting](HWND) { nesting.push_back(Nesting::Now()); };
    RunToCleanEnd(log, d);
    EXPECT_EQ(run.captionsRight, kCycles);
    EXPECT_EQ(log.Count(Event::LoginInit), kCycles + 1);
    EXPECT_EQ(log.Count(Event::GameInit), kCycles);
    EXPECT_EQ(m_freshCopies, 0);
    EXPECT_EQ(log.liveBrowsersAtShutdown, 0u) << "every window object is gone before GDI+";

    // Every run but the innermost takes the quit request and passes it on, from the deepest
    // stack position outwards.
    const std::vector<Event> quits = log.Of(Event::QuitTaken);
    EXPECT_EQ(quits.size(), static_cast<size_t>(2 * kCycles));
    for (size_t i = 1; i < quits.size(); ++i)
        EXPECT_GT(quits[i].stack, quits[i - 1].stack) << i;

    // Each cycle nests deeper by the same amount.
    const std::vector<Event> logins = log.Of(Event::LoginInit);
    ASSERT_EQ(logins.size(), static_cast<size_t>(kCycles + 1));
    const intptr_t first = static_cast<intptr_t>(logins[1].stack - logins[2].stack);
    for (size_t i = 1; i < logins.size(); ++i)
    {
        EXPECT_LT(logins[i].stack, logins[i - 1].stack);
        if (i >= 2)
        {
            EXPECT_EQ(static_cast<intptr_t>(logins[i - 1].stack - logins[i].stack), first) << i;
        }
    }
    const double perCycle = double(logins.front().stack - logins.back().stack) / kCycles;
    std::printf("stack per login -> game -> login cycle: %.0f bytes\n", perCycle);
    RecordProperty("StackBytesPerCycle", static_cast<int>(perCycle));

    // One call of the library's window procedure stays open per cycle (the game window's
    // WM_CLOSE); the timer-fired event and the posted close add none that the system counts.
    ASSERT_EQ(nesting.size(), static_cast<size_t>(kCycles + 1));
    for (size_t i = 0; i < nesting.size(); ++i)
    {
        EXPECT_EQ(nesting[i].libraryDepth, static_cast<int>(i)) << i;
        EXPECT_EQ(nesting[i].headroom, nesting[0].headroom) << i;
    }
}

// When the game window cannot be made at all, the program ends cleanly rather than running on
// without a window, and the main window pointer designates nothing; a fresh copy gives the player
// a login window again.
TEST_F(HandOverTest, GameWindowThatCannotBeMadeHandsOverToAFreshCopy)
{
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    Cycle c;
    CWnd* mainAfter = reinterpret_cast<CWnd*>(1);
    AwaitLogin(d, c);
    d.Nest([&] {
        // A module without the program's templates.
        AfxSetResourceHandle(::GetModuleHandleW(L"kernel32.dll"));
        c.panelFake->SetLocation(LocationFor(1));
        c.panelFake->FireNavigateComplete2(EventUrlFor(1));
        AfxSetResourceHandle(nullptr);
        mainAfter = App().m_pMainWnd;
    });
    const int code = RunProgram();
    EXPECT_FALSE(d.TimedOut()) << "the program ran on without a window";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(mainAfter, nullptr);
    EXPECT_EQ(App().m_pMainWnd, nullptr);
    EXPECT_EQ(log.Count(Event::GameInit), 0);
    EXPECT_EQ(log.Count(Event::GdiplusDown), 1);
    EXPECT_EQ(m_freshCopies, 1);
    EXPECT_FALSE(::IsWindow(c.hLogin));
    EXPECT_FALSE(::IsWindow(c.hPanel));
}

// When the new login window cannot be made at all, the program ends cleanly and a fresh copy
// takes over.
TEST_F(HandOverTest, LoginWindowThatCannotBeMadeHandsOverToAFreshCopy)
{
    Cycle c;
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    ReachGame(d, c, 8);
    CloseGame(d, c, IDYES, [](HWND) { AfxSetResourceHandle(::GetModuleHandleW(L"kernel32.dll")); });
    const int code = RunProgram();
    AfxSetResourceHandle(nullptr);
    EXPECT_FALSE(d.TimedOut()) << "the program ran on without a window";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(App().m_pMainWnd, nullptr);
    EXPECT_EQ(log.Count(Event::LoginInit), 1);
    EXPECT_EQ(log.Count(Event::GdiplusDown), 1);
    EXPECT_EQ(m_freshCopies, 1);
    EXPECT_EQ(m_nestedAtFreshCopy, std::vector<int>{1});
    EXPECT_FALSE(::IsWindow(c.hGame));
    EXPECT_FALSE(TrayIconExists(c.hGame, kTrayIconId));
}

// At the cycle bound a confirmed close starts a fresh copy of the program instead of nesting one
// more login window, and this copy ends cleanly.
TEST_F(HandOverTest, AtTheCycleBoundAFreshCopyTakesOver)
{
    SetBounds(2, CTranslucentApp::kHardCycleBound);
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    CycleRun run(3);
    // The third confirmation reaches the bound: no fourth login window to close.
    run.PlanCycles(d);
    const int code = RunProgram();
    EXPECT_FALSE(d.TimedOut()) << "stopped after step " << d.StepsDone();
    EXPECT_TRUE(d.Finished());
    EXPECT_EQ(code, 0);
    EXPECT_EQ(m_freshCopies, 1);
    EXPECT_EQ(m_nestedAtFreshCopy, std::vector<int>{2});
    EXPECT_EQ(log.Count(Event::LoginInit), 3);
    EXPECT_EQ(log.Count(Event::GameInit), 3);
    EXPECT_EQ(log.Count(Event::GdiplusDown), 1);
    EXPECT_EQ(log.Of(Event::QuitTaken).size(), 5u);
    EXPECT_EQ(App().m_pMainWnd, nullptr);
    EXPECT_FALSE(::IsWindow(run.cycles[2].hGame));
    EXPECT_FALSE(TrayIconExists(run.cycles[2].hGame, kTrayIconId));
}

// A fresh copy that cannot be started leaves the player a login window while there is room; at
// the hard bound the program ends.
TEST_F(HandOverTest, WithoutAFreshCopyNestingGoesOnToTheHardBound)
{
    SetBounds(1, 2);
    m_freshCopyStarts = false;
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    Driver d;
    CycleRun run(3);
    run.PlanCycles(d);
    const int code = RunProgram();
    EXPECT_FALSE(d.TimedOut()) << "stopped after step " << d.StepsDone();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(m_freshCopies, 2);
    EXPECT_EQ(m_nestedAtFreshCopy, (std::vector<int>{1, 2}));
    EXPECT_EQ(log.Count(Event::LoginInit), 3);
    EXPECT_EQ(log.Count(Event::GameInit), 3);
    EXPECT_EQ(log.Count(Event::GdiplusDown), 1);
    EXPECT_EQ(App().m_pMainWnd, nullptr);
}

// Each way of closing the game window leaves its own number of calls open beneath the next login
// window. Measured under Wine: a posted WM_CLOSE leaves one call of the library's window
// procedure and nothing the system counts; the system command (what the caption's close button
// sends) and Alt+F4 (which the default window procedure turns into that command) leave the
// command's call and the WM_CLOSE it sends: two library calls, one counted call. The cycle bound
// allows for twice the deepest.
TEST_F(HandOverTest, EachWayOfClosingLeavesItsNestingPerCycle)
{
    struct Way
    {
        CloseWay way;
        const char* name;
        int libraryPerCycle;
        int countedPerCycle;
    };
    const Way ways[] = {
        {CloseWay::PostedClose, "posted WM_CLOSE", 1, 0},
        {CloseWay::SystemCommand, "WM_SYSCOMMAND SC_CLOSE", 2, 1},
        {CloseWay::AltF4, "Alt+F4", 2, 1},
    };
    const bool limited = NestingIsLimited();
    // One application object runs the three ways, with the cycle bound just above each run's
    // cycles: nesting that one run left counted would hand over to a fresh copy in the next.
    const int kCycles = 3;
    SetBounds(kCycles + 1, CTranslucentApp::kHardCycleBound);
    for (const Way& way : ways)
    {
        SCOPED_TRACE(way.name);
        ProgramLog log;
        ASSERT_TRUE(log.Active());
        Driver d;
        CycleRun run(kCycles);
        run.closeWay = way.way;
        run.Plan(d);
        std::vector<Nesting> nesting;
        log.onLoginInit = [&nesting](HWND) { nesting.push_back(Nesting::Now()); };
        RunToCleanEnd(log, d);
        EXPECT_EQ(run.captionsRight, kCycles);
        ASSERT_EQ(nesting.size(), static_cast<size_t>(kCycles + 1));
        for (size_t i = 1; i < nesting.size(); ++i)
        {
            const int library = nesting[i].libraryDepth - nesting[i - 1].libraryDepth;
            const int counted = nesting[i - 1].headroom - nesting[i].headroom;
            std::printf("%s: cycle %zu nests %d library calls, %d counted calls\n", way.name, i,
                        library, counted);
            EXPECT_EQ(library, way.libraryPerCycle) << i;
            if (limited)
            {
                EXPECT_EQ(counted, way.countedPerCycle) << i;
            }
            EXPECT_LE(2 * counted * CTranslucentApp::kCycleBound + CTranslucentApp::kNestingReserve,
                      64)
                << "the bound leaves twice the measured nesting as margin";
        }
        ForgetQuit();
    }
    EXPECT_EQ(m_freshCopies, 0) << "a run started with nesting left from the one before";
}

// A confirmed close near the limit of nested window procedure calls hands over to a fresh copy
// before the cycle bound: no login window is made that could not work.
TEST_F(HandOverTest, NearTheNestingLimitAFreshCopyTakesOverBeforeTheBound)
{
    if (!NestingIsLimited())
        GTEST_SKIP() << "window procedure calls nest without a fixed limit here";
    for (const bool copyStarts : {true, false})
    {
        SCOPED_TRACE(copyStarts ? "the copy starts" : "the copy cannot be started");
        m_freshCopyStarts = copyStarts;
        m_freshCopies = 0;
        m_nestedAtFreshCopy.clear();
        ProgramLog log;
        ASSERT_TRUE(log.Active());
        Driver d;
        NestingWindow nest;
        Cycle c;
        int headroomAtClose = -1;
        ReachGame(d, c, 5);
        // The close request arrives under 50 more nested calls, as after many cycles.
        d.Nest([&] {
            nest.RunNested(50, [&] {
                headroomAtClose = AfxNestingHeadroom(kProbe);
                ::SendMessageW(c.hGame, WM_CLOSE, 0, 0);
            });
        });
        AnswerExit(d, IDYES);
        const int code = RunProgram();
        EXPECT_FALSE(d.TimedOut()) << "stopped after step " << d.StepsDone();
        EXPECT_TRUE(d.Finished());
        EXPECT_EQ(code, 0);
        EXPECT_LT(headroomAtClose, int(CTranslucentApp::kNestingReserve));
        EXPECT_EQ(m_freshCopies, 1);
        EXPECT_EQ(m_nestedAtFreshCopy, std::vector<int>{0}) << "before the cycle bound";
        EXPECT_EQ(log.Count(Event::LoginInit), 1) << "no login window under the limit";
        EXPECT_EQ(log.Count(Event::GdiplusDown), 1);
        EXPECT_EQ(App().m_pMainWnd, nullptr);
        EXPECT_FALSE(::IsWindow(c.hGame));
        EXPECT_FALSE(TrayIconExists(c.hGame, kTrayIconId));
        ForgetQuit();
    }
}

}  // namespace
