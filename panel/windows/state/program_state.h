// Everything the program keeps for the whole run, in one place: written at start-up and
// afterwards only by the main window procedure.
#pragma once

#include <windows.h>

#include "core/gpus/gpu_slots.h"
#include "core/rules/window_state.h"
#include "panel/windows/gdi/gdi_objects.h"

// The window-class name, read from string resource 109.
constexpr int kClassNameLength = 100;

struct ProgramState {
    wchar_t windowClassName[kClassNameLength] = {};
    HINSTANCE appInstance = nullptr;
    HWND mainWindow = nullptr;

    // Kept control handles (the others are reached by ID).
    HWND gpuList = nullptr;
    HWND modeList = nullptr;
    HWND intervalList = nullptr;
    HWND brightnessList = nullptr;
    HWND ledOnButton = nullptr;
    HWND ledOffButton = nullptr;
    HWND cycleButton = nullptr;
    HWND singleButton = nullptr;
    HWND redEdit = nullptr;
    HWND greenEdit = nullptr;
    HWND blueEdit = nullptr;

    OwnedFont controlFont;
    SkinImage skin1;  // 300 x 300 hue image
    SkinImage skin2;  // 75 x 38 badge
    // The window as the paints compose it, kept between paints; made at the first paint and
    // again only when the window's size changes.
    MemorySurface composedWindow;
    SIZE composedSize = {};
    GpuTable gpuTable;
    WindowState windowState;
    // The settings file's problem has been told: once per run is enough.
    bool settingsProblemTold = false;
};

// The program's one state. It is never destroyed: the main window's destruction releases what
// start-up made, in the order the program gives, and on every other exit the process end does;
// no destructor may free the skins or the font behind the destroy handler's back.
inline ProgramState& Program() {
    static ProgramState* const program = new ProgramState();
    return *program;
}
