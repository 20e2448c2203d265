#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <vector>

#include "LayeredTestSupport.h"
#include "TestDialogs.h"

namespace {

RECT WindowRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

void ExpectRect(const RECT& rc, int left, int top, int width, int height)
{
    EXPECT_EQ(left, rc.left);
    EXPECT_EQ(top, rc.top);
    EXPECT_EQ(width, rc.right - rc.left);
    EXPECT_EQ(height, rc.bottom - rc.top);
}

size_t IndexOf(const EventLog& log, const std::string& entry)
{
    return static_cast<size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

int CountOf(const EventLog& log, const std::string& entry)
{
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

SIZE_T PagefileUsage()
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}

// A memory device context over a bitmap filled with one colour. The context goes first, which
// leaves the bitmap free to be deleted.
class FilledMemoryDC
{
public:
    FilledMemoryDC(int cx, int cy, COLORREF colour)
    {
        HDC hScreen = ::GetDC(nullptr);
        m_bitmap.reset(::CreateCompatibleBitmap(hScreen, cx, cy));
        m_dc.reset(::CreateCompatibleDC(hScreen));
        ::ReleaseDC(nullptr, hScreen);
        ::SelectObject(m_dc.get(), m_bitmap.get());
        ::SetDCBrushColor(m_dc.get(), colour);
        const RECT rc = {0, 0, cx, cy};
        ::FillRect(m_dc.get(), &rc, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    }

    HDC Get() const { return m_dc.get(); }

private:
    struct DeleteBitmap
    {
        void operator()(HBITMAP h) const { ::DeleteObject(h); }
    };
    struct DeleteDC
    {
        void operator()(HDC h) const { ::DeleteDC(h); }
    };
    std::unique_ptr<HBITMAP__, DeleteBitmap> m_bitmap;
    std::unique_ptr<HDC__, DeleteDC> m_dc;
};

// A skin dialog created modelessly from the test template; its window is destroyed at the end.
struct CreatedSkin
{
    std::unique_ptr<CTestSkinDialog> dlg = std::make_unique<CTestSkinDialog>();
    ~CreatedSkin()
    {
        if (dlg->m_hWnd)
            dlg->DestroyWindow();
        PumpMessages();
    }
    bool Create() { return dlg->Create(MAKEINTRESOURCEW(IDD_TEST_SKIN), nullptr) != FALSE; }
};

}  // namespace

// ---- Centring -----------------------------------------------------------------------------

TEST(Centring, WorkedCases)
{
    const RECT full = {0, 0, 1920, 1040};
    POINT pt = CenteredWindowOrigin(full, 1214, 791);
    EXPECT_EQ(353, pt.x);
    EXPECT_EQ(124, pt.y);  // 124.5 truncated

    const RECT narrow = {0, 0, 1000, 800};
    EXPECT_EQ(0, CenteredWindowOrigin(narrow, 1001, 800).x);  // -1 / 2 truncates to 0
    EXPECT_EQ(-1, CenteredWindowOrigin(narrow, 1003, 800).x);
    EXPECT_EQ(0, CenteredWindowOrigin(narrow, 1000, 801).y);
    EXPECT_EQ(-1, CenteredWindowOrigin(narrow, 1000, 803).y);
}

TEST(Centring, WorkAreaThatDoesNotStartAtZero)
{
    const RECT leftBar = {60, 0, 1060, 800};  // task bar on the left
    POINT pt = CenteredWindowOrigin(leftBar, 400, 300);
    EXPECT_EQ(360, pt.x);
    EXPECT_EQ(250, pt.y);

    const RECT topBar = {0, 40, 1000, 840};  // task bar at the top
    pt = CenteredWindowOrigin(topBar, 400, 301);
    EXPECT_EQ(300, pt.x);
    EXPECT_EQ(289, pt.y);

    const RECT shifted = {100, 0, 1100, 800};
    EXPECT_EQ(100, CenteredWindowOrigin(shifted, 1001, 0).x);
    EXPECT_EQ(99, CenteredWindowOrigin(shifted, 1003, 0).x);
}

TEST(Centring, RealWindowIsCentredByItsCaptionedSizeAndTakesTheSkinSize)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());

