#include "afx/NestingHeadroom.h"

#include <windows.h>

namespace {

const wchar_t kProbeClass[] = L"AfxNestingProbe";
const UINT kProbeMessage = WM_APP + 1;

struct Probe
{
    int nWanted;
    int nReached;
};

LRESULT CALLBACK ProbeWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg != kProbeMessage)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    Probe* pProbe = reinterpret_cast<Probe*>(lParam);
    if (++pProbe->nReached < pProbe->nWanted)
        ::SendMessageW(hWnd, kProbeMessage, 0, lParam);
    return 0;
}

bool RegisterProbeClass(HINSTANCE hInstance)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(hInstance, kProbeClass, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &ProbeWndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kProbeClass;
    return ::RegisterClassExW(&wc) != 0;
}

// A message-only probe window, destroyed with the object.
class ProbeWindow
{
public:
    explicit ProbeWindow(HINSTANCE hInstance)
        : m_hWnd(::CreateWindowExW(0, kProbeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   hInstance, nullptr))
    {
    }
    ~ProbeWindow()
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

// The module that holds this code: the probe's class is registered there, so that a library
// linked into a DLL does not meet the class of the program's own copy.
HINSTANCE ThisModule()
{
    HMODULE hModule = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ProbeWndProc), &hModule);
    return hModule;
}

}  // namespace

int AfxNestingHeadroom(int nWanted)
{
    if (nWanted <= 0)
        return 0;
    HINSTANCE hInstance = ThisModule();
    if (!RegisterProbeClass(hInstance))
        return 0;
    ProbeWindow window(hInstance);
    if (!window.Handle())
        return 0;
    Probe probe = {nWanted, 0};
    ::SendMessageW(window.Handle(), kProbeMessage, 0, reinterpret_cast<LPARAM>(&probe));
    return probe.nReached;
}
