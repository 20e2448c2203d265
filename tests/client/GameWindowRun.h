// A modal run of the game window that plays test steps inside its own message loop, the fixture
// of the game window tests, and the window states (windowed, full screen) that the steps look at.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "client/TalvGameDlg.h"
#include "tests/client/MessageRecorder.h"
#include "tests/client/StepScript.h"
#include "tests/client/TrayProbe.h"
#include "tests/support/FakeWebBrowser.h"
#include "tests/support/KeyInput.h"
#include "tests/support/ThreadWindows.h"

namespace gametest {

// Plays steps inside the dialog's modal loop, one per timer tick while the window exists. After
// the last step the dialog is ended with kEndCode (kTimeoutCode past the time limit), so a run
// that ended any other way shows in DoModal's result.
class ModalScript
{
public:
    static constexpr int kEndCode = 4242;
    static constexpr int kTimeoutCode = 4343;

    using Step = std::function<void()>;

    ModalScript& Then(Step step)
    {
        m_steps.push_back(std::move(step));
        return *this;
    }

    INT_PTR Run(CTalvGameDlg& dlg)
    {
        StepScript script(
            [&dlg] {
                if (dlg.m_hWnd)
                    dlg.EndDialog(kTimeoutCode);
            },
            60000);
        for (const Step& step : m_steps)
            script.Wait([&dlg, step] {
                if (!dlg.m_hWnd)
                    return false;
                step();
                return true;
            });
        script.Wait([&dlg] {
            if (dlg.m_hWnd)
                dlg.EndDialog(kEndCode);
            return dlg.m_hWnd != nullptr;
        });
        const INT_PTR result = dlg.DoModal();
        m_stepsRun = std::min(script.StepsDone(), m_steps.size());
        return result;
    }

    // Steps that have run.
    size_t StepsRun() const { return m_stepsRun; }

private:
    std::vector<Step> m_steps;
    size_t m_stepsRun = 0;
};

// The game window tests: the fake browser registered for the HTML view, the window's icon there.
class GameWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_registration.Registered());
        ASSERT_NE(GameIcon(), nullptr) << "icon 155 missing from the test program";
    }

    FakeBrowserRegistration m_registration;
};

constexpr DWORD kFrameBits = 0x00CF0000;

inline bool IsWindowedState(HWND hwnd)
{
    return (Style(hwnd) & kFrameBits) == kFrameBits && !(Style(hwnd) & WS_POPUP);
}

inline bool IsFullScreenState(HWND hwnd)
{
    return (Style(hwnd) & kFrameBits) == 0 && (Style(hwnd) & WS_POPUP);
}

}  // namespace gametest