    // The template's style, caption included, as it was when the window was created.
    const DWORD templateStyle = skin.dlg->styleAtFactory;
    ASSERT_EQ(DWORD(WS_CAPTION), templateStyle & WS_CAPTION);
    RECT adjusted = {0, 0, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT};
    ::AdjustWindowRect(&adjusted, templateStyle, FALSE);
    ASSERT_GT(adjusted.bottom - adjusted.top, TEST_SKIN_HEIGHT);  // the caption counts
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = ((work.right - work.left) - (adjusted.right - adjusted.left)) / 2 + work.left;
    const int y = ((work.bottom - work.top) - (adjusted.bottom - adjusted.top)) / 2 + work.top;

    ExpectRect(WindowRect(skin.dlg->m_hWnd), x, y, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);
    EXPECT_EQ(0u, skin.dlg->GetStyle() & WS_CAPTION);
    EXPECT_EQ(DWORD(WS_POPUP), skin.dlg->GetStyle() & WS_POPUP);
}

TEST(Centring, WithCentringOffTheWindowKeepsItsCreationPosition)
{
    CreatedSkin skin;
    skin.dlg->SetCenterOnCreate(false);
    ASSERT_TRUE(skin.Create());
    ExpectRect(WindowRect(skin.dlg->m_hWnd), skin.dlg->createX, skin.dlg->createY, TEST_SKIN_WIDTH,
               TEST_SKIN_HEIGHT);
}

TEST(Centring, NoImageObjectCountsAsAnEmptySkin)
{
    CreatedSkin skin;
    skin.dlg->ReplaceImage(nullptr);
    ASSERT_TRUE(skin.Create());
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT adjusted = {0, 0, 0, 0};
    ::AdjustWindowRect(&adjusted, skin.dlg->styleAtFactory, FALSE);
    const POINT pt =
        CenteredWindowOrigin(work, adjusted.right - adjusted.left, adjusted.bottom - adjusted.top);
    ExpectRect(WindowRect(skin.dlg->m_hWnd), pt.x, pt.y, 0, 0);
}

// ---- Creation order -----------------------------------------------------------------------

TEST(CreationOrder, CompanionIsMadeShownAndInitialisedBeforeTheFirstRedraw)
{
    CreatedSkin skin;
    EventLog& log = skin.dlg->log;
    bool companionVisibleAtRedraw = false;
    bool companionLayeredAtRedraw = false;
    CTestRenderChild probe("probe", &log, true, RGB(0, 0, 0), RECT{0, 0, 0, 0});
    probe.m_onRender = [&](Gdiplus::Graphics*) {
        CTestCompanion* pCompanion = skin.dlg->Companion();
        ASSERT_NE(nullptr, pCompanion);
        companionVisibleAtRedraw = pCompanion->m_hWnd && ::IsWindowVisible(pCompanion->m_hWnd);
        companionLayeredAtRedraw =
            (::GetWindowLongW(pCompanion->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    };
    skin.dlg->onInitChildren = [&](CTestSkinDialog* p) { p->AddRenderChild(&probe); };

    ASSERT_TRUE(skin.Create());

    ASSERT_LT(IndexOf(log, "render probe"), log.size());
    EXPECT_LT(IndexOf(log, "CreateStandardDialog"), IndexOf(log, "companion OnInitDialog"));
    EXPECT_LT(IndexOf(log, "companion OnInitDialog"), IndexOf(log, "OnInitChildrenWnds"));
    EXPECT_LT(IndexOf(log, "OnInitChildrenWnds"), IndexOf(log, "render probe"));
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "render probe"));
    EXPECT_TRUE(companionVisibleAtRedraw);
    EXPECT_TRUE(companionLayeredAtRedraw);

    // The factory ran while the caption was still there; the companion is owned by the skin.
    EXPECT_EQ(DWORD(WS_CAPTION), skin.dlg->styleAtFactory & WS_CAPTION);
    EXPECT_EQ(skin.dlg->m_hWnd, ::GetWindow(skin.dlg->Companion()->m_hWnd, GW_OWNER));

    // The blend function of the first redraw: source over, constant 255, per-pixel alpha.
    EXPECT_EQ(AC_SRC_OVER, skin.dlg->Blend().BlendOp);
    EXPECT_EQ(0, skin.dlg->Blend().BlendFlags);
    EXPECT_EQ(255, skin.dlg->Blend().SourceConstantAlpha);
    EXPECT_EQ(AC_SRC_ALPHA, skin.dlg->Blend().AlphaFormat);
}

