// What both panels tell of the settings file and of discovery, and when a command changes the file.
#include <gtest/gtest.h>

#include "panel/portable/panel_texts.h"
#include "panel/portable/saved_lighting_rule.h"

TEST(PanelPortable, SettingsProblemsAreToldOnceEachByItsKind) {
    const struct {
        SettingsOutcome outcome;
        bool inUse;
        const char* starts;  // nullptr: nothing told
    } cases[] = {
        {SettingsOutcome::kDone, true, nullptr},
        {SettingsOutcome::kUnreadable, false, "設定ファイルを読み取れないため"},
        {SettingsOutcome::kWriteFailed, true, "設定ファイルがほかのプログラムに使用されているため"},
        {SettingsOutcome::kLocked, true,
         "照明の設定を設定ファイルに保存できませんでした。\n\nF\nE"},
    };
    for (const auto& c : cases) {
        bool told = false;
        const std::optional<std::string> text =
            SettingsProblemToTell(c.outcome, c.inUse, "F", "E", told);
        EXPECT_EQ(text.has_value(), c.starts != nullptr) << int(c.outcome);
        if (text) {
            EXPECT_EQ(text->rfind(c.starts, 0), 0u) << *text;
        }
        EXPECT_EQ(told, c.starts != nullptr);
        EXPECT_FALSE(SettingsProblemToTell(c.outcome, c.inUse, "F", "E", told));
    }
}

TEST(PanelPortable, OnlyACommandThatReachedASupportedBoardChangesTheFile) {
    GpuSlot slot;
    slot.supported = 1, slot.pciIdentifier = 0x220610de, slot.bus = 1;
    SavedSettings settings;
    settings.lightsOut.away = true;
    EXPECT_FALSE(ChangeAfterApply(slot, ApplyReadings(), false));
    (*ChangeAfterApply(slot, ApplyReadings(), true))(settings);
    ASSERT_EQ(settings.boards.size(), 1u);
    EXPECT_FALSE(ChangeAfterReset(slot, false));
    slot.supported = 0;
    EXPECT_FALSE(ChangeAfterApply(slot, ApplyReadings(), true));
    EXPECT_FALSE(ChangeAfterReset(slot, true));
    slot.supported = 1;
    (*ChangeAfterReset(slot, true))(settings);
    ToggleAwayChange()(settings);
    EXPECT_TRUE(settings.boards.empty() && !settings.lightsOut.away);
    EXPECT_EQ(DiscoveryFailureText({DiscoveryFailure::kNoGpu, -6, false}),
              "NvAPIの初期化に失敗しました\nerrorcode -6");
    EXPECT_EQ(DiscoveryFailureText({}), "");
}
