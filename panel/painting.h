// The main window's paint: both skins, the marker, the swatch and the R, G, B labels composed
// off screen and copied to the window in one transfer.
#pragma once

#include <windows.h>

// True while a paint of the main window runs: a repaint asked for meanwhile must not nest a
// second paint inside it.
bool PaintInProgress();

// Paints run so far, and paints begun while another was running (never, if all is well):
// tests read them to see that painting stops while nothing changes and never nests.
unsigned long PanelPaintCount();
unsigned long NestedPanelPaintCount();
