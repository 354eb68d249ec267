// Times loading both pictures as the program does (decoded, then one block onto the bitmap)
// against painting the decoded pixels one SetPixel call each, and prints the mean time per load
// side by side, with whether both give the same pixels. Windows program; run it under Wine with
// scripts/bench-skins.sh BUILD_DIR [--loads N].
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>

#include "bench/milliseconds_clock.h"
#include "core/skins/skin_catalog.h"
#include "core/skins/skin_decoder.h"
#include "panel/windows/app/skin_loader.h"

namespace {

class PrintedMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t*) override {
        std::fwprintf(stderr, L"LoadSkin failed: %ls\n", text);
        std::exit(1);
    }
};

// The way the pictures were first painted: the same decoded pixels, one call each.
SkinImage LoadPixelByPixel(HWND window, const SkinDescription& skin) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(skin.number), skin.type);
    const void* stored = LockResource(LoadResource(module, found));
    const std::optional<SkinPixels> pixels =
        DecodeSkin(static_cast<const uint8_t*>(stored), SizeofResource(module, found), skin.width,
                   skin.height, skin.steps);
    if (!pixels) std::exit(1);
    const HDC windowDc = GetDC(window);
    SkinImage image(CreateCompatibleDC(windowDc),
                    CreateCompatibleBitmap(windowDc, skin.width, skin.height));
    ReleaseDC(window, windowDc);
    for (int y = 0; y < pixels->height; ++y)
        for (int x = 0; x < pixels->width; ++x) SetPixel(image.dc(), x, y, pixels->At(x, y));
    return image;
}

SkinImage LoadAsTheProgramDoes(HWND window, const SkinDescription& skin) {
    PrintedMessages messages;
    SkinImage image;
    LoadSkin(GetModuleHandleW(nullptr), window, skin.type, skin.number, skin.width, skin.height,
             skin.steps, messages, image);
    return image;
}

std::vector<COLORREF> ReadPixels(const SkinImage& image, const SkinDescription& skin) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < skin.height; ++y)
        for (int x = 0; x < skin.width; ++x) pixels.push_back(GetPixel(image.dc(), x, y));
    return pixels;
}

// Mean milliseconds per load and release; the pixels of the last load are kept in `pixels`.
template <typename Load>
double TimeLoads(HWND window, const SkinDescription& skin, Load load, int loads,
                 std::vector<COLORREF>& pixels) {
    double total = 0;
    for (int i = 0; i < loads; ++i) {
        const double start = MillisecondsNow();
        SkinImage image = load(window, skin);
        total += MillisecondsNow() - start;
        if (i == loads - 1) pixels = ReadPixels(image, skin);
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
        std::vector<COLORREF> slowPixels, fastPixels;
        const double slow = TimeLoads(window, *skin, LoadPixelByPixel, loads, slowPixels);
        const double fast = TimeLoads(window, *skin, LoadAsTheProgramDoes, loads, fastPixels);
        const bool same = slowPixels == fastPixels;
        allSame = allSame && same;
        std::printf("%-8ls %6d %22.3f %22.3f %7.1fx %12s\n", skin->type, loads, slow, fast,
                    slow / fast, same ? "yes" : "NO");
    }
    DestroyWindow(window);
    return allSame ? 0 : 1;
}
