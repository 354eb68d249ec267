#include "panel/help_overlay_layout.h"

#include <algorithm>
#include <cstdint>

const std::array<OverlayText, 8> kOverlaySystemFontTexts = {{
    // The shade slider, as the vertical word 色の明るさ.
    {L"色", 34, 130},
    {L"の", 34, 150},
    {L"明", 34, 170},
    {L"る", 34, 190},
    {L"さ", 34, 210},
    // The light and dark ends of the swatch, and the hue image.
    {L"明", 73, 55},
    {L"暗", 73, 305},
    {L"色相", 350, 55},
}};

const std::array<OverlayText, 5> kOverlayLabelFontTexts = {{
    {L"色の循環", 414, 247},
    {L"単色", 414, 267},
    {L"発光モード選択", 24, 383},
    {L"発光間隔", 24, 407},
    {L"明るさ", 130, 407},
}};

const std::array<RoundedFrame, 3> kOverlayFrames = {{
    {{10, 25, 96, 350}, 50, 50},     // shade slider and swatch
    {{97, 25, 405, 350}, 50, 50},    // hue image
    {{405, 235, 465, 285}, 30, 30},  // Cycle and Single
}};

ScreenPlacement HelpOverlayPlacement(Box outer) {
    // In 64 bits: the rectangle comes from the window system, and none of this may overflow.
    const int64_t left = static_cast<int64_t>(outer.left) + 8;
    const int64_t width = static_cast<int64_t>(outer.right) - outer.left - 16;
    const int64_t height = static_cast<int64_t>(outer.bottom) - outer.top - 8;
    const auto fit = [](int64_t value) {
        return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    };
    return {fit(left), outer.top, fit(std::max<int64_t>(width, 0)),
            fit(std::max<int64_t>(height, 0))};
}
