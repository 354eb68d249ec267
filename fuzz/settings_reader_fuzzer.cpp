// Feeds arbitrary text to the settings reader, as a hand-edited or damaged settings file would
// reach it. Whatever it accepts must write back as text it reads again the same way, and a restore
// plan from it must hold only slots that exist.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SavedSettings settings;
    std::string error;
    if (!ParseSettings(text, settings, error)) {
        if (error.empty() || !settings.boards.empty()) __builtin_trap();
        return 0;
    }
    const std::string written = SettingsText(settings);
    SavedSettings again;
    if (!ParseSettings(written, again, error) || SettingsText(again) != written) __builtin_trap();

    std::vector<BoardKey> slots;
    for (const SavedBoard& board : settings.boards) slots.push_back(board.key);
    slots.push_back({0x220610DE, 1});
    const RestorePlan plan = PlanRestore(settings, slots);
    for (const RestorePlan::Step& step : plan.steps) {
        if (step.slot < 0 || static_cast<size_t>(step.slot) >= slots.size()) __builtin_trap();
    }
    if (!plan.absent.empty()) __builtin_trap();  // every saved board has a slot here
    return 0;
}
