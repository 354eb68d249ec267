// Everything between the entry and the message loop: the window class, then the ten stages of
// start-up; the first stage that fails has shown its message, and the program then ends with 0.
#pragma once

#include <windows.h>

#include "core/gpus/gpu_slots.h"
#include "core/nvapi/nvapi_access.h"
#include "shell/app/startup_messages.h"

// Reads the class name into the program's state and registers the class. Its result is not
// tested: a failed registration shows up as the window that cannot be created.
void RegisterMainWindowClass(HINSTANCE instance);

bool SetUpApplication(HINSTANCE instance, int showCommand, StartupMessages& messages);

// Stage 8: fills the slot table; false after the failure's message has been shown.
bool DiscoverGpus(nvapi::NvApiAccess& api, GpuTable& table, StartupMessages& messages);
