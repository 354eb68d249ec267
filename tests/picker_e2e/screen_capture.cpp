#include "tests/picker_e2e/screen_capture.h"

#include <fstream>

#include "tests/e2e/panel_process.h"

namespace e2e {

namespace {

std::string Crop(RECT area) {
    return std::to_string(area.right - area.left) + "x" + std::to_string(area.bottom - area.top) +
           "+" + std::to_string(area.left) + "+" + std::to_string(area.top);
}

int shots = 0;

}  // namespace

COLORREF Screenshot::At(POINT screen) const {
    const int x = screen.x - area_.left;
    const int y = screen.y - area_.top;
    if (!Valid() || x < 0 || y < 0 || screen.x >= area_.right || screen.y >= area_.bottom) {
        return CLR_INVALID;
    }
    const size_t at = (static_cast<size_t>(y) * width_ + x) * 3;
    return RGB(rgb_[at], rgb_[at + 1], rgb_[at + 2]);
}

// A binary PPM (P6, maxval 255) as import writes it.
bool Screenshot::Read(const std::wstring& ppmPath, RECT area) {
    std::ifstream in(Narrow(ppmPath), std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    if (!in || magic != "P6" || maxValue != 255 || width != area.right - area.left ||
        height != area.bottom - area.top) {
        return false;
    }
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    if (!in) return false;
    area_ = area;
    width_ = width;
    rgb_ = std::move(rgb);
    return true;
}

Screenshot CaptureScreen(RECT area) {
    const std::wstring path = WorkPath(L"shot-" + std::to_wstring(++shots) + L".ppm");
    Screenshot shot;
    if (CaptureScreenToFile(area, path)) shot.Read(path, area);
    DeleteFileW(path.c_str());
    return shot;
}

bool CaptureScreenToFile(RECT area, const std::wstring& path) {
    DeleteFileW(path.c_str());
    return RunUnixCommand("import -window root -crop " + Crop(area) + " +repage -depth 8 '" +
                          UnixPath(path) + "'") &&
           GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long DifferingPixels(const std::wstring& first, const std::wstring& second) {
    const std::wstring result = WorkPath(L"compare-" + std::to_wstring(++shots) + L".txt");
    DeleteFileW(result.c_str());
    // compare prints its count on standard error and exits 1 when the pictures differ.
    RunUnixCommand("compare -metric AE -fuzz 10% '" + UnixPath(first) + "' '" + UnixPath(second) +
                   "' null: 2>'" + UnixPath(result) + "'");
    std::ifstream in(Narrow(result));
    double count = -1;
    if (!(in >> count)) return -1;
    return static_cast<long>(count);
}

}  // namespace e2e
