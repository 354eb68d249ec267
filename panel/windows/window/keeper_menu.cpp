#include "panel/windows/window/keeper_menu.h"

#include <string>

#include "core/settings/settings_store.h"
#include "panel/portable/panel_texts.h"
#include "panel/portable/saved_lighting_rule.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/keeper_program.h"
#include "platform/windows/settings_store_win32.h"
#include "platform/windows/utf8_text.h"

namespace {

// The rule as the file holds it now; a file that cannot be read counts as no rule.
LightsOutRule StoredRule() {
    SavedSettings settings;
    std::string error;
    LoadSettings(ProcessSettingsStore(), settings, error);
    return settings.lightsOut;
}

void SetItem(HMENU menu, UINT command, bool checked, bool enabled) {
    CheckMenuItem(menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void AddKeeperMenuItems(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kLogonMenuCommand, WideFromUtf8(kLogonItemText).c_str());
    AppendMenuW(menu, MF_STRING, kAwayMenuCommand, WideFromUtf8(kAwayItemText).c_str());
    RefreshKeeperMenuItems(window);
}

void RefreshKeeperMenuItems(HWND window) {
    bool present = false;
    ReadLogonEntry(present);
    const bool keeperHere = KeeperProgramPresent(ThisProgramFolder());
    const HMENU menu = GetSystemMenu(window, FALSE);
    SetItem(menu, kLogonMenuCommand, present, keeperHere);
    SetItem(menu, kAwayMenuCommand, StoredRule().away, keeperHere);
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
    RefreshKeeperMenuItems(window);
}

void ToggleLightsOutWhileAway(HWND window) {
    if (!KeeperProgramPresent(ThisProgramFolder())) return;
    std::string error;
    const SettingsOutcome outcome =
        UpdateSettings(ProcessSettingsStore(), ToggleAwayChange(), error);
    if (outcome == SettingsOutcome::kDone) TellKeeperSettingsChanged();
    RefreshKeeperMenuItems(window);
}
