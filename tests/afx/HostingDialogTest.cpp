// ActiveX controls named by dialog templates: creation in place of the template item, persisted
// state, binding through DDX_Control, the event sink map, Detach and tear-down, bad input.
#include <gtest/gtest.h>

#include <algorithm>

#include "HostingTestSupport.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/ThreadWindows.h"

using hosttest::DerivedHostDlg;
using hosttest::HostDlg;

namespace {

bool IsLive(FakeWebBrowser* p)
{
    const auto& live = FakeWebBrowser::Live();
    return std::find(live.begin(), live.end(), p) != live.end();
}

LPCDLGTEMPLATE LoadDialogTemplate(UINT nID)
{
    HMODULE hModule = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(nID), MAKEINTRESOURCEW(5));
    return hRes ? static_cast<LPCDLGTEMPLATE>(::LockResource(::LoadResource(hModule, hRes)))
                : nullptr;
}

class HostingDialog : public ::testing::Test
{
protected:
    void SetUp() override { AfxEnableControlContainer(); }
    void TearDown() override
    {
        AfxEnableControlContainer();
        hosttest::Pump();
        EXPECT_TRUE(FakeWebBrowser::Live().empty()) << "a fake browser was not released";
    }
};

TEST_F(HostingDialog, ControlTakesTheTemplateItemsPlaceBeforeOnInitDialog)
{
    FakeBrowserRegistration reg;
    ASSERT_TRUE(reg.Registered());
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    EXPECT_TRUE(dlg.m_bControlAtInit);

    HWND hCtl = ::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER);
    ASSERT_NE(hCtl, nullptr);
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->Window(), hCtl);
    EXPECT_EQ(::GetParent(hCtl), dlg.m_hWnd);

    RECT expected{50, 20, 150, 80};
    ::MapDialogRect(dlg.m_hWnd, &expected);
    RECT actual = RectInParent(hCtl);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
    EXPECT_EQ(fake->ContextPosRect().left, expected.left);
    EXPECT_EQ(fake->ContextPosRect().bottom, expected.bottom);

    // Tab order: between the buttons that surround it in the template.
    HWND hBefore = ::GetDlgItem(dlg.m_hWnd, IDC_HOST_BEFORE);
    HWND hAfter = ::GetDlgItem(dlg.m_hWnd, IDC_HOST_AFTER);
    EXPECT_EQ(::GetWindow(dlg.m_hWnd, GW_CHILD), hBefore);
    EXPECT_EQ(::GetWindow(hBefore, GW_HWNDNEXT), hCtl);
    EXPECT_EQ(::GetWindow(hCtl, GW_HWNDNEXT), hAfter);
    EXPECT_EQ(::GetNextDlgTabItem(dlg.m_hWnd, hBefore, FALSE), hCtl);

    DWORD dwStyle = static_cast<DWORD>(::GetWindowLongW(hCtl, GWL_STYLE));
    EXPECT_TRUE(dwStyle & WS_VISIBLE);
    EXPECT_TRUE(dwStyle & WS_TABSTOP);

    // Extent in HIMETRIC of the pixel size.
    HDC hdc = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(hdc, LOGPIXELSX);
    ::ReleaseDC(nullptr, hdc);
    EXPECT_EQ(fake->Extent().cx, ::MulDiv(expected.right - expected.left, 2540, dpi));

    dlg.DestroyWindow();
}

TEST_F(HostingDialog, PersistedStateComesFromTheDialogInitRecord)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    EXPECT_TRUE(fake->SiteSetBeforeState());
    EXPECT_TRUE(fake->LoadCalled());
    EXPECT_FALSE(fake->InitNewCalled());
    const std::vector<BYTE> expected{0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0x44, 0x44};
    EXPECT_EQ(fake->LoadedState(), expected);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, ControlStartsNewWithoutStateOrWhenLoadingFails)
{
    {
        FakeBrowserRegistration reg;
        HostDlg dlg(IDD_HOST_NOINIT);
        ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_NOINIT)));
        FakeWebBrowser* fake = FakeWebBrowser::Newest();
        ASSERT_NE(fake, nullptr);
        EXPECT_FALSE(fake->LoadCalled());
        EXPECT_TRUE(fake->InitNewCalled());
        dlg.DestroyWindow();
    }
    {
        FakeBrowserOptions options;
        options.failLoad = true;
        FakeBrowserRegistration reg(options);
        HostDlg dlg(IDD_HOST_EX);
        ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
        FakeWebBrowser* fake = FakeWebBrowser::Newest();
        ASSERT_NE(fake, nullptr);
        EXPECT_TRUE(fake->LoadCalled());
        EXPECT_TRUE(fake->InitNewCalled());
        EXPECT_NE(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER), nullptr);
        dlg.DestroyWindow();
    }
}

