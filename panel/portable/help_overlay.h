// What the help overlay draws over the main window, in overlay pixels (the overlay's top-left is
// the window's outer top-left, 8 pixels in): the names of the panel's parts and the three frames
// around the control groups. Both panels draw these; each chooses its fonts.
#pragma once

#include <array>

#include "core/rules/picker_rules.h"

struct OverlayText {
    const char* text;  // UTF-8
    int x;
    int y;
};

struct RoundedFrame {
    Box box;
    int cornerWidth;
    int cornerHeight;
};

// In the overlay's default system font: the shade slider as the vertical word 色の明るさ, the
// light and dark ends of the swatch, and the hue image.
constexpr std::array<OverlayText, 8> kOverlaySystemFontTexts = {{
    {"色", 34, 130},
    {"の", 34, 150},
    {"明", 34, 170},
    {"る", 34, 190},
    {"さ", 34, 210},
    {"明", 73, 55},
    {"暗", 73, 305},
    {"色相", 350, 55},
}};

// In the 11-pixel label font: Cycle, Single and the three lists of the lower left.
constexpr std::array<OverlayText, 5> kOverlayLabelFontTexts = {{
    {"色の循環", 414, 247},
    {"単色", 414, 267},
    {"発光モード選択", 24, 383},
    {"発光間隔", 24, 407},
    {"明るさ", 130, 407},
}};

constexpr int kOverlayLabelFontHeight = 11;
constexpr int kOverlayAlpha = 192;  // of 255
constexpr int kFrameGrey = 32;      // red, green and blue
constexpr int kFrameWidth = 4;      // drawn inside the frame's box

// Around the shade slider and swatch, the hue image, and Cycle and Single.
constexpr std::array<RoundedFrame, 3> kOverlayFrames = {{
    {{10, 25, 96, 350}, 50, 50},
    {{97, 25, 405, 350}, 50, 50},
    {{405, 235, 465, 285}, 30, 30},
}};
