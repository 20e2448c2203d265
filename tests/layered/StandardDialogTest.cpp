#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

#include "LayeredTestSupport.h"
#include "TestDialogs.h"

namespace {

// A top-level window that records the WM_CLOSE it gets (and does not close).
class COwnerWnd : public CWnd
{
public:
    explicit COwnerWnd(EventLog* pLog) : m_pLog(pLog)
    {
        CreateEx(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    }
    ~COwnerWnd() override
    {
        if (m_hWnd)
            DestroyWindow();
    }

    EventLog* m_pLog;
    HWND m_hWatched = nullptr;  // the companion whose state is recorded on WM_CLOSE

protected:
    void OnClose()
    {
        m_pLog->push_back("owner WM_CLOSE");
        if (m_hWatched && ::IsWindowVisible(m_hWatched))
            m_pLog->push_back("companion still shown");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerWnd, CWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

// Records every WM_CLOSE sent to any window of the thread while it is installed.
class CloseSpy
{
public:
    CloseSpy()
    {
        s_targets.clear();
        m_hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CloseSpy() { ::UnhookWindowsHookEx(m_hHook); }
    bool Installed() const { return m_hHook != nullptr; }
    static std::vector<HWND> s_targets;

private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const auto* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (nCode == HC_ACTION && p->message == WM_CLOSE)
            s_targets.push_back(p->hwnd);
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    HHOOK m_hHook;
};
std::vector<HWND> CloseSpy::s_targets;

LRESULT DialogDefault(HWND hDlg, UINT kind, HDC hDC, HWND hCtl)
{
    return ::DefDlgProcW(hDlg, WM_CTLCOLORMSGBOX + kind, reinterpret_cast<WPARAM>(hDC),
                         reinterpret_cast<LPARAM>(hCtl));
}

LRESULT SendCtlColor(HWND hDlg, UINT kind, HDC hDC, HWND hCtl)
{
    return ::SendMessageW(hDlg, WM_CTLCOLORMSGBOX + kind, reinterpret_cast<WPARAM>(hDC),
                          reinterpret_cast<LPARAM>(hCtl));
}

class CEmptyOkCompanion : public CTestCompanion
{
public:
    using CTestCompanion::CTestCompanion;
    void OnOK() override {}
};

}  // namespace

// ---- Colours ------------------------------------------------------------------------------

TEST(CompanionColours, EveryKindBeforeAndAfterInitialisation)
{
    EventLog log;
    CTestCompanion companion(nullptr, &log);
    EXPECT_EQ(nullptr, companion.CallOnCtlColor(nullptr, nullptr, CTLCOLOR_DLG));  // no window yet

    HDC hDC = ::GetDC(nullptr);
    LRESULT dlgBeforeInit = -1, staticBeforeInit = -1, staticDefaultBeforeInit = -2;
    companion.m_onInitBefore = [&](CTestCompanion* p) {
        HWND hCtl = ::GetDlgItem(p->m_hWnd, IDC_COMPANION_TEXT);
        dlgBeforeInit = SendCtlColor(p->m_hWnd, CTLCOLOR_DLG, hDC, p->m_hWnd);
        staticBeforeInit = SendCtlColor(p->m_hWnd, CTLCOLOR_STATIC, hDC, hCtl);
        staticDefaultBeforeInit = DialogDefault(p->m_hWnd, CTLCOLOR_STATIC, hDC, hCtl);
    };
    companion.CreateAndShow();
    ASSERT_NE(nullptr, companion.m_hWnd);
    EXPECT_EQ(0, dlgBeforeInit);
    EXPECT_EQ(staticDefaultBeforeInit, staticBeforeInit);

    HWND hDlg = companion.m_hWnd;
    ASSERT_NE(nullptr, companion.KeyBrush());
    LOGBRUSH lb = {};
    ASSERT_EQ(int(sizeof lb), ::GetObjectW(companion.KeyBrush(), sizeof lb, &lb));
    EXPECT_EQ(DWORD(BS_SOLID), lb.lbStyle);
    EXPECT_EQ(TEST_KEY_COLOUR, lb.lbColor);
    EXPECT_EQ(reinterpret_cast<LRESULT>(companion.KeyBrush()),
              SendCtlColor(hDlg, CTLCOLOR_DLG, hDC, hDlg));

    HWND hEdit = ::GetDlgItem(hDlg, IDC_COMPANION_EDIT);
    for (UINT kind : {0u, 1u, 2u, 3u, 5u, 6u})
    {
        const LRESULT expected = DialogDefault(hDlg, kind, hDC, hEdit);
        const LRESULT actual = SendCtlColor(hDlg, kind, hDC, hEdit);
        EXPECT_EQ(expected, actual) << "kind " << kind;
        EXPECT_NE(reinterpret_cast<LRESULT>(companion.KeyBrush()), actual) << "kind " << kind;
    }
    ::ReleaseDC(nullptr, hDC);
}

TEST(CompanionColours, ColourKeyAndTheOtherExtendedStyleBits)
{
    EventLog log;
    CTestCompanion companion(nullptr, &log);
    LONG exBefore = 0, exAfter = 0;
    companion.m_onInitBefore = [&](CTestCompanion* p) {
        exBefore = ::GetWindowLongW(p->m_hWnd, GWL_EXSTYLE);
    };
    companion.m_onInitAfter = [&](CTestCompanion* p) {
        exAfter = ::GetWindowLongW(p->m_hWnd, GWL_EXSTYLE);
    };
    companion.CreateAndShow();
    ASSERT_NE(nullptr, companion.m_hWnd);
    EXPECT_EQ(0, exBefore & WS_EX_LAYERED);
    EXPECT_EQ(exBefore | WS_EX_LAYERED, exAfter);
    EXPECT_TRUE(exAfter & WS_EX_TOOLWINDOW);

    COLORREF key = 0;
    BYTE alpha = 1;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(companion.m_hWnd, &key, &alpha, &flags));
    EXPECT_EQ(TEST_KEY_COLOUR, key);
    EXPECT_EQ(DWORD(LWA_COLORKEY), flags);
    EXPECT_TRUE(::IsWindowVisible(companion.m_hWnd));
}

TEST(CompanionColours, TemplateThatIsAlreadyLayeredKeepsIt)
{
    EventLog log;
    CTestCompanion companion(nullptr, &log, IDD_TEST_COMPANION_LAYERED);
    LONG exBefore = 0;
    companion.m_onInitBefore = [&](CTestCompanion* p) {
        exBefore = ::GetWindowLongW(p->m_hWnd, GWL_EXSTYLE);
    };
    companion.CreateAndShow();
    ASSERT_NE(nullptr, companion.m_hWnd);
    EXPECT_TRUE(exBefore & WS_EX_LAYERED);
    EXPECT_EQ(exBefore, ::GetWindowLongW(companion.m_hWnd, GWL_EXSTYLE));
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(companion.m_hWnd, &key, nullptr, &flags));
    EXPECT_EQ(TEST_KEY_COLOUR, key);
    EXPECT_EQ(DWORD(LWA_COLORKEY), flags);
}

// ---- Dismissal ----------------------------------------------------------------------------

TEST(CompanionDismissal, CancelClosesTheOwnerFirstThenEndsTheDialog)
{
    EventLog log;
    COwnerWnd owner(&log);
    ASSERT_NE(nullptr, owner.m_hWnd);
    CTestCompanion companion(&owner, &log);
    companion.m_onInitAfter = [&](CTestCompanion* p) {
        p->ShowWindow(SW_SHOW);
        owner.m_hWatched = p->m_hWnd;
        ::PostMessageW(p->m_hWnd, WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(IDCANCEL, companion.DoModal());
    const EventLog expected = {"companion OnInitDialog", "companion DoDataExchange",
                               "owner WM_CLOSE", "companion still shown"};
    EXPECT_EQ(expected, log);
}

TEST(CompanionDismissal, OkClosesTheOwnerFirstThenExchangesDataAndEnds)
{
    EventLog log;
    COwnerWnd owner(&log);
    CTestCompanion companion(&owner, &log);
    companion.m_onInitAfter = [&](CTestCompanion* p) {
        p->ShowWindow(SW_SHOW);
        owner.m_hWatched = p->m_hWnd;
        ::PostMessageW(p->m_hWnd, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(IDOK, companion.DoModal());
    const EventLog expected = {"companion OnInitDialog", "companion DoDataExchange",
                               "owner WM_CLOSE", "companion still shown",
                               "companion DoDataExchange"};
    EXPECT_EQ(expected, log);
}

TEST(CompanionDismissal, OwnedPopUpSendsToItsOwnerAndWithoutOneSendsNothing)
{
    EventLog log;
    COwnerWnd owner(&log);
    CTestCompanion owned(&owner, &log);
    owned.CreateAndShow();
    ASSERT_EQ(owner.m_hWnd, ::GetWindow(owned.m_hWnd, GW_OWNER));
    {
        CloseSpy spy;
        ASSERT_TRUE(spy.Installed());
        owned.CallOnCancel();
        EXPECT_EQ(std::vector<HWND>{owner.m_hWnd}, CloseSpy::s_targets);
    }
    EXPECT_FALSE(::IsWindowVisible(owned.m_hWnd));  // the base operation ended it

    CTestCompanion lonely(nullptr, &log);
    lonely.CreateAndShow();
    ASSERT_NE(nullptr, lonely.m_hWnd);
    ASSERT_EQ(nullptr, ::GetParent(lonely.m_hWnd));
    CloseSpy spy;
    lonely.CallOnCancel();
    lonely.CallOnOK();
    EXPECT_TRUE(CloseSpy::s_targets.empty());
    EXPECT_FALSE(::IsWindowVisible(lonely.m_hWnd));
}

TEST(CompanionDismissal, DerivedEmptyOkSendsNothingWhileCancelStillNotifies)
{
    EventLog log;
    COwnerWnd owner(&log);
    CEmptyOkCompanion companion(&owner, &log);
    companion.CreateAndShow();
    log.clear();
    ::SendMessageW(companion.m_hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(::IsWindowVisible(companion.m_hWnd));
    ::SendMessageW(companion.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "owner WM_CLOSE"));
    EXPECT_FALSE(::IsWindowVisible(companion.m_hWnd));
}

// ---- Identity and lifetime ----------------------------------------------------------------

TEST(CompanionIdentity, RunTimeClassIsAKindOfDialogNotOfHtmlDialog)
{
    CTestCompanion companion(nullptr, nullptr);
    const CRuntimeClass* pClass = companion.GetRuntimeClass();
    EXPECT_STREQ("CStandardDialog", pClass->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CDialog), pClass->m_pBaseClass);
    EXPECT_EQ(nullptr, pClass->m_pfnCreateObject);
    EXPECT_EQ(0xFFFFu, pClass->m_wSchema);
    EXPECT_TRUE(companion.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_TRUE(companion.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(companion.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_TRUE(companion.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(companion.IsKindOf(RUNTIME_CLASS(CDHtmlDialog)));
}

TEST(CompanionLifetime, NeverCreatedCompanionMakesAndDeletesNoBrush)
{
    for (int i = 0; i < 5; ++i)
        CTestCompanion warmUp(nullptr, nullptr);
    const size_t before = FreeGdiHandleSlots();
    for (int i = 0; i < 50; ++i)
    {
        auto companion = std::make_unique<CTestCompanion>(nullptr, nullptr);
        ASSERT_EQ(nullptr, companion->KeyBrush());
        ASSERT_EQ(nullptr, companion->m_hWnd);
    }
    EXPECT_EQ(before, FreeGdiHandleSlots());
}

TEST(CompanionLifetime, BrushOutlivesTheWindowAndGoesWithTheObject)
{
    auto companion = std::make_unique<CTestCompanion>(nullptr, nullptr);
    companion->CreateAndShow();
    HGDIOBJ hBrush = companion->KeyBrush();
    ASSERT_EQ(DWORD(OBJ_BRUSH), ::GetObjectType(hBrush));
    HWND hWnd = companion->m_hWnd;
    companion->DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(DWORD(OBJ_BRUSH), ::GetObjectType(hBrush));
    companion.reset();
    EXPECT_EQ(DWORD(0), ::GetObjectType(hBrush));
}

TEST(CompanionLifetime, FailedCreationLeavesAnObjectWithoutWindow)
{
    CTestCompanion companion(nullptr, nullptr, 999);
    companion.CreateAndShow();
    EXPECT_EQ(nullptr, companion.m_hWnd);
    EXPECT_EQ(nullptr, companion.KeyBrush());
}
