// In-process benchmarks of the program's code, printed as plain "key value..." lines that
// scripts/bench turns into figures.
//
//   bench_inprocess redraw RUNS FRAMES
//     Per run, the mean time of one frame of CTranslucentDialog::UpdateView on the 1208 x 762
//     login skin ("redraw view"), and of two floors drawn with GDI+ and the Windows API alone
//     (tests/bench/RedrawFloor.h): "redraw fresh" takes UpdateView's steps, making its device
//     context, DIB section, drawing surface and User32 reference for every frame; "redraw kept"
//     keeps the DIB section and the drawing surface from frame to frame.
//
//   bench_inprocess cycles N
//     Runs the program (the application object, its login and game windows) with the fake browser
//     as the WebBrowser control, through N login -> game -> login cycles, each as a user makes it:
//     a completed navigation to the game host, then the game window's close confirmed with Yes.
//     Prints samples of the handles, memory and stack depth at chosen cycles, and at the end the
//     stack high-water mark of the thread.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <set>
#include <vector>

#include "tests/support/ThreadWindows.h"
#include "afx/OleControlContainer.h"
#include "afx/WinApp.h"
#include "client/TalvGameDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "client/TranslucentApp.h"
#include "layered/TranslucentDialog.h"
#include "res/resource.h"
#include "tests/bench/RedrawFloor.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ImportPatch.h"

namespace {

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1e6 / double(freq.QuadPart);  // microseconds
}

// ---------------------------------------------------------------------------------------------
// Redraw

// The login window's skin alone: no companion, no children, so a frame is UpdateView only.
class SkinOnlyDlg : public CTranslucentDialog
{
public:
    SkinOnlyDlg() : CTranslucentDialog(IDD_TRANSLUCENT_DIALOG, IDB_LOGIN_SKIN, L"PNG", nullptr) {}
    CStandardDialog* CreateStandardDialog() override { return nullptr; }
    void OnInitChildrenWnds() override {}
    SIZE Size() const
    {
        return SIZE{LONG(m_pImage ? m_pImage->GetWidth() : 0),
                    LONG(m_pImage ? m_pImage->GetHeight() : 0)};
    }
};

struct RedrawParams
{
    SkinOnlyDlg* pDlg;
    int runs;
    int frames;
    int status;
};
RedrawParams* g_pRedraw = nullptr;

void CALLBACK RedrawTick(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    RedrawParams& p = *g_pRedraw;
    const SIZE size = p.pDlg->Size();
    std::printf("skin %ld %ld\n", size.cx, size.cy);
    RedrawFloor floor(size);
    if (!floor.Ready() || size.cx == 0)
    {
        p.status = 3;
        p.pDlg->EndDialog(IDCANCEL);
        return;
    }
    // Warm all three up, then alternate their runs so that drift hits them alike.
    for (int i = 0; i < 5; ++i)
    {
        p.pDlg->UpdateView();
        floor.FreshFrame();
        floor.KeptFrame();
    }
    for (int run = 0; run < p.runs; ++run)
    {
        double t0 = Now();
        for (int i = 0; i < p.frames; ++i)
            p.pDlg->UpdateView();
        ::GdiFlush();
        double t1 = Now();
        for (int i = 0; i < p.frames; ++i)
            floor.FreshFrame();
        ::GdiFlush();
        double t2 = Now();
        for (int i = 0; i < p.frames; ++i)
            floor.KeptFrame();
        ::GdiFlush();
        double t3 = Now();
        std::printf("redraw view %.1f\nredraw fresh %.1f\nredraw kept %.1f\n", (t1 - t0) / p.frames,
                    (t2 - t1) / p.frames, (t3 - t2) / p.frames);
        std::fflush(stdout);
    }
    p.pDlg->EndDialog(IDOK);
}

int RunRedraw(int runs, int frames)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int status = 0;
    {
        SkinOnlyDlg dlg;
        RedrawParams params{&dlg, runs, frames, 0};
        g_pRedraw = &params;
        ::SetTimer(nullptr, 0, 10, &RedrawTick);
        dlg.DoModal();
        status = params.status;
        g_pRedraw = nullptr;
    }
    Gdiplus::GdiplusShutdown(token);
    return status;
}

// ---------------------------------------------------------------------------------------------
// Cycles

const wchar_t kGameUrl[] = L"http://game.orvane.example/play?uid=7&server=12&key=abc";

// The thread's stack bounds. (GCC sees the TEB read through a segment register as out of bounds.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
__attribute__((noinline)) NT_TIB* Tib()
{
    return reinterpret_cast<NT_TIB*>(::NtCurrentTeb());
}
#pragma GCC diagnostic pop

