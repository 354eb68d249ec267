// Where the hue picker, its marker, the swatch and the labels sit, in client pixels of the main
// window, and the rules that map the pointer onto the hue disc.
#pragma once

#include <array>
#include <cstdint>

#include "panel/panel_state.h"

struct Point {
    int x;
    int y;
};

// Left, top, right, bottom; right and bottom excluded.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

constexpr Point kHueImageOrigin = {100, 10};
constexpr int kHueImageSize = 300;
constexpr Point kBadgeOrigin = {381, 363};
constexpr int kBadgeWidth = 75;
constexpr int kBadgeHeight = 38;

constexpr double kHitRadius = 148.0;
constexpr double kRimRadius = 147.0;

// Swatch, hue image and marker: what a picker repaint redraws. It reaches to the marker's
// farthest extent (a pick at (397, 160) or (250, 307) draws bars up to x 403 and y 313), so a
// marker leaving the rim never leaves pieces of itself behind.
constexpr Box kPickerBox = {60, 0, 404, 314};
// The "R: ", "G: ", "B: " labels beside the edits.
constexpr Box kLabelBox = {400, 255, 460, 310};
constexpr Box kSwatchBox = {70, 18, 90, 300};

constexpr int kLabelWidth = 12;
constexpr int kLabelHeight = 20;
constexpr int kLabelLeft = 410;
constexpr std::array<int, 3> kLabelTops = {260, 275, 290};

// Distance from the disc centre below the hit radius.
bool IsInsideDisc(Point client);

// Inside the disc the point itself; outside, the point on the rim circle in the same direction,
// truncated toward zero.
Point PickPoint(Point client);

// The pixel of the hue image under a pick point.
Point HueImagePixel(Point pick);

// After a pick: the marker moves to the pick point and the base colour takes the pixel's value
// (0x00BBGGRR; an unreadable pixel, 0xFFFFFFFF, reads as white).
void ApplyPick(PanelState& state, Point pick, uint32_t pixel);

struct TrackingStep {
    bool insidePicker;
    bool track;  // refresh the edits when due and repaint the picker
};

// Pointer tracking for one message: a press inside the disc arms the picker, and only an armed
// press keeps picking wherever the pointer goes.
TrackingStep DecideTracking(const PanelState& state, Point client);

// A white base colour draws the marker at the disc centre; the stored marker stays where it is.
Point MarkerCentre(const PanelState& state);

// Four bars, two pixels thick, of the hollow 14-pixel square around the centre: left, top,
// right, bottom.
std::array<Box, 4> MarkerBars(Point centre);
