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
    return L"http://game.orvane.example/play.php?uid=7&server=" + std::to_wstring(server) + L"&t=1";
}

// Where the game server's page ends up: the top-level location the game window opens.
std::wstring GameLocation(int server)
{
    return L"http://game.orvane.example/s" + std::to_wstring(server) + L"/main.php?uid=7";
}

}  // namespace

FakeWebBrowser* StandInBrowser::Make(const FakeBrowserOptions& options)
{
    FakeBrowserOptions withKeys = options;
    withKeys.consumedKeys = StandInLog::ConsumedKeys();
    return new StandInBrowser(withKeys);
}

StandInBrowser::StandInBrowser(const FakeBrowserOptions& options)
    : FakeWebBrowser(options),
      m_instance(FakeWebBrowser::CreatedCount())
{
    Log(L"created");
}

StandInBrowser::~StandInBrowser()
{
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
    if (SUCCEEDED(hr) && Window() != nullptr && !m_shown)
    {
        m_shown = true;
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
    if (Window() != nullptr)
        ::PostMessageW(Window(), kCompleteNavigation, 0, 0);
}

// "key A down 09 ^ *" as the trace writes it; "focus in", "focus out".
void StandInBrowser::RecordKey(const FakeKeyEvent& event)
{
    FakeWebBrowser::RecordKey(event);
    if (event.kind == FakeKeyEvent::Focus)
    {
        Log(event.focus ? L"focus in" : L"focus out");
        return;
    }
    const std::string trace = KeyTrace({event});
    Log(L"key " + std::wstring(trace.begin(), trace.end()));
}

void StandInBrowser::OnViewClick(POINT point)
{
    RECT view{};
    ::GetClientRect(View(), &view);
    if (point.y < view.bottom / 2)
        Log(L"click focus");
    else
        LogIn();
}

bool StandInBrowser::OnWindowMessage(UINT message, WPARAM, LPARAM)
{
    if (message == kCompleteNavigation)
    {
        // Kept alive across the event: the program may release it inside.
        AddRef();
        CompleteNavigation();
        Release();
        return true;
    }
    if (message == WM_NCDESTROY)
        Log(L"window destroyed");
    return false;
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
