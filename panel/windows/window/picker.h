// The Windows side of colour selection: the left-button state and pointer tracking that run
// ahead of every message, the shade slider, and the repaints they ask for.
#pragma once

#include <windows.h>

// Runs first for every message: the left-button state table, the end of a pick (the capture
// released, the edits written), and the repaint it asks for.
void RunPointerStateStep(HWND window, UINT message);
// Mouse-move, left-button down/up, set-cursor, exit-size-move and key-down.
bool IsTrackedMessage(UINT message);
void TrackPointer(HWND window);
// WM_VSCROLL from the shade slider.
void OnShadeSliderScroll(HWND window);
// Invalidate without erasing, then paint at once.
void RepaintPicker(HWND window);
void RepaintLabels(HWND window);
