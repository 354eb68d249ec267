// The main window's commands: what the window procedure runs for each WM_COMMAND stage.
#pragma once

#include <windows.h>

// Stage 1: Cycle or Single clicked.
void RunCycleClick(HWND window, int controlId, int notificationCode);
// Stage 2: a list's selection changed (accelerator commands arrive the same way).
void RunSelectionRefresh(HWND window);
// Stage 2: the R, G and B edits' focus and text notifications.
void RunEditNotification(HWND window, int controlId, int notificationCode);
// Stage 3.
void RunApply(HWND window);
void RunReset(HWND window);