TEST_F(HostingDialog, PlainTemplateControlFirstAndHidden)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_PLAIN);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_PLAIN)));
    HWND hCtl = ::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER);
    ASSERT_NE(hCtl, nullptr);
    EXPECT_EQ(::GetWindow(dlg.m_hWnd, GW_CHILD), hCtl);
    EXPECT_EQ(::GetWindow(hCtl, GW_HWNDNEXT), ::GetDlgItem(dlg.m_hWnd, IDC_HOST_AFTER));
    EXPECT_FALSE(::GetWindowLongW(hCtl, GWL_STYLE) & WS_VISIBLE);
    RECT expected{10, 10, 90, 50};
    ::MapDialogRect(dlg.m_hWnd, &expected);
    RECT actual = RectInParent(hCtl);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, SiteAnswersAsADialogHost)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    VARIANT_BOOL userMode = VARIANT_FALSE;
    ASSERT_TRUE(fake->AmbientUserMode(&userMode));
    EXPECT_EQ(userMode, VARIANT_TRUE);
    EXPECT_TRUE(fake->GotFrame());
    // A dialog's control site is no browser host: no document host UI handler.
    DWORD flags = 0;
    EXPECT_FALSE(fake->HostInfoFlags(&flags));
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, DdxControlBindsTheMemberToSiteAndWindow)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    HWND hCtl = ::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER);
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(dlg.m_browser.m_hWnd, hCtl);
    ASSERT_NE(dlg.m_browser.m_pCtrlSite, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hCtl), &dlg.m_browser);

    IUnknown* pUnk = dlg.m_browser.m_pCtrlSite->GetControlUnknown();
    ASSERT_NE(pUnk, nullptr);
    IWebBrowser2* pBrowser = nullptr;
    ASSERT_EQ(pUnk->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&pBrowser)), S_OK);
    EXPECT_EQ(pBrowser, static_cast<IWebBrowser2*>(fake));
    pBrowser->Release();

    // The control window's messages run through the member's map.
    EXPECT_EQ(::SendMessageW(hCtl, hosttest::WM_HOST_PROBE, 0, 0), 42);
    EXPECT_EQ(dlg.m_browser.m_nProbes, 1);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, EventSinkMapRoutesNavigateComplete2)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->SinkCount(), 1);

    fake->FireNavigateComplete2(L"http://game.orvane.example/start?server=7");
    ASSERT_EQ(dlg.m_navs.size(), 1u);
    EXPECT_EQ(dlg.m_navs[0].pDisp, static_cast<IDispatch*>(static_cast<IWebBrowser2*>(fake)));
    EXPECT_EQ(dlg.m_navs[0].url, L"http://game.orvane.example/start?server=7");
    EXPECT_EQ(dlg.m_nOtherControl, 0);

    fake->Fire(113, {[] {
                   VARIANT v;
                   v.vt = VT_BSTR;
                   v.bstrVal = ::SysAllocString(L"Title");
                   return v;
               }()});
    ASSERT_EQ(dlg.m_titles.size(), 1u);
    EXPECT_EQ(dlg.m_titles[0], L"Title");

    // An event without an entry reaches no handler.
    fake->Fire(250, {});
    EXPECT_EQ(dlg.m_navs.size(), 1u);
    EXPECT_EQ(dlg.m_titles.size(), 1u);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, DerivedMapComesFirstThenTheBaseMap)
{
    FakeBrowserRegistration reg;
    DerivedHostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    auto bstrArg = [](LPCWSTR s) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = ::SysAllocString(s);
        return v;
    };
    VARIANT status = bstrArg(L"Loading");
    fake->Fire(102, {status});
    VARIANT title = bstrArg(L"Page");
    fake->Fire(113, {title});
    fake->FireNavigateComplete2(L"http://www.orvane.example/");
    ::VariantClear(&status);
    ::VariantClear(&title);

    ASSERT_EQ(dlg.m_status.size(), 1u);
    EXPECT_EQ(dlg.m_status[0], L"Loading");
    EXPECT_EQ(dlg.m_derivedTitles.size(), 1u);
    EXPECT_TRUE(dlg.m_titles.empty());  // hidden by the derived entry
    EXPECT_EQ(dlg.m_navs.size(), 1u);   // from the base map
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, HandlerExceptionsAreContained)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    dlg.m_bThrow = true;
    fake->FireNavigateComplete2(L"http://a.example/");
    VARIANT title;
    title.vt = VT_BSTR;
    title.bstrVal = ::SysAllocString(L"T");
    fake->Fire(113, {title});
    ::VariantClear(&title);
    dlg.m_bThrow = false;
    fake->FireNavigateComplete2(L"http://b.example/");
    ASSERT_EQ(dlg.m_navs.size(), 2u);
    EXPECT_EQ(dlg.m_navs[1].url, L"http://b.example/");
    EXPECT_EQ(dlg.m_titles.size(), 1u);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, DetachedWrapperMakesNoCallButEventsGoOn)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    HWND hCtl = dlg.m_browser.Detach();
    EXPECT_EQ(hCtl, fake->Window());
    EXPECT_EQ(dlg.m_browser.m_pCtrlSite, nullptr);

    CString result(L"untouched");
    dlg.m_browser.InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    EXPECT_STREQ(result, L"untouched");
    EXPECT_TRUE(fake->Calls().empty());

    EXPECT_EQ(fake->SinkCount(), 1);
    fake->FireNavigateComplete2(L"http://game.orvane.example/");
    EXPECT_EQ(dlg.m_navs.size(), 1u);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, DetachedDialogKeepsItsControlUntilTheObjectGoes)
{
    FakeBrowserRegistration reg;
    FakeWebBrowser* fake = nullptr;
    {
        HostDlg dlg(IDD_HOST_EX);
        ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
        fake = FakeWebBrowser::Newest();
        ASSERT_NE(fake, nullptr);
        fake->AddRef();
        HWND hBrowser = dlg.m_browser.m_hWnd;
        HWND hDlg = dlg.m_hWnd;
        ::PostMessageW(hBrowser, WM_CLOSE, 0, 0);
        dlg.m_browser.Detach();
        ::PostMessageW(hDlg, WM_CLOSE, 0, 0);
        dlg.Detach();
        hosttest::PumpUntil([&] { return !::IsWindow(hDlg); }, 2000);
        EXPECT_FALSE(::IsWindow(hDlg));
        // The object lives on, and so does the control's event connection.
        EXPECT_FALSE(fake->Closed());
        EXPECT_EQ(fake->SinkCount(), 1);
        fake->FireNavigateComplete2(L"http://game.orvane.example/again");
        EXPECT_EQ(dlg.m_navs.size(), 1u);
    }
    EXPECT_TRUE(fake->Closed());
    EXPECT_EQ(fake->SinkCount(), 0);
    EXPECT_EQ(fake->ClientSite(), nullptr);
    fake->Release();
}

