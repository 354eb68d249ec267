// What the main window keeps between messages for the whole run: the selected slot, the colour and
// its marker, the pointer and the edits' focus. Everything else the user chose lives in the
// controls.
#pragma once

#include <cstdint>

enum class PointerState { Idle, Released, Pressed, Dragging };

// The last time one source refreshed the edits; unset until that source's first event.
struct RefreshTime {
    bool set = false;
    int64_t milliseconds = 0;
};

constexpr int kDiscCentreX = 250;
constexpr int kDiscCentreY = 160;

struct WindowState {
    int selectedGpu = 0;
    int red = 255;
    int green = 255;
    int blue = 255;
    int markerX = kDiscCentreX;
    int markerY = kDiscCentreY;
    PointerState pointerState = PointerState::Idle;
    bool insidePicker = false;
    bool editFocusRed = false;
    bool editFocusGreen = false;
    bool editFocusBlue = false;
    RefreshTime trackingRefresh;
    RefreshTime sliderRefresh;
};
