// The help overlay: a modal, translucent black dialog laid over the main window that names the
// panel's parts. ShowHelpPopup (panel/picker_view.h) opens it.
#pragma once

#include <windows.h>

using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Alpha 192 of 255 where the layered-window function exists. Without it the overlay keeps its
// ordinary, opaque style: a layered window that never gets its attributes is not drawn at all.
void MakeOverlayTranslucent(HWND overlay, SetLayeredWindowAttributesFunction setAttributes);
