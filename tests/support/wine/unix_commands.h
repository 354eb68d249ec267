// Unix programs run from a test program under Wine (ImageMagick, xdotool), and the Unix paths
// of the files they are given.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Runs a Unix shell command line to its end (Wine starts Unix programs without waiting).
bool RunUnixCommand(const std::string& command, DWORD timeoutMs = 30000);
// A Windows path under drive Z: as the Unix path it stands for.
std::string UnixPath(const std::wstring& windowsPath);

}  // namespace e2e
