// Window objects: message maps, handler arguments, attachment, styles and the handle maps.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "afx/Afx.h"
#include "WindowTestSupport.h"

namespace {

const UINT WM_TEST_ONE = WM_APP + 1;
const UINT WM_TEST_TWO = WM_APP + 2;
const UINT WM_TEST_THREE = WM_APP + 3;
const UINT WM_TEST_THROW_LIBRARY = WM_APP + 4;
const UINT WM_TEST_THROW_STD = WM_APP + 5;
const UINT WM_TEST_NESTED = WM_APP + 6;

class CBaseTestWnd : public CWnd
{
public:
    std::vector<std::string> calls;

protected:
    LRESULT OnOne(WPARAM, LPARAM)
    {
        calls.push_back("base one");
        return 1;
    }
    LRESULT OnTwo(WPARAM w, LPARAM l)
    {
        calls.push_back("base two");
        return static_cast<LRESULT>(w * 100 + l);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTestWnd, CWnd)
    ON_MESSAGE(WM_TEST_ONE, OnOne)
    ON_MESSAGE(WM_TEST_TWO, OnTwo)
END_MESSAGE_MAP()

class CDerivedTestWnd : public CBaseTestWnd
{
public:
    int nCreateCalls = 0;
    void* pCreateParam = nullptr;
    int nCreateResult = 0;
    bool bThrowInCreate = false;
    std::vector<POINT> moves;
    std::vector<SIZE> sizes;
    std::vector<UINT> sizeTypes;
    int nCloseCalls = 0;
    int nDestroyCalls = 0;
    int nNcDestroyCalls = 0;
    int nPostNcDestroyCalls = 0;
    int nStyleChanging = 0;
    int nPosChanging = 0;
    int nClicked = 0;
    int nDoubleClicked = 0;
    int nOtherClicked = 0;
    int nCommand = 0;
    LRESULT lastDefault = 0;

protected:
    int OnCreate(LPCREATESTRUCT lpcs)
    {
        ++nCreateCalls;
        pCreateParam = lpcs->lpCreateParams;
        if (bThrowInCreate)
            throw CMemoryException();
        if (CWnd::OnCreate(lpcs) == -1)
            return -1;
        return nCreateResult;
    }
    void OnMove(int x, int y)
    {
        moves.push_back(POINT{x, y});
        CWnd::OnMove(x, y);
    }
    void OnSize(UINT nType, int cx, int cy)
    {
        sizeTypes.push_back(nType);
        sizes.push_back(SIZE{cx, cy});
        CWnd::OnSize(nType, cx, cy);
    }
    void OnClose()
    {
        ++nCloseCalls;
        Default();
    }
    void OnDestroy()
    {
        ++nDestroyCalls;
        CWnd::OnDestroy();
    }
    void OnNcDestroy()
    {
        ++nNcDestroyCalls;
        CWnd::OnNcDestroy();
    }
    void PostNcDestroy() override { ++nPostNcDestroyCalls; }
    LRESULT OnDerivedOne(WPARAM, LPARAM)
    {
        calls.push_back("derived one");
        return 2;
    }
    LRESULT OnThrowLibrary(WPARAM, LPARAM) { throw CMemoryException(); }
    LRESULT OnThrowStd(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    LRESULT OnStyleChanging(WPARAM, LPARAM)
    {
        ++nStyleChanging;
        return Default();
    }
    LRESULT OnPosChanging(WPARAM, LPARAM)
    {
        ++nPosChanging;
        return Default();
    }
    // Sends another message to itself, then asks for the default processing of its own one.
    LRESULT OnSetText(WPARAM, LPARAM)
    {
        ::SendMessageW(m_hWnd, WM_TEST_ONE, 0, 0);
        lastDefault = Default();
        return lastDefault;
    }
    void OnGoClicked() { ++nClicked; }
    void OnGoDoubleClicked() { ++nDoubleClicked; }
    void OnOtherClicked() { ++nOtherClicked; }
    void OnMenuCommand() { ++nCommand; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTestWnd, CBaseTestWnd)
    ON_WM_CREATE()
    ON_WM_MOVE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
    ON_MESSAGE(WM_TEST_ONE, OnDerivedOne)
    ON_MESSAGE(WM_TEST_THROW_LIBRARY, OnThrowLibrary)
    ON_MESSAGE(WM_TEST_THROW_STD, OnThrowStd)
    ON_MESSAGE(WM_STYLECHANGING, OnStyleChanging)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, OnPosChanging)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_BN_CLICKED(101, OnGoClicked)
    ON_CONTROL(BN_DOUBLECLICKED, 101, OnGoDoubleClicked)
    ON_BN_CLICKED(102, OnOtherClicked)
    ON_COMMAND(300, OnMenuCommand)
END_MESSAGE_MAP()

class WndTest : public ::testing::Test
{
protected:
    void SetUp() override { afxtest::DrainQueue(); }
    void TearDown() override { afxtest::DrainQueue(); }

