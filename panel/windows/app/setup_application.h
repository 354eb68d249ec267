// Everything between the entry and the message loop: the window class, then start-up, one named
// step after another; the first step that fails has shown its message, and the program then ends
// with 0.
#pragma once

#include <windows.h>

#include "core/gpus/gpu_slots.h"
#include "core/nvapi/nvapi_access.h"
#include "panel/windows/window/startup_messages.h"

// Reads the class name into the program's state and registers the class. Its result is not
// tested: a failed registration shows up as the window that cannot be created.
void RegisterMainWindowClass(HINSTANCE instance);

// Keeps the instance and starts the common controls; creates the window; writes the current
// directory to the debugger; loads the two skins; places the window and creates its controls; sets
// up the slider and the font; writes the start values; discovers the GPUs; fills the lists and
// sets the controls' states; adds the logon item to the system menu; shows the window.
bool SetUpApplication(HINSTANCE instance, int showCommand, StartupMessages& messages);

// Fills the slot table; false after the failure's message has been shown.
bool DiscoverGpus(nvapi::NvApiAccess& api, GpuTable& table, StartupMessages& messages);
