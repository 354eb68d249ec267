// What a rule wants done to the panel's controls: each control may be enabled or disabled and,
// for the radio buttons, checked or cleared; an unset field leaves the control as it is.
#pragma once

#include <optional>

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

// The eight controls that follow the selected board's support: on for a supported board, off
// for any other.
void SetBoardControlsEnabled(ControlChanges& changes, bool enabled);
