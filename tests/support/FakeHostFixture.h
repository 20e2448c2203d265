// The fixture of tests on a dialog of type Dlg that hosts the fake browser: the test's SetUp
// registers the fake and makes the dialog; TearDown destroys both and checks that no fake object
// is left behind.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "tests/support/FakeWebBrowser.h"

template <class Dlg>
class FakeHostFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_dlg.reset();
        m_reg.reset();
        EXPECT_TRUE(FakeWebBrowser::Live().empty());
    }

    std::unique_ptr<FakeBrowserRegistration> m_reg;
    std::unique_ptr<Dlg> m_dlg;
    FakeWebBrowser* m_fake = nullptr;
};
