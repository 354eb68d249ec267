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
// Posted to the keeper's window: the settings changed, read them again. Any other wParam is not
// this request.
constexpr UINT kKeeperSettingsChangedMessage = WM_APP + 4;
constexpr WPARAM kKeeperSettingsChangedRequest = 1;

// "HKCU\Software\Microsoft\Windows\CurrentVersion\Run", for messages.
std::wstring LogonEntryKeyName();
// Whether the entry exists; an error code of the registry otherwise.
LSTATUS ReadLogonEntry(bool& present);
// Writes the entry for the keeper of this folder; the entry's command, for messages.
LSTATUS WriteLogonEntry(const std::wstring& folder, std::wstring& command);
// An absent entry is no error.
LSTATUS RemoveLogonEntry();

// The running keeper of this session, or null.
HWND RunningKeeper();
// True when a keeper was there to ask.
bool AskKeeperToRestore();
// Tells a running keeper, if any, that the settings changed.
void TellKeeperSettingsChanged();
// The keeper of this folder, started when none runs.
void StartKeeperOnce(const std::wstring& folder);
// Asks the running keeper, if any, to close, and waits for its process to end.
void EndRunningKeeper();

// The panel's system-menu item: the entry written and the keeper started, or both undone.
LSTATUS EnableKeeperAtLogon(const std::wstring& folder);
LSTATUS DisableKeeperAtLogon();
