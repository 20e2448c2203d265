// Dialogs: modal runs, ending, nesting, hand-over by Detach, data exchange and dialog-init data.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "afx/Afx.h"
#include "AfxTestIds.h"
#include "ScriptedDialog.h"
#include "WindowTestSupport.h"

namespace {

class CTestApp : public CWinApp
{
public:
    int nHelp = 0;

protected:
    void OnMyHelp() { ++nHelp; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, OnMyHelp)
END_MESSAGE_MAP()

TEST_F(DialogTest, MissingTemplateFailsCleanly)
{
    CScriptedDialog modal(IDD_TEST_MISSING);
    EXPECT_EQ(-1, modal.DoModal());
    EXPECT_EQ(nullptr, modal.m_hWnd);

    CScriptedDialog modeless(IDD_TEST_MISSING);
    EXPECT_FALSE(modeless.Create(MAKEINTRESOURCEW(IDD_TEST_MISSING)));
    EXPECT_EQ(nullptr, modeless.m_hWnd);
    EXPECT_FALSE(modeless.Create(L"NO_SUCH_TEMPLATE"));
}

TEST_F(DialogTest, EndDialogResultIsReturnedAndWindowDestroyed)
{
    CScriptedDialog dlg;
    HWND hWnd = nullptr;
    bool bVisibleWhileRunning = false;
    dlg.onInit = [&](CScriptedDialog& d) {
        hWnd = d.m_hWnd;
        ::SetTimer(d.m_hWnd, 1, 10, nullptr);  // a timer fires only once the queue is empty
    };
    dlg.onStep = [&](CScriptedDialog& d, WPARAM) {
        bVisibleWhileRunning =
            ::IsWindowVisible(d.m_hWnd) != FALSE;  // shown once the queue was empty
        d.EndDialog(42);
    };
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_TRUE(bVisibleWhileRunning);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(1, dlg.nOnDestroy);
    // The dialog ran its initial data exchange towards the controls.
    EXPECT_EQ(std::vector<BOOL>{FALSE}, dlg.exchangeDirections);
}

TEST_F(DialogTest, EndDialogDuringInitialisationEndsWithoutALoop)
{
    CScriptedDialog dlg;
    dlg.onInit = [](CScriptedDialog& d) { d.EndDialog(9); };
    EXPECT_EQ(9, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(DialogTest, CloseBecomesCancel)
{
    CScriptedDialog dlg;
    dlg.onInit = [](CScriptedDialog& d) { ::PostMessageW(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(1, dlg.nOnClose);
    EXPECT_EQ(1, dlg.nOnCancel);
    EXPECT_EQ(0, dlg.nOnOK);
}

TEST_F(DialogTest, OkExchangesDataAndEndsOnlyWhenThatSucceeds)
{
    CScriptedDialog dlg;
    dlg.bThrowInExchange = true;
    dlg.onInit = [](CScriptedDialog& d) {
        ::PostMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);
    };
    dlg.onStep = [](CScriptedDialog& d, WPARAM) {
        // The failed exchange kept the dialog open; now let it succeed.
        d.bThrowInExchange = false;
        ::SendMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDOK)));
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(2, dlg.nOnOK);
    EXPECT_EQ((std::vector<BOOL>{FALSE, TRUE, TRUE}), dlg.exchangeDirections);
}

TEST_F(DialogTest, NestedModalRunsEndInnermostFirstOnOneQuit)
{
    std::vector<std::string> ended;
    CScriptedDialog outer, middle, inner;
    HWND hOuter = nullptr, hMiddle = nullptr, hInner = nullptr;
    outer.onInit = [&](CScriptedDialog& d) {
        hOuter = d.m_hWnd;
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);
    };
    outer.onStep = [&](CScriptedDialog&, WPARAM) {
        INT_PTR r = middle.DoModal();
        ended.push_back("middle " + std::to_string(r));
    };
    middle.onInit = [&](CScriptedDialog& d) {
        hMiddle = d.m_hWnd;
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);
    };
    middle.onStep = [&](CScriptedDialog&, WPARAM) {
        INT_PTR r = inner.DoModal();
        ended.push_back("inner " + std::to_string(r));
    };
    inner.onInit = [&](CScriptedDialog& d) {
        hInner = d.m_hWnd;
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);
    };
    inner.onStep = [&](CScriptedDialog&, WPARAM) { ::PostQuitMessage(3); };

