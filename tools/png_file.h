// An icon image as a PNG file, as desktops take their application icons.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/icon_artwork.h"

// 8-bit RGBA (straight alpha, as the image holds it), rows unfiltered, compressed by zlib at its
// best level. No time or text chunks: the same image gives the same bytes.
std::vector<uint8_t> EncodePngFile(const IconImage& image);
