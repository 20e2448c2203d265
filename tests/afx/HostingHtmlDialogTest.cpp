// The HTML dialog's view: created over the client area, start page, navigation, host UI, size
// following, release; with the fake browser and with Wine's own WebBrowser control.
#include <gtest/gtest.h>

#include "HostingTestSupport.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ThreadWindows.h"

using hosttest::HtmlDlg;

namespace {

RECT ClientOf(HWND hWnd)
{
    RECT rc{};
    ::GetClientRect(hWnd, &rc);
    return rc;
}

void ExpectSameRect(const RECT& a, const RECT& b)
{
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
}

class HtmlDialogView : public ::testing::Test
{
protected:
    void TearDown() override
    {
        hosttest::Pump();
        EXPECT_TRUE(FakeWebBrowser::Live().empty());
    }
};

TEST_F(HtmlDialogView, ViewCoversTheClientAreaAndFollowsIt)
{
    FakeBrowserRegistration reg;
    HtmlDlg dlg(IDR_HOST_PAGE);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    EXPECT_EQ(dlg.m_bInitResult, TRUE);
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    ASSERT_NE(dlg.m_pBrowserApp, nullptr);
    EXPECT_EQ(dlg.m_pBrowserApp, static_cast<IWebBrowser2*>(fake));
    EXPECT_EQ(dlg.m_wndBrowser.m_hWnd, fake->Window());
    EXPECT_EQ(::GetParent(fake->Window()), dlg.m_hWnd);
    EXPECT_EQ(::GetDlgCtrlID(fake->Window()), AFX_IDW_PANE_FIRST);
    ExpectSameRect(RectInParent(fake->Window()), ClientOf(dlg.m_hWnd));

    ::SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, 520, 390, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = ClientOf(dlg.m_hWnd);
    EXPECT_EQ(client.right, 520 - (WindowSize(dlg.m_hWnd).cx - client.right));
    ExpectSameRect(RectInParent(fake->Window()), client);
    dlg.DestroyWindow();
}

TEST_F(HtmlDialogView, StartPageIsTheHtmlResource)
{
    FakeBrowserRegistration reg;
    HtmlDlg dlg(IDR_HOST_PAGE);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    ASSERT_EQ(fake->Navigations().size(), 1u);
    EXPECT_EQ(fake->Navigations()[0], hosttest::ResourceUrl(IDR_HOST_PAGE));
    dlg.DestroyWindow();

    HtmlDlg plain(0);
    ASSERT_TRUE(plain.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    ASSERT_NE(FakeWebBrowser::Newest(), nullptr);
    EXPECT_TRUE(FakeWebBrowser::Newest()->Navigations().empty());
    plain.DestroyWindow();
}

TEST_F(HtmlDialogView, NavigateReachesTheView)
{
    FakeBrowserRegistration reg;
    HtmlDlg dlg(0);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    dlg.Navigate(L"http://game.orvane.example/play?server=3", 0, nullptr, nullptr, nullptr, 0);
    ASSERT_EQ(fake->Navigations().size(), 1u);
    EXPECT_EQ(fake->Navigations()[0], L"http://game.orvane.example/play?server=3");
    dlg.DestroyWindow();
}

TEST_F(HtmlDialogView, HostFlagsAndTheBrowsersOwnContextMenu)
{
    FakeBrowserRegistration reg;
    HtmlDlg dlg(0);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    DWORD flags = 0;
    ASSERT_TRUE(fake->HostInfoFlags(&flags));
    EXPECT_EQ(flags, static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO));
    EXPECT_EQ(fake->AskContextMenu(), S_FALSE);
    dlg.DestroyWindow();
}

TEST_F(HtmlDialogView, ViewIsGoneAfterTheWindow)
{
    FakeBrowserRegistration reg;
    HtmlDlg dlg(IDR_HOST_PAGE);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    fake->AddRef();
    HWND hView = fake->Window();
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hView));
    EXPECT_EQ(dlg.m_pBrowserApp, nullptr);
    EXPECT_EQ(dlg.m_wndBrowser.m_pCtrlSite, nullptr);
    EXPECT_TRUE(fake->Closed());
    EXPECT_EQ(fake->ClientSite(), nullptr);
    fake->Release();
}

TEST_F(HtmlDialogView, WithoutAViewTheWindowIsDestroyed)
{
    FakeBrowserOptions options;
    options.refuseCreation = true;
    FakeBrowserRegistration reg(options);
    HtmlDlg dlg(IDR_HOST_PAGE);
    EXPECT_FALSE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    EXPECT_EQ(dlg.m_bInitResult, FALSE);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_pBrowserApp, nullptr);
    dlg.Navigate(L"http://x.example/");  // no view: nothing happens
}

TEST(HtmlDialogClass, RunTimeClassAndEmptyEventMap)
{
    CRuntimeClass* pClass = RUNTIME_CLASS(CDHtmlDialog);
    EXPECT_STREQ(pClass->m_lpszClassName, "CDHtmlDialog");
    EXPECT_TRUE(pClass->IsDerivedFrom(RUNTIME_CLASS(CDialog)));
    HtmlDlg dlg(0);
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CDHtmlDialog)));
    const DHtmlEventMapEntry* pMap = dlg.GetDHtmlEventMap();
    ASSERT_NE(pMap, nullptr);
    EXPECT_EQ(pMap[0].nType, static_cast<UINT>(DHTMLEVENTMAPENTRY_END));
}

// Wine's own WebBrowser control as the view.
TEST(HtmlDialogRealBrowser, ViewIsCreatedAndOpensTheStartPage)
{
    HtmlDlg dlg(IDR_HOST_PAGE);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_HTML)));
    ASSERT_NE(dlg.m_pBrowserApp, nullptr);
    HWND hView = dlg.m_wndBrowser.m_hWnd;
    ASSERT_NE(hView, nullptr);
    EXPECT_EQ(::GetParent(hView), dlg.m_hWnd);
    ExpectSameRect(RectInParent(hView), ClientOf(dlg.m_hWnd));

    const std::wstring start = hosttest::ResourceUrl(IDR_HOST_PAGE);
    EXPECT_TRUE(hosttest::PumpUntil(
        [&] {
            for (const auto& url : dlg.m_before)
                if (url == start)
                    return true;
            return false;
        },
        5000));

    dlg.Navigate(L"about:blank");
    EXPECT_TRUE(hosttest::PumpUntil(
        [&] { return !dlg.m_before.empty() && dlg.m_before.back() == L"about:blank"; }, 5000));

    ::SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, 600, 420, SWP_NOMOVE | SWP_NOZORDER);
    ExpectSameRect(RectInParent(hView), ClientOf(dlg.m_hWnd));
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(hView));
    EXPECT_EQ(dlg.m_pBrowserApp, nullptr);
}

}  // namespace
