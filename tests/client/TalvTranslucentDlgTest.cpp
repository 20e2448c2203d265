// Start-up of the login window in process, with the fake browser in place of the WebBrowser
// control: the panel and its navigation come before the window's own initialisation, the window
// takes the skin's size, the controls their places and the buttons their images; the application
// object runs it all and ends with exit code 0 from the close button.
#include <cstdio>

#include "client/TranslucentApp.h"
#include "tests/client/InProcessProgram.h"
#include "tests/client/LoginWindowFixture.h"
#include "tests/client/ProbeLoginDlg.h"
#include "tests/client/ProgramTexts.h"
#include "tests/client/StepScript.h"
#include "tests/support/ThreadWindows.h"
#include "tests/support/WindowPixels.h"

using namespace logintest;

namespace {

using LoginStartupTest = FakeBrowserLoginTest;

struct ButtonPlace
{
    int id;
    int x, y, cx, cy;
    UINT normal, hot;
    bool png;
    CMFCButton CTalvStandardDlg::*button;
};

const ButtonPlace kButtons[] = {
    {1006, 485, 210, 70, 32, 139, 140, false, &CTalvStandardDlg::m_btnHomepage},
    {1008, 657, 210, 70, 32, 143, 144, false, &CTalvStandardDlg::m_btnPay},
    {1009, 853, 210, 70, 32, 145, 147, false, &CTalvStandardDlg::m_btnService},
    {1010, 1033, 210, 70, 32, 141, 142, false, &CTalvStandardDlg::m_btnForum},
    {1004, 1140, 155, 35, 35, 138, 137, true, &CTalvStandardDlg::m_btnClose},
    {1012, 1105, 155, 35, 35, 159, 160, true, &CTalvStandardDlg::m_btnMinimize},
};

const uint32_t kKeyGreen = 0x00FF00;

Pixels Reference(UINT nID, bool png)
{
    return png ? LoadPngReference(nID) : LoadBitmapReference(nID);
}

// The button object of kButtons[i] in the panel.
CMFCButton* ButtonOf(CTalvStandardDlg* panel, size_t i)
{
    return &(panel->*kButtons[i].button);
}

TEST_F(LoginStartupTest, PanelIsShownAndNavigatingBeforeTheLoginWindowInitialises)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    StepScript script(CloseOnTimeout(&hWnd));
    script.WaitShown(dlg, hWnd).Do([&] { ::PostMessageW(hWnd, WM_CLOSE, 0, 0); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(script.TimedOut());

    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_TRUE(dlg.panelAtInit);
    EXPECT_TRUE(dlg.panelWindowAtInit);
    EXPECT_TRUE(dlg.panelVisibleAtInit);
    // WS_VISIBLE of the template takes effect only after the initialisation.
    EXPECT_FALSE(dlg.loginVisibleAtInit);

    // Navigate(URL, four omitted optionals), then Silent = TRUE, and nothing else before.
    const std::vector<FakeInvokeCall>& calls = dlg.callsAtInit;
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].dispid, 104);
    EXPECT_EQ(calls[0].flags, DISPATCH_METHOD);
    ASSERT_EQ(calls[0].args.size(), 5u);
    EXPECT_EQ(calls[0].args[0].vt, VT_BSTR);
    EXPECT_EQ(calls[0].args[0].text, kGuestLoginUrl);
    for (size_t i = 1; i < 5; ++i)
    {
        EXPECT_EQ(calls[0].args[i].vt, VT_VARIANT | VT_BYREF) << i;
        EXPECT_EQ(calls[0].args[i].pointer, nullptr) << i;
    }
    EXPECT_EQ(calls[1].dispid, 551);
    EXPECT_EQ(calls[1].flags, DISPATCH_PROPERTYPUT);
    ASSERT_EQ(calls[1].args.size(), 1u);
    EXPECT_EQ(calls[1].args[0].vt, VT_BOOL);
    EXPECT_EQ(calls[1].args[0].number, VARIANT_TRUE);
}

