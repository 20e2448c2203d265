#include "tests/whole/StandInBrowser.h"

#include <exdispid.h>

#include <cwchar>

#include "afx/NestingHeadroom.h"
#include "tests/whole/StandInLog.h"

namespace {

// More window procedure calls than Wine nests on a thread.
const int kProbe = 80;

const UINT kCompleteNavigation = WM_APP + 0x251;
const wchar_t kLoginHost[] = L"passport.orvane.example";

std::wstring GameUrl(int server)
{
    return L"http://game.orvane.example/play.php?uid=7&server=" + std::to_wstring(server) +
           L"&t=1";
}

// Where the game server's page ends up: the top-level location the game window opens.
std::wstring GameLocation(int server)
{
    return L"http://game.orvane.example/s" + std::to_wstring(server) + L"/main.php?uid=7";
}

}  // namespace

FakeWebBrowser* StandInBrowser::Make(const FakeBrowserOptions& options)
{
    return new StandInBrowser(options);
}

StandInBrowser::StandInBrowser(const FakeBrowserOptions& options)
    : FakeWebBrowser(options), m_instance(FakeWebBrowser::CreatedCount())
{
    Log(L"created");
}

StandInBrowser::~StandInBrowser()
{
    Unsubclass();
    Log(L"released");
}

void StandInBrowser::Log(const std::wstring& text) const
{
    StandInLog::Write(m_instance, text);
}

STDMETHODIMP StandInBrowser::DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index,
                                    HWND parent, LPCRECT rect)
{
    const HRESULT hr = FakeWebBrowser::DoVerb(verb, msg, site, index, parent, rect);
    if (SUCCEEDED(hr) && Window() != nullptr && m_subclassed == nullptr)
    {
        Subclass();
        wchar_t text[64];
        std::swprintf(text, 64, L"window %p", static_cast<void*>(Window()));
        Log(text);
        // How deep the program is nested while it makes its windows.
        Log(L"headroom at window " + std::to_wstring(AfxNestingHeadroom(kProbe)));
        if (!m_pending.empty())
            ::PostMessageW(Window(), kCompleteNavigation, 0, 0);
    }
    else if (FAILED(hr))
    {
        Log(L"no window");
    }
    return hr;
}

void StandInBrowser::RecordNavigation(const std::wstring& url)
{
    FakeWebBrowser::RecordNavigation(url);
    Log(L"navigate " + url);
    m_pending.push_back(url);
    if (m_subclassed != nullptr)
        ::PostMessageW(m_subclassed, kCompleteNavigation, 0, 0);
}

void StandInBrowser::Subclass()
{
    m_subclassed = Window();
    ::SetWindowLongPtrW(m_subclassed, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_previousProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        m_subclassed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandInBrowser::WindowProc)));
}

void StandInBrowser::Unsubclass()
{
    if (m_subclassed == nullptr)
        return;
    if (::IsWindow(m_subclassed))
    {
        ::SetWindowLongPtrW(m_subclassed, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(m_previousProc));
        ::SetWindowLongPtrW(m_subclassed, GWLP_USERDATA, 0);
    }
    m_subclassed = nullptr;
}

LRESULT CALLBACK StandInBrowser::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                            LPARAM lParam)
{
    auto* self = reinterpret_cast<StandInBrowser*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    const WNDPROC previous = self->m_previousProc;
    switch (message)
    {
    case kCompleteNavigation:
    case WM_LBUTTONUP:
        // Kept alive across the events: the program may release it inside them.
        self->AddRef();
        if (message == WM_LBUTTONUP)
            self->LogIn();
        else
            self->CompleteNavigation();
        self->Release();
        return 0;
    case WM_NCDESTROY:
        self->Log(L"window destroyed");
        self->Unsubclass();
        break;
    default:
        break;
    }
    return ::CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

void StandInBrowser::CompleteNavigation()
{
    if (m_pending.empty())
        return;
    m_current = m_pending.front();
    m_pending.pop_front();
    SetLocation(m_current);
    Log(L"fire 252 " + m_current);
    FireNavigateComplete2(m_current);
}

void StandInBrowser::LogIn()
{
    if (m_current.find(kLoginHost) == std::wstring::npos)
    {
        Log(L"click ignored");
        return;
    }
    const int server = StandInLog::ServerNumber(1);
    Log(L"click server " + std::to_wstring(server));
    // How deep the program's cycles have nested it so far.
    Log(L"headroom at click " + std::to_wstring(AfxNestingHeadroom(kProbe)));
    // The page went on to the game server: its frame set's location is the top-level one.
    m_current = GameUrl(server);
    SetLocation(GameLocation(server));
    Log(L"fire 252 " + m_current);
    // The program nests its next windows inside this call.
    FireNavigateComplete2(m_current);
    Log(L"fire 252 returned");
}