    static BOOL CreatePopup(CWnd& wnd, HWND hOwner = nullptr, void* pParam = nullptr)
    {
        return wnd.CreateEx(0, L"STATIC", L"test", WS_POPUP | WS_CAPTION, 100, 100, 200, 150,
                            hOwner, nullptr, pParam);
    }
};

TEST_F(WndTest, CreationRunsWmCreateThroughTheMap)
{
    CDerivedTestWnd wnd;
    int param = 7;
    ASSERT_TRUE(CreatePopup(wnd, nullptr, &param));
    EXPECT_EQ(1, wnd.nCreateCalls);
    EXPECT_EQ(&param, wnd.pCreateParam);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&AfxWndProc),
              ::GetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC));
}

TEST_F(WndTest, CreateFailsWhenOnCreateRefuses)
{
    CDerivedTestWnd wnd;
    wnd.nCreateResult = -1;
    EXPECT_FALSE(CreatePopup(wnd));
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(1, wnd.nNcDestroyCalls);

    CDerivedTestWnd other;
    other.bThrowInCreate = true;  // an exception in WM_CREATE fails the creation
    EXPECT_FALSE(CreatePopup(other));
    EXPECT_EQ(nullptr, other.m_hWnd);
}

TEST_F(WndTest, CreateOfUnknownClassFailsWithoutLeavingTheHookArmed)
{
    CDerivedTestWnd bad;
    EXPECT_FALSE(
        bad.CreateEx(0, L"NoSuchClassAnywhere", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(nullptr, bad.m_hWnd);
    // The next window of the thread, made without the library, must not be taken by `bad`.
    HWND h = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    EXPECT_EQ(nullptr, bad.m_hWnd);
    ::DestroyWindow(h);
}

TEST_F(WndTest, DerivedEntryHidesBaseEntryAndBaseEntryIsReached)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    EXPECT_EQ(2, ::SendMessageW(wnd.m_hWnd, WM_TEST_ONE, 0, 0));
    EXPECT_EQ(304, ::SendMessageW(wnd.m_hWnd, WM_TEST_TWO, 3, 4));
    EXPECT_EQ(0, ::SendMessageW(wnd.m_hWnd, WM_TEST_THREE, 3, 4));  // no entry: default processing
    std::vector<std::string> expected = {"derived one", "base two"};
    EXPECT_EQ(expected, wnd.calls);

    CBaseTestWnd base;
    ASSERT_TRUE(CreatePopup(base));
    EXPECT_EQ(1, ::SendMessageW(base.m_hWnd, WM_TEST_ONE, 0, 0));
    EXPECT_EQ(std::vector<std::string>{"base one"}, base.calls);
}

TEST_F(WndTest, MoveCoordinatesAreSignedAndSizesUnsigned)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    wnd.moves.clear();
    wnd.sizes.clear();
    wnd.sizeTypes.clear();
    ::SendMessageW(wnd.m_hWnd, WM_MOVE, 0,
                   MAKELPARAM(static_cast<WORD>(-5), static_cast<WORD>(-32768)));
    ::SendMessageW(wnd.m_hWnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(0xFFF0, 40000));
    ASSERT_EQ(1u, wnd.moves.size());
    EXPECT_EQ(-5, wnd.moves[0].x);
    EXPECT_EQ(-32768, wnd.moves[0].y);
    ASSERT_EQ(1u, wnd.sizes.size());
    EXPECT_EQ(65520, wnd.sizes[0].cx);
    EXPECT_EQ(40000, wnd.sizes[0].cy);
    EXPECT_EQ(static_cast<UINT>(SIZE_MAXIMIZED), wnd.sizeTypes[0]);

    // A real move to the left of the screen.
    wnd.moves.clear();
    wnd.MoveWindow(-300, -200, 120, 90);
    ASSERT_FALSE(wnd.moves.empty());
    RECT rcClient;
    ::GetClientRect(wnd.m_hWnd, &rcClient);
    POINT origin = {0, 0};
    ::ClientToScreen(wnd.m_hWnd, &origin);
    EXPECT_EQ(origin.x, wnd.moves.back().x);
    EXPECT_EQ(origin.y, wnd.moves.back().y);
    EXPECT_LT(wnd.moves.back().x, 0);
}