TEST(CreationOrder, FailedDefaultCreationMakesNoCompanion)
{
    CreatedSkin skin;
    skin.dlg->failDefaultCreate = true;
    EXPECT_FALSE(skin.Create());
    EXPECT_EQ(nullptr, skin.dlg->m_hWnd);
    EXPECT_EQ(0, std::count(skin.dlg->log.begin(), skin.dlg->log.end(), "CreateStandardDialog"));
    EXPECT_EQ(nullptr, skin.dlg->Companion());
}

TEST(CreationOrder, HiddenBackgroundIsResetBeforeTheChildrenAreSetUp)
{
    CreatedSkin skin;
    EventLog& log = skin.dlg->log;
    CTestRenderChild disabled("disabled", &log, false, RGB(0, 0, 0), RECT{0, 0, 1, 1});
    bool hiddenAtChildren = true;
    skin.dlg->SetHideBackground(true);
    skin.dlg->onInitChildren = [&](CTestSkinDialog* p) {
        hiddenAtChildren = p->HideBackground();
        p->AddRenderChild(&disabled);
        p->SetHideBackground(true);
    };
    ASSERT_TRUE(skin.Create());
    EXPECT_FALSE(hiddenAtChildren);
    // What the children's set-up chose holds for the first redraw: with the background hidden,
    // the disabled child is drawn too.
    EXPECT_TRUE(skin.dlg->HideBackground());
    EXPECT_EQ(1, CountOf(log, "render disabled"));
}

TEST(CreationOrder, NullCompanionRuns)
{
    CreatedSkin skin;
    skin.dlg->makeCompanion = false;
    ASSERT_TRUE(skin.Create());
    EXPECT_EQ(nullptr, skin.dlg->Companion());
    EXPECT_EQ(1, std::count(skin.dlg->log.begin(), skin.dlg->log.end(), "CreateStandardDialog"));
    skin.dlg->MoveWindow(-40, 20, 120, 90);
    ExpectRect(WindowRect(skin.dlg->m_hWnd), -40, 20, 120, 90);
    skin.dlg->UpdateView();
    ExpectRect(WindowRect(skin.dlg->m_hWnd), -40, 20, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);
}

// ---- The companion follows ----------------------------------------------------------------

TEST(CompanionFollows, ItLiesOverTheWindowFromTheStart)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    const RECT rcSkin = WindowRect(skin.dlg->m_hWnd);
    RECT rcClient = {};
    ::GetClientRect(skin.dlg->m_hWnd, &rcClient);
    EXPECT_EQ(TEST_SKIN_WIDTH, rcClient.right);
    EXPECT_EQ(TEST_SKIN_HEIGHT, rcClient.bottom);
    ExpectRect(WindowRect(skin.dlg->Companion()->m_hWnd), rcSkin.left, rcSkin.top, TEST_SKIN_WIDTH,
               TEST_SKIN_HEIGHT);
}

TEST(CompanionFollows, MovesIncludingNegativePositionsAndSizes)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    HWND hCompanion = skin.dlg->Companion()->m_hWnd;

    skin.dlg->MoveWindow(-250, -120, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);
    ExpectRect(WindowRect(hCompanion), -250, -120, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);

    skin.dlg->MoveWindow(40, 30, 320, 240);
    ExpectRect(WindowRect(hCompanion), 40, 30, 320, 240);

    skin.dlg->SetWindowPos(nullptr, 0, 0, 180, 90, SWP_NOMOVE | SWP_NOZORDER);
    ExpectRect(WindowRect(hCompanion), 40, 30, 180, 90);
}

