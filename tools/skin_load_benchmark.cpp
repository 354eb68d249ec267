// Times LoadSkin for both pictures, painted pixel by pixel and as one block, and prints the mean
// time per load side by side. Windows program; run it under Wine with
// tools/run-skin-benchmark.sh BUILD_DIR [--loads N].
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "app/skin_catalog.h"
#include "app/dib_format.h"
#include "app/skin_loader.h"

namespace {

class SilentMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t*) override {
        std::fwprintf(stderr, L"LoadSkin failed: %ls\n", text);
    }
};

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::vector<uint32_t> ReadPixels(const SkinImage& skin, int width, int height) {
    BITMAPINFO info = TopDown32BitFormat(width, height);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    SelectObject(skin.dc, skin.previous);  // GetDIBits wants the bitmap out of the context
    GetDIBits(skin.dc, skin.bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    SelectObject(skin.dc, skin.bitmap);
    return pixels;
}

// Mean milliseconds per load and release; the pixels of the last load are kept in `pixels`.
double TimeLoads(HWND window, const SkinDescription& skin, SkinPainting painting, int loads,
                 std::vector<uint32_t>& pixels) {
    SilentMessages messages;
    double total = 0;
    for (int i = 0; i < loads; ++i) {
        SkinImage image;
        const double start = NowMs();
        const bool loaded =
            LoadSkin(GetModuleHandleW(nullptr), window, skin.type, skin.number, skin.width,
                     skin.height, skin.steps, messages, image, painting);
        total += NowMs() - start;
        if (!loaded) std::exit(1);
        if (i == loads - 1) pixels = ReadPixels(image, skin.width, skin.height);
        ReleaseSkin(image);
    }
    return total / loads;
}

}  // namespace

int main(int argc, char** argv) {
    int loads = 20;
    if (argc == 3 && std::strcmp(argv[1], "--loads") == 0) loads = std::atoi(argv[2]);
    if (loads < 1) {
        std::fprintf(stderr, "usage: skin_load_benchmark [--loads N]\n");
        return 2;
    }
    HWND window = CreateWindowExW(0, L"STATIC", L"skin benchmark", WS_POPUP, 0, 0, 400, 400,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "cannot create a window\n");
        return 1;
    }
    std::printf("%-8s %6s %22s %22s %8s %12s\n", "picture", "loads", "pixel by pixel ms/load",
                "one block ms/load", "speed-up", "same pixels");
    bool allSame = true;
    for (const SkinDescription* skin : {&kSkin1Resource, &kSkin2Resource}) {
        std::vector<uint32_t> slowPixels, fastPixels;
        const double slow =
            TimeLoads(window, *skin, SkinPainting::kPixelByPixel, loads, slowPixels);
        const double fast = TimeLoads(window, *skin, SkinPainting::kWholeBlock, loads, fastPixels);
        const bool same = slowPixels == fastPixels;
        allSame = allSame && same;
        std::printf("%-8ls %6d %22.3f %22.3f %7.1fx %12s\n", skin->type, loads, slow, fast,
                    slow / fast, same ? "yes" : "NO");
    }
    DestroyWindow(window);
    return allSame ? 0 : 1;
}
