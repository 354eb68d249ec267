// The one device-independent pixel layout the program reads and writes: 32 bits per pixel,
// rows from the top.
#pragma once

#include <windows.h>

#include <cstdint>

inline BITMAPINFO TopDown32BitFormat(int width, int height) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

// A device-independent pixel is 0x00RRGGBB; a COLORREF is 0x00BBGGRR. The swap is its own inverse.
inline uint32_t SwapRedAndBlue(uint32_t colour) {
    return (colour & 0x0000FF00) | (colour & 0xFF) << 16 | (colour >> 16 & 0xFF);
}
