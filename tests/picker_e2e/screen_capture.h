// What the X display shows, read back as pixels: ImageMagick's import takes the screenshot, and
// compare measures how far two pictures differ.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

class Screenshot {
  public:
    bool Valid() const { return !rgb_.empty(); }
    // The colour at a screen point, as a Windows colour value; CLR_INVALID outside the shot.
    COLORREF At(POINT screen) const;
    bool Read(const std::wstring& ppmPath, RECT area);

  private:
    RECT area_ = {};
    int width_ = 0;
    std::vector<uint8_t> rgb_;
};

// The screen area as it is now.
Screenshot CaptureScreen(RECT area);
// The screen area written to a file (PNG by its extension).
bool CaptureScreenToFile(RECT area, const std::wstring& path);
// Pixels differing by more than 10% between two pictures of one size, or -1 if they cannot be
// compared.
long DifferingPixels(const std::wstring& first, const std::wstring& second);

}  // namespace e2e
