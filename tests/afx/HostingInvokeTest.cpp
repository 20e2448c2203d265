// CWnd::InvokeHelper through a bound control: argument conversion and ownership, results, and
// the exceptions of failed calls.
#include <gtest/gtest.h>

#include <algorithm>

#include "HostingTestSupport.h"
#include "tests/support/BstrFreeSpy.h"
#include "tests/support/FakeHostFixture.h"
#include "tests/support/FakeWebBrowser.h"

using hosttest::HostDlg;

namespace {

const BYTE* Params(const char* vts)
{
    return reinterpret_cast<const BYTE*>(vts);
}

class HostingInvoke : public FakeHostFixture<HostDlg>
{
protected:
    void SetUp() override
    {
        AfxEnableControlContainer();
        m_reg = std::make_unique<FakeBrowserRegistration>();
        m_dlg = std::make_unique<HostDlg>(IDD_HOST_EX);
        ASSERT_TRUE(m_dlg->Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
        m_fake = FakeWebBrowser::Newest();
        ASSERT_NE(m_fake, nullptr);
        ASSERT_NE(m_dlg->m_browser.m_pCtrlSite, nullptr);
    }
    CWnd& Browser() { return m_dlg->m_browser; }
};

TEST_F(HostingInvoke, StringAndFourNullVariantPointers)
{
    BstrFreeSpy spy;
    ASSERT_TRUE(spy.Active());
    Browser().InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr,
                           Params(VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT),
                           L"http://passport.orvane.example/guest/c/qelv/login.php",
                           static_cast<VARIANT*>(nullptr), static_cast<VARIANT*>(nullptr),
                           static_cast<VARIANT*>(nullptr), static_cast<VARIANT*>(nullptr));
    ASSERT_EQ(m_fake->Calls().size(), 1u);
    const FakeInvokeCall& call = m_fake->Calls()[0];
    EXPECT_EQ(call.dispid, 104);
    EXPECT_EQ(call.flags, DISPATCH_METHOD);
    EXPECT_FALSE(call.wantedResult);
    EXPECT_TRUE(call.namedArgs.empty());
    ASSERT_EQ(call.args.size(), 5u);
    EXPECT_EQ(call.args[0].vt, VT_BSTR);
    EXPECT_EQ(call.args[0].text, L"http://passport.orvane.example/guest/c/qelv/login.php");
    for (int i = 1; i <= 4; ++i)
    {
        EXPECT_EQ(call.args[i].vt, VT_VARIANT | VT_BYREF) << i;
        EXPECT_EQ(call.args[i].pointer, nullptr) << i;
    }
    // The BSTR made for the call is released after it, once.
    BSTR passed = static_cast<BSTR>(const_cast<void*>(call.args[0].pointer));
    EXPECT_EQ(std::count(spy.Freed().begin(), spy.Freed().end(), passed), 1);
}

TEST_F(HostingInvoke, VariantPointersPassUnchanged)
{
    VARIANT flags, target;
    ::VariantInit(&flags);
    ::VariantInit(&target);
    Browser().InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr,
                           Params(VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT),
                           L"u", &flags, &target, static_cast<VARIANT*>(nullptr), &flags);
    ASSERT_EQ(m_fake->Calls().size(), 1u);
    const auto& args = m_fake->Calls()[0].args;
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[1].pointer, &flags);
    EXPECT_EQ(args[2].pointer, &target);
    EXPECT_EQ(args[3].pointer, nullptr);
    EXPECT_EQ(args[4].pointer, &flags);
}

TEST_F(HostingInvoke, BoolPropertyPutIsVariantBool)
{
    Browser().InvokeHelper(551, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BOOL), TRUE);
    Browser().InvokeHelper(551, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BOOL), FALSE);
    Browser().InvokeHelper(551, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BOOL), 5);
    ASSERT_EQ(m_fake->Calls().size(), 3u);
    const long long expected[] = {-1, 0, -1};
    for (int i = 0; i < 3; ++i)
    {
        const FakeInvokeCall& call = m_fake->Calls()[i];
        EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
        ASSERT_EQ(call.args.size(), 1u);
        EXPECT_EQ(call.args[0].vt, VT_BOOL);
        EXPECT_EQ(call.args[0].number, expected[i]) << i;
        ASSERT_EQ(call.namedArgs.size(), 1u);
        EXPECT_EQ(call.namedArgs[0], DISPID_PROPERTYPUT);
    }
    EXPECT_TRUE(m_fake->Silent());
}

TEST_F(HostingInvoke, DispatchAndNumbers)
{
    IDispatch* pDisp = static_cast<IWebBrowser2*>(m_fake);
    // The fake knows no member 300: the call fails after it was recorded.
    EXPECT_THROW(Browser().InvokeHelper(300, DISPATCH_METHOD, VT_EMPTY, nullptr,
                                        Params(VTS_DISPATCH VTS_I4 VTS_I2), pDisp, 123456L, 7),
                 COleException);
    ASSERT_EQ(m_fake->Calls().size(), 1u);
    const auto& args = m_fake->Calls()[0].args;
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0].vt, VT_DISPATCH);
    EXPECT_EQ(args[0].pointer, pDisp);
    EXPECT_EQ(args[1].vt, VT_I4);
    EXPECT_EQ(args[1].number, 123456);
    EXPECT_EQ(args[2].vt, VT_I2);
    EXPECT_EQ(args[2].number, 7);
}

