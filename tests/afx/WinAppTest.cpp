// The application object: registration, start-up and shut-down, exit codes.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "afx/Afx.h"
#include "AfxTestIds.h"
#include "WindowTestSupport.h"

namespace {

const UINT WM_FINISH = WM_APP + 40;

// Main dialog of the test applications; WM_FINISH runs `finish`.
class CMainDialog : public CDialog
{
public:
    CMainDialog() : CDialog(IDD_TEST_PLAIN) {}
    void (*finish)(CMainDialog&) = nullptr;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::PostMessageW(m_hWnd, WM_FINISH, 0, 0);
        return TRUE;
    }

protected:
    LRESULT OnFinish(WPARAM, LPARAM)
    {
        if (finish)
            finish(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMainDialog, CDialog)
    ON_MESSAGE(WM_FINISH, OnFinish)
END_MESSAGE_MAP()

// Runs a main dialog modally from InitInstance and returns FALSE, as the program does.
class CModalApp : public CWinApp
{
public:
    void (*finish)(CMainDialog&) = nullptr;
    int nInit = 0;
    int nExit = 0;
    INT_PTR modalResult = 0;
    bool bMainClearedBeforeExit = false;
    bool bThrow = false;

    BOOL InitInstance() override
    {
        ++nInit;
        CWinApp::InitInstance();
        if (bThrow)
            throw std::runtime_error("start-up failed");
        CMainDialog dlg;
        dlg.finish = finish;
        m_pMainWnd = &dlg;
        modalResult = dlg.DoModal();
        return FALSE;
    }
    int ExitInstance() override
    {
        ++nExit;
        bMainClearedBeforeExit = m_pMainWnd == nullptr;
        return CWinApp::ExitInstance();
    }
};

class WinAppTest : public ::testing::Test
{
protected:
    void SetUp() override { afxtest::DrainQueue(); }
    void TearDown() override { afxtest::DrainQueue(); }
};

TEST_F(WinAppTest, ApplicationRegistersItselfWhileItLives)
{
    EXPECT_EQ(nullptr, AfxGetApp());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    EXPECT_EQ(::GetModuleHandleW(nullptr), AfxGetInstanceHandle());
    EXPECT_EQ(::GetModuleHandleW(nullptr), AfxGetResourceHandle());
    {
        CWinApp app(L"Named");
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_STREQ(L"Named", AfxGetAppName());
        CWnd wnd;
        app.m_pMainWnd = &wnd;
        EXPECT_EQ(&wnd, AfxGetMainWnd());
        app.m_pMainWnd = nullptr;
    }
    EXPECT_EQ(nullptr, AfxGetApp());
    CWinApp unnamed;
    EXPECT_STREQ(L"afx_tests", AfxGetAppName());  // the program file's name
}

// An application object made while another lives (a test's own beside the program's) is the
// application until it goes; then the one before it is again, in whatever order they go.
TEST_F(WinAppTest, ApplicationMadeLaterStandsInUntilItGoes)
{
    CWinApp first(L"First");
    {
        CWinApp second(L"Second");
        EXPECT_EQ(&second, AfxGetApp());
        EXPECT_STREQ(L"Second", AfxGetAppName());
    }
    EXPECT_EQ(&first, AfxGetApp());
    EXPECT_STREQ(L"First", AfxGetAppName());

    auto second = std::make_unique<CWinApp>(L"Second");
    auto third = std::make_unique<CWinApp>(L"Third");
    second.reset();
    EXPECT_EQ(third.get(), AfxGetApp());
    third.reset();
    EXPECT_EQ(&first, AfxGetApp());
}

TEST_F(WinAppTest, ResourceHandleCanBeRedirected)
{
    HINSTANCE hOther = reinterpret_cast<HINSTANCE>(::GetModuleHandleW(L"user32.dll"));
    AfxSetResourceHandle(hOther);
    EXPECT_EQ(hOther, AfxGetResourceHandle());
    CDialog dlg(IDD_TEST_PLAIN);  // not in that module
    EXPECT_EQ(-1, dlg.DoModal());
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(::GetModuleHandleW(nullptr), AfxGetResourceHandle());
}

TEST_F(WinAppTest, HelpCommandIsHandledByTheApplicationMap)
{
    CWinApp app;
    EXPECT_TRUE(app.OnCmdMsg(ID_HELP, CN_COMMAND));
    EXPECT_FALSE(app.OnCmdMsg(ID_HELP, BN_DOUBLECLICKED));
    EXPECT_FALSE(app.OnCmdMsg(1234, CN_COMMAND));
}

TEST_F(WinAppTest, ClosingTheMainDialogEndsTheApplicationOnce)
{
    CModalApp app;
    app.finish = [](CMainDialog& d) { ::PostMessageW(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(0, AfxRunApp(&app));
    EXPECT_EQ(1, app.nInit);
    EXPECT_EQ(1, app.nExit);
    EXPECT_EQ(IDCANCEL, app.modalResult);
    EXPECT_TRUE(app.bMainClearedBeforeExit);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    int nCode = -1;
    EXPECT_TRUE(afxtest::TakeQuit(&nCode));  // the quit the destruction posted
    EXPECT_EQ(0, nCode);
}

TEST_F(WinAppTest, ExitCodeIsTheQuitMessageCode)
{
    CModalApp app;
    app.finish = [](CMainDialog&) { ::PostQuitMessage(6); };
    EXPECT_EQ(6, AfxRunApp(&app));
    EXPECT_EQ(-1, app.modalResult);  // the modal run ended on the quit message
    EXPECT_EQ(1, app.nExit);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    int nCode = -1;
    EXPECT_TRUE(afxtest::TakeQuit(&nCode));
    EXPECT_EQ(6, nCode);  // the main window's destruction did not overwrite it
}

TEST_F(WinAppTest, StartUpFailureDoesNotEscape)
{
    CModalApp app;
    app.bThrow = true;
    EXPECT_EQ(-1, AfxRunApp(&app));
    EXPECT_EQ(0, app.nExit);
    EXPECT_EQ(-1, AfxRunApp(nullptr));
}

// An application that keeps running after InitInstance: Run until the main window goes.
class CLoopApp : public CWinApp
{
public:
    CWnd wnd;
    bool bWithWindow = true;
    int nExit = 0;

    BOOL InitInstance() override
    {
        if (bWithWindow)
        {
            wnd.CreateEx(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
            m_pMainWnd = &wnd;
            ::PostMessageW(wnd.m_hWnd, WM_CLOSE, 0, 0);  // default processing destroys it
        }
        return TRUE;
    }
    int ExitInstance() override
    {
        ++nExit;
        return CWinApp::ExitInstance();
    }
};

TEST_F(WinAppTest, RunLoopsUntilTheMainWindowIsDestroyed)
{
    CLoopApp app;
    EXPECT_EQ(0, AfxRunApp(&app));
    EXPECT_EQ(1, app.nExit);
    EXPECT_EQ(nullptr, app.wnd.m_hWnd);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
}

TEST_F(WinAppTest, RunWithoutMainWindowEndsAtOnce)
{
    CLoopApp app;
    app.bWithWindow = false;
    EXPECT_EQ(0, AfxRunApp(&app));
    EXPECT_EQ(1, app.nExit);
}

TEST_F(WinAppTest, DialogRunTimeClass)
{
    CDialog dlg(IDD_TEST_PLAIN);
    EXPECT_STREQ("CDialog", dlg.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(dlg.IsKindOf(RUNTIME_CLASS(CWinApp)));
    CWinApp app;
    EXPECT_TRUE(app.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
}

}  // namespace
