// What the panel keeps of the lighting it sets, in the settings file lumivar.exe reads: after an
// Apply that reached the board, the controls it read, so that `lumivar restore` sends the same
// bytes; after a Reset, nothing for that board. A file that cannot be saved into is left as it is
// and the user told once per run; the commands themselves go on.
#pragma once

#include <windows.h>

#include "core/gpus/gpu_slots.h"
#include "core/rules/panel_rules.h"

// By the settings rule of both panels: only a command that reached a supported board changes the
// file.
void SaveAppliedBoard(HWND window, const GpuSlot& slot, const ApplyReadings& controls,
                      bool reachedBoard);
void ForgetResetBoard(HWND window, const GpuSlot& slot, bool reachedBoard);
