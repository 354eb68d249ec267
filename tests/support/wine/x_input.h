// Real pointer and keyboard input on the X display, through xdotool, for what messages sent to
// a control cannot show (focus, capture, the keys as typed).
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/wine/unix_commands.h"

namespace e2e {

// Real input on the X display through xdotool; returns once xdotool has finished.
inline bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments);
}
// xdotool's move to a screen point, with the pause Wine needs before the next button event.
std::string MoveTo(POINT screen);
// A click at the centre of a rectangle on screen.
bool ClickWithPointer(const RECT& screenRect);

}  // namespace e2e
