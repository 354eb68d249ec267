#include "panel/portable/saved_lighting_rule.h"

#include "core/settings/apply_options.h"

namespace {

constexpr const char* kUnreadableText =
    "設定ファイルを読み取れないため、照明の設定を保存できません。"
    "このファイルは書き換えずにそのまま残します。\n\n";
constexpr const char* kUnreadableAdvice =
    "\n\n適用とリセットはこのまま使えます。設定を保存するには、このファイルを直すか削除して"
    "ください。";
constexpr const char* kNotSavedText = "照明の設定を設定ファイルに保存できませんでした。\n\n";
constexpr const char* kInUseText =
    "設定ファイルがほかのプログラムに使用されているため、照明の設定を保存できませんでした。"
    "このファイルはそのまま残します。\n\n";
constexpr const char* kInUseAdvice =
    "\n\nウイルス対策ソフトや同期ソフトが開いていることがあります。しばらくしてから、"
    "もう一度適用してください。";

BoardKey KeyOfSlot(const GpuSlot& slot) {
    return {slot.pciIdentifier, slot.bus};
}

}  // namespace

std::optional<SettingsChange> ChangeAfterApply(const GpuSlot& slot, const ApplyReadings& controls,
                                               bool reachedBoard, std::optional<int> i2cBus) {
    if (!reachedBoard || !slot.supported) return std::nullopt;
    const SavedBoard entry{KeyOfSlot(slot), OptionsForControls(slot.family, controls), i2cBus};
    return [entry](SavedSettings& settings) { RememberBoard(settings, entry); };
}

std::optional<SettingsChange> ChangeAfterReset(const GpuSlot& slot, bool reachedBoard) {
    if (!reachedBoard || !slot.supported) return std::nullopt;
    const BoardKey key = KeyOfSlot(slot);
    return [key](SavedSettings& settings) { ForgetBoard(settings, key); };
}

SettingsChange ToggleAwayChange() {
    return [](SavedSettings& settings) { settings.lightsOut.away = !settings.lightsOut.away; };
}

std::optional<std::string> SettingsProblemToTell(SettingsOutcome outcome, bool inUse,
                                                 const std::string& file, const std::string& error,
                                                 bool& told) {
    // A user who goes on applying knows already; every Apply would otherwise stop at the box.
    if (outcome == SettingsOutcome::kDone || told) return std::nullopt;
    told = true;
    if (inUse && outcome != SettingsOutcome::kLocked) return kInUseText + error + kInUseAdvice;
    if (outcome == SettingsOutcome::kUnreadable) return kUnreadableText + file + kUnreadableAdvice;
    return kNotSavedText + file + "\n" + error;
}
