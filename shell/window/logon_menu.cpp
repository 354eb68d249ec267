#include "shell/window/logon_menu.h"

#include <string>

#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/keeper_program.h"

namespace {

constexpr const wchar_t* kLogonMenuText = L"ログオン時に照明を復元する";

}  // namespace

void AddLogonMenuItem(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kLogonMenuCommand, kLogonMenuText);
    RefreshLogonMenuItem(window);
}

void RefreshLogonMenuItem(HWND window) {
    bool present = false;
    ReadLogonEntry(present);
    const HMENU menu = GetSystemMenu(window, FALSE);
    CheckMenuItem(menu, kLogonMenuCommand, MF_BYCOMMAND | (present ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(
        menu, kLogonMenuCommand,
        MF_BYCOMMAND | (KeeperProgramPresent(ThisProgramFolder()) ? MF_ENABLED : MF_GRAYED));
}

void ToggleKeeperAtLogon(HWND window) {
    const std::wstring folder = ThisProgramFolder();
    bool present = false;
    if (ReadLogonEntry(present) != ERROR_SUCCESS || !KeeperProgramPresent(folder)) return;
    if (present) {
        DisableKeeperAtLogon();
    } else {
        EnableKeeperAtLogon(folder);
    }
    RefreshLogonMenuItem(window);
}
