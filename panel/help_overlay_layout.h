// What the help overlay draws and where, in overlay pixels: the names of the panel's parts and
// the rounded frames around its three control groups.
#pragma once

#include <array>

#include "panel/picker_geometry.h"

struct OverlayText {
    const wchar_t* text;
    int x;
    int y;
};

struct RoundedFrame {
    Box box;
    int cornerWidth;
    int cornerHeight;
};

// Drawn with the overlay surface's default system font.
extern const std::array<OverlayText, 8> kOverlaySystemFontTexts;
// Drawn with the 11-pixel label font.
extern const std::array<OverlayText, 5> kOverlayLabelFontTexts;
extern const std::array<RoundedFrame, 3> kOverlayFrames;

struct ScreenPlacement {
    int left;
    int top;
    int width;
    int height;
};

// The overlay covers the main window's outer rectangle less 8 pixels on the left, right and
// bottom; a window too small for that gives an empty overlay rather than a negative size.
ScreenPlacement HelpOverlayPlacement(Box mainWindowOuter);
