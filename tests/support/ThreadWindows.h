// Counting the windows of the calling thread, child windows included (Wine answers 0 to
// GetGuiResources, so the tests count USER objects this way).
#pragma once

#include <windows.h>

#include <cstddef>

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

}  // namespace threadwindows

inline size_t CountThreadWindows()
{
    size_t n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), threadwindows::CountWithChildren,
                        reinterpret_cast<LPARAM>(&n));
    return n;
}