TEST_F(WndTest, CommandsAreRoutedByIdAndNotificationCode)
{
    CDerivedTestWnd parent;
    ASSERT_TRUE(CreatePopup(parent));
    CButton go, other;
    ASSERT_TRUE(go.Create(L"BUTTON", L"go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                          RECT{0, 0, 50, 20}, &parent, 101));
    ASSERT_TRUE(other.Create(L"BUTTON", L"other", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                             RECT{60, 0, 110, 20}, &parent, 102));

    ::SendMessageW(go.m_hWnd, BM_CLICK, 0, 0);  // the button tells its parent
    EXPECT_EQ(1, parent.nClicked);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(101, BN_DOUBLECLICKED),
                   reinterpret_cast<LPARAM>(go.m_hWnd));
    EXPECT_EQ(1, parent.nClicked);
    EXPECT_EQ(1, parent.nDoubleClicked);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(102, BN_CLICKED),
                   reinterpret_cast<LPARAM>(other.m_hWnd));
    EXPECT_EQ(1, parent.nOtherClicked);
    EXPECT_EQ(1, parent.nClicked);
    // Unknown code or id: nothing runs.
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(101, BN_SETFOCUS),
                   reinterpret_cast<LPARAM>(go.m_hWnd));
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(103, BN_CLICKED),
                   reinterpret_cast<LPARAM>(go.m_hWnd));
    EXPECT_EQ(1, parent.nClicked);
    EXPECT_EQ(1, parent.nDoubleClicked);
    EXPECT_EQ(1, parent.nOtherClicked);
    // Menu commands and accelerators (no control window) are plain commands.
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(300, 0), 0);
    ::SendMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(300, 1), 0);
    EXPECT_EQ(2, parent.nCommand);
}

TEST_F(WndTest, ExceptionsInHandlersDoNotEndTheProgram)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    EXPECT_EQ(0, ::SendMessageW(wnd.m_hWnd, WM_TEST_THROW_LIBRARY, 0, 0));
    EXPECT_EQ(0, ::SendMessageW(wnd.m_hWnd, WM_TEST_THROW_STD, 0, 0));
    // Posted ones are dispatched by a loop, which goes on.
    ::PostMessageW(wnd.m_hWnd, WM_TEST_THROW_LIBRARY, 0, 0);
    ::PostMessageW(wnd.m_hWnd, WM_TEST_THROW_STD, 0, 0);
    ::PostMessageW(wnd.m_hWnd, WM_TEST_TWO, 1, 2);
    EXPECT_TRUE(afxtest::PumpUntil([&] { return !wnd.calls.empty(); }));
    EXPECT_EQ(std::vector<std::string>{"base two"}, wnd.calls);
    EXPECT_EQ(2, ::SendMessageW(wnd.m_hWnd, WM_TEST_ONE, 0, 0));
}

TEST_F(WndTest, DefaultProcessesTheCurrentMessageAfterNestedSends)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    ::SetWindowTextW(wnd.m_hWnd, L"caption text");
    EXPECT_EQ(TRUE, wnd.lastDefault);  // WM_SETTEXT's default answer, not WM_TEST_ONE's
    wchar_t text[32] = L"";
    ::GetWindowTextW(wnd.m_hWnd, text, 32);
    EXPECT_STREQ(L"caption text", text);
}

TEST_F(WndTest, DetachedWindowClosesWithDefaultProcessingOnly)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    ::PostMessageW(wnd.m_hWnd, WM_CLOSE, 0, 0);
    HWND hWnd = wnd.Detach();
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_TRUE(afxtest::PumpUntil([&] { return !::IsWindow(hWnd); }));
    EXPECT_EQ(0, wnd.nCloseCalls);
    EXPECT_EQ(0, wnd.nDestroyCalls);
    EXPECT_EQ(0, wnd.nNcDestroyCalls);
    EXPECT_EQ(0, wnd.nPostNcDestroyCalls);
}

TEST_F(WndTest, DestroyingTheWindowLetsTheObjectGo)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(1, wnd.nDestroyCalls);
    EXPECT_EQ(1, wnd.nNcDestroyCalls);
    EXPECT_EQ(1, wnd.nPostNcDestroyCalls);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));

    // Messages to the destroyed window, and calls on the object without a window, are harmless.
    EXPECT_EQ(0, ::SendMessageW(hWnd, WM_TEST_ONE, 0, 0));
    EXPECT_FALSE(wnd.DestroyWindow());
    EXPECT_TRUE(wnd.calls.empty());
}

TEST_F(WndTest, PostedMessageForAWindowDestroyedMeanwhileIsHarmless)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    ::PostMessageW(wnd.m_hWnd, WM_TEST_ONE, 0, 0);
    wnd.DestroyWindow();
    afxtest::DrainQueue();
    EXPECT_TRUE(wnd.calls.empty());
}