TEST(CompanionFollows, HiddenBackgroundLeavesItOnMoveButStillSizesIt)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    HWND hCompanion = skin.dlg->Companion()->m_hWnd;
    skin.dlg->MoveWindow(40, 30, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);

    skin.dlg->SetHideBackground(true);
    skin.dlg->MoveWindow(400, 300, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);
    ExpectRect(WindowRect(hCompanion), 40, 30, TEST_SKIN_WIDTH, TEST_SKIN_HEIGHT);

    skin.dlg->MoveWindow(400, 300, 160, 120);
    ExpectRect(WindowRect(hCompanion), 40, 30, 160, 120);

    skin.dlg->SetHideBackground(false);
    skin.dlg->MoveWindow(-10, -20, 160, 120);
    ExpectRect(WindowRect(hCompanion), -10, -20, 160, 120);
}

TEST(CompanionFollows, MovingAndSizingDoNotRedraw)
{
    CreatedSkin skin;
    CTestRenderChild child("child", &skin.dlg->log, true, RGB(0, 0, 0), RECT{0, 0, 1, 1});
    skin.dlg->onInitChildren = [&](CTestSkinDialog* p) { p->AddRenderChild(&child); };
    ASSERT_TRUE(skin.Create());
    HWND hCompanion = skin.dlg->Companion()->m_hWnd;
    skin.dlg->log.clear();

    skin.dlg->SetWindowPos(nullptr, 70, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    skin.dlg->SetWindowPos(nullptr, 0, 0, 160, 120, SWP_NOMOVE | SWP_NOZORDER);

    EXPECT_EQ(0, CountOf(skin.dlg->log, "render child"));
    // A redraw would have given the window the skin's size again.
    ExpectRect(WindowRect(skin.dlg->m_hWnd), 70, 50, 160, 120);
    // Both messages reached the dialog: the companion followed.
    ExpectRect(WindowRect(hCompanion), 70, 50, 160, 120);
}

TEST(CompanionFollows, StaysAboveItsOwnerWhenTheOwnerIsShown)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    HWND hSkin = skin.dlg->m_hWnd;
    HWND hCompanion = skin.dlg->Companion()->m_hWnd;
    skin.dlg->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(hSkin);
    PumpMessages();
    int skinPlace = -1, companionPlace = -1, place = 0;
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT), ++place)
    {
        if (h == hSkin)
            skinPlace = place;
        if (h == hCompanion)
            companionPlace = place;
    }
    ASSERT_GE(skinPlace, 0);
    ASSERT_GE(companionPlace, 0);
    EXPECT_LT(companionPlace, skinPlace);
    EXPECT_TRUE(::IsWindowVisible(hCompanion));
}

// ---- Mouse and keys -----------------------------------------------------------------------

TEST(Drag, LeftButtonStartsTheSystemMoveThenRunsTheDefault)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    skin.dlg->log.clear();
    skin.dlg->SendLButtonDown();
    const EventLog expected = {"WM_SYSCOMMAND F012", "default WM_LBUTTONDOWN"};
    EXPECT_EQ(expected, skin.dlg->log);
}

TEST(Drag, DisabledDragGetsOnlyTheDefault)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    skin.dlg->SetEnableDrag(false);
    skin.dlg->log.clear();
    skin.dlg->SendLButtonDown();
    const EventLog expected = {"default WM_LBUTTONDOWN"};
    EXPECT_EQ(expected, skin.dlg->log);
}

TEST(Keys, EnterAndEscapeKeyDownsAreDispatchedStraightToTheirWindow)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    HWND hEdit = ::GetDlgItem(skin.dlg->m_hWnd, IDC_TEST_EDIT);
    ASSERT_NE(nullptr, hEdit);
    skin.dlg->log.clear();
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)})
    {
        MSG msg = {hEdit, WM_KEYDOWN, key, 1, 0, {}};
        EXPECT_TRUE(skin.dlg->PreTranslateMessage(&msg));
    }
    PumpMessages();
    EXPECT_TRUE(skin.dlg->log.empty()) << skin.dlg->log.front();  // neither OnOK nor OnCancel
    EXPECT_TRUE(::IsWindow(skin.dlg->m_hWnd));
}

