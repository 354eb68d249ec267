// Draws the program's icon for a Linux desktop's icon theme.
//   icon_generator OUTDIR   lumivar-48.png, lumivar-128.png, lumivar-256.png and lumivar.svg
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/icon_artwork.h"
#include "tools/icon_svg.h"
#include "tools/png_file.h"

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file) std::fprintf(stderr, "icon_generator: cannot write %s\n", path.c_str());
    return bool(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_generator OUTDIR\n");
        return 2;
    }
    const std::string directory = argv[1];
    for (int size : {48, 128, 256}) {
        const std::vector<uint8_t> png = EncodePngFile(DrawRingIcon(size));
        const std::string name = directory + "/lumivar-" + std::to_string(size) + ".png";
        if (!WriteFile(name, std::string(png.begin(), png.end()))) return 1;
    }
    return WriteFile(directory + "/lumivar.svg", DrawRingIconSvg()) ? 0 : 1;
}