TEST_F(WndTest, ObjectDestructorDestroysItsWindow)
{
    HWND hWnd = nullptr;
    {
        CDerivedTestWnd wnd;
        ASSERT_TRUE(CreatePopup(wnd));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST_F(WndTest, ModifyStyleWritesOnlyOnChange)
{
    CDerivedTestWnd wnd;
    ASSERT_TRUE(CreatePopup(wnd));
    wnd.nStyleChanging = 0;
    wnd.nPosChanging = 0;

    EXPECT_FALSE(wnd.ModifyStyle(0, WS_CAPTION));     // already there
    EXPECT_FALSE(wnd.ModifyStyle(WS_THICKFRAME, 0));  // already absent
    EXPECT_EQ(0, wnd.nStyleChanging);

    EXPECT_TRUE(wnd.ModifyStyle(WS_CAPTION, WS_POPUP));  // flags 0: no repositioning
    EXPECT_EQ(1, wnd.nStyleChanging);
    EXPECT_EQ(0, wnd.nPosChanging);
    EXPECT_EQ(0u, wnd.GetStyle() & WS_CAPTION);

    EXPECT_TRUE(wnd.ModifyStyle(0, WS_CAPTION, SWP_FRAMECHANGED));
    EXPECT_EQ(2, wnd.nStyleChanging);
    EXPECT_EQ(1, wnd.nPosChanging);
    EXPECT_EQ(static_cast<DWORD>(WS_CAPTION), wnd.GetStyle() & WS_CAPTION);
}

TEST_F(WndTest, FromHandleGivesTemporaryObjectsForUnattachedWindows)
{
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(nullptr));

    HWND h = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    ASSERT_NE(nullptr, h);
    CWnd* pTemp = CWnd::FromHandle(h);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(h, pTemp->m_hWnd);
    EXPECT_EQ(pTemp, CWnd::FromHandle(h));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    AfxDeleteTempMap();
    EXPECT_TRUE(::IsWindow(h));  // dropping the temporary object leaves the window alone

    CWnd attached;
    ASSERT_TRUE(attached.SubclassWindow(h));
    EXPECT_EQ(&attached, CWnd::FromHandle(h));
    CWnd second;
    EXPECT_FALSE(second.SubclassWindow(h));
    EXPECT_EQ(h, attached.Detach());
    EXPECT_TRUE(::IsWindow(h));
    ::DestroyWindow(h);
}

// PreTranslateMessage walk: every object on the way records itself.
class CRecordingWnd : public CWnd
{
public:
    CRecordingWnd(std::vector<std::string>& log, const char* name) : m_log(log), m_name(name) {}
    BOOL PreTranslateMessage(MSG*) override
    {
        m_log.push_back(m_name);
        return bTake;
    }
    BOOL bTake = FALSE;

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

TEST_F(WndTest, PreTranslateWalkGoesFromChildToDialogToOwner)
{
    std::vector<std::string> log;
    CRecordingWnd owner(log, "owner"), dialog(log, "dialog"), child(log, "child");
    ASSERT_TRUE(CreatePopup(owner));
    ASSERT_TRUE(CreatePopup(dialog, owner.m_hWnd));
    ASSERT_TRUE(child.Create(L"BUTTON", L"b", WS_CHILD, RECT{0, 0, 10, 10}, &dialog, 1));

    MSG msg = {};
    msg.hwnd = child.m_hWnd;
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ((std::vector<std::string>{"child", "dialog", "owner"}), log);

    log.clear();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(dialog.m_hWnd, &msg));
    EXPECT_EQ((std::vector<std::string>{"child", "dialog"}), log);

    log.clear();
    dialog.bTake = TRUE;
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ((std::vector<std::string>{"child", "dialog"}), log);
}

TEST_F(WndTest, SubclassedControlKeepsItsOwnBehaviour)
{
    CDerivedTestWnd parent;
    ASSERT_TRUE(CreatePopup(parent));
    HWND hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(7), nullptr, nullptr);
    CBaseTestWnd edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    EXPECT_EQ(304, ::SendMessageW(edit.m_hWnd, WM_TEST_TWO, 3, 4));
    ::SetWindowTextW(edit.m_hWnd, L"typed");
    wchar_t text[16] = L"";
    ::GetWindowTextW(hEdit, text, 16);
    EXPECT_STREQ(L"typed", text);
    EXPECT_EQ(std::vector<std::string>{"base two"}, edit.calls);
}

TEST_F(WndTest, RunTimeClassesChain)
{
    CWnd wnd;
    EXPECT_STREQ("CWnd", wnd.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(wnd.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_TRUE(wnd.IsKindOf(RUNTIME_CLASS(CObject)));
    CButton button;
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CWnd)));
    CDerivedTestWnd derived;  // no record of its own: answers with its base's
    EXPECT_EQ(RUNTIME_CLASS(CWnd), derived.GetRuntimeClass());
}

}  // namespace
