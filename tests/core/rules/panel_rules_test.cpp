#include "core/rules/panel_rules.h"

#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "core/rules/control_ids.h"

namespace {

// Control changes as one line, so that the tables read as the panel would: name=on|off and/or
// ,checked|,clear for each control the rule touches.
std::string Describe(const ControlChanges& changes) {
    // clang-format off
    const std::pair<const char*, const ControlChange*> controls[] = {
        {"mode", &changes.modeList}, {"ledOn", &changes.ledOn}, {"ledOff", &changes.ledOff},
        {"cycle", &changes.cycle}, {"single", &changes.single}, {"slider", &changes.shadeSlider},
        {"apply", &changes.apply}, {"reset", &changes.reset}, {"interval", &changes.intervalList},
        {"brightness", &changes.brightnessList}};
    // clang-format on
    std::string text;
    for (const auto& [name, change] : controls) {
        if (!change->enabled && !change->checked) continue;
        text += (text.empty() ? "" : " ") + std::string(name) + "=";
        if (change->enabled) text += *change->enabled ? "on" : "off";
        if (change->checked) text += *change->checked ? ",checked" : ",clear";
    }
    return text;
}

std::vector<int> Fields(const LedSettings& s) {
    return {s.on, s.cycle, s.mode, s.interval, s.brightness, s.shade, s.red, s.green, s.blue};
}

TEST(EditRule, ReadsThreeCharactersClampsAndCorrects) {
    // Text, value read, and the text put back into the edit (null: left as typed).
    // clang-format off
    const std::tuple<std::wstring, int, const wchar_t*> cases[] = {
        {L"128", 128, nullptr}, {L"0", 0, nullptr}, {L"255", 255, nullptr}, {L"007", 7, nullptr},
        {L"300", 255, L"255"}, {L"256", 255, L"255"}, {L"-5", 0, L"0"}, {L"-0", 0, nullptr},
        {L"", 0, nullptr}, {L"1000", 100, nullptr}, {L"   5", 0, nullptr}, {L"12a", 12, nullptr},
        {L"a12", 0, nullptr}, {L"- 5", 0, nullptr}, {L"+12", 12, nullptr}, {L"\t42", 42, nullptr},
        {L"\n\v1", 1, nullptr}, {L"\f\r2", 2, nullptr}, {L"１２８", 128, nullptr}, {L"３００", 255, L"255"},
        {L"1２3", 123, nullptr}, {L"－12", 0, L"0"}, {L"＋99", 99, nullptr}, {L"\x3000" L"12", 12, nullptr},
        {L"ＡＢＣ", 0, nullptr}, {std::wstring(L"1\0" L"99", 4), 1, nullptr},
    };
    // clang-format on
    const auto shown = [](const wchar_t* text) { return std::wstring(text ? text : L"(kept)"); };
    for (const auto& [text, value, replacement] : cases) {
        const EditReading reading = ReadColourText(text);
        EXPECT_EQ(std::make_pair(reading.value, shown(reading.replacement)),
                  std::make_pair(value, shown(replacement)))
            << text;
    }
}

TEST(Apply, GathersTheSettingsFromTheControls) {
    // Mode, interval and brightness positions, LED ON, Cycle, shade, red, green, blue.
    // clang-format off
    const std::tuple<int, ApplyReadings, LedSettings> cases[] = {
        {kFamily2000, {2, 1, 0, true, false, 50, 1, 2, 3}, {1, 0, 4, 1, 0, 50, 1, 2, 3}},  // WAVE
        {kFamily2000, {4, 0, 3, false, true, 0, 0, 0, 0}, {0, 1, 2, 0, 3, 0, 0, 0, 0}},  // COLOR CYCLE
        {kFamily3000, {4, 2, 3, true, true, 100, 10, 20, 30}, {1, 1, 4, 2, 3, 100, 10, 20, 30}},
    };
    // clang-format on
    for (const auto& [family, readings, settings] : cases) {
        EXPECT_EQ(Fields(GatherLedSettings(family, readings)), Fields(settings)) << family;
    }
}

TEST(StartStates, ListsAndControlsPerBoard) {
    // clang-format off
    const std::string on = "mode=on ledOn=on,checked ledOff=on,clear cycle=off,clear single=off,checked "
                           "slider=on apply=on reset=on interval=on brightness=on";
    const std::string off = "mode=off ledOn=off,checked ledOff=off,clear cycle=off,clear single=off,checked "
                            "slider=off apply=off reset=off interval=off brightness=off";
    // Interval and brightness: disabled by the 2000 family, enabled again by support.
    const std::tuple<int, bool, std::string> cases[] = {{kFamily2000, true, on}, {kFamily3000, true, on}, {kFamily3000, false, off}};
    // clang-format on
    for (const auto& [family, supported, changes] : cases) {
        const StartPlan plan = PlanStartStates(family, supported);
        EXPECT_EQ(std::make_tuple(plan.modeTexts, plan.intervalTexts, plan.brightnessTexts,
                                  plan.modePosition, plan.intervalPosition, plan.brightnessPosition,
                                  Describe(plan.changes)),
                  std::make_tuple(&ModeTexts(family), &IntervalTexts(family), &BrightnessTexts(), 0,
                                  1, 0, changes))
            << family << " " << supported;
    }
}

TEST(SelectionRefresh, ControlsPerFamilyModeAndSupport) {
    constexpr int k2000List = 8;  // length of "STROBING": the 2000 list is in place
    constexpr int k3000List = 5;  // length of "FLASH"
    const auto allOn = [](const std::string& radiosAndSlider) {
        return "mode=on ledOn=on ledOff=on " + radiosAndSlider +
               " apply=on reset=on interval=on brightness=on";
    };
    // clang-format off
    const std::string plain = allOn("slider=on"), single = allOn("cycle=off,clear single=off,checked slider=on"),
                      cycle = allOn("cycle=off,checked single=off,clear slider=off"),
                      allOff = "mode=off ledOn=off ledOff=off cycle=off single=off slider=off apply=off reset=off "
                               "interval=off brightness=off";
    // clang-format on
    // Family, supported, second text's length, mode position, Cycle checked; the list rebuilt,
    // the changes, and whether the picker is repainted.
    // clang-format off
    const std::tuple<RefreshReadings, bool, std::string, bool> cases[] = {
        // The right list in place: the user's mode stays and, on 3000, sets the colour controls.
        {{kFamily3000, true, k3000List, 0, false}, false, single, true},
        {{kFamily3000, true, k3000List, 1, false}, false, allOn("cycle=on single=on slider=on"), true},
        {{kFamily3000, true, k3000List, 2, true}, false, allOn("cycle=on single=on slider=off"), true},
        {{kFamily3000, true, k3000List, 3, false}, false, cycle, true},
        {{kFamily3000, true, k3000List, 4, true}, false, cycle, true},
        {{kFamily3000, true, k3000List, -1, true}, false, plain, true},  // no mode selected
        {{kFamily2000, true, k2000List, 3, true}, false, plain, false},
        // The other family's list (or none): rebuilt, back to STATIC.
        {{kFamily3000, true, k2000List, 3, false}, true, single, true},
        {{kFamily2000, true, k3000List, 4, true}, true, allOn("cycle=off single=off slider=on"), false},
        {{kFamily3000, true, -1, -1, false}, true, single, true},
        // Unsupported: everything that talks to a board goes off.
        {{kFamily3000, false, k3000List, 1, false}, false, allOff, false},
        {{kFamily3000, false, k2000List, 2, false}, true, allOff, false},
    };
    // clang-format on
    for (const auto& [readings, rebuilt, changes, repaint] : cases) {
        const RefreshPlan plan = PlanSelectionRefresh(readings);
        EXPECT_EQ(
            std::make_tuple(plan.rebuildModeList, Describe(plan.changes), plan.repaintPicker),
            std::make_tuple(rebuilt ? &ModeTexts(readings.family) : nullptr, changes, repaint))
            << readings.family << (readings.supported ? "" : " unsupported") << ", list "
            << readings.secondModeTextLength << ", mode " << readings.modePosition;
    }
}

TEST(CycleClick, SliderFollowsTheChoiceOnlyInFlashAndBreathing) {
    const std::optional<bool> none;
    // Control, notification, supported, family, mode position, Cycle checked after the click.
    // clang-format off
    const std::pair<CycleClick, std::optional<bool>> cases[] = {
        {{kCycleButtonId, 0, true, kFamily3000, 1, true}, false}, {{kSingleButtonId, 0, true, kFamily3000, 1, false}, true},
        {{kCycleButtonId, 0, true, kFamily3000, 2, true}, false}, {{kCycleButtonId, 0, true, kFamily3000, 0, true}, none},
        {{kSingleButtonId, 0, true, kFamily3000, 3, false}, none}, {{kSingleButtonId, 0, true, kFamily3000, 4, false}, none},
        {{kCycleButtonId, 0, true, kFamily2000, 1, true}, none}, {{kCycleButtonId, 0, false, kFamily3000, 1, true}, none},
        {{kCycleButtonId, 1, true, kFamily3000, 1, true}, none}, {{kLedOnButtonId, 0, true, kFamily3000, 1, true}, none},
        {{104, 0, true, kFamily3000, 1, true}, none},  // the accelerators' command
    };
    // clang-format on
    for (const auto& [click, slider] : cases) {
        EXPECT_EQ(SliderAfterCycleClick(click), slider)
            << click.controlId << "/" << click.notificationCode << " in mode "
            << click.modePosition;
    }
}

TEST(Reset, SendsWhiteStaticAndRestoresTheControls) {
    const std::string radios = "ledOn=,checked ledOff=,clear cycle=off,clear single=off,checked";
    // Family, supported; what is sent, the slider's position, the changes. The 3000 slider goes
    // back to 50 though shade 0 is sent.
    // clang-format off
    const std::tuple<int, bool, LedSettings, int, std::string> cases[] = {
        {kFamily2000, true, {1, 0, 0, 1, 0, 0, 255, 255, 255}, 0, radios + " slider=on"},
        {kFamily3000, false, {1, 1, 0, 1, 0, 0, 255, 255, 255}, 50, radios},
    };
    // clang-format on
    for (const auto& [family, supported, sent, shadePosition, changes] : cases) {
        const ResetPlan plan = PlanReset(family, supported);
        EXPECT_EQ(Fields(plan.sent), Fields(sent)) << family;
        EXPECT_EQ(std::make_tuple(plan.shadePosition, Describe(plan.changes)),
                  std::make_tuple(shadePosition, changes));
        EXPECT_EQ(std::make_tuple(plan.modePosition, plan.intervalPosition, plan.brightnessPosition,
                                  plan.red, plan.green, plan.blue, std::wstring(plan.editText),
                                  plan.markerX, plan.markerY),
                  std::make_tuple(0, 1, 0, 255, 255, 255, std::wstring(L"255"), 250, 160));
    }
}

TEST(Window, SlotSelectionCentringAndMessageLoopExit) {
    // The GPU list's selection, kept inside the slot table: selection, slots, current -> slot.
    // clang-format off
    const int slots[][4] = {{0, 2, 1, 0}, {1, 2, 0, 1}, {7, 8, 0, 7}, {-1, 2, 1, 1}, {2, 2, 0, 0}, {8, 8, 3, 3}};
    // clang-format on
    for (const auto& s : slots) EXPECT_EQ(SlotFromListSelection(s[0], s[1], s[2]), s[3]) << s[0];
    // Screen and window sizes -> position: across centred, down 10 below, each half truncated.
    // clang-format off
    const int placements[][6] = {{1920, 1080, 480, 440, 720, 330}, {800, 600, 480, 440, 160, 90},
                                 {1025, 769, 481, 441, 272, 174}, {400, 300, 480, 440, -40, -60}};
    // clang-format on
    for (const auto& p : placements) {
        const WindowPosition position = CentredPosition(p[0], p[1], p[2], p[3]);
        EXPECT_EQ(std::make_pair(position.x, position.y), std::make_pair(p[4], p[5])) << p[0];
    }
    // GetMessageW's result and the quit code -> exit code, or go on.
    const std::tuple<int, uintptr_t, std::optional<int>> loop[] = {
        {1, 0, std::nullopt}, {5, 0, std::nullopt}, {0, 0, 0}, {0, 3, 3}, {-1, 0, 1}, {-1, 7, 1}};
    for (const auto& [result, quit, code] : loop) {
        EXPECT_EQ(MessageLoopExitCode(result, quit), code) << result;
    }
}

}  // namespace
