#include "core/rules/panel_rules.h"

#include <cwchar>

#include "core/gpus/gpu_slots.h"
#include "core/rules/control_ids.h"
#include "core/rules/window_state.h"

namespace {

constexpr int kButtonClicked = 0;

// The eight controls that follow the selected board's support: on for a supported board, off
// for any other.
void SetBoardControlsEnabled(ControlChanges& changes, bool enabled) {
    for (ControlChange* control :
         {&changes.modeList, &changes.ledOn, &changes.ledOff, &changes.shadeSlider, &changes.apply,
          &changes.reset, &changes.intervalList, &changes.brightnessList}) {
        control->enabled = enabled;
    }
}

// FLASH and BREATHING: the positions where the user picks Cycle or Single.
bool ModeOffersCycleChoice(int modePosition) {
    return modePosition == 1 || modePosition == 2;
}

// A full-width form (U+FF01-U+FF5D) becomes its ASCII character; the ideographic space a space.
wchar_t FoldFullWidth(wchar_t c) {
    if (c >= 0xFF01 && c <= 0xFF5D) return static_cast<wchar_t>(c - 0xFEE0);
    if (c == 0x3000) return L' ';
    return c;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// Leading blanks, an optional sign, then digits up to the first non-digit; nothing gives 0.
// Three characters cannot overflow an int.
int LenientDecimal(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
    }
    return negative ? -value : value;
}

}  // namespace

WindowPosition CentredPosition(int screenWidth, int screenHeight, int windowWidth,
                               int windowHeight) {
    return {screenWidth / 2 - windowWidth / 2, screenHeight / 2 - (windowHeight - 20) / 2};
}

std::optional<int> MessageLoopExitCode(int getMessageResult, uintptr_t quitCode) {
    if (getMessageResult == 0) return static_cast<int>(quitCode);
    if (getMessageResult < 0) return kMessageLoopErrorExitCode;
    return std::nullopt;
}

