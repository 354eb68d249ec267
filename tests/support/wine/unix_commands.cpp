#include "tests/support/wine/unix_commands.h"

#include <algorithm>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"

namespace e2e {

bool RunUnixCommand(const std::string& command, DWORD timeoutMs) {
    // Wine starts Unix programs but does not wait for them: a marker file says the command is done.
    static int runs = 0;
    const std::wstring marker = WorkPath(L"unix-" + std::to_wstring(++runs) + L".done");
    DeleteFileW(marker.c_str());
    std::wstring line =
        WideFromUtf8("/bin/sh -c \"" + command + "; touch '" + UnixPath(marker) + "'\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return WaitUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     timeoutMs);
}

std::string UnixPath(const std::wstring& windowsPath) {
    std::string path = Utf8FromWide(windowsPath.substr(windowsPath.rfind(L':') + 1));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace e2e
