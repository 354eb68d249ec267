#include "panel/shade_transform.h"

#include <algorithm>

int ShadeComponent(int component, int shade) {
    const int c = std::clamp(component, 0, 255);
    const int s = std::clamp(shade, 0, kShadeMax);
    if (s < kShadeMiddle) {
        const float step = static_cast<float>(255 - c) / 50.0f;
        return 255 - static_cast<int>(step * static_cast<float>(s));
    }
    const float step = static_cast<float>(c) / 50.0f;
    return c - static_cast<int>(step * static_cast<float>(s - kShadeMiddle));
}

Colour ShadeColour(Colour base, int shade) {
    return {ShadeComponent(base.red, shade), ShadeComponent(base.green, shade),
            ShadeComponent(base.blue, shade)};
}

uint32_t ColourValue(Colour colour) {
    const auto byte = [](int component) {
        return static_cast<uint32_t>(std::clamp(component, 0, 255));
    };
    return (byte(colour.blue) << 16) | (byte(colour.green) << 8) | byte(colour.red);
}