    INT_PTR r = outer.DoModal();
    ended.push_back("outer " + std::to_string(r));
    EXPECT_EQ((std::vector<std::string>{"inner -1", "middle -1", "outer -1"}), ended);
    EXPECT_FALSE(::IsWindow(hOuter));
    EXPECT_FALSE(::IsWindow(hMiddle));
    EXPECT_FALSE(::IsWindow(hInner));
    int nCode = -1;
    EXPECT_TRUE(afxtest::TakeQuit(&nCode));  // still there for whoever runs below
    EXPECT_EQ(3, nCode);
}

TEST_F(DialogTest, DetachedMainDialogIsClosedByDefaultProcessingWithoutQuitting)
{
    CTestApp app;
    CScriptedDialog first, second;
    app.m_pMainWnd = &first;
    HWND hFirst = nullptr;
    bool bFirstGoneWhileSecondRan = false;
    bool bMainStillFirst = false;
    bool bQuitSeen = true;
    HWND hSecondOwner = reinterpret_cast<HWND>(1);

    first.onInit = [&](CScriptedDialog& d) { ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0); };
    first.onStep = [&](CScriptedDialog& d, WPARAM) {
        hFirst = d.m_hWnd;
        ::PostMessageW(d.m_hWnd, WM_CLOSE, 0,
                       0);  // processed inside the next run, after the detach
        d.Detach();
        second.DoModal();
        d.EndDialog(5);  // ends the suspended run of the detached object
    };
    second.onInit = [&](CScriptedDialog& d) {
        hSecondOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);  // comes after the close request
    };
    second.onStep = [&](CScriptedDialog& d, WPARAM) {
        bFirstGoneWhileSecondRan = !::IsWindow(hFirst);
        bMainStillFirst = app.m_pMainWnd == &first;
        MSG msg;
        bQuitSeen = ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
        d.EndDialog(1);
    };

    EXPECT_EQ(5, first.DoModal());
    EXPECT_TRUE(bFirstGoneWhileSecondRan);
    EXPECT_TRUE(bMainStillFirst);
    EXPECT_FALSE(bQuitSeen);
    EXPECT_EQ(nullptr, hSecondOwner);  // the main window object had no window to own it
    EXPECT_EQ(0, first.nOnClose);
    EXPECT_EQ(0, first.nOnCancel);
    EXPECT_EQ(0, first.nOnDestroy);
    EXPECT_EQ(&first, app.m_pMainWnd);
    EXPECT_FALSE(afxtest::TakeQuit(nullptr));
}

