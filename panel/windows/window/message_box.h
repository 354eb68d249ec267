// What the panel tells the user after start-up: a command it could not carry out in full. Owned
// by the main window, under the program's caption, as its start-up messages.
#pragma once

#include <windows.h>

#include <string>

#include "panel/windows/window/startup_messages.h"

inline void ShowPanelMessage(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
}
