#include "simdriver/utf8_path.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#endif

namespace simdriver {

#ifdef _WIN32

std::FILE* OpenUtf8Path(const std::string& path, const char* mode) {
    // This module only ever runs under Wine, whose drive Z: is the Unix root: a test script may
    // name its files by their Unix paths.
    std::string windowsPath = path;
    if (windowsPath.size() > 1 && windowsPath[0] == '/' && windowsPath[1] != '/') {
        windowsPath = "Z:" + windowsPath;
        std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    }
    const int pathLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, windowsPath.c_str(), -1, nullptr, 0);
    if (pathLength <= 0) return nullptr;
    std::wstring widePath(static_cast<size_t>(pathLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, windowsPath.c_str(), -1, &widePath[0],
                        pathLength);
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

#else

// Elsewhere the file system takes the UTF-8 bytes as they are.
std::FILE* OpenUtf8Path(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

#endif

FileRead ReadUtf8PathFile(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* file = OpenUtf8Path(path, "rb");
    if (file == nullptr) return FileRead::kCannotOpen;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    return readFailed ? FileRead::kCannotRead : FileRead::kDone;
}

}  // namespace simdriver