const ULONG_PTR kPaint = 0x5AA5C33CF00FE11EULL & ~ULONG_PTR(0);
BYTE* g_pPaintLow = nullptr;
BYTE* g_pPaintHigh = nullptr;

// Fills the stack below this call with a pattern, so that the deepest use shows later. The
// writes go from the top down, page after page, as a stack grows, so that the system commits the
// pages on the way; a margin above the bottom of the reservation stays untouched.
__attribute__((noinline)) void PaintStack()
{
    BYTE* pHere = static_cast<BYTE*>(__builtin_frame_address(0));
    MEMORY_BASIC_INFORMATION mbi = {};
    ::VirtualQuery(pHere, &mbi, sizeof(mbi));
    g_pPaintHigh = pHere - 16 * 1024;
    g_pPaintLow = static_cast<BYTE*>(mbi.AllocationBase) + 256 * 1024;
    for (ULONG_PTR* p = reinterpret_cast<ULONG_PTR*>(g_pPaintHigh) - 1;
         p >= reinterpret_cast<ULONG_PTR*>(g_pPaintLow); --p)
        *p = kPaint;
    std::printf("stack painted %llu\n",
                static_cast<unsigned long long>(g_pPaintHigh - g_pPaintLow));
}

// Bytes of stack used at the deepest point since PaintStack.
size_t StackHighWater()
{
    BYTE* pBase = static_cast<BYTE*>(Tib()->StackBase);
    BYTE* pLowest = g_pPaintHigh;
    for (ULONG_PTR* p = reinterpret_cast<ULONG_PTR*>(g_pPaintLow);
         p < reinterpret_cast<ULONG_PTR*>(g_pPaintHigh); ++p)
        if (*p != kPaint)
        {
            pLowest = reinterpret_cast<BYTE*>(p);
            break;
        }
    return size_t(pBase - pLowest);
}

size_t StackReservation()
{
    MEMORY_BASIC_INFORMATION mbi = {};
    ::VirtualQuery(Tib()->StackLimit, &mbi, sizeof(mbi));
    return size_t(static_cast<BYTE*>(Tib()->StackBase) - static_cast<BYTE*>(mbi.AllocationBase));
}

size_t StackDepthHere()
{
    return size_t(static_cast<BYTE*>(Tib()->StackBase) -
                  static_cast<BYTE*>(__builtin_frame_address(0)));
}

double g_start = 0;

// Kernel handles open in the process: the handle values that the system answers for. (Wine's
// GetProcessHandleCount answers 0.)
int CountKernelHandles()
{
    int n = 0;
    DWORD flags = 0;
    for (ULONG_PTR h = 4; h < 0x10000; h += 4)
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags))
            ++n;
    return n;
}

// Bytes in use in every heap of the process.
unsigned long long HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD count = ::GetProcessHeaps(64, heaps);
    unsigned long long total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i)
    {
        if (!::HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        ::HeapUnlock(heaps[i]);
    }
    return total;
}

// GDI objects that the program's own code made and has not deleted, counted at the executable's
// GDI imports. (Wine's GetGuiResources answers 0; GDI+ keeps its own objects out of this count.)
std::set<HGDIOBJ>& LiveGdi()
{
    static std::set<HGDIOBJ> live;
    return live;
}

template <class H>
H Track(H h)
{
    if (h)
        LiveGdi().insert(reinterpret_cast<HGDIOBJ>(h));
    return h;
}

// The real functions, taken before their imports are redirected.
struct RealGdi
{
    decltype(&::CreateCompatibleBitmap) createCompatibleBitmap = &::CreateCompatibleBitmap;
    decltype(&::CreateCompatibleDC) createCompatibleDC = &::CreateCompatibleDC;
    decltype(&::CreateDIBSection) createDIBSection = &::CreateDIBSection;
    decltype(&::CreatePatternBrush) createPatternBrush = &::CreatePatternBrush;
    decltype(&::CreateSolidBrush) createSolidBrush = &::CreateSolidBrush;
    decltype(&::LoadBitmapW) loadBitmap = &::LoadBitmapW;
    decltype(&::LoadImageW) loadImage = &::LoadImageW;
    decltype(&::DeleteDC) deleteDC = &::DeleteDC;
    decltype(&::DeleteObject) deleteObject = &::DeleteObject;
};
RealGdi g_real;

