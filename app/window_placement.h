// Where the main window goes on the screen: centred across, 10 pixels below the middle down.
#pragma once

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// Each half truncated toward zero, as integer division does.
WindowPosition CentredPosition(int screenWidth, int screenHeight, int windowWidth,
                               int windowHeight);
