// What `lumivar apply` may set. Each option stands for one control of the panel; the options
// become the controls' states and those go through the panel's own rules, so the command sends
// exactly what the panel's Apply sends for the same controls.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/led/led_settings.h"
#include "core/rules/panel_rules.h"
#include "core/settings/temperature_colours.h"

// Every field left unset keeps what a freshly started panel shows.
struct ApplyOptions {
    std::optional<std::string> mode;  // as written; a board's own list decides whether it exists
    std::optional<Rgb> colour;
    std::optional<int> shade;               // 0-100
    std::optional<int> intervalPosition;    // short, medium, long
    std::optional<int> brightnessPosition;  // 100 %, 75 %, 50 %, 25 %
    bool off = false;
    bool cycle = false;
    // Instead of `colour`: the colour of the GPU's temperature when it is sent.
    std::optional<TemperatureColours> byTemperature;

    bool operator==(const ApplyOptions& other) const;
    bool operator!=(const ApplyOptions& other) const { return !(*this == other); }
};

// The options as they are sent at this temperature: a colour that follows the temperature becomes
// the colour of `celsius` (the first colour when it cannot be read).
ApplyOptions AtTemperature(const ApplyOptions& options, std::optional<int> celsius);

// A hexadecimal digit's value (either case), or -1.
int HexDigitValue(char c);

// Option values from their text; false with the reason in plain words. The settings file keeps
// the same texts, so it is read by the same rules.
bool ParseColour(const std::string& text, Rgb& colour, std::string& error);
bool ParseShade(const std::string& text, int& shade, std::string& error);
bool ParseInterval(const std::string& text, int& position, std::string& error);
bool ParseBrightness(const std::string& text, int& position, std::string& error);

std::string ColourText(const Rgb& colour);  // "ff8000"
std::string IntervalText(int position);     // "short", "medium", "long"
std::string BrightnessText(int position);   // "100", "75", "50", "25"

// The board's own mode list as the command line writes it: lower case, "-" for a space.
std::vector<std::string> ModeNames(int family);
// The position of `name` in that list; case does not matter and "-" stands for a space.
std::optional<int> FindModePosition(int family, const std::string& name);

// A freshly started panel with this board selected in the GPU list, each given option set as its
// control's final state, and then the panel's rules: a mode that forces Cycle or Single forces it
// here too, and Cycle can be chosen only where the panel lets the user choose it. `modePosition`
// is the given mode found in the board's list, or none to keep the list's first. The result is
// what the panel's Apply reads from those controls; `GatherLedSettings` turns it into what it
// sends.
ApplyReadings ControlsForOptions(int family, bool supported, std::optional<int> modePosition,
                                 const ApplyOptions& options);

// The options that give back `controls` through ControlsForOptions: what the panel keeps after
// an Apply, so that a later restore sends the bytes of that Apply.
ApplyOptions OptionsForControls(int family, const ApplyReadings& controls);

// One line's worth: "WAVE, colour ff0000, shade 20, LED on, cycle, interval long, brightness 75%";
// the family-2000 boards take no cycle, interval or brightness, so those are left out there.
std::string DescribeControls(int family, const ApplyReadings& controls);