HBITMAP WINAPI TrackCreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    return Track(g_real.createCompatibleBitmap(hdc, cx, cy));
}
HDC WINAPI TrackCreateCompatibleDC(HDC hdc)
{
    return Track(g_real.createCompatibleDC(hdc));
}
HBITMAP WINAPI TrackCreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits,
                                     HANDLE section, DWORD offset)
{
    return Track(g_real.createDIBSection(hdc, bmi, usage, bits, section, offset));
}
HBRUSH WINAPI TrackCreatePatternBrush(HBITMAP hbm)
{
    return Track(g_real.createPatternBrush(hbm));
}
HBRUSH WINAPI TrackCreateSolidBrush(COLORREF cr)
{
    return Track(g_real.createSolidBrush(cr));
}
HBITMAP WINAPI TrackLoadBitmapW(HINSTANCE hInst, LPCWSTR name)
{
    return Track(g_real.loadBitmap(hInst, name));
}
HANDLE WINAPI TrackLoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    HANDLE h = g_real.loadImage(hInst, name, type, cx, cy, flags);
    return type == IMAGE_BITMAP ? Track(h) : h;
}
BOOL WINAPI TrackDeleteDC(HDC hdc)
{
    LiveGdi().erase(hdc);
    return g_real.deleteDC(hdc);
}
BOOL WINAPI TrackDeleteObject(HGDIOBJ h)
{
    LiveGdi().erase(h);
    return g_real.deleteObject(h);
}

