// The window's two pictures from the stored skins compiled into the program: the decoded colours
// (the hue image is sampled from them) and an image of them to draw.
#pragma once

#include <QImage>
#include <optional>

#include "core/skins/skin_decoder.h"

struct SkinImage {
    SkinPixels pixels;  // 0x00BBGGRR, rows from the top
    QImage image;
};

// Nothing when the stored picture is missing or cannot be decoded.
std::optional<SkinImage> LoadHueImage();
std::optional<SkinImage> LoadBadge();
