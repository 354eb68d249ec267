#include "panel/windows/window/saved_lighting.h"

#include <optional>
#include <string>

#include "core/settings/settings_store.h"
#include "panel/portable/saved_lighting_rule.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/settings_store_win32.h"
#include "platform/windows/utf8_text.h"
#include "panel/windows/window/message_box.h"
#include "panel/windows/state/program_state.h"

namespace {

// One read-change-write of the file, when the command calls for one.
void ChangeSettings(HWND window, const std::optional<SettingsChange>& change) {
    if (!change) return;
    WindowsSettingsStore& store = ProcessSettingsStore();
    std::string error;
    const SettingsOutcome outcome = UpdateSettings(store, *change, error);
    if (outcome == SettingsOutcome::kDone) return TellKeeperSettingsChanged();
    const std::optional<std::string> problem = SettingsProblemToTell(
        outcome, store.LastFailureInUse(), store.FileName(), error, Program().settingsProblemTold);
    if (problem) ShowPanelMessage(window, WideFromUtf8(*problem));
}

}  // namespace

void SaveAppliedBoard(HWND window, const GpuSlot& slot, const ApplyReadings& controls,
                      bool reachedBoard) {
    ChangeSettings(window, ChangeAfterApply(slot, controls, reachedBoard));
}

void ForgetResetBoard(HWND window, const GpuSlot& slot, bool reachedBoard) {
    ChangeSettings(window, ChangeAfterReset(slot, reachedBoard));
}