TEST_F(LoginStartupTest, WindowTakesTheSkinsSizeAndControlsTheirPlaces)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    RECT window = {}, panel = {}, browser = {};
    RECT buttons[6] = {};
    DWORD style = 0, panelStyle = 0;
    HWND panelOwner = nullptr;
    bool gotPanel = false;
    StepScript script(CloseOnTimeout(&hWnd));
    script.WaitShown(dlg, hWnd).Do([&] {
        ::GetWindowRect(hWnd, &window);
        style = Style(hWnd);
        CTalvStandardDlg* p = dlg.Panel();
        gotPanel = p && ::IsWindow(p->m_hWnd);
        if (gotPanel)
        {
            ::GetWindowRect(p->m_hWnd, &panel);
            panelOwner = ::GetWindow(p->m_hWnd, GW_OWNER);
            panelStyle = Style(p->m_hWnd);
            browser = RectInClient(p->m_browser.m_hWnd, p->m_hWnd);
            for (int i = 0; i < 6; ++i)
                buttons[i] = RectInClient(::GetDlgItem(p->m_hWnd, kButtons[i].id), p->m_hWnd);
        }
        ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    });
    dlg.DoModal();
    ASSERT_FALSE(script.TimedOut());

    // 315 x 208 dialog units in the template; the skin decides.
    EXPECT_EQ(window.right - window.left, 1208);
    EXPECT_EQ(window.bottom - window.top, 762);
    EXPECT_EQ(style & WS_CAPTION, 0u);
    EXPECT_NE(style & WS_POPUP, 0u);
    ASSERT_TRUE(gotPanel);
    // An owned pop-up, not a child window.
    EXPECT_EQ(panelOwner, hWnd);
    EXPECT_NE(panelStyle & WS_POPUP, 0u);
    EXPECT_EQ(panelStyle & WS_CHILD, 0u);
    EXPECT_EQ(panel.left, window.left);
    EXPECT_EQ(panel.top, window.top);
    EXPECT_EQ(panel.right, window.right);
    EXPECT_EQ(panel.bottom, window.bottom);

    EXPECT_EQ(browser.left, 428);
    EXPECT_EQ(browser.top, 297);
    EXPECT_EQ(browser.right - browser.left, 724);
    EXPECT_EQ(browser.bottom - browser.top, 369);
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(kButtons[i].id);
        EXPECT_EQ(buttons[i].left, kButtons[i].x);
        EXPECT_EQ(buttons[i].top, kButtons[i].y);
        EXPECT_EQ(buttons[i].right - buttons[i].left, kButtons[i].cx);
        EXPECT_EQ(buttons[i].bottom - buttons[i].top, kButtons[i].cy);
    }
}

// Each button draws its normal image, and its hot image while the mouse is over it; the area the
// image leaves free shows the panel's key colour.
TEST_F(LoginStartupTest, ButtonsShowTheirNormalAndHotImages)
{
    ProbeLoginDlg dlg;
    HWND hWnd = nullptr;
    struct Seen
    {
        Pixels normal, hot, after;
        bool hotFlag = false;
    };
    Seen seen[6];
    size_t current = 0;
    int waits = 0;
    StepScript script(CloseOnTimeout(&hWnd), 30000);
    script.WaitShown(dlg, hWnd);
    // What the player sees: the button shows its hot image.
    auto showsHot = [&](size_t i) {
        const ButtonPlace& b = kButtons[i];
        return CountMismatches(RenderWindow(ButtonOf(dlg.Panel(), i)->m_hWnd),
                               Reference(b.hot, b.png), kKeyGreen) == 0;
    };
    for (size_t i = 0; i < 6; ++i)
    {
        script.Do([&, i] {
            current = i;
            CMFCButton* b = ButtonOf(dlg.Panel(), i);
            seen[i].normal = RenderWindow(b->m_hWnd);
            RECT rc;
            ::GetWindowRect(b->m_hWnd, &rc);
            ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            waits = 0;
        });
        script.Wait([&, i] {
            CMFCButton* b = ButtonOf(dlg.Panel(), i);
            if (!showsHot(i) && ++waits < 80)
                return false;
            seen[i].hotFlag = showsHot(i);
            seen[i].hot = RenderWindow(b->m_hWnd);
            ::SetCursorPos(5, 5);
            waits = 0;
            return true;
        });
        script.Wait([&, i] {
            CMFCButton* b = ButtonOf(dlg.Panel(), i);
            if (showsHot(i) && ++waits < 80)
                return false;
            seen[i].after = RenderWindow(b->m_hWnd);
            return true;
        });
    }
    script.Do([&] { ::PostMessageW(hWnd, WM_CLOSE, 0, 0); });
    dlg.DoModal();
    ASSERT_FALSE(script.TimedOut()) << "stopped at button " << kButtons[current].id;

    for (int i = 0; i < 6; ++i)
    {
        const ButtonPlace& b = kButtons[i];
        SCOPED_TRACE(b.id);
        Pixels normal = Reference(b.normal, b.png), hot = Reference(b.hot, b.png);
        ASSERT_GT(normal.cx, 0);
        ASSERT_GT(hot.cx, 0);
        ASSERT_EQ(seen[i].normal.cx, b.cx);
        ASSERT_EQ(seen[i].normal.cy, b.cy);
        const int area = normal.cx * normal.cy;
        EXPECT_EQ(CountMismatches(seen[i].normal, normal, kKeyGreen), 0);
        EXPECT_GT(CountMismatches(seen[i].normal, hot, kKeyGreen), area / 20) << "normal looks hot";
        EXPECT_TRUE(seen[i].hotFlag);
        EXPECT_EQ(CountMismatches(seen[i].hot, hot, kKeyGreen), 0);
        EXPECT_EQ(CountMismatches(seen[i].after, normal, kKeyGreen), 0);
        // The corners lie outside the round images: the key colour shows there.
        if (b.png)
        {
            EXPECT_EQ(seen[i].normal.At(0, 0), kKeyGreen);
            EXPECT_EQ(seen[i].normal.At(b.cx - 1, b.cy - 1), kKeyGreen);
        }
    }
}

