// CWebBrowser2: the wrapper of the login panel's browser control, bound through the panel's
// template (control 1005 of dialog 103), with the fake browser and with Wine's own control.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "afx/Afx.h"
#include "client/WebBrowser2.h"
#include "res/resource.h"
#include "tests/support/BstrFreeSpy.h"
#include "tests/support/FakeHostFixture.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/HttpRecorder.h"
#include "tests/support/ProxySetting.h"
#include "tests/support/MessageQueue.h"

namespace {

const wchar_t kLoginUrl[] = L"http://passport.orvane.example/guest/c/qelv/login.php";

// The panel's template with nothing but the browser bound.
class PanelDlg : public CDialog
{
public:
    PanelDlg() : CDialog(IDD_STANDARD_DIALOG) {}
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_BROWSER, m_browser); }
    CWebBrowser2 m_browser;
};

class WebBrowser2Fake : public FakeHostFixture<PanelDlg>
{
protected:
    void SetUp() override
    {
        AfxEnableControlContainer();
        m_reg = std::make_unique<FakeBrowserRegistration>();
        ASSERT_TRUE(m_reg->Registered());
        m_dlg = std::make_unique<PanelDlg>();
        ASSERT_TRUE(m_dlg->Create(MAKEINTRESOURCEW(IDD_STANDARD_DIALOG)));
        m_fake = FakeWebBrowser::Newest();
        ASSERT_NE(m_fake, nullptr);
        ASSERT_NE(m_dlg->m_browser.m_pCtrlSite, nullptr);
        ASSERT_EQ(m_dlg->m_browser.m_hWnd, m_fake->Window());
    }
    CWebBrowser2& Browser() { return m_dlg->m_browser; }
};

TEST(WebBrowser2Class, RunTimeClassCreatesAWrapperWithoutWindow)
{
    CRuntimeClass* pClass = RUNTIME_CLASS(CWebBrowser2);
    EXPECT_STREQ(pClass->m_lpszClassName, "CWebBrowser2");
    EXPECT_EQ(pClass->m_pBaseClass, RUNTIME_CLASS(CWnd));
    std::unique_ptr<CObject> pObject(pClass->CreateObject());
    ASSERT_NE(pObject, nullptr);
    ASSERT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CWebBrowser2)));
    auto* pBrowser = static_cast<CWebBrowser2*>(pObject.get());
    EXPECT_EQ(pBrowser->GetRuntimeClass(), pClass);
    EXPECT_EQ(pBrowser->m_hWnd, nullptr);
    EXPECT_EQ(pBrowser->m_pCtrlSite, nullptr);
    EXPECT_TRUE(pBrowser->GetLocationURL().IsEmpty());
}

