#include "core/settings/apply_options.h"

#include <cstdio>
#include <cwchar>
#include <tuple>

#include "core/gpus/gpu_slots.h"
#include "core/rules/panel_rules.h"
#include "core/rules/window_state.h"
#include "core/rules/picker_rules.h"
#include "core/settings/decimal_text.h"

namespace {

const char* const kIntervalNames[] = {"short", "medium", "long"};
const int kBrightnessPercents[] = {100, 75, 50, 25};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A mode name as the command line writes it: lower case, "-" for a space.
std::string Folded(const std::string& name) {
    std::string folded;
    for (char c : name) folded += c == ' ' ? '-' : LowerAscii(c);
    return folded;
}

// The mode texts are ASCII: "COLOR CYCLE" is written "color-cycle".
std::string CommandLineName(const wchar_t* modeText) {
    return Folded(std::string(modeText, modeText + std::wcslen(modeText)));
}

}  // namespace

bool ApplyOptions::operator==(const ApplyOptions& other) const {
    return mode == other.mode && colour == other.colour && shade == other.shade &&
           intervalPosition == other.intervalPosition &&
           brightnessPosition == other.brightnessPosition && off == other.off &&
           cycle == other.cycle && byTemperature == other.byTemperature;
}

ApplyOptions AtTemperature(const ApplyOptions& options, std::optional<int> celsius) {
    ApplyOptions sent = options;
    if (options.byTemperature) {
        sent.colour = ColourAtTemperature(*options.byTemperature, celsius);
        sent.byTemperature.reset();
    }
    return sent;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseColour(const std::string& text, Rgb& colour, std::string& error) {
    bool hex = text.size() == 6;
    for (char c : text) hex = hex && HexDigitValue(c) >= 0;
    if (!hex) {
        error = "the colour '" + text + "' is not six hex digits RRGGBB";
        return false;
    }
    const auto component = [&text](size_t at) {
        return HexDigitValue(text[at]) * 16 + HexDigitValue(text[at + 1]);
    };
    colour = {component(0), component(2), component(4)};
    return true;
}

bool ParseShade(const std::string& text, int& shade, std::string& error) {
    const std::optional<int> value = PlainDecimal(text, 3);
    if (!value || *value > kShadeMax) {
        error = "the shade '" + text + "' is not a whole number from 0 to 100";
        return false;
    }
    shade = *value;
    return true;
}

bool ParseInterval(const std::string& text, int& position, std::string& error) {
    for (int i = 0; i < 3; ++i) {
        if (Folded(text) == kIntervalNames[i]) {
            position = i;
            return true;
        }
    }
    error = "the interval '" + text + "' is not short, medium or long";
    return false;
}

bool ParseBrightness(const std::string& text, int& position, std::string& error) {
    if (const std::optional<int> percent = PlainDecimal(text, 3)) {
        for (int i = 0; i < 4; ++i) {
            if (kBrightnessPercents[i] == *percent) {
                position = i;
                return true;
            }
        }
    }
    error = "the brightness '" + text + "' is not 100, 75, 50 or 25";
    return false;
}

std::string ColourText(const Rgb& colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", colour.red & 0xFF, colour.green & 0xFF,
                  colour.blue & 0xFF);
    return text;
}

std::string IntervalText(int position) {
    return position >= 0 && position < 3 ? kIntervalNames[position] : "?";
}

std::string BrightnessText(int position) {
    return position >= 0 && position < 4 ? std::to_string(kBrightnessPercents[position]) : "?";
}

std::vector<std::string> ModeNames(int family) {
    std::vector<std::string> names;
    for (const wchar_t* text : ModeTexts(family)) names.push_back(CommandLineName(text));
    return names;
}

std::optional<int> FindModePosition(int family, const std::string& name) {
    const std::vector<std::string> names = ModeNames(family);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == Folded(name)) return static_cast<int>(i);
    }
    return std::nullopt;
}

ApplyReadings ControlsForOptions(int family, bool supported, std::optional<int> modePosition,
                                 const ApplyOptions& options) {
    // The panel as it starts with this board selected.
    const StartPlan start = PlanStartStates(family, supported);
    const WindowState fresh;
    ApplyReadings controls;
    controls.modePosition = modePosition.value_or(start.modePosition);
    controls.intervalPosition = options.intervalPosition.value_or(start.intervalPosition);
    controls.brightnessPosition = options.brightnessPosition.value_or(start.brightnessPosition);
    controls.ledOnChecked = options.off ? false : start.changes.ledOn.checked.value_or(true);
    controls.shadePosition = options.shade.value_or(kShadeMiddle);
    const Rgb colour = options.colour.value_or(Rgb{fresh.red, fresh.green, fresh.blue});
    std::tie(controls.red, controls.green, controls.blue) =
        std::tie(colour.red, colour.green, colour.blue);

    // Choosing the mode in its list runs the selection refresh, which may force Cycle or Single;
    // only a Cycle button it leaves enabled can then be clicked.
    RefreshReadings readings;
    readings.family = family;
    readings.supported = supported;
    readings.secondModeTextLength = SecondModeTextLength(family);
    readings.modePosition = controls.modePosition;
    readings.cycleChecked = start.changes.cycle.checked.value_or(false);
    const RefreshPlan refresh = PlanSelectionRefresh(readings);
    const bool cycleEnabled =
        refresh.changes.cycle.enabled.value_or(start.changes.cycle.enabled.value_or(false));
    const bool cycleBefore = refresh.changes.cycle.checked.value_or(readings.cycleChecked);
    controls.cycleChecked = cycleEnabled && options.cycle ? true : cycleBefore;
    return controls;
}

ApplyOptions OptionsForControls(int family, const ApplyReadings& controls) {
    ApplyOptions options;
    const std::vector<std::string> modes = ModeNames(family);
    if (controls.modePosition >= 0 && static_cast<size_t>(controls.modePosition) < modes.size()) {
        options.mode = modes[static_cast<size_t>(controls.modePosition)];
    }
    options.colour = Rgb{controls.red, controls.green, controls.blue};
    options.shade = controls.shadePosition;
    options.intervalPosition = controls.intervalPosition;
    options.brightnessPosition = controls.brightnessPosition;
    options.off = !controls.ledOnChecked;
    options.cycle = controls.cycleChecked;
    return options;
}

std::string DescribeControls(int family, const ApplyReadings& controls) {
    const std::vector<std::string> modes = ModeNames(family);
    const size_t mode = static_cast<size_t>(controls.modePosition);
    std::string text = mode < modes.size() ? modes[mode] : "?";
    text += ", colour " + ColourText({controls.red, controls.green, controls.blue}) + ", shade " +
            std::to_string(controls.shadePosition) + ", LED " +
            (controls.ledOnChecked ? "on" : "off");
    if (family != kFamily2000) {
        text += std::string(controls.cycleChecked ? ", cycle" : ", single") + ", interval " +
                IntervalText(controls.intervalPosition) + ", brightness " +
                BrightnessText(controls.brightnessPosition) + "%";
    }
    return text;
}
