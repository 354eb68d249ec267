#include "core/rules/picker_rules.h"

#include <algorithm>
#include <cmath>

namespace {

PointerState NextState(PointerState before, PointerEvent event) {
    const bool held = before == PointerState::Pressed || before == PointerState::Dragging;
    switch (event) {
        case PointerEvent::Press:
            return held ? PointerState::Dragging : PointerState::Pressed;
        case PointerEvent::Cursor:
            return held ? PointerState::Dragging : PointerState::Idle;
        case PointerEvent::Release:
            return held ? PointerState::Released : PointerState::Idle;
        case PointerEvent::CaptureLost:
            return held ? PointerState::Released : before;
        case PointerEvent::None:
            break;
    }
    return before;
}

double DistanceFromCentre(Point client) {
    const double dx = static_cast<double>(client.x) - kDiscCentreX;
    const double dy = static_cast<double>(client.y) - kDiscCentreY;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

PointerStep StepPointer(PointerState before, PointerEvent event) {
    const PointerState after = NextState(before, event);
    const bool resting = after == PointerState::Idle || after == PointerState::Released;
    return {after, resting, after == PointerState::Released};
}

bool IsPicking(const WindowState& state) {
    const bool held =
        state.pointerState == PointerState::Pressed || state.pointerState == PointerState::Dragging;
    return held && state.insidePicker;
}

bool EndsPick(const WindowState& before, PointerEvent event) {
    return IsPicking(before) &&
           StepPointer(before.pointerState, event).state == PointerState::Released;
}

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

void ApplyPick(WindowState& state, Point pick, uint32_t pixel) {
    state.markerX = pick.x;
    state.markerY = pick.y;
    state.red = static_cast<int>(pixel & 0xFFu);
    state.green = static_cast<int>((pixel >> 8) & 0xFFu);
    state.blue = static_cast<int>((pixel >> 16) & 0xFFu);
}

TrackingStep DecideTracking(const WindowState& state, Point client) {
    bool inside = state.insidePicker;
    if (state.pointerState == PointerState::Pressed && IsInsideDisc(client)) inside = true;
    WindowState after = state;
    after.insidePicker = inside;
    return {inside, inside && !state.insidePicker, IsPicking(after)};
}

Point MarkerCentre(const WindowState& state) {
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

bool TakeRefreshTurn(RefreshTime& last, int64_t now) {
    if (!last.set) {
        last.set = true;
        last.milliseconds = now;
        return false;
    }
    // A clock that went backwards (the process clock wrapping) counts as due, so the edits can
    // never stay frozen until it catches up again.
    // Unsigned, so that the difference of two far-apart clock values cannot overflow.
    const uint64_t elapsed = static_cast<uint64_t>(now) - static_cast<uint64_t>(last.milliseconds);
    if (now >= last.milliseconds && elapsed < static_cast<uint64_t>(kEditRefreshIntervalMs)) {
        return false;
    }
    last.milliseconds = now;
    return true;
}
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
