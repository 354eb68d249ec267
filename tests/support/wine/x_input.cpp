#include "tests/support/wine/x_input.h"

namespace e2e {

std::string MoveTo(POINT screen) {
    return "mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y) + " sleep 0.4 ";
}

bool ClickWithPointer(const RECT& screenRect) {
    return Xdotool(MoveTo({(screenRect.left + screenRect.right) / 2,
                           (screenRect.top + screenRect.bottom) / 2}) +
                   "click 1 sleep 0.2");
}

}  // namespace e2e