TEST(Keys, OtherMessagesGetTheDialogsOwnAnswer)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    // A window outside the dialog: the dialog class leaves its keys alone, so only the Enter and
    // Esc key-downs are taken.
    HWND hOutside = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
    ASSERT_NE(nullptr, hOutside);
    MSG msg = {hOutside, WM_KEYDOWN, 'A', 1, 0, {}};
    EXPECT_FALSE(skin.dlg->PreTranslateMessage(&msg));
    msg = {hOutside, WM_KEYUP, VK_RETURN, 1, 0, {}};
    EXPECT_FALSE(skin.dlg->PreTranslateMessage(&msg));
    msg = {hOutside, WM_KEYUP, VK_ESCAPE, 1, 0, {}};
    EXPECT_FALSE(skin.dlg->PreTranslateMessage(&msg));
    msg = {hOutside, WM_CHAR, VK_RETURN, 1, 0, {}};
    EXPECT_FALSE(skin.dlg->PreTranslateMessage(&msg));
    msg = {hOutside, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_TRUE(skin.dlg->PreTranslateMessage(&msg));
    ::DestroyWindow(hOutside);

    // Inside the dialog, Tab goes through the dialog manager, which moves the focus.
    skin.dlg->ShowWindow(SW_SHOW);
    HWND hEdit = ::GetDlgItem(skin.dlg->m_hWnd, IDC_TEST_EDIT);
    HWND hButton = ::GetDlgItem(skin.dlg->m_hWnd, IDC_TEST_BUTTON);
    ::SetFocus(hEdit);
    ASSERT_EQ(hEdit, ::GetFocus());
    msg = {hEdit, WM_KEYDOWN, VK_TAB, 1, 0, {}};
    EXPECT_TRUE(skin.dlg->PreTranslateMessage(&msg));
    EXPECT_EQ(hButton, ::GetFocus());
}

TEST(Keys, ModalRunIsNotEndedByEnterOrEscape)
{
    CTestSkinDialog dlg;
    dlg.onInitChildren = [](CTestSkinDialog* p) {
        HWND hEdit = ::GetDlgItem(p->m_hWnd, IDC_TEST_EDIT);
        ::PostMessageW(hEdit, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(hEdit, WM_KEYUP, VK_RETURN, 0xC0000001);
        ::PostMessageW(hEdit, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageW(hEdit, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        ::PostMessageW(p->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageW(p->m_hWnd, WM_APP, 0, 0);
    };
    dlg.onApp = [](CTestSkinDialog* p) {
        p->log.push_back("WM_APP");
        p->EndDialog(42);
    };
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_EQ(0, std::count(dlg.log.begin(), dlg.log.end(), "OnOK"));
    EXPECT_EQ(0, std::count(dlg.log.begin(), dlg.log.end(), "OnCancel"));
    EXPECT_EQ(1, std::count(dlg.log.begin(), dlg.log.end(), "WM_APP"));
}

// ---- Render requests, erasing, destruction --------------------------------------------------

TEST(RenderRequest, RedrawsOncePerCallUnlessIgnored)
{
    CreatedSkin skin;
    EventLog& log = skin.dlg->log;
    CTestRenderChild child("child", &log, true, RGB(0, 0, 0), RECT{0, 0, 1, 1});
    skin.dlg->onInitChildren = [&](CTestSkinDialog* p) { p->AddRenderChild(&child); };
    ASSERT_TRUE(skin.Create());
    IRenderListener* pListener = skin.dlg.get();

    log.clear();
    pListener->OnRenderRequest(0);
    pListener->OnRenderRequest(0);
    EXPECT_EQ(2, std::count(log.begin(), log.end(), "render child"));

    skin.dlg->SetIgnoreRenderRequests(true);
    log.clear();
    pListener->OnRenderRequest(0);
    EXPECT_EQ(0, std::count(log.begin(), log.end(), "render child"));
}

TEST(Erase, BackgroundIsNotErased)
{
    CreatedSkin skin;
    ASSERT_TRUE(skin.Create());
    // A colour no brush of the dialog has: an erase would paint over it.
    const COLORREF kFill = RGB(255, 0, 255);
    FilledMemoryDC dc(64, 48, kFill);
    EXPECT_EQ(TRUE, ::SendMessageW(skin.dlg->m_hWnd, WM_ERASEBKGND,
                                   reinterpret_cast<WPARAM>(dc.Get()), 0));
    for (POINT pt : {POINT{0, 0}, POINT{32, 24}, POINT{63, 47}})
        EXPECT_EQ(kFill, ::GetPixel(dc.Get(), pt.x, pt.y)) << pt.x << "," << pt.y;
}

TEST(Destruction, DeletesTheCompanionAndDestroysItsWindow)
{
    bool deleted = false;
    HWND hCompanion = nullptr;
    {
        CTestSkinDialog dlg;
        ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_TEST_SKIN), nullptr));
        dlg.Companion()->m_pDeleted = &deleted;
        hCompanion = dlg.Companion()->m_hWnd;
        ASSERT_TRUE(::IsWindow(hCompanion));
    }
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(hCompanion));
}