TEST_F(DialogTest, DestroyingTheMainWindowQuitsAndClearsTheMainWindow)
{
    CTestApp app;
    CScriptedDialog dlg;
    app.m_pMainWnd = &dlg;
    dlg.onInit = [](CScriptedDialog& d) { ::PostMessageW(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    int nCode = -1;
    EXPECT_TRUE(afxtest::TakeQuit(&nCode));
    EXPECT_EQ(0, nCode);
}

TEST_F(DialogTest, MainWindowPointerDoesNotOutliveItsObject)
{
    CTestApp app;
    {
        CScriptedDialog dlg;
        app.m_pMainWnd = &dlg;
    }
    EXPECT_EQ(nullptr, app.m_pMainWnd);
}

TEST_F(DialogTest, OwnerIsDisabledWhileTheDialogRuns)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    CScriptedDialog dlg(IDD_TEST_PLAIN, &owner);
    bool bOwnerEnabled = true;
    HWND hDlgOwner = nullptr;
    dlg.onInit = [&](CScriptedDialog& d) {
        bOwnerEnabled = ::IsWindowEnabled(owner.m_hWnd) != FALSE;
        hDlgOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
        ::PostMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_EQ(owner.m_hWnd, hDlgOwner);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

TEST_F(DialogTest, PreTranslateTrueStopsDispatch)
{
    CScriptedDialog dlg;
    int nSeen = 0;
    dlg.onPreTranslate = [&](MSG* pMsg) {
        if (pMsg->message != WM_SWALLOWED)
            return FALSE;
        ++nSeen;
        return TRUE;
    };
    dlg.onInit = [](CScriptedDialog& d) {
        ::PostMessageW(d.m_hWnd, WM_SWALLOWED, 0, 0);
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);
    };
    dlg.onStep = [](CScriptedDialog& d, WPARAM) {
        ::SendMessageW(d.m_hWnd, WM_SWALLOWED, 0, 0);  // sent messages do not go through the loop
        d.EndDialog(1);
    };
    EXPECT_EQ(1, dlg.DoModal());
    EXPECT_EQ(1, nSeen);
    EXPECT_EQ(1, dlg.nSwallowedDispatched);
}

TEST_F(DialogTest, EscapeKeyGoesThroughTheDialogManager)
{
    CScriptedDialog dlg;
    dlg.onInit = [](CScriptedDialog& d) {
        HWND hGo = ::GetDlgItem(d.m_hWnd, IDC_TEST_GO);
        ::PostMessageW(hGo, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(1, dlg.nOnCancel);
}

TEST_F(DialogTest, ExceptionInHandlerLeavesTheDialogRunning)
{
    CScriptedDialog dlg;
    dlg.onInit = [](CScriptedDialog& d) {
        ::PostMessageW(d.m_hWnd, WM_THROW, 0, 0);
        ::PostMessageW(d.m_hWnd, WM_THROW, 1, 0);
        ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0);
    };
    int nSteps = 0;
    dlg.onStep = [&](CScriptedDialog& d, WPARAM) {
        ++nSteps;
        d.EndDialog(77);
    };
    EXPECT_EQ(77, dlg.DoModal());
    EXPECT_EQ(1, nSteps);
}

TEST_F(DialogTest, HelpCommandReachesTheApplication)
{
    CTestApp app;
    CScriptedDialog dlg;
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_TEST_PLAIN)));
    ::SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
    EXPECT_EQ(1, app.nHelp);
    // Control notifications other than plain commands stay with the dialog.
    ::SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, BN_DOUBLECLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dlg.m_hWnd, IDOK)));
    EXPECT_EQ(1, app.nHelp);
    dlg.DestroyWindow();
}

