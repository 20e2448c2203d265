// Soak of the hand-over (not run in CI; scripts/soak runs it): many login -> game -> login cycles
// in one run of the program, then the login window's close button. Prints per cycle the stack
// depth at the login window's initialisation, the stack high-water mark so far, the process's
// USER, GDI and kernel handles and its memory. ORVANE_SOAK_CYCLES sets the number of cycles
// (default 1000).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "client/TranslucentApp.h"
#include "tests/client/HandOverSteps.h"
#include "tests/client/ProgramLog.h"
#include "tests/support/MessageQueue.h"
#include "tests/support/ThreadWindows.h"

using namespace handover;

namespace {

// Paints the unused part of the thread's stack so that the deepest point ever reached shows as
// the lowest word that no longer holds the paint.
class StackPaint
{
public:
    static constexpr uint64_t kPaint = 0x5A17C0DE5A17C0DEull;

    StackPaint()
    {
        MEMORY_BASIC_INFORMATION mbi = {};
        ::VirtualQuery(&mbi, &mbi, sizeof(mbi));
        // The committed part of the stack reaches up to its base.
        m_base = reinterpret_cast<uintptr_t>(mbi.BaseAddress) + mbi.RegionSize;
        m_reserveLow = reinterpret_cast<uintptr_t>(mbi.AllocationBase);
        // Clear of the guard pages at the bottom, and of this call's own frames at the top.
        m_low = m_reserveLow + 256 * 1024;
        const uintptr_t top = (StackHere() - 64 * 1024) & ~uintptr_t(7);
        // Downwards, page after page, as the stack grows.
        for (uintptr_t p = top; p >= m_low; p -= sizeof(uint64_t))
            *reinterpret_cast<volatile uint64_t*>(p) = kPaint;
        m_mark = top;
    }

    size_t Reserved() const { return m_base - m_reserveLow; }

    // Bytes between the stack base and the deepest point reached so far.
    size_t HighWater()
    {
        uintptr_t p = m_low;
        while (p < m_mark && *reinterpret_cast<volatile uint64_t*>(p) == kPaint)
            p += sizeof(uint64_t);
        m_mark = p;
        return m_base - p;
    }
    size_t Depth(uintptr_t at) const { return m_base - at; }

private:
    uintptr_t m_base = 0;
    uintptr_t m_reserveLow = 0;
    uintptr_t m_low = 0;
    uintptr_t m_mark = 0;
};

struct Sample
{
    size_t depth, highWater;
    DWORD user, gdi, handles;
    size_t privateBytes, workingSet;
    size_t windows, browsers;
};

Sample Measure(StackPaint& paint, uintptr_t at)
{
    Sample s = {};
    s.depth = paint.Depth(at);
    s.highWater = paint.HighWater();
    HANDLE hProcess = ::GetCurrentProcess();
    s.user = ::GetGuiResources(hProcess, GR_USEROBJECTS);
    s.gdi = ::GetGuiResources(hProcess, GR_GDIOBJECTS);
    ::GetProcessHandleCount(hProcess, &s.handles);
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
    s.privateBytes = pmc.PrivateUsage;
    s.workingSet = pmc.WorkingSetSize;
    s.windows = CountThreadWindows();
    s.browsers = FakeWebBrowser::Live().size();
    return s;
}

TEST(HandOverSoak, DISABLED_Cycles)
{
    int cycles = 1000;
    if (const char* env = std::getenv("ORVANE_SOAK_CYCLES"))
        cycles = std::atoi(env);
    ASSERT_GT(cycles, 0);
    FakeBrowserRegistration browsers;
    ASSERT_TRUE(browsers.Registered());
    int freshCopies = 0;
    // Every cycle nests here: past the bounds the program would hand over to a fresh copy.
    CTranslucentApp::HandOverLimits limits;
    limits.nCycleBound = std::max(limits.nCycleBound, cycles + 1);
    limits.nHardCycleBound = std::max(limits.nHardCycleBound, cycles + 1);
    limits.startFreshCopy = [&] {
        ++freshCopies;
        return TRUE;
    };
    CTranslucentApp app(limits);
    ForgetQuit();

    StackPaint paint;
    std::printf("stack reserved: %zu bytes; cycle bound %d, hard bound %d\n", paint.Reserved(),
                limits.nCycleBound, limits.nHardCycleBound);
    std::printf("%6s %10s %10s %6s %6s %8s %12s %12s %8s %8s\n", "cycle", "depth", "high-water",
                "USER", "GDI", "handles", "private", "working-set", "windows", "browsers");
    std::vector<Sample> samples;
    ProgramLog log;
    ASSERT_TRUE(log.Active());
    log.onLoginInit = [&](HWND) {
        const Sample s = Measure(paint, StackHere());
        std::printf("%6zu %10zu %10zu %6lu %6lu %8lu %12zu %12zu %8zu %8zu\n", samples.size(),
                    s.depth, s.highWater, s.user, s.gdi, s.handles, s.privateBytes, s.workingSet,
                    s.windows, s.browsers);
        std::fflush(stdout);
        samples.push_back(s);
    };

    Driver d(cycles * 2000 + 60000);
    std::vector<Cycle> run(static_cast<size_t>(cycles) + 1);
    for (size_t i = 0; i + 1 < run.size(); ++i)
    {
        ReachGame(d, run[i], static_cast<int>(i) + 1);
        CloseGame(d, run[i], IDYES);
    }
    if (cycles <= limits.nCycleBound)
    {
        AwaitLogin(d, run.back());
        ClickLoginClose(d, run.back());
    }
    const auto start = std::chrono::steady_clock::now();
    const int code = AfxRunApp(&app);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ForgetQuit();

    EXPECT_FALSE(d.TimedOut()) << "stopped after step " << d.StepsDone();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(log.Count(Event::GdiplusDown), 1);
    ASSERT_GE(samples.size(), 2u);
    const Sample& a = samples[1];
    const Sample& b = samples.back();
    const double n = double(samples.size() - 2);
    std::printf("\n%zu login windows in %.1f s; fresh copies started: %d\n", samples.size(),
                seconds, freshCopies);
    std::printf("final stack high-water mark: %zu bytes of %zu reserved\n", paint.HighWater(),
                paint.Reserved());
    if (n > 0)
    {
        std::printf(
            "per cycle (cycles 1..%zu): stack %.0f bytes, high-water %.0f bytes, USER %.2f, "
            "GDI %.2f, handles %.2f, private %.0f bytes, working set %.0f bytes, "
            "windows %.2f, browser objects %.2f\n",
            samples.size() - 1, double(b.depth - a.depth) / n,
            double(b.highWater - a.highWater) / n, (double(b.user) - a.user) / n,
            (double(b.gdi) - a.gdi) / n, (double(b.handles) - a.handles) / n,
            (double(b.privateBytes) - double(a.privateBytes)) / n,
            (double(b.workingSet) - double(a.workingSet)) / n,
            (double(b.windows) - double(a.windows)) / n,
            (double(b.browsers) - double(a.browsers)) / n);
    }
}

}  // namespace
