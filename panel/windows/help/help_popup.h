// The help overlay: a modal, translucent black dialog laid over the main window that names the
// panel's parts.
#pragma once

#include <windows.h>

// Opens the overlay, owned by the main window, and returns when it closes.
void ShowHelpPopup(HWND window);

using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// Alpha 192 of 255 where the layered-window function exists. Without it the overlay keeps its
// ordinary, opaque style: a layered window that never gets its attributes is not drawn at all.
void MakeOverlayTranslucent(HWND overlay, SetLayeredWindowAttributesFunction setAttributes);
