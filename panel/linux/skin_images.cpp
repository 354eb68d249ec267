#include "panel/linux/skin_images.h"

#include <QFile>

#include "core/skins/skin_catalog.h"

namespace {

std::optional<SkinImage> Load(const char* resource, const SkinDescription& skin) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray stored = file.readAll();
    std::optional<SkinPixels> pixels =
        DecodeSkin(reinterpret_cast<const uint8_t*>(stored.constData()),
                   static_cast<size_t>(stored.size()), skin.width, skin.height, skin.steps);
    if (!pixels) return std::nullopt;
    // Row by row into the image's own memory: setPixel, a library call for each pixel, made the
    // hue image's conversion a quarter of the panel's start-up.
    QImage image(pixels->width, pixels->height, QImage::Format_RGB32);
    for (int y = 0; y < pixels->height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint32_t* colours = &pixels->colours[size_t(y) * size_t(pixels->width)];
        for (int x = 0; x < pixels->width; ++x) {
            const uint32_t colour = colours[x];
            row[x] = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        }
    }
    return SkinImage{std::move(*pixels), std::move(image)};
}

}  // namespace

std::optional<SkinImage> LoadHueImage() {
    return Load(":/skins/skin1.bin", kSkin1Resource);
}

std::optional<SkinImage> LoadBadge() {
    return Load(":/skins/skin2.bin", kSkin2Resource);
}
