// Probes of the notification area and of the game window's icon there.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

// The identifier of the game window's icon (also its icon resource).
const UINT kTrayIconId = 155;

// TRUE when the notification area holds an icon of that window and identifier: a modification
// that changes nothing succeeds only for an icon that exists.
inline bool TrayIconExists(HWND hwnd, UINT id)
{
    NOTIFYICONDATAW nid = {};
    nid.cbSize = offsetof(NOTIFYICONDATAW, hBalloonIcon);
    nid.hWnd = hwnd;
    nid.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

inline HICON GameIcon()
{
    return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kTrayIconId));
}
