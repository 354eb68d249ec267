// Draws the window's pictures and the program's icon and writes them as the resources hold them.
//   skin_generator OUTDIR          skin1.bin and skin2.bin (stored, scrambled) and lumivar.ico
//   skin_generator --plain OUTDIR  skin1.bmp and skin2.bmp (plain bitmaps) and lumivar.ico
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/skins/skin_catalog.h"
#include "tools/icon_artwork.h"
#include "tools/skin_artwork.h"
#include "tools/stored_picture.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) std::fprintf(stderr, "skin_generator: cannot write %s\n", path.c_str());
    return bool(file);
}

bool WriteSkin(const std::string& directory, const char* name, const Picture& picture,
               size_t storedSize, bool plain) {
    std::vector<uint8_t> bytes = EncodeCoreBitmap(picture, storedSize);
    if (plain) return WriteFile(directory + "/" + name + ".bmp", bytes);
    ScrambleSkin(bytes);
    return WriteFile(directory + "/" + name + ".bin", bytes);
}

}  // namespace

int main(int argc, char** argv) {
    bool plain = false;
    int next = 1;
    if (next < argc && std::strcmp(argv[next], "--plain") == 0) {
        plain = true;
        ++next;
    }
    if (next + 1 != argc) {
        std::fprintf(stderr, "usage: skin_generator [--plain] OUTDIR\n");
        return 2;
    }
    const std::string directory = argv[next];

    std::vector<IconImage> icons;
    for (int size : kIconSizes) icons.push_back(DrawRingIcon(size));

    const bool written =
        WriteSkin(directory, "skin1", DrawHueDisc(), kSkin1Resource.storedSize, plain) &&
        WriteSkin(directory, "skin2", DrawBadge(), kSkin2Resource.storedSize, plain) &&
        WriteFile(directory + "/lumivar.ico", EncodeIconFile(icons));
    return written ? 0 : 1;
}
