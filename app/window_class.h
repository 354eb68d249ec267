// The main window's class: name from string 109, the panel's window procedure, icon 144.
#pragma once

#include <windows.h>

// Reads the class name into windowClassName and registers the class. Its result is not
// tested: a failed registration shows up as the window that cannot be created.
void RegisterMainWindowClass(HINSTANCE instance);
