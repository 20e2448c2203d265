// Steps of a test run from a thread timer inside whatever modal loop is innermost: a thread timer
// ticks in every message loop of the thread. A tick comes only when no posted message waits, so
// what a step posted has been through the loop (pre-translation, dispatch) before the next step.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "afx/Wnd.h"

class StepScript
{
public:
    using Check = std::function<bool()>;
    using Action = std::function<void()>;

    // Past nLimitMs (steps done or not: a run that should have ended by then hangs) the script
    // stops and onTimeout ends what runs.
    explicit StepScript(Action onTimeout, int nLimitMs = 20000, UINT nTickMs = 20)
        : m_onTimeout(std::move(onTimeout)),
          m_nLimitMs(nLimitMs),
          m_start(std::chrono::steady_clock::now())
    {
        Current() = this;
        m_timer = ::SetTimer(nullptr, 0, nTickMs, &StepScript::Tick);
    }
    ~StepScript()
    {
        ::KillTimer(nullptr, m_timer);
        Current() = nullptr;
    }
    StepScript(const StepScript&) = delete;
    StepScript& operator=(const StepScript&) = delete;

    // A step that is done when check() holds; tried again on the next tick until then.
    StepScript& Wait(Check check)
    {
        m_steps.push_back({std::move(check), false});
        return *this;
    }
    StepScript& Do(Action action)
    {
        return Wait([action] {
            action();
            return true;
        });
    }
    // A step that opens a modal run lasting past the steps after it: it counts as done before it
    // runs, so that they go on inside that run.
    StepScript& Nest(Action action)
    {
        m_steps.push_back({[action] {
                               action();
                               return true;
                           },
                           true});
        return *this;
    }
    // Lets nTicks ticks go by: what was posted before has been handled by then.
    StepScript& Pause(int nTicks)
    {
        auto left = std::make_shared<int>(nTicks);
        return Wait([left] { return --*left <= 0; });
    }
    // Waits until the window of wnd is shown; its handle goes to hWnd.
    StepScript& WaitShown(const CWnd& wnd, HWND& hWnd)
    {
        return Wait([&wnd, &hWnd] {
            hWnd = wnd.m_hWnd;
            return hWnd != nullptr && ::IsWindowVisible(hWnd);
        });
    }

    bool Finished() const { return m_next >= m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }
    size_t StepsDone() const { return m_next; }

private:
    struct Step
    {
        Check check;
        bool nests;
    };

    static StepScript*& Current()
    {
        static StepScript* current = nullptr;
        return current;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        StepScript* self = Current();
        if (!self || self->m_timedOut)
            return;
        if (std::chrono::steady_clock::now() - self->m_start >
            std::chrono::milliseconds(self->m_nLimitMs))
        {
            self->m_timedOut = true;
            if (self->m_onTimeout)
                self->m_onTimeout();
            return;
        }
        if (self->m_busy || self->Finished())
            return;
        const size_t i = self->m_next;
        const Check check = self->m_steps[i].check;
        if (self->m_steps[i].nests)
        {
            ++self->m_next;
            check();
            return;
        }
        self->m_busy = true;
        if (check())
            ++self->m_next;
        self->m_busy = false;
    }

    std::vector<Step> m_steps;
    Action m_onTimeout;
    int m_nLimitMs;
    std::chrono::steady_clock::time_point m_start;
    UINT_PTR m_timer = 0;
    size_t m_next = 0;
    bool m_busy = false;
    bool m_timedOut = false;
};

// The end of a run that timed out: WM_CLOSE posted to the window *phWnd, when there is one.
inline StepScript::Action CloseOnTimeout(HWND* phWnd)
{
    return [phWnd] {
        if (phWnd && ::IsWindow(*phWnd))
            ::PostMessageW(*phWnd, WM_CLOSE, 0, 0);
    };
}
