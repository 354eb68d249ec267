// The keeper as the other programs reach it: its entry in the user's Run key, which starts
// "<folder>\lumivarw.exe keep" at each logon, and the running keeper, found by its window.
// lumivar's `logon` command and the panel's system-menu item both stand on it.
#pragma once

#include <windows.h>

#include <string>

constexpr const wchar_t* kKeeperWindowClass = L"VOXA LED Lumivar Keeper";
// Posted to the keeper's window: restore now, as for a second `keep`. Any other wParam is not
// this request.
constexpr UINT kKeeperRestoreNowMessage = WM_APP + 1;
constexpr WPARAM kKeeperRestoreNowRequest = 1;

// The folder of the running program, where lumivarw.exe belongs.
std::wstring ThisProgramFolder();
bool KeeperProgramPresent(const std::wstring& folder);
// Starts a program of that folder, there, and lets it run on its own.
void StartProgram(const std::wstring& program, std::wstring commandLine,
                  const std::wstring& folder);

// Whether the entry exists; an error code of the registry otherwise.
LSTATUS ReadLogonEntry(bool& present);
// Writes the entry for the keeper of this folder, and starts the keeper when none runs. The
// entry's command, for messages.
LSTATUS EnableKeeperAtLogon(const std::wstring& folder, std::wstring& command);
// Removes the entry (an absent one is no error) and ends a running keeper.
LSTATUS DisableKeeperAtLogon();

// The running keeper of this session, or null.
HWND RunningKeeper();
// True when a keeper was there to ask.
bool AskKeeperToRestore();