TEST_F(DialogTest, ModelessDialogHasNoOwnerUnlessGiven)
{
    CTestApp app;
    CWnd mainWnd;
    ASSERT_TRUE(mainWnd.CreateEx(0, L"STATIC", L"main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    app.m_pMainWnd = &mainWnd;

    CScriptedDialog loose, owned;
    ASSERT_TRUE(loose.Create(MAKEINTRESOURCEW(IDD_TEST_PLAIN)));
    EXPECT_EQ(nullptr, ::GetWindow(loose.m_hWnd, GW_OWNER));
    ASSERT_TRUE(owned.Create(MAKEINTRESOURCEW(IDD_TEST_PLAIN), &mainWnd));
    EXPECT_EQ(mainWnd.m_hWnd, ::GetWindow(owned.m_hWnd, GW_OWNER));
    app.m_pMainWnd = nullptr;
}

// Control bound by data exchange: its messages go through its own map.
class CBoundButton : public CButton
{
public:
    int nPreSubclass = 0;
    int nProbes = 0;
    void PreSubclassWindow() override { ++nPreSubclass; }

protected:
    LRESULT OnProbe(WPARAM, LPARAM)
    {
        ++nProbes;
        return 55;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBoundButton, CButton)
    ON_MESSAGE(WM_PROBE, OnProbe)
END_MESSAGE_MAP()

class CBindingDialog : public CDialog
{
public:
    CBindingDialog() : CDialog(IDD_TEST_PLAIN) {}
    CBoundButton m_go;
    CBoundButton m_other;
    CBoundButton m_missing;
    CWnd m_siteBound;
    int nSiteRequests = 0;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TEST_GO, m_go);
        DDX_Control(pDX, IDC_TEST_OTHER, m_other);
        DDX_Control(pDX, 4242, m_missing);
    }
    BOOL BindControlSite(int nID, CWnd&) override
    {
        ++nSiteRequests;
        return nID == IDC_TEST_OTHER;  // pretend this one is a hosted control
    }
};

TEST_F(DialogTest, DataExchangeBindsControlsOnce)
{
    CBindingDialog dlg;
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_TEST_PLAIN)));
    HWND hGo = ::GetDlgItem(dlg.m_hWnd, IDC_TEST_GO);
    EXPECT_EQ(hGo, dlg.m_go.m_hWnd);
    EXPECT_EQ(&dlg.m_go, CWnd::FromHandlePermanent(hGo));
    EXPECT_EQ(1, dlg.m_go.nPreSubclass);
    EXPECT_EQ(55, ::SendMessageW(hGo, WM_PROBE, 0, 0));
    EXPECT_EQ(1, dlg.m_go.nProbes);
    // Still a button underneath.
    ::SetWindowTextW(hGo, L"renamed");
    wchar_t text[16] = L"";
    ::GetWindowTextW(hGo, text, 16);
    EXPECT_STREQ(L"renamed", text);

    EXPECT_EQ(nullptr, dlg.m_other.m_hWnd);  // left to the control site
    EXPECT_EQ(nullptr, dlg.m_missing.m_hWnd);
    EXPECT_EQ(3, dlg.nSiteRequests);

    // A second exchange leaves bound controls alone.
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(1, dlg.m_go.nPreSubclass);
    EXPECT_EQ(5, dlg.nSiteRequests);

    HWND hDlg = dlg.m_hWnd;
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(nullptr, dlg.m_go.m_hWnd);  // the control's destruction reached its object
}

TEST_F(DialogTest, DialogInitRecordsAreSentExceptPersistedControlState)
{
    afxtest::RegisterRecorderClass();
    afxtest::ReceivedMessages().clear();
    CScriptedDialog dlg(IDD_TEST_INIT);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_TEST_INIT)));
    const auto& got = afxtest::ReceivedMessages();
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ(IDC_TEST_REC1, got[0].nID);
    EXPECT_EQ(0x037Cu, got[0].nMsg);
    EXPECT_EQ("ABCD", got[0].data.substr(0, 4));
    EXPECT_EQ(IDC_TEST_REC3, got[1].nID);
    EXPECT_EQ(0x0400u, got[1].nMsg);
    EXPECT_EQ("xyz", got[1].data.substr(0, 3));
    EXPECT_EQ(IDC_TEST_REC1, got[2].nID);  // found after the unaligned records
    EXPECT_EQ(0x0401u, got[2].nMsg);
    EXPECT_EQ('Q', got[2].data[0]);

    HWND hList = ::GetDlgItem(dlg.m_hWnd, IDC_TEST_LIST);
    ASSERT_EQ(1, ::SendMessageW(hList, LB_GETCOUNT, 0, 0));
    wchar_t text[16] = {};
    ::SendMessageW(hList, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"hi", text);
    dlg.DestroyWindow();
}

