// Unix programs run from a test program under Wine (ImageMagick, xdotool), the Unix paths of the
// files they are given, and real input through xdotool.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Runs a Unix shell command line to its end (Wine starts Unix programs without waiting).
bool RunUnixCommand(const std::string& command, DWORD timeoutMs = 30000);
// A Windows path under drive Z: as the Unix path it stands for.
std::string UnixPath(const std::wstring& windowsPath);

// Real pointer and keyboard input on the X display through xdotool, for what messages sent to a
// control cannot show (focus, capture, the keys as typed); returns once xdotool has finished.
inline bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments);
}
// xdotool's move to a screen point, with the pause Wine needs before the next button event.
inline std::string MoveTo(POINT screen) {
    return "mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y) + " sleep 0.4 ";
}
// A click at the centre of a rectangle on screen.
inline bool ClickWithPointer(const RECT& r) {
    return Xdotool(MoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2}) + "click 1 sleep 0.2");
}

}  // namespace e2e