TEST_F(HostingDialog, DestroyingTheDialogTearsTheControlDown)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    fake->AddRef();
    dlg.DestroyWindow();
    EXPECT_TRUE(fake->Closed());
    EXPECT_EQ(fake->ClientSite(), nullptr);
    EXPECT_EQ(fake->SinkCount(), 0);
    EXPECT_EQ(fake->Window(), nullptr);
    EXPECT_EQ(dlg.m_browser.m_pCtrlSite, nullptr);
    EXPECT_EQ(dlg.m_browser.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_pCtrlCont, nullptr);
    fake->Release();
    EXPECT_FALSE(IsLive(fake));

    // The same object can host the control again.
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    EXPECT_NE(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER), nullptr);
    EXPECT_NE(dlg.m_browser.m_pCtrlSite, nullptr);
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, DestroyingTheWrapperWindowClosesTheControl)
{
    FakeBrowserRegistration reg;
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    fake->AddRef();
    EXPECT_TRUE(dlg.m_browser.DestroyWindow());
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER), nullptr);
    EXPECT_TRUE(fake->Closed());
    EXPECT_EQ(dlg.m_browser.m_pCtrlSite, nullptr);
    ASSERT_NE(dlg.m_pCtrlCont, nullptr);
    EXPECT_EQ(dlg.m_pCtrlCont->FindSite(IDC_HOST_BROWSER), nullptr);
    fake->Release();
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, WithoutHostingTheTemplateFails)
{
    FakeBrowserRegistration reg;
    AfxEnableControlContainer(FALSE);
    HostDlg dlg(IDD_HOST_EX);
    EXPECT_FALSE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(reg.Requests(), 0);
}

TEST_F(HostingDialog, UnregisteredControlIsLeftOut)
{
    HostDlg dlg(IDD_HOST_UNKNOWN);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_UNKNOWN)));
    EXPECT_NE(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BEFORE), nullptr);
    EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER), nullptr);
    EXPECT_EQ(dlg.m_browser.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_browser.m_pCtrlSite, nullptr);
    CString result(L"untouched");
    dlg.m_browser.InvokeHelper(211, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    EXPECT_STREQ(result, L"untouched");
    dlg.DestroyWindow();
}