class CColourDialog : public CDialog
{
public:
    CColourDialog() : CDialog(IDD_TEST_PLAIN), m_brush(::CreateSolidBrush(RGB(0, 255, 0))) {}
    ~CColourDialog() override { ::DeleteObject(m_brush); }
    std::vector<UINT> kinds;
    HBRUSH m_brush;

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        kinds.push_back(nCtlColor);
        if (nCtlColor == CTLCOLOR_DLG)
            return m_brush;
        return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColourDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST_F(DialogTest, ControlColourRequestsCarryTheirKindAndDefaultAnswer)
{
    CColourDialog dlg;
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_TEST_PLAIN)));
    dlg.kinds.clear();
    HDC hdc = ::GetDC(dlg.m_hWnd);
    HWND hGo = ::GetDlgItem(dlg.m_hWnd, IDC_TEST_GO);
    WPARAM w = reinterpret_cast<WPARAM>(hdc);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_brush),
              ::SendMessageW(dlg.m_hWnd, WM_CTLCOLORDLG, w, reinterpret_cast<LPARAM>(dlg.m_hWnd)));
    for (UINT msg = WM_CTLCOLORMSGBOX; msg <= WM_CTLCOLORSTATIC; ++msg)
    {
        if (msg == WM_CTLCOLORDLG)
            continue;
        // What the dialog manager answers for a dialog that does not handle it.
        LRESULT expected = ::DefDlgProcW(dlg.m_hWnd, msg, w, reinterpret_cast<LPARAM>(hGo));
        EXPECT_EQ(expected, ::SendMessageW(dlg.m_hWnd, msg, w, reinterpret_cast<LPARAM>(hGo)))
            << msg;
        EXPECT_NE(0, expected) << msg;
    }
    EXPECT_EQ((std::vector<UINT>{4, 0, 1, 2, 3, 5, 6}), dlg.kinds);
    ::ReleaseDC(dlg.m_hWnd, hdc);
    dlg.DestroyWindow();
}

// A window that makes a modeless companion dialog while it handles its own WM_CREATE.
class CHostWnd : public CWnd
{
public:
    CScriptedDialog companion{IDD_TEST_PLAIN, this};
    BOOL bCompanionCreated = FALSE;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CWnd::OnCreate(lpcs) == -1)
            return -1;
        bCompanionCreated = companion.Create(MAKEINTRESOURCEW(IDD_TEST_PLAIN), this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(DialogTest, WindowsCreatedDuringCreationGetTheirOwnObjects)
{
    CHostWnd host;
    ASSERT_TRUE(host.CreateEx(0, L"STATIC", L"host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    EXPECT_TRUE(host.bCompanionCreated);
    ASSERT_NE(nullptr, host.companion.m_hWnd);
    EXPECT_NE(host.m_hWnd, host.companion.m_hWnd);
    EXPECT_EQ(&host, CWnd::FromHandlePermanent(host.m_hWnd));
    EXPECT_EQ(&host.companion, CWnd::FromHandlePermanent(host.companion.m_hWnd));
    EXPECT_EQ(host.m_hWnd, ::GetWindow(host.companion.m_hWnd, GW_OWNER));
    // Controls of the dialog were not taken by either object.
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(::GetDlgItem(host.companion.m_hWnd, IDOK)));

    // Destroying the owner destroys the owned dialog; both objects let go.
    host.DestroyWindow();
    EXPECT_EQ(nullptr, host.companion.m_hWnd);
    EXPECT_EQ(1, host.companion.nOnDestroy);
}

class CThrowingInitDialog : public CScriptedDialog
{
public:
    BOOL OnInitDialog() override
    {
        CScriptedDialog::OnInitDialog();
        throw CMemoryException();
    }
};

TEST_F(DialogTest, ExceptionInInitialisationLeavesTheDialogUsable)
{
    CThrowingInitDialog dlg;
    dlg.onInit = [](CScriptedDialog& d) { ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0); };
    dlg.onStep = [](CScriptedDialog& d, WPARAM) { d.EndDialog(12); };
    EXPECT_EQ(12, dlg.DoModal());
}

}  // namespace