TEST_F(LoginStartupTest, RunTimeClassesOfTheLoginWindowAndPanel)
{
    ProbeLoginDlg dlg;
    CRuntimeClass* rc = dlg.CTalvTranslucentDlg::GetRuntimeClass();
    EXPECT_STREQ(rc->m_lpszClassName, "CTalvTranslucentDlg");
    EXPECT_EQ(rc->m_pfnCreateObject, nullptr);
    EXPECT_EQ(rc->m_pBaseClass, RUNTIME_CLASS(CDialog));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));

    CTalvStandardDlg panel(nullptr);
    CRuntimeClass* prc = panel.GetRuntimeClass();
    EXPECT_STREQ(prc->m_lpszClassName, "CTalvStandardDlg");
    EXPECT_EQ(prc->m_pfnCreateObject, nullptr);
    EXPECT_EQ(prc->m_wSchema, 0xFFFFu);
    EXPECT_EQ(prc->m_pBaseClass, RUNTIME_CLASS(CStandardDialog));
    EXPECT_TRUE(panel.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_FALSE(panel.IsKindOf(RUNTIME_CLASS(CDHtmlDialog)));
}

// The close button sends WM_CLOSE to the main window: its modal run ends, InitInstance returns
// FALSE, ExitInstance runs once (shutting GDI+ down) and the exit code is 0.
TEST_F(LoginStartupTest, CloseButtonEndsTheProgramWithExitCodeZero)
{
    static CountingApp app;  // registered as the application from here on
    ASSERT_EQ(AfxGetApp(), &app);
    HWND hLogin = nullptr, hPanel = nullptr;
    bool mainWasLogin = false;
    StepScript script(CloseOnTimeout(&hLogin));
    script
        .Wait([&] {
            hLogin = ThreadWindowTitled(L"Orvane");
            return hLogin != nullptr;
        })
        .Do([&] {
            mainWasLogin = app.m_pMainWnd && app.m_pMainWnd->m_hWnd == hLogin;
            // The panel is the login window's owned pop-up; its close button is control 1004.
            hPanel = OwnedPopupWith(hLogin, 1004);
            if (hPanel)
                ::PostMessageW(::GetDlgItem(hPanel, 1004), BM_CLICK, 0, 0);
        });
    const int code = AfxRunApp(&app);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(mainWasLogin);
    EXPECT_NE(hPanel, nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(app.exits, 1);
    EXPECT_NE(app.tokenAtExit, 0u);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hLogin));
    EXPECT_FALSE(::IsWindow(hPanel));
}

// When the login window cannot be made at all, InitInstance leaves no main window behind that
// would designate the destroyed local object.
TEST_F(LoginStartupTest, MainWindowIsClearedWhenTheLoginWindowCannotBeCreated)
{
    CWinApp* pApp = AfxGetApp();
    ASSERT_NE(pApp, nullptr);
    // A module without the program's templates.
    HINSTANCE hOther = ::GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(hOther, nullptr);
    AfxSetResourceHandle(hOther);
    pApp->m_pMainWnd = nullptr;
    const BOOL result = pApp->InitInstance();
    AfxSetResourceHandle(nullptr);
    EXPECT_FALSE(result);
    EXPECT_EQ(pApp->m_pMainWnd, nullptr);
    pApp->ExitInstance();
    // GDI+ is needed by the other tests of this suite.
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
}

}  // namespace
