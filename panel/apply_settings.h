// What Apply hands to the LED command encoding, from the controls as they read now.
#pragma once

#include "led/led_settings.h"

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

LedSettings GatherLedSettings(int family, const ApplyReadings& readings);
