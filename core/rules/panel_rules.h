// The panel's decisions as plain functions of what the controls show: how the window starts, what
// a list change, a radio click, Apply and Reset do, and how an edit is read. The Windows shell
// reads the controls, calls a rule and applies the result; the command-line program applies the
// same rules to the controls' states without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/led/led_settings.h"

// --- The window ---

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// Centred across, 10 pixels below the middle down; each half truncated toward zero.
WindowPosition CentredPosition(int screenWidth, int screenHeight, int windowWidth,
                               int windowHeight);

// GetMessageW gives a positive value for a message, 0 for the quit message and -1 on an error;
// after an error the message is not valid, so fetching again would spin on the same error: the
// loop ends with code 1 instead.
constexpr int kMessageLoopErrorExitCode = 1;

// Nothing while there are messages to dispatch; otherwise the process exit code.
std::optional<int> MessageLoopExitCode(int getMessageResult, uintptr_t quitCode);

// --- The lists ---

// The texts of a drop-down list in list order: a list position is an index here.
using TextList = std::vector<const wchar_t*>;

// The mode list of a board family; any family but 2000 gets the 3000 list, the default family.
const TextList& ModeTexts(int family);
// The blink-interval list; the two families differ in the wording of the long interval.
const TextList& IntervalTexts(int family);
const TextList& BrightnessTexts();
// The length of the second mode text tells which family's list is in place ("STROBING" /
// "FLASH"): what the selection refresh reads of the list.
int SecondModeTextLength(int family);

// The mode list position as the LED command encoding takes it. Family 2000 lists WAVE and
// COLOR CYCLE at positions 2 and 4, whose wire codes are 4 and 2: the two are exchanged.
// Family 3000 hands on the position; the encoding maps it to the board's code.
int ModeNumberForPosition(int family, int position);

// The slot the GPU list points at. A list with no selection (or any position outside the slot
// table) keeps the slot in use rather than reach outside the table.
int SlotFromListSelection(int listSelection, int gpuCount, int currentSlot);

// --- What a rule wants done to the controls ---

// Each control may be enabled or disabled and, for the radio buttons, checked or cleared; an
// unset field leaves the control as it is.
struct ControlChange {
    std::optional<bool> enabled;
    std::optional<bool> checked;

    bool operator==(const ControlChange& other) const {
        return enabled == other.enabled && checked == other.checked;
    }
    bool operator!=(const ControlChange& other) const { return !(*this == other); }
};

struct ControlChanges {
    ControlChange modeList;
    ControlChange ledOn;
    ControlChange ledOff;
    ControlChange cycle;
    ControlChange single;
    ControlChange shadeSlider;
    ControlChange apply;
    ControlChange reset;
    ControlChange intervalList;
    ControlChange brightnessList;

    bool operator==(const ControlChanges& other) const {
        return modeList == other.modeList && ledOn == other.ledOn && ledOff == other.ledOff &&
               cycle == other.cycle && single == other.single && shadeSlider == other.shadeSlider &&
               apply == other.apply && reset == other.reset && intervalList == other.intervalList &&
               brightnessList == other.brightnessList;
    }
};

// --- Start-up: the lists and buttons once the boards are known ---

struct StartPlan {
    const TextList* modeTexts = nullptr;
    const TextList* intervalTexts = nullptr;
    const TextList* brightnessTexts = nullptr;
    int modePosition = 0;
    int intervalPosition = 1;
    int brightnessPosition = 0;
    ControlChanges changes;
};

// By the family and support of the selected slot.
StartPlan PlanStartStates(int family, bool supported);

// --- A list's selection changed (the accelerator commands arrive the same way) ---

struct RefreshReadings {
    int family = 0;
    bool supported = false;
    int secondModeTextLength = -1;  // -1 when the mode list has no second entry
    int modePosition = 0;           // as the list stands before any rebuild
    bool cycleChecked = false;
};

struct RefreshPlan {
    // Refill the mode list with these texts and select position 0; null keeps the user's mode.
    const TextList* rebuildModeList = nullptr;
    ControlChanges changes;
    bool repaintPicker = false;
};

// Puts the selected board's mode list in place and sets the controls by its support and mode.
RefreshPlan PlanSelectionRefresh(const RefreshReadings& readings);

// On a 3000-family board the mode decides the colour controls: STATIC takes one colour, WAVE
// and GLOWING cycle, FLASH and BREATHING let the user choose; cycling colours cannot be shaded.
void ApplyFamily3000ModeRule(ControlChanges& changes, int modePosition, bool cycleChecked);

// --- Cycle or Single clicked ---

struct CycleClick {
    int controlId = 0;
    int notificationCode = 0;
    bool supported = false;
    int family = 0;
    int modePosition = 0;
    bool cycleChecked = false;  // after the click
};

// On a 3000-family board in FLASH or BREATHING the shade slider follows the choice: its new
// enabled state (and then the picker is repainted), or nothing to do.
std::optional<bool> SliderAfterCycleClick(const CycleClick& click);

// --- Apply ---

struct ApplyReadings {
    int modePosition = 0;
    int intervalPosition = 0;
    int brightnessPosition = 0;
    bool ledOnChecked = false;
    bool cycleChecked = false;
    int shadePosition = 0;
    int red = 0;  // each already read by the edit rule
    int green = 0;
    int blue = 0;
};

// What Apply hands to the LED command encoding, from the controls as they read now.
LedSettings GatherLedSettings(int family, const ApplyReadings& readings);

// --- Reset: a fixed white, static setting, and the controls back to their starting values ---

struct ResetPlan {
    // Handed to the dispatching write. For family 2000 that is the mode block, and only when it
    // went through, 500 ms later the colour block switching the LEDs on; for family 3000 the one
    // block with colour cycling set.
    LedSettings sent;
    int red = 255;  // the base colour and what the three edits show
    int green = 255;
    int blue = 255;
    const wchar_t* editText = L"255";
    int modePosition = 0;
    int intervalPosition = 1;
    int brightnessPosition = 0;
    ControlChanges changes;
    int markerX = 0;
    int markerY = 0;
    // The 3000 family's slider returns to the middle although shade 0 was sent.
    int shadePosition = 0;
};

ResetPlan PlanReset(int family, bool supported);

// --- The R, G and B edits ---

// The edit holds a buffer of four characters with the terminator: three are read.
constexpr int kEditCharactersRead = 3;

struct EditReading {
    int value = 0;
    // The text to write back into the edit, or null to leave what the user typed.
    const wchar_t* replacement = nullptr;
};

// The first three characters, full-width forms folded to ASCII, converted leniently as the C
// runtime does, and clamped to 0-255 with the text put right.
EditReading ReadColourText(std::wstring_view text);