TEST_F(WebBrowser2Fake, NavigateWithFourNullPointers)
{
    BstrFreeSpy spy;
    ASSERT_TRUE(spy.Active());
    Browser().Navigate(kLoginUrl, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(m_fake->Calls().size(), 1u);
    const FakeInvokeCall& call = m_fake->Calls()[0];
    EXPECT_EQ(call.dispid, 104);
    EXPECT_EQ(call.flags, DISPATCH_METHOD);
    EXPECT_FALSE(call.wantedResult);
    ASSERT_EQ(call.args.size(), 5u);
    EXPECT_EQ(call.args[0].vt, VT_BSTR);
    EXPECT_EQ(call.args[0].text, kLoginUrl);
    for (int i = 1; i <= 4; ++i)
    {
        EXPECT_EQ(call.args[i].vt, VT_VARIANT | VT_BYREF) << i;
        EXPECT_EQ(call.args[i].pointer, nullptr) << i;
    }
    EXPECT_TRUE(spy.WasFreed(static_cast<BSTR>(const_cast<void*>(call.args[0].pointer))));
    ASSERT_EQ(m_fake->Navigations().size(), 1u);
    EXPECT_EQ(m_fake->Navigations()[0], kLoginUrl);
}

TEST_F(WebBrowser2Fake, PutSilentWritesVariantTrue)
{
    Browser().put_Silent(TRUE);
    EXPECT_TRUE(m_fake->Silent());
    Browser().put_Silent(FALSE);
    EXPECT_FALSE(m_fake->Silent());
    ASSERT_EQ(m_fake->Calls().size(), 2u);
    for (size_t i = 0; i < 2; ++i)
    {
        const FakeInvokeCall& call = m_fake->Calls()[i];
        EXPECT_EQ(call.dispid, 551);
        EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
        ASSERT_EQ(call.args.size(), 1u);
        EXPECT_EQ(call.args[0].vt, VT_BOOL);
        ASSERT_EQ(call.namedArgs.size(), 1u);
        EXPECT_EQ(call.namedArgs[0], DISPID_PROPERTYPUT);
    }
    EXPECT_EQ(m_fake->Calls()[0].args[0].number, -1);
    EXPECT_EQ(m_fake->Calls()[1].args[0].number, 0);
}

TEST_F(WebBrowser2Fake, GetLocationUrlCopiesAndFreesEveryCall)
{
    BstrFreeSpy spy;
    ASSERT_TRUE(spy.Active());
    m_fake->SetLocation(L"http://game.orvane.example/s?server=5");
    for (int i = 0; i < 3; ++i)
    {
        size_t freedBefore = spy.Freed().size();
        CString url = Browser().GetLocationURL();
        EXPECT_STREQ(url, L"http://game.orvane.example/s?server=5");
        ASSERT_EQ(m_fake->HandedOutBstrs().size(), static_cast<size_t>(i + 1));
        BSTR handed = m_fake->HandedOutBstrs().back();
        EXPECT_NE(url.GetString(), handed);
        EXPECT_EQ(std::count(spy.Freed().begin() + freedBefore, spy.Freed().end(), handed), 1);
    }
    const FakeInvokeCall& call = m_fake->Calls().back();
    EXPECT_EQ(call.dispid, 211);
    EXPECT_EQ(call.flags, DISPATCH_PROPERTYGET);
    EXPECT_TRUE(call.args.empty());
}

TEST_F(WebBrowser2Fake, DetachedWrapperMakesNoCall)
{
    m_fake->SetLocation(L"http://game.orvane.example/");
    HWND hWnd = Browser().Detach();
    EXPECT_EQ(hWnd, m_fake->Window());
    EXPECT_TRUE(Browser().GetLocationURL().IsEmpty());
    Browser().Navigate(kLoginUrl, nullptr, nullptr, nullptr, nullptr);
    Browser().put_Silent(TRUE);
    EXPECT_TRUE(m_fake->Calls().empty());
}

TEST_F(WebBrowser2Fake, FailingCallsRaiseTheLibrarysExceptions)
{
    m_fake->FailNext(211, E_ACCESSDENIED);
    try
    {
        Browser().GetLocationURL();
        FAIL() << "no exception";
    }
    catch (COleException& e)
    {
        EXPECT_EQ(e.m_sc, E_ACCESSDENIED);
    }

    m_fake->ThrowNext(104, 0, E_ABORT, L"Blocked by the control");
    try
    {
        Browser().Navigate(kLoginUrl, nullptr, nullptr, nullptr, nullptr);
        FAIL() << "no exception";
    }
    catch (COleDispatchException& e)
    {
        EXPECT_STREQ(e.m_strDescription, L"Blocked by the control");
        EXPECT_EQ(e.m_scError, E_ABORT);
    }

    m_fake->FailNext(551, DISP_E_TYPEMISMATCH);
    EXPECT_THROW(Browser().put_Silent(TRUE), COleException);
}

TEST(WebBrowser2Create, AlwaysCreatesTheBrowserControl)
{
    AfxEnableControlContainer();
    FakeBrowserRegistration reg;
    PanelDlg parent;
    ASSERT_TRUE(parent.Create(MAKEINTRESOURCEW(IDD_STANDARD_DIALOG)));
    int before = FakeWebBrowser::CreatedCount();
    {
        CWebBrowser2 browser;
        RECT rc{10, 20, 210, 170};
        ASSERT_TRUE(browser.Create(L"BUTTON", nullptr, WS_CHILD | WS_VISIBLE, rc, &parent, 4242));
        EXPECT_EQ(FakeWebBrowser::CreatedCount(), before + 1);
        FakeWebBrowser* fake = FakeWebBrowser::Newest();
        ASSERT_NE(fake, nullptr);
        EXPECT_EQ(browser.m_hWnd, fake->Window());
        EXPECT_EQ(::GetDlgItem(parent.m_hWnd, 4242), fake->Window());
        EXPECT_TRUE(fake->InitNewCalled());
        EXPECT_FALSE(fake->LoadCalled());
        wchar_t cls[64] = L"";
        ::GetClassNameW(browser.m_hWnd, cls, 64);
        EXPECT_STRNE(cls, L"Button");
        fake->SetLocation(L"about:blank");
        EXPECT_STREQ(browser.GetLocationURL(), L"about:blank");
    }
    parent.DestroyWindow();
    EXPECT_TRUE(FakeWebBrowser::Live().empty());
}

// Wine's own WebBrowser control from the panel's template: its navigation reaches a local HTTP
// server that the prefix's proxy setting points at.
TEST(WebBrowser2RealControl, NavigateReachesTheServerThroughTheProxy)
{
    AfxEnableControlContainer();
    HttpRecorder server;
    ASSERT_NE(server.Port(), 0);
    ProxySetting proxy(L"127.0.0.1:" + std::to_wstring(server.Port()));
    ASSERT_TRUE(proxy.Applied());

    PanelDlg dlg;
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_STANDARD_DIALOG)));
    ASSERT_NE(dlg.m_browser.m_pCtrlSite, nullptr);
    HWND hBrowser = ::GetDlgItem(dlg.m_hWnd, IDC_BROWSER);
    ASSERT_NE(hBrowser, nullptr);
    EXPECT_EQ(dlg.m_browser.m_hWnd, hBrowser);

    dlg.m_browser.Navigate(kLoginUrl, nullptr, nullptr, nullptr, nullptr);
    dlg.m_browser.put_Silent(TRUE);
    auto seen = [&] {
        for (const std::string& line : server.Requests())
            if (line.find("http://passport.orvane.example:80/guest/c/qelv/login.php") !=
                    std::string::npos ||
                line.find("http://passport.orvane.example/guest/c/qelv/login.php") !=
                    std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(PumpUntil(seen, 20000, 20));
    for (const std::string& line : server.Requests())
        std::printf("server saw: %s\n", line.c_str());
    dlg.DestroyWindow();
}

}  // namespace
