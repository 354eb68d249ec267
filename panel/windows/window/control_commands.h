// The main window's commands, what the window procedure runs for each control's WM_COMMAND, and
// the few Win32 steps by which they read the controls and apply what the panel's rules decide.
#pragma once

#include <windows.h>

#include "core/rules/panel_rules.h"

// Cycle or Single clicked.
void RunCycleClick(HWND window, int controlId, int notificationCode);
// A list's selection changed (accelerator commands arrive the same way).
void RunSelectionRefresh(HWND window);
// The R, G and B edits' focus and text notifications.
void RunEditNotification(HWND window, int controlId, int notificationCode);
// The Apply and Reset buttons.
void RunApply(HWND window);
void RunReset(HWND window);

// Adds the texts in order, so a list position is an index into `texts`.
void FillList(HWND list, const TextList& texts);
void ApplyControlChanges(HWND window, const ControlChanges& changes);
HWND ShadeSlider(HWND window);
