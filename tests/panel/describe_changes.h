// Control changes as one line of text, so that the tables of the tests read as the panel would.
// Each changed control shows as name=on|off and/or ,checked|,clear; untouched controls are left
// out.
#pragma once

#include <string>
#include <utility>

#include "core/panel/panel_rules.h"

inline std::string Describe(const ControlChanges& changes) {
    const std::pair<const char*, const ControlChange*> controls[] = {
        {"modeList", &changes.modeList},
        {"ledOn", &changes.ledOn},
        {"ledOff", &changes.ledOff},
        {"cycle", &changes.cycle},
        {"single", &changes.single},
        {"shadeSlider", &changes.shadeSlider},
        {"apply", &changes.apply},
        {"reset", &changes.reset},
        {"intervalList", &changes.intervalList},
        {"brightnessList", &changes.brightnessList},
    };
    std::string text;
    for (const auto& [name, change] : controls) {
        if (!change->enabled && !change->checked) continue;
        if (!text.empty()) text += ' ';
        text += name;
        text += '=';
        if (change->enabled) text += *change->enabled ? "on" : "off";
        if (change->checked) text += *change->checked ? ",checked" : ",clear";
    }
    return text;
}
