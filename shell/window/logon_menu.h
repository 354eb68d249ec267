// The main window's system-menu item "ログオン時に照明を復元する": checked while the logon entry
// exists, greyed where lumivarw.exe is not beside the panel; choosing it does what
// `lumivar logon enable` or `lumivar logon disable` does. The client area stays as it is.
#pragma once

#include <windows.h>

// In the range of the system menu's own commands, whose low four bits the system keeps.
constexpr UINT kLogonMenuCommand = 0x0110;

// At start-up.
void AddLogonMenuItem(HWND window);
// When the system menu opens: the entry or the program may have come or gone meanwhile.
void RefreshLogonMenuItem(HWND window);
// The item chosen: the entry and the keeper on, or both off.
void ToggleKeeperAtLogon(HWND window);
