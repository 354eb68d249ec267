// Writes a picture the way the program keeps it in its resources: a bitmap file with the
// 12-byte core header and 24-bit bottom-up rows, padded to a fixed size, then scrambled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/skin_artwork.h"

// The plain bitmap file, zero-padded at the end to storedSize bytes. Its header gives the padded
// size as the file size, so the file is a valid bitmap as it stands.
std::vector<uint8_t> EncodeCoreBitmap(const Picture& picture, size_t storedSize);

// Adds 1 to every byte modulo 256; the loader subtracts it again.
void ScrambleSkin(std::vector<uint8_t>& bytes);
