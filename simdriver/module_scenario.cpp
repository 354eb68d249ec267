#include "simdriver/module_scenario.h"

#include <windows.h>

#include <cstdio>

#include "simdriver/scenario.h"

namespace simdriver {

bool ScenarioPathFromEnvironment(std::string& path) {
    wchar_t name[64];
    MultiByteToWideChar(CP_UTF8, 0, kScenarioVariable, -1, name, 64);
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return false;
    std::wstring wide(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, &wide[0], needed);
    if (length == 0 || length >= needed) return false;
    wide.resize(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                          nullptr, 0, nullptr, nullptr);
    path.assign(static_cast<size_t>(bytes), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &path[0],
                            bytes, nullptr, nullptr);
    }
    return true;
}

int64_t ProcessAgeMilliseconds() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (ticks(now) - ticks(created)) / 10000;  // 100-ns ticks
}

void ReportModuleProblem(const std::string& message) {
    const std::string line = "simdriver: " + message + "\n";
    OutputDebugStringA(line.c_str());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace simdriver