TEST_F(HostingInvoke, StringResultIsACopyAndTheControlsStringIsFreedEachCall)
{
    BstrFreeSpy spy;
    ASSERT_TRUE(spy.Active());
    m_fake->SetLocation(L"http://game.orvane.example/play?id=1&server=12");
    for (int i = 0; i < 3; ++i)
    {
        // The allocator may hand the same address out again: count the frees of this call.
        size_t freedBefore = spy.Freed().size();
        CString url;
        Browser().InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &url, nullptr);
        EXPECT_STREQ(url, L"http://game.orvane.example/play?id=1&server=12");
        ASSERT_EQ(m_fake->HandedOutBstrs().size(), static_cast<size_t>(i + 1));
        BSTR handed = m_fake->HandedOutBstrs().back();
        EXPECT_NE(url.GetString(), handed);
        EXPECT_EQ(std::count(spy.Freed().begin() + freedBefore, spy.Freed().end(), handed), 1) << i;
    }
    const FakeInvokeCall& call = m_fake->Calls().back();
    EXPECT_EQ(call.dispid, 211);
    EXPECT_EQ(call.flags, DISPATCH_PROPERTYGET);
    EXPECT_TRUE(call.wantedResult);
    EXPECT_TRUE(call.args.empty());
}

TEST_F(HostingInvoke, OtherResultTypesAreConvertedToString)
{
    VARIANT number;
    number.vt = VT_I4;
    number.lVal = 42;
    m_fake->SetLocationResult(number);
    CString result;
    Browser().InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    EXPECT_STREQ(result, L"42");
}

TEST_F(HostingInvoke, FailedConversionRaisesOleException)
{
    VARIANT error;
    error.vt = VT_ERROR;
    error.scode = E_FAIL;
    VARIANT probe;
    ::VariantInit(&probe);
    HRESULT expected = ::VariantChangeType(&probe, &error, 0, VT_BSTR);
    ASSERT_TRUE(FAILED(expected));
    m_fake->SetLocationResult(error);
    CString result(L"before");
    try
    {
        Browser().InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
        FAIL() << "no exception";
    }
    catch (COleException& e)
    {
        EXPECT_EQ(e.m_sc, expected);
    }
    EXPECT_STREQ(result, L"before");
}

TEST_F(HostingInvoke, FailedCallRaisesOleExceptionWithItsCode)
{
    m_fake->FailNext(211, E_ACCESSDENIED);
    CString result(L"before");
    try
    {
        Browser().InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
        FAIL() << "no exception";
    }
    catch (COleDispatchException&)
    {
        FAIL() << "wrong exception class";
    }
    catch (COleException& e)
    {
        EXPECT_EQ(e.m_sc, E_ACCESSDENIED);
    }
    EXPECT_STREQ(result, L"before");

    m_fake->FailNext(104, DISP_E_MEMBERNOTFOUND);
    EXPECT_THROW(
        Browser().InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_BSTR), L"x"),
        COleException);
}

TEST_F(HostingInvoke, ControlExceptionRaisesDispatchExceptionWithItsDescription)
{
    BstrFreeSpy spy;
    m_fake->ThrowNext(104, 0, E_ABORT, L"Navigation refused");
    try
    {
        Browser().InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_BSTR), L"x");
        FAIL() << "no exception";
    }
    catch (COleDispatchException& e)
    {
        EXPECT_STREQ(e.m_strDescription, L"Navigation refused");
        EXPECT_EQ(e.m_scError, E_ABORT);
        EXPECT_EQ(e.m_wCode, 0);
        EXPECT_STREQ(e.m_strSource, L"FakeWebBrowser");
    }
    ASSERT_EQ(m_fake->ExceptionBstrs().size(), 2u);
    for (BSTR b : m_fake->ExceptionBstrs())
        EXPECT_TRUE(spy.WasFreed(b));

    m_fake->ThrowNext(211, 1001, S_OK, L"Filled in later", true);
    try
    {
        CString result;
        Browser().InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
        FAIL() << "no exception";
    }
    catch (COleDispatchException& e)
    {
        EXPECT_STREQ(e.m_strDescription, L"Filled in later");
        EXPECT_EQ(e.m_wCode, 1001);
    }
}

TEST_F(HostingInvoke, WithoutSiteNothingIsCalled)
{
    CWnd unbound;
    CString result(L"untouched");
    unbound.InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    unbound.InvokeHelper(551, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BOOL), TRUE);
    EXPECT_STREQ(result, L"untouched");
    EXPECT_TRUE(m_fake->Calls().empty());
}

}  // namespace