TEST(Destruction, ObjectWithoutWindowReleasesItsSkin)
{
    // 300 dialogs over the 147 KB noise skin: image and resource copy must go with each object.
    for (int i = 0; i < 10; ++i)
        CTestSkinDialog warmUp(IDR_TEST_NOISE);
    const SIZE_T before = PagefileUsage();
    for (int i = 0; i < 300; ++i)
    {
        CTestSkinDialog dlg(IDR_TEST_NOISE);
        ASSERT_EQ(192u, dlg.Image()->GetWidth());
        ASSERT_EQ(nullptr, dlg.Companion());
    }
    EXPECT_LT(PagefileUsage(), before + 12 * 1024 * 1024);
}

TEST(Destruction, ReleasedSkinIsFreedWhileTheObjectsLiveOn)
{
    // 300 objects kept alive, each over the 147 KB noise skin released early.
    for (int i = 0; i < 10; ++i)
        CTestSkinDialog(IDR_TEST_NOISE).ReleaseSkin();
    std::vector<std::unique_ptr<CTestSkinDialog>> kept;
    const SIZE_T before = PagefileUsage();
    for (int i = 0; i < 300; ++i)
    {
        kept.push_back(std::make_unique<CTestSkinDialog>(IDR_TEST_NOISE));
        ASSERT_EQ(192u, kept.back()->Image()->GetWidth());
        kept.back()->ReleaseSkin();
        ASSERT_EQ(nullptr, kept.back()->Image());
    }
    EXPECT_LT(PagefileUsage(), before + 12 * 1024 * 1024);
}

TEST(Destruction, ReleasedSkinLeavesNothingToDraw)
{
    CreatedSkin skin;
    CTestRenderChild child("child", &skin.dlg->log, true, RGB(0, 0, 0), RECT{0, 0, 1, 1});
    skin.dlg->onInitChildren = [&](CTestSkinDialog* p) { p->AddRenderChild(&child); };
    ASSERT_TRUE(skin.Create());
    skin.dlg->ReleaseSkin();
    skin.dlg->ReleaseSkin();  // a second release finds nothing to free
    skin.dlg->log.clear();
    skin.dlg->UpdateView();
    EXPECT_EQ(0, CountOf(skin.dlg->log, "render child"));
}

TEST(Destruction, RunTimeClassIsTheDialogs)
{
    CTestSkinDialog dlg;
    EXPECT_EQ(RUNTIME_CLASS(CDialog), dlg.GetRuntimeClass());
}

TEST(Destruction, DeletingThroughTheListenerDestroysTheWholeDialog)
{
    bool deleted = false;
    HWND hWnd = nullptr;
    auto* pDlg = new CTestSkinDialog;
    ASSERT_TRUE(pDlg->Create(MAKEINTRESOURCEW(IDD_TEST_SKIN), nullptr));
    pDlg->Companion()->m_pDeleted = &deleted;
    hWnd = pDlg->m_hWnd;
    IRenderListener* pListener = pDlg;
    delete pListener;
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(hWnd));
}
