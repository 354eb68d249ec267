// The real main window, set up in the test process as the program sets it up, and small helpers
// to drive it and read back what it drew.
#pragma once

#include <windows.h>

#include "panel/picker_geometry.h"

// Registers the class and runs the program's start-up once; false if start-up failed.
bool EnsurePanelWindow();

// Dispatches queued messages until none is left; false if the queue never drained within
// `limit` messages (something keeps asking for more).
bool PumpUntilIdle(int limit = 5000);

// Puts the real cursor over a client point of the main window and lets the window see the move.
void MoveCursorTo(Point client);

// A pixel of the main window's client area as it is on screen now.
COLORREF ClientPixel(Point client);

// Sends a left press or release at the cursor, as the window system would.
void PressLeftButton();
void ReleaseLeftButton();

// Sets the shade slider's position and tells the window, as a slider move does.
void MoveShadeSlider(int position);

// A pixel of the hue image as loaded.
COLORREF HueImagePixelValue(Point image);
