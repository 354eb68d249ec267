// The program's global state for the whole run (Windows shell only): written at start-up and
// afterwards only by the main window procedure.
#pragma once

#include <windows.h>

#include "app/gpu_slots.h"
#include "app/skin_loader.h"
#include "panel/panel_state.h"

// The window-class name, read from string resource 109.
constexpr int kClassNameLength = 100;
extern wchar_t windowClassName[kClassNameLength];

// The single-instance mutex, held until the process ends.
extern HANDLE instanceMutex;

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern GpuTable gpuTable;
extern PanelState panelState;
extern SkinImage skin1;  // 300 x 300 hue image
extern SkinImage skin2;  // 75 x 38 badge
extern HFONT controlFont;

// Kept control handles (the others are reached by ID).
extern HWND gpuList;
extern HWND modeList;
extern HWND intervalList;
extern HWND brightnessList;
extern HWND ledOnButton;
extern HWND ledOffButton;
extern HWND cycleButton;
extern HWND singleButton;
extern HWND redEdit;
extern HWND greenEdit;
extern HWND blueEdit;