const TextList& ModeTexts(int family) {
    static const TextList kModes2000 = {L"STATIC", L"STROBING", L"WAVE", L"BREATHING",
                                        L"COLOR CYCLE"};
    static const TextList kModes3000 = {L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"};
    return family == kFamily2000 ? kModes2000 : kModes3000;
}

const TextList& IntervalTexts(int family) {
    static const TextList kIntervals2000 = {L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長い"};
    static const TextList kIntervals3000 = {L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長"};
    return family == kFamily2000 ? kIntervals2000 : kIntervals3000;
}

int SecondModeTextLength(int family) {
    return static_cast<int>(std::wcslen(ModeTexts(family)[1]));
}

const TextList& BrightnessTexts() {
    static const TextList kBrightness = {L"明るさ 100%", L"明るさ 75%", L"明るさ 50%",
                                         L"明るさ 25%"};
    return kBrightness;
}

int ModeNumberForPosition(int family, int position) {
    if (family != kFamily2000) return position;
    if (position == 2) return 4;
    if (position == 4) return 2;
    return position;
}

int SlotFromListSelection(int listSelection, int gpuCount, int currentSlot) {
    if (listSelection < 0 || listSelection >= gpuCount) return currentSlot;
    return listSelection;
}

StartPlan PlanStartStates(int family, bool supported) {
    StartPlan plan;
    plan.modeTexts = &ModeTexts(family);
    plan.intervalTexts = &IntervalTexts(family);
    plan.brightnessTexts = &BrightnessTexts();
    // The family's own say first; support then decides for the board controls, and Cycle and
    // Single start disabled on every board (STATIC takes one colour).
    const bool familyEnablesLists = family != kFamily2000;
    plan.changes.intervalList.enabled = familyEnablesLists;
    plan.changes.brightnessList.enabled = familyEnablesLists;
    plan.changes.ledOn.checked = true;
    plan.changes.ledOff.checked = false;
    SetBoardControlsEnabled(plan.changes, supported);
    plan.changes.cycle = {false, false};
    plan.changes.single = {false, true};
    return plan;
}

void ApplyFamily3000ModeRule(ControlChanges& changes, int modePosition, bool cycleChecked) {
    if (modePosition == 0) {
        changes.single = {false, true};
        changes.cycle = {false, false};
        changes.shadeSlider.enabled = true;
    } else if (ModeOffersCycleChoice(modePosition)) {
        changes.cycle.enabled = true;
        changes.single.enabled = true;
        changes.shadeSlider.enabled = !cycleChecked;
    } else if (modePosition == 3 || modePosition == 4) {
        changes.cycle = {false, true};
        changes.single = {false, false};
        changes.shadeSlider.enabled = false;
    }
}

RefreshPlan PlanSelectionRefresh(const RefreshReadings& readings) {
    RefreshPlan plan;
    const bool is2000 = readings.family == kFamily2000;
    const bool is3000 = readings.family == kFamily3000;
    // The second entry's length tells which family's list is in place.
    if ((is2000 || is3000) &&
        readings.secondModeTextLength != SecondModeTextLength(readings.family)) {
        plan.rebuildModeList = &ModeTexts(readings.family);
        if (is2000) {
            plan.changes.cycle.enabled = false;
            plan.changes.single.enabled = false;
        } else {
            plan.changes.intervalList.enabled = true;
            plan.changes.brightnessList.enabled = true;
        }
    }
    const int modePosition = plan.rebuildModeList ? 0 : readings.modePosition;

    if (!readings.supported) {
        SetBoardControlsEnabled(plan.changes, false);
        plan.changes.cycle.enabled = false;
        plan.changes.single.enabled = false;
        return plan;
    }
    SetBoardControlsEnabled(plan.changes, true);
    if (is3000) {
        ApplyFamily3000ModeRule(plan.changes, modePosition, readings.cycleChecked);
        plan.repaintPicker = true;
    }
    return plan;
}

std::optional<bool> SliderAfterCycleClick(const CycleClick& click) {
    const bool radio = click.controlId == kCycleButtonId || click.controlId == kSingleButtonId;
    if (!radio || click.notificationCode != kButtonClicked || !click.supported) return {};
    if (click.family != kFamily3000 || !ModeOffersCycleChoice(click.modePosition)) return {};
    return !click.cycleChecked;
}

LedSettings GatherLedSettings(int family, const ApplyReadings& readings) {
    LedSettings settings;
    settings.on = readings.ledOnChecked ? 1 : 0;
    settings.cycle = readings.cycleChecked ? 1 : 0;
    settings.mode = ModeNumberForPosition(family, readings.modePosition);
    settings.interval = readings.intervalPosition;
    settings.brightness = readings.brightnessPosition;
    settings.shade = readings.shadePosition;
    settings.red = readings.red;
    settings.green = readings.green;
    settings.blue = readings.blue;
    return settings;
}

ResetPlan PlanReset(int family, bool supported) {
    ResetPlan plan;
    plan.sent.on = 1;
    plan.sent.cycle = family == kFamily3000 ? 1 : 0;
    plan.sent.mode = 0;
    plan.sent.interval = 1;
    plan.sent.brightness = 0;
    plan.sent.shade = 0;
    plan.sent.red = plan.sent.green = plan.sent.blue = 255;

    plan.changes.ledOn.checked = true;
    plan.changes.ledOff.checked = false;
    plan.changes.cycle = {false, false};
    plan.changes.single = {false, true};
    if (supported) plan.changes.shadeSlider.enabled = true;
    plan.markerX = kDiscCentreX;
    plan.markerY = kDiscCentreY;
    plan.shadePosition = family == kFamily2000 ? 0 : 50;
    return plan;
}

EditReading ReadColourText(std::wstring_view text) {
    wchar_t folded[kEditCharactersRead] = {};
    size_t length = 0;
    for (; length < text.size() && length < kEditCharactersRead && text[length] != L'\0';
         ++length) {
        folded[length] = FoldFullWidth(text[length]);
    }
    const int value = LenientDecimal(std::wstring_view(folded, length));
    if (value > 255) return {255, L"255"};
    if (value < 0) return {0, L"0"};
    return {value, nullptr};
}
