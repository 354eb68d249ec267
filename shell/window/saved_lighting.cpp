#include "shell/window/saved_lighting.h"

#include <functional>
#include <string>

#include "core/settings/settings_store.h"
#include "platform/windows/settings_store_win32.h"
#include "platform/windows/utf8_text.h"
#include "shell/window/message_box.h"
#include "shell/state/program_state.h"

namespace {

constexpr const wchar_t* kUnreadableText =
    L"設定ファイルを読み取れないため、照明の設定を保存できません。"
    L"このファイルは書き換えずにそのまま残します。\n\n";
constexpr const wchar_t* kUnreadableAdvice =
    L"\n\n適用とリセットはこのまま使えます。設定を保存するには、このファイルを直すか削除して"
    L"ください。";
constexpr const wchar_t* kNotSavedText = L"照明の設定を設定ファイルに保存できませんでした。\n\n";

BoardKey KeyOfSlot(const GpuSlot& slot) {
    return {slot.pciIdentifier, slot.bus};
}

// One read-change-write of the file. A problem is told once per run: a user who goes on
// applying knows already, and every Apply would otherwise stop at the same box.
void ChangeSettings(HWND window, const std::function<void(SavedSettings&)>& change) {
    SettingsStore& store = ProcessSettingsStore();
    std::string error;
    const SettingsOutcome outcome = UpdateSettings(store, change, error);
    bool& told = Program().settingsProblemTold;
    if (outcome == SettingsOutcome::kDone || told) return;
    told = true;
    const std::wstring file = WideFromUtf8(store.FileName());
    ShowPanelMessage(window, outcome == SettingsOutcome::kUnreadable
                                 ? kUnreadableText + file + kUnreadableAdvice
                                 : kNotSavedText + file + L"\n" + WideFromUtf8(error));
}

}  // namespace

void SaveAppliedBoard(HWND window, const GpuSlot& slot, const ApplyReadings& controls) {
    const SavedBoard entry{KeyOfSlot(slot), OptionsForControls(slot.family, controls)};
    ChangeSettings(window, [&entry](SavedSettings& settings) { RememberBoard(settings, entry); });
}

void ForgetResetBoard(HWND window, const GpuSlot& slot) {
    const BoardKey key = KeyOfSlot(slot);
    ChangeSettings(window, [&key](SavedSettings& settings) { ForgetBoard(settings, key); });
}
