// The main window's procedure: the pointer step for every message, the tracking step for the
// pointer and key messages, then one handler per message.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
