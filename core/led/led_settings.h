// What Apply gathers from the controls and hands to the LED command encoding.
#pragma once

struct LedSettings {
    int on = 1;
    int cycle = 0;
    int mode = 0;
    int interval = 1;
    int brightness = 0;
    int shade = 50;
    int red = 255;
    int green = 255;
    int blue = 255;
};
