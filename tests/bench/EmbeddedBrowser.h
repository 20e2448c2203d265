// The WebBrowser control embedded in place in a window, with the least client site and frame it
// needs, on the Windows API alone (the floors of the start-up benchmark use it).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <exdisp.h>

#include <memory>

class EmbeddedBrowser
{
public:
    // Creates the control in place over rc of hHost and starts the navigation to url, silent.
    EmbeddedBrowser(HWND hHost, const RECT& rc, const wchar_t* url);
    // Closes the control and lets go of it.
    ~EmbeddedBrowser();
    EmbeddedBrowser(const EmbeddedBrowser&) = delete;
    EmbeddedBrowser& operator=(const EmbeddedBrowser&) = delete;

    // True when the control is in place with a window of its own and the navigation started.
    bool Ready() const { return m_bReady; }

private:
    class Site;
    std::unique_ptr<Site> m_pSite;
    IOleObject* m_pObject = nullptr;
    IWebBrowser2* m_pBrowser = nullptr;
    bool m_bReady = false;
};
