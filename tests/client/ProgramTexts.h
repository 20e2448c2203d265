// Texts of the program that the tests look for: the guest-login page, the game window's key hint
// and the exit confirmation.
#pragma once

const wchar_t kGuestLoginUrl[] = L"http://passport.orvane.example/guest/c/qelv/login.php";
const wchar_t kHint[] = L"  【F5刷新】【F11全屏】【F12最小托盘】";
const wchar_t kExitCaption[] = L"退出游戏";
const wchar_t kExitText[] = L"确定退出游戏？";
