// The main window's system-menu items for the keeper, each greyed where lumivarw.exe is not beside
// the panel: "ログオン時に照明を復元する", checked while the logon entry exists, which does what
// `lumivar logon enable` or `disable` does; and "離席中は照明を消す", checked while the lights-out
// rule includes away, which adds or removes away (the hours stay) and tells a running keeper.
// The client area stays as it is.
#pragma once

#include <windows.h>

// Below the system's own commands; an item of the program's own comes back in WM_SYSCOMMAND as
// it was given.
constexpr UINT kLogonMenuCommand = 0x0110;
constexpr UINT kAwayMenuCommand = 0x0111;

// At start-up.
void AddKeeperMenuItems(HWND window);
// When the system menu opens: the entry, the rule or the program may have changed meanwhile.
void RefreshKeeperMenuItems(HWND window);
// The logon item chosen: the entry and the keeper on, or both off.
void ToggleKeeperAtLogon(HWND window);
// The away item chosen.
void ToggleLightsOutWhileAway(HWND window);
