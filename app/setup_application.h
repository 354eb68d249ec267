// Everything between the class registration and the message loop, in ten stages; the first
// that fails has shown its message, and the program then ends with 0.
#pragma once

#include <windows.h>

#include "app/startup_messages.h"

bool SetUpApplication(HINSTANCE instance, int showCommand, StartupMessages& messages);
