#include "app/window_placement.h"

WindowPosition CentredPosition(int screenWidth, int screenHeight, int windowWidth,
                               int windowHeight) {
    return {screenWidth / 2 - windowWidth / 2, screenHeight / 2 - (windowHeight - 20) / 2};
}
