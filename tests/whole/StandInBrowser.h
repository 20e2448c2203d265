// The WebBrowser control as the whole-program tests serve it from a DLL: the fake browser, plus
// what the real control does on its own. Each navigation completes (NavigateComplete2) from a
// message posted to its window; a click into the lower half of its view while it shows the
// guest-login page plays the player logging in: the page navigates to a game server, whose number
// comes from the file ORVANE_STANDIN_SERVER names. A click elsewhere only gives the page the
// focus. The virtual keys listed (hexadecimal, comma-separated) in ORVANE_STANDIN_CONSUME are
// taken by its TranslateAccelerator. Every event, key and focus change goes to the StandInLog.
#pragma once

#include <deque>
#include <string>

#include "tests/support/FakeWebBrowser.h"

class StandInBrowser : public FakeWebBrowser
{
public:
    static FakeWebBrowser* Make(const FakeBrowserOptions& options);

    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT rect) override;

protected:
    ~StandInBrowser() override;
    void RecordNavigation(const std::wstring& url) override;
    void RecordKey(const FakeKeyEvent& event) override;
    void OnViewClick(POINT point) override;
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    explicit StandInBrowser(const FakeBrowserOptions& options);
    void CompleteNavigation();
    void LogIn();
    void Log(const std::wstring& text) const;

    int m_instance;
    bool m_shown = false;
    std::deque<std::wstring> m_pending;
    std::wstring m_current;
};
