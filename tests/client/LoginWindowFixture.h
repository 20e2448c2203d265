// The fixtures of the login window tests: GDI+ and the control container as the program has them,
// the cursor parked in the screen's corner, no main window or quit request left behind.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include "afx/OleControlContainer.h"
#include "afx/WinApp.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/MessageQueue.h"

namespace logintest {

class LoginWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
        AfxEnableControlContainer();
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_token); }
    void SetUp() override
    {
        ASSERT_NE(AfxGetApp(), nullptr);
        ::SetCursorPos(5, 5);
    }
    void TearDown() override
    {
        if (AfxGetApp())
            AfxGetApp()->m_pMainWnd = nullptr;
        ForgetQuit();
    }

    // Runs the login window as the main window, as the application does.
    static INT_PTR RunAsMainWindow(CTalvTranslucentDlg& dlg)
    {
        AfxGetApp()->m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        if (AfxGetApp()->m_pMainWnd == &dlg)
            AfxGetApp()->m_pMainWnd = nullptr;
        return result;
    }

    static inline ULONG_PTR s_token = 0;
};

// The same with the fake browser registered for every test.
class FakeBrowserLoginTest : public LoginWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_browser.Registered());
        LoginWindowTest::SetUp();
    }

    FakeBrowserRegistration m_browser;
};

}  // namespace logintest
