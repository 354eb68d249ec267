#include "panel/apply_settings.h"

#include "panel/mode_mapping.h"

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
