#include "panel/windows/window/saved_lighting.h"

#include <functional>
#include <string>

#include "core/settings/settings_store.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/settings_store_win32.h"
#include "platform/windows/utf8_text.h"
#include "panel/windows/window/message_box.h"
#include "panel/windows/state/program_state.h"

namespace {

constexpr const wchar_t* kUnreadableText =
    L"設定ファイルを読み取れないため、照明の設定を保存できません。"
    L"このファイルは書き換えずにそのまま残します。\n\n";
constexpr const wchar_t* kUnreadableAdvice =
    L"\n\n適用とリセットはこのまま使えます。設定を保存するには、このファイルを直すか削除して"
    L"ください。";
constexpr const wchar_t* kNotSavedText = L"照明の設定を設定ファイルに保存できませんでした。\n\n";
constexpr const wchar_t* kInUseText =
    L"設定ファイルがほかのプログラムに使用されているため、照明の設定を保存できませんでした。"
    L"このファイルはそのまま残します。\n\n";
constexpr const wchar_t* kInUseAdvice =
    L"\n\nウイルス対策ソフトや同期ソフトが開いていることがあります。しばらくしてから、"
    L"もう一度適用してください。";

BoardKey KeyOfSlot(const GpuSlot& slot) {
    return {slot.pciIdentifier, slot.bus};
}

// One read-change-write of the file. A problem is told once per run: a user who goes on
// applying knows already, and every Apply would otherwise stop at the same box.
void ChangeSettings(HWND window, const std::function<void(SavedSettings&)>& change) {
    WindowsSettingsStore& store = ProcessSettingsStore();
    std::string error;
    const SettingsOutcome outcome = UpdateSettings(store, change, error);
    if (outcome == SettingsOutcome::kDone) return TellKeeperSettingsChanged();
    bool& told = Program().settingsProblemTold;
    if (told) return;
    told = true;
    const std::wstring file = WideFromUtf8(store.FileName());
    const bool inUse = outcome != SettingsOutcome::kLocked && store.LastFailureInUse();
    ShowPanelMessage(window, inUse ? kInUseText + WideFromUtf8(error) + kInUseAdvice
                             : outcome == SettingsOutcome::kUnreadable
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
