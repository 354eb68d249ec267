#include "panel/picker_geometry.h"

#include <cmath>

#include "panel/pointer_state_table.h"

namespace {

double DistanceFromCentre(Point client) {
    const double dx = static_cast<double>(client.x) - kDiscCentreX;
    const double dy = static_cast<double>(client.y) - kDiscCentreY;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

bool IsInsideDisc(Point client) {
    return DistanceFromCentre(client) < kHitRadius;
}

Point PickPoint(Point client) {
    if (IsInsideDisc(client)) return client;
    const double angle = std::atan2(static_cast<double>(client.y) - kDiscCentreY,
                                    static_cast<double>(client.x) - kDiscCentreX);
    // Both results lie within 147.5 of the centre, so the conversions are always in range.
    return {static_cast<int>(std::cos(angle) * kRimRadius + kDiscCentreX),
            static_cast<int>(std::sin(angle) * kRimRadius + kDiscCentreY)};
}

Point HueImagePixel(Point pick) {
    return {pick.x - kHueImageOrigin.x, pick.y - kHueImageOrigin.y};
}

void ApplyPick(PanelState& state, Point pick, uint32_t pixel) {
    state.markerX = pick.x;
    state.markerY = pick.y;
    state.red = static_cast<int>(pixel & 0xFFu);
    state.green = static_cast<int>((pixel >> 8) & 0xFFu);
    state.blue = static_cast<int>((pixel >> 16) & 0xFFu);
}

TrackingStep DecideTracking(const PanelState& state, Point client) {
    bool inside = state.insidePicker;
    if (state.pointerState == PointerState::Pressed && IsInsideDisc(client)) inside = true;
    PanelState after = state;
    after.insidePicker = inside;
    return {inside, IsPicking(after)};
}

Point MarkerCentre(const PanelState& state) {
    if (state.red == 255 && state.green == 255 && state.blue == 255) {
        return {kDiscCentreX, kDiscCentreY};
    }
    return {state.markerX, state.markerY};
}

std::array<Box, 4> MarkerBars(Point c) {
    return {{
        {c.x - 7, c.y - 7, c.x - 5, c.y + 7},
        {c.x - 7, c.y - 7, c.x + 7, c.y - 5},
        {c.x + 5, c.y - 7, c.x + 7, c.y + 7},
        {c.x - 7, c.y + 5, c.x + 7, c.y + 7},
    }};
}
