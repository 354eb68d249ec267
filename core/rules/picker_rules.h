// The colour picker's rules, in client pixels of the main window: where the hue image, the
// marker, the swatch and the labels sit, the left-button state table, how the pointer maps onto
// the hue disc, the shade slider's blend and the throttle of the edits' refresh; and where the
// help overlay lies over the window.
#pragma once

#include <array>
#include <cstdint>

#include "core/rules/window_state.h"

// --- Geometry ---

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

// --- The left-button state table ---

enum class PointerEvent {
    None,         // any message that leaves the state alone
    Press,        // left button down
    Cursor,       // the window system asking for the cursor shape, before every pointer message
    Release,      // left button up, in the client area or over the frame, or a move/size ended
    CaptureLost,  // the pointer capture went elsewhere: a release while the button is held
};

struct PointerStep {
    PointerState state;
    bool clearInsidePicker;  // a press that began inside the disc is over
    bool repaintPicker;      // redraw the marker where the last sample left it
};

// The state after one message, and what it asks of the window. Runs for every message,
// state-changing or not: while the state stays Released, every message repeats the repaint.
PointerStep StepPointer(PointerState before, PointerEvent event);

// True while a press that began inside the disc is picking colours.
bool IsPicking(const WindowState& state);

// True when this message ends a pick: it takes a held button to Released while the press that
// began inside the disc is armed. Asked before the step clears `insidePicker`. Losing the capture
// ends a pick like a release; the panel's own release of the capture comes after the state is
// Released and ends nothing.
bool EndsPick(const WindowState& before, PointerEvent event);

// --- Picking ---

// Distance from the disc centre below the hit radius.
bool IsInsideDisc(Point client);

// Inside the disc the point itself; outside, the point on the rim circle in the same direction,
// truncated toward zero.
Point PickPoint(Point client);

// The pixel of the hue image under a pick point.
Point HueImagePixel(Point pick);

// After a pick: the marker moves to the pick point and the base colour takes the pixel's value
// (0x00BBGGRR; an unreadable pixel, 0xFFFFFFFF, reads as white).
void ApplyPick(WindowState& state, Point pick, uint32_t pixel);

struct TrackingStep {
    bool insidePicker;
    bool startsPick;  // this press armed the picker: capture the pointer until the pick ends
    bool track;       // refresh the edits when due and repaint the picker
};

// Pointer tracking for one message: a press inside the disc arms the picker, and only an armed
// press keeps picking wherever the pointer goes (it holds the capture, so outside the window too).
TrackingStep DecideTracking(const WindowState& state, Point client);

// A white base colour draws the marker at the disc centre; the stored marker stays where it is.
Point MarkerCentre(const WindowState& state);

// Four bars, two pixels thick, of the hollow 14-pixel square around the centre: left, top,
// right, bottom.
std::array<Box, 4> MarkerBars(Point centre);

// --- Shade ---

struct Colour {
    int red;
    int green;
    int blue;
};

constexpr int kShadeMiddle = 50;
constexpr int kShadeMax = 100;

// One component c (0-255) at slider position s (0-100), in single precision: convert, divide by
// 50, multiply by the converted factor, truncate, in exactly that order. At s = 100 the rounding
// leaves 1 for a few components (53, 59, 105, 106, 117, 118, 209-212, 234-237). Inputs outside
// those ranges are clamped into them first.
int ShadeComponent(int component, int shade);

Colour ShadeColour(Colour base, int shade);

// The window system's colour value, 0x00BBGGRR.
uint32_t ColourValue(Colour colour);

// --- The edits' refresh ---

// At most once per 20 ms per source (pointer tracking, slider), and never on a source's first
// event, which only starts its clock.
constexpr int64_t kEditRefreshIntervalMs = 20;

// True when the source may refresh now; then `now` becomes its last refresh.
bool TakeRefreshTurn(RefreshTime& last, int64_t now);

// --- The help overlay ---

struct ScreenPlacement {
    int left;
    int top;
    int width;
    int height;
};

// The overlay covers the main window's outer rectangle less 8 pixels on the left, right and
// bottom; a window too small for that gives an empty overlay rather than a negative size.
ScreenPlacement HelpOverlayPlacement(Box mainWindowOuter);
