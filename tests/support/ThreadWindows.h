// The calling thread's windows: counting them (Wine answers 0 to GetGuiResources, so the tests
// count USER objects this way), finding them (other test programs may share the display) and
// reading what they show.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace threadwindows {

inline BOOL CALLBACK CountOne(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<size_t*>(lParam);
    return TRUE;
}

inline BOOL CALLBACK CountWithChildren(HWND hWnd, LPARAM lParam)
{
    CountOne(hWnd, lParam);
    ::EnumChildWindows(hWnd, CountOne, lParam);
    return TRUE;
}

inline BOOL CALLBACK Visit(HWND hWnd, LPARAM lParam)
{
    (*reinterpret_cast<const std::function<void(HWND)>*>(lParam))(hWnd);
    return TRUE;
}

}  // namespace threadwindows

// The thread's windows, child windows included.
inline size_t CountThreadWindows()
{
    size_t n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), threadwindows::CountWithChildren,
                        reinterpret_cast<LPARAM>(&n));
    return n;
}

// The last top-level window of the thread for which match() holds, or NULL.
inline HWND FindThreadWindow(const std::function<bool(HWND)>& match)
{
    HWND found = nullptr;
    const std::function<void(HWND)> visit = [&](HWND hWnd) {
        if (match(hWnd))
            found = hWnd;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), threadwindows::Visit,
                        reinterpret_cast<LPARAM>(&visit));
    return found;
}

inline std::wstring TextOf(HWND hWnd)
{
    wchar_t text[512] = L"";
    ::GetWindowTextW(hWnd, text, 512);
    return text;
}

// A visible window of this thread with that title.
inline HWND ThreadWindowTitled(const wchar_t* title)
{
    return FindThreadWindow(
        [title](HWND hWnd) { return ::IsWindowVisible(hWnd) && TextOf(hWnd) == title; });
}

// The pop-up that hWndOwner owns and that holds a control with that identifier.
inline HWND OwnedPopupWith(HWND hWndOwner, int nControlID)
{
    return FindThreadWindow([=](HWND hWnd) {
        return ::GetWindow(hWnd, GW_OWNER) == hWndOwner && ::GetDlgItem(hWnd, nControlID);
    });
}

inline SIZE WindowSize(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// The window's rectangle in the client coordinates of hClientOf.
inline RECT RectInClient(HWND hWnd, HWND hClientOf)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(nullptr, hClientOf, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The window's rectangle in the client coordinates of its parent (of the screen without one).
inline RECT RectInParent(HWND hWnd)
{
    return RectInClient(hWnd, ::GetParent(hWnd));
}

inline DWORD Style(HWND hWnd)
{
    return static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
}

// TRUE when a lies above b in the z-order of top-level windows.
inline bool IsAbove(HWND a, HWND b)
{
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        if (h == a)
            return true;
        if (h == b)
            return false;
    }
    return false;
}