// Points the executable's GDI imports at the counting functions while the patches live; false
// when one of them could not be patched.
bool TrackGdi(std::vector<std::unique_ptr<CImportPatch>>& patches)
{
    // The addresses taken here go through the imports, so they are the real functions.
    g_real = RealGdi();
    struct
    {
        const wchar_t* dll;
        const char* name;
        void* fn;
    } redirects[] = {
        {L"gdi32.dll", "CreateCompatibleBitmap",
         reinterpret_cast<void*>(&TrackCreateCompatibleBitmap)},
        {L"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&TrackCreateCompatibleDC)},
        {L"gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(&TrackCreateDIBSection)},
        {L"gdi32.dll", "CreatePatternBrush", reinterpret_cast<void*>(&TrackCreatePatternBrush)},
        {L"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&TrackCreateSolidBrush)},
        {L"user32.dll", "LoadBitmapW", reinterpret_cast<void*>(&TrackLoadBitmapW)},
        {L"user32.dll", "LoadImageW", reinterpret_cast<void*>(&TrackLoadImageW)},
        {L"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(&TrackDeleteDC)},
        {L"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&TrackDeleteObject)},
    };
    bool all = true;
    for (const auto& r : redirects)
    {
        patches.push_back(std::make_unique<CImportPatch>(r.dll, r.name, r.fn));
        all = patches.back()->Active() && all;
    }
    return all;
}

void Sample(int cycle)
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    std::printf("sample %d ms %.0f kernel %d gdi %zu user %d heap %llu working %llu depth %llu\n",
                cycle, (Now() - g_start) / 1000.0, CountKernelHandles(), LiveGdi().size(),
                static_cast<int>(CountThreadWindows()), HeapBytesInUse(),
                static_cast<unsigned long long>(pmc.WorkingSetSize),
                static_cast<unsigned long long>(StackDepthHere()));
    std::fflush(stdout);
}

struct CycleDriver
{
    enum Phase
    {
        WaitLogin,
        WaitGame,
        WaitBox,
        Closing
    } phase = WaitLogin;
    int target = 0;
    int cycles = 0;  // login windows reached again
    bool busy = false;
    HWND hGame = nullptr;
    double start = 0;
    std::vector<int> sampleAt;
};
CycleDriver g_driver;

bool SampleWanted(int cycle)
{
    for (int c : g_driver.sampleAt)
        if (c == cycle)
            return true;
    return false;
}

HWND VisibleMainWindow()
{
    CWinApp* pApp = AfxGetApp();
    CWnd* pMain = pApp ? pApp->m_pMainWnd : nullptr;
    return pMain && pMain->m_hWnd && ::IsWindowVisible(pMain->m_hWnd) ? pMain->m_hWnd : nullptr;
}

struct PopupSearch
{
    HWND owner;
    const wchar_t* cls;  // window class, or NULL for the login panel (it has control 1004)
    HWND found;
};

BOOL CALLBACK MatchPopup(HWND h, LPARAM l)
{
    PopupSearch* p = reinterpret_cast<PopupSearch*>(l);
    wchar_t name[64] = L"";
    ::GetClassNameW(h, name, 64);
    if (::GetWindow(h, GW_OWNER) == p->owner && ::IsWindowVisible(h) &&
        (p->cls ? std::wcscmp(name, p->cls) == 0 : ::GetDlgItem(h, 1004) != nullptr))
        p->found = h;
    return TRUE;
}

HWND FindOwnedPopup(HWND hOwner, const wchar_t* cls)
{
    PopupSearch s = {hOwner, cls, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchPopup, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void CALLBACK CycleTick(HWND, UINT, UINT_PTR, DWORD)
{
    CycleDriver& d = g_driver;
    if (d.busy)
        return;
    d.busy = true;
    CWinApp* pApp = AfxGetApp();
    switch (d.phase)
    {
    case CycleDriver::WaitLogin:
    {
        HWND hMain = VisibleMainWindow();
        if (!hMain || !dynamic_cast<CTalvTranslucentDlg*>(pApp->m_pMainWnd))
            break;
        if (SampleWanted(d.cycles))
            Sample(d.cycles);
        if (d.cycles == d.target)
        {
            // What the kept GDI objects are, by kind.
            int kinds[16] = {};
            for (HGDIOBJ h : LiveGdi())
            {
                const DWORD type = ::GetObjectType(h);
                ++kinds[type < 16 ? type : 0];
            }
            std::printf("gdi_kinds bitmap %d brush %d memdc %d other %d\n", kinds[OBJ_BITMAP],
                        kinds[OBJ_BRUSH], kinds[OBJ_MEMDC],
                        int(LiveGdi().size()) - kinds[OBJ_BITMAP] - kinds[OBJ_BRUSH] -
                            kinds[OBJ_MEMDC]);
            std::printf("elapsed_ms %.0f\n", (Now() - d.start) / 1000.0);
            d.phase = CycleDriver::Closing;
            if (HWND hPanel = FindOwnedPopup(hMain, nullptr))
                ::PostMessageW(::GetDlgItem(hPanel, 1004), BM_CLICK, 0, 0);
            break;
        }
        FakeWebBrowser* fake = FakeWebBrowser::Newest();
        if (!fake)
            break;
        d.phase = CycleDriver::WaitGame;
        fake->SetLocation(kGameUrl);
        d.busy = false;
        fake->FireNavigateComplete2(kGameUrl);  // returns only when the program ends
        return;
    }
    case CycleDriver::WaitGame:
    {
        HWND hMain = VisibleMainWindow();
        if (!hMain || !dynamic_cast<CTalvGameDlg*>(pApp->m_pMainWnd))
            break;
        d.hGame = hMain;
        d.phase = CycleDriver::WaitBox;
        ::PostMessageW(hMain, WM_CLOSE, 0, 0);
        break;
    }
    case CycleDriver::WaitBox:
    {
        HWND hBox = FindOwnedPopup(d.hGame, L"#32770");
        if (!hBox)
            break;
        d.phase = CycleDriver::WaitLogin;
        ++d.cycles;
        ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        break;
    }
    case CycleDriver::Closing:
        break;
    }
    d.busy = false;
}

int RunCycles(int n)
{
    PaintStack();
    std::vector<std::unique_ptr<CImportPatch>> patches;
    if (!TrackGdi(patches))
        std::printf("note: not every GDI import could be tracked\n");
    FakeBrowserRegistration browser;
    if (!browser.Registered())
        return 4;
    g_driver.target = n;
    for (int c : {0, 1, 10, 20, 50, 100, 250, 500, 750, 1000, 2000, 5000})
        if (c <= n)
            g_driver.sampleAt.push_back(c);
    if (n > 0 && !SampleWanted(n))
        g_driver.sampleAt.push_back(n);
    g_driver.start = g_start = Now();
    // All n cycles nest in this one run: no bound hands over to a fresh copy before they are done.
    CTranslucentApp::HandOverLimits limits;
    limits.nCycleBound = std::max(limits.nCycleBound, n + 1);
    limits.nHardCycleBound = std::max(limits.nHardCycleBound, n + 1);
    limits.startFreshCopy = [] { return FALSE; };
    CTranslucentApp app(limits);
    std::printf("cycle bound %d hard %d\n", limits.nCycleBound, limits.nHardCycleBound);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, &CycleTick);
    const int code = AfxRunApp(&app);
    ::KillTimer(nullptr, timer);
    std::printf("cycles %d exit %d gdi_left %zu\n", g_driver.cycles, code, LiveGdi().size());
    std::printf("stack high_water %llu reserve %llu\n",
                static_cast<unsigned long long>(StackHighWater()),
                static_cast<unsigned long long>(StackReservation()));
    std::fflush(stdout);
    return g_driver.cycles == n && code == 0 ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv)
{
    if (FAILED(::OleInitialize(nullptr)))
        return 2;
    int status = 1;
    if (argc >= 4 && std::strcmp(argv[1], "redraw") == 0)
        status = RunRedraw(std::atoi(argv[2]), std::atoi(argv[3]));
    else if (argc >= 3 && std::strcmp(argv[1], "cycles") == 0)
        status = RunCycles(std::atoi(argv[2]));
    else
        std::fprintf(stderr, "usage: bench_inprocess redraw RUNS FRAMES | cycles N\n");
    ::OleUninitialize();
    return status;
}
