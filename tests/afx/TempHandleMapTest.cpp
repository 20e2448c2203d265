// Temporary window and device context wrappers (CTempHandleMap) in nested message loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "afx/Afx.h"
#include "ScriptedDialog.h"

namespace {

using TempHandleMapTest = DialogTest;

// Bytes in use in all the heaps of the process (the C runtime's among them).
size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    const DWORD nHeaps = std::min<DWORD>(::GetProcessHeaps(64, heaps), 64);
    size_t nBytes = 0;
    for (DWORD i = 0; i < nHeaps; ++i)
    {
        PROCESS_HEAP_ENTRY entry = {};
        ::HeapLock(heaps[i]);
        while (::HeapWalk(heaps[i], &entry))
            nBytes += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? entry.cbData : 0;
        ::HeapUnlock(heaps[i]);
    }
    return nBytes;
}

// Temporary window and DC wrappers made in a nested run go whenever that run is idle, however
// many it makes: the heap holds as much at each idle moment of the run. Those that the frame below
// holds across it (made before it, or handed to it again after it) stay: the pointers that frame
// got still wrap their handles (a wrapper that goes lets go of its handle first).
TEST_F(TempHandleMapTest, TemporariesGoWhenTheRunThatMadeThemIsIdle)
{
    using Handles = std::pair<HWND, HDC>;
    struct Wrapped
    {
        Handles h;
        CWnd* pWnd;
        CDC* pDC;
    };
    // The handles are made up front: only the wrappers come and go while the heap is read.
    std::vector<Handles> handles;
    for (int i = 0; i < 70; ++i)
        handles.emplace_back(::CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                             nullptr, nullptr),
                             ::CreateCompatibleDC(nullptr));
    size_t nextHandles = 0;
    auto wrap = [](Handles h) {
        return Wrapped{h, CWnd::FromHandle(h.first), CDC::FromHandle(h.second)};
    };
    auto make = [&] { return wrap(handles.at(nextHandles++)); };
    // How many of the two wrappers still wrap their handles.
    auto kept = [](const Wrapped& w) {
        return (w.pWnd->m_hWnd == w.h.first ? 1 : 0) + (w.pDC->m_hDC == w.h.second ? 1 : 0);
    };

    // What the wrappers of five pairs of handles take, made where no run drops them.
    const size_t nBefore = HeapBytesInUse();
    for (int i = 0; i < 15; ++i)
        make();
    const size_t nFivePairs = (HeapBytesInUse() - nBefore) / 3;
    AfxDeleteTempMap();
    nextHandles = 0;
    ASSERT_GT(nFivePairs, 10 * sizeof(CDC));

    Wrapped held{}, late{};
    std::vector<size_t> counts;
    counts.reserve(16);
    int nHeldInRun = 2, nHeldAfterRun = 0, nLateKept = 0;
    CScriptedDialog outer, inner, again;
    outer.onInit = [](CScriptedDialog& d) { ::PostMessageW(d.m_hWnd, WM_STEP, 0, 0); };
    outer.onStep = [&](CScriptedDialog& d, WPARAM) {
        held = make();
        inner.DoModal();
        nHeldAfterRun = kept(held);
        late = wrap(late.h);
        again.DoModal();
        nLateKept = kept(late);
        d.EndDialog(1);
    };
    // Each timer step comes after an idle moment of its run.
    inner.onInit = again.onInit = [](CScriptedDialog& d) { ::SetTimer(d.m_hWnd, 1, 30, nullptr); };
    inner.onStep = [&](CScriptedDialog& d, WPARAM) {
        counts.push_back(HeapBytesInUse());
        nHeldInRun = std::min(nHeldInRun, kept(held));
        if (counts.size() == 10)
        {
            late = make();
            d.EndDialog(1);  // no idle moment follows
            return;
        }
        for (int i = 0; i < 5; ++i)
            make();
        ::SetTimer(d.m_hWnd, 1, 30, nullptr);
    };
    again.onStep = [](CScriptedDialog& d, WPARAM) { d.EndDialog(1); };

    EXPECT_EQ(1, outer.DoModal());
    ASSERT_EQ(10u, counts.size());
    // As much at every idle moment: less than half of what one step's wrappers take apart.
    const auto range = std::minmax_element(counts.begin(), counts.end());
    EXPECT_LT(*range.second - *range.first, nFivePairs / 2)
        << "wrappers of five pairs of handles take " << nFivePairs << " bytes";
    EXPECT_EQ(2, nHeldInRun);
    EXPECT_EQ(2, nHeldAfterRun);
    EXPECT_EQ(2, nLateKept);
    for (const Handles& h : handles)
    {
        ::DestroyWindow(h.first);
        ::DeleteDC(h.second);
    }
    AfxDeleteTempMap();
}

}  // namespace