TEST_F(HostingDialog, RefusedCreationOrActivationIsLeftOut)
{
    {
        FakeBrowserOptions options;
        options.refuseCreation = true;
        FakeBrowserRegistration reg(options);
        HostDlg dlg(IDD_HOST_EX);
        ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
        EXPECT_EQ(reg.Requests(), 1);
        EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER), nullptr);
        EXPECT_EQ(dlg.m_browser.m_pCtrlSite, nullptr);
        // The other controls keep their tab order.
        EXPECT_EQ(::GetWindow(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BEFORE), GW_HWNDNEXT),
                  ::GetDlgItem(dlg.m_hWnd, IDC_HOST_AFTER));
        dlg.DestroyWindow();
    }
    {
        FakeBrowserOptions options;
        options.refuseInPlace = true;
        FakeBrowserRegistration reg(options);
        int created = FakeWebBrowser::CreatedCount();
        HostDlg dlg(IDD_HOST_EX);
        ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
        EXPECT_EQ(FakeWebBrowser::CreatedCount(), created + 1);
        EXPECT_TRUE(FakeWebBrowser::Live().empty());  // released at once
        EXPECT_EQ(::GetDlgItem(dlg.m_hWnd, IDC_HOST_BROWSER), nullptr);
        EXPECT_EQ(dlg.m_browser.m_pCtrlSite, nullptr);
        dlg.DestroyWindow();
    }
}

TEST_F(HostingDialog, ClassInfoNamesTheEventInterface)
{
    FakeBrowserOptions options;
    options.provideClassInfo = true;
    FakeBrowserRegistration reg(options);
    HostDlg dlg(IDD_HOST_EX);
    ASSERT_TRUE(dlg.Create(MAKEINTRESOURCEW(IDD_HOST_EX)));
    FakeWebBrowser* fake = FakeWebBrowser::Newest();
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(fake->SinkCount(), 1);
    fake->FireNavigateComplete2(L"http://x.example/");
    EXPECT_EQ(dlg.m_navs.size(), 1u);
    dlg.DestroyWindow();
}

TEST(HostingTemplate, StripsControlItemsAndKeepsTheRest)
{
    LPCDLGTEMPLATE pTemplate = LoadDialogTemplate(IDD_HOST_EX);
    ASSERT_NE(pTemplate, nullptr);
    std::vector<BYTE> copy;
    std::vector<COleControlContainer::DialogItem> items;
    ASSERT_TRUE(COleControlContainer::StripTemplate(pTemplate, copy, items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].nID, static_cast<UINT>(IDC_HOST_BROWSER));
    EXPECT_TRUE(IsEqualCLSID(items[0].clsid, CLSID_WebBrowser));
    EXPECT_EQ(items[0].x, 50);
    EXPECT_EQ(items[0].y, 20);
    EXPECT_EQ(items[0].cx, 100);
    EXPECT_EQ(items[0].cy, 60);
    EXPECT_EQ(items[0].dwStyle, 0x50010000u);
    EXPECT_EQ(items[0].nIndex, 1);

    // The dialog manager makes the copy, with the two buttons only.
    HWND hDlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATE>(copy.data()), nullptr,
                                             nullptr, 0);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_NE(::GetDlgItem(hDlg, IDC_HOST_BEFORE), nullptr);
    EXPECT_NE(::GetDlgItem(hDlg, IDC_HOST_AFTER), nullptr);
    EXPECT_EQ(::GetDlgItem(hDlg, IDC_HOST_BROWSER), nullptr);
    wchar_t text[32] = L"";
    ::GetWindowTextW(::GetDlgItem(hDlg, IDC_HOST_AFTER), text, 32);
    EXPECT_STREQ(text, L"After");
    ::DestroyWindow(hDlg);
}

TEST(HostingTemplate, PlainTemplatesAndTemplatesWithoutControls)
{
    LPCDLGTEMPLATE pPlain = LoadDialogTemplate(IDD_HOST_PLAIN);
    ASSERT_NE(pPlain, nullptr);
    std::vector<BYTE> copy;
    std::vector<COleControlContainer::DialogItem> items;
    ASSERT_TRUE(COleControlContainer::StripTemplate(pPlain, copy, items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].nIndex, 0);
    EXPECT_EQ(items[0].dwStyle, 0x40010000u);
    EXPECT_EQ(items[0].cx, 80);
    HWND hDlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATE>(copy.data()), nullptr,
                                             nullptr, 0);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_NE(::GetDlgItem(hDlg, IDC_HOST_AFTER), nullptr);
    ::DestroyWindow(hDlg);

    std::vector<BYTE> none;
    std::vector<COleControlContainer::DialogItem> noItems;
    EXPECT_FALSE(
        COleControlContainer::StripTemplate(LoadDialogTemplate(IDD_HOST_HTML), none, noItems));
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(noItems.empty());
}

}  // namespace
