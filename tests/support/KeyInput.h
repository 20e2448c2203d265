// Key messages as the keyboard makes them, posted to a window so that they take the message
// loop's road (pre-translation, translation, dispatch) like keys a player presses.
#pragma once

#include <windows.h>

#include <initializer_list>

// lParam of a key message as the keyboard would make it.
inline LPARAM KeyLParam(UINT vk, bool up, bool repeat = false)
{
    LPARAM l = 1 | (LPARAM(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16);
    if (repeat || up)
        l |= LPARAM(1) << 30;
    if (up)
        l |= LPARAM(1) << 31;
    return l;
}

inline void PostKey(HWND hwnd, UINT vk, UINT message = WM_KEYDOWN, bool repeat = false)
{
    const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    ::PostMessageW(hwnd, message, vk, KeyLParam(vk, up, repeat));
}

// Each key pressed and released.
inline void PostStrokes(HWND hwnd, std::initializer_list<UINT> keys)
{
    for (UINT vk : keys)
    {
        PostKey(hwnd, vk, WM_KEYDOWN);
        PostKey(hwnd, vk, WM_KEYUP);
    }
}

// Holds a modifier key down (or lets it go) in this thread's keyboard state.
inline void SetModifier(int vk, bool down)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[vk] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}
