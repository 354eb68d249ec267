// Test programs under Wine get Unix paths from CTest; Wine's drive Z: is the Unix root.
#pragma once

#include <string>

inline std::wstring WindowsPathFromArgument(const std::wstring& argument) {
    std::wstring path = argument;
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (auto& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}
