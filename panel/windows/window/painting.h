// The main window's paint: both skins, the marker, the swatch and the R, G, B labels composed
// off screen, on a surface kept between paints, and copied to the window in one transfer.
#pragma once

#include <windows.h>

// WM_PAINT.
void PaintPanel(HWND window);

// True while a paint of the main window runs: a repaint asked for meanwhile must not nest a
// second paint inside it.
bool PaintInProgress();
