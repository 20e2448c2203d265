// How deep window procedure calls nest: the library's own count and the system's headroom.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "afx/NestingHeadroom.h"
#include "afx/ThreadState.h"
#include "afx/Wnd.h"

namespace {

const UINT WM_NEST = WM_APP + 40;
const UINT WM_NEST_THROW = WM_APP + 41;
const int kProbe = 200;

// Sent WM_NEST with n, sends itself WM_NEST with n - 1 down to 0 and records, on the way in,
// the library's depth and the headroom.
class CNestingWnd : public CWnd
{
public:
    std::vector<int> depths;
    std::vector<int> headrooms;

    LRESULT OnNest(WPARAM wParam, LPARAM)
    {
        depths.push_back(AfxGetWndProcDepth());
        headrooms.push_back(AfxNestingHeadroom(kProbe));
        if (wParam > 0)
            ::SendMessageW(m_hWnd, WM_NEST, wParam - 1, 0);
        return 0;
    }
    LRESULT OnNestThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNestingWnd, CWnd)
    ON_MESSAGE(WM_NEST, OnNest)
    ON_MESSAGE(WM_NEST_THROW, OnNestThrow)
END_MESSAGE_MAP()

TEST(Nesting, TheLibraryCountsItsWindowProcedureCallsAsTheyNest)
{
    CNestingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"nesting", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(AfxGetWndProcDepth(), 0);
    ::SendMessageW(wnd.m_hWnd, WM_NEST, 3, 0);
    EXPECT_EQ(wnd.depths, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(AfxGetWndProcDepth(), 0);
    // A handler that throws leaves the count as it found it.
    ::SendMessageW(wnd.m_hWnd, WM_NEST_THROW, 0, 0);
    EXPECT_EQ(AfxGetWndProcDepth(), 0);
    wnd.DestroyWindow();
}

TEST(Nesting, HeadroomShrinksByEachNestedCallWhereTheSystemLimitsThem)
{
    EXPECT_EQ(AfxNestingHeadroom(0), 0);
    EXPECT_EQ(AfxNestingHeadroom(-3), 0);
    EXPECT_EQ(AfxNestingHeadroom(10), 10);
    const int top = AfxNestingHeadroom(kProbe);
    EXPECT_GT(top, 10);

    CNestingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"nesting", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ::SendMessageW(wnd.m_hWnd, WM_NEST, 4, 0);
    ASSERT_EQ(wnd.headrooms.size(), 5u);
    for (size_t i = 0; i < wnd.headrooms.size(); ++i)
    {
        if (top < kProbe)  // Wine: a fixed number of nested calls per thread
            EXPECT_EQ(wnd.headrooms[i], top - 1 - static_cast<int>(i)) << i;
        else  // no fixed limit: as deep as asked
            EXPECT_EQ(wnd.headrooms[i], kProbe) << i;
    }
    EXPECT_EQ(AfxNestingHeadroom(kProbe), top) << "nothing stays nested after the calls";
    wnd.DestroyWindow();
}

}  // namespace
