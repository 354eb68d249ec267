// The real main window, set up in the test process as the program sets it up, and small helpers
// to drive it and read back what it drew.
#pragma once

#include <windows.h>

#include "core/panel/picker_rules.h"
#include "tests/support/message_pump.h"

// Registers the class and runs the program's start-up once; false if start-up failed.
bool EnsurePanelWindow();

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
