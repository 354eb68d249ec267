#include "cli/keeper/keeper_log_file.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "core/keeper/keeper_log.h"
#include "platform/user_folders.h"

namespace {

std::string ReadWhole(HANDLE file) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

}  // namespace

void AppendToKeeperLog(const std::string& line) {
    const std::wstring folder =
        UserFolder(L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA) + L"\\VOXA\\LED Lumivar";
    CreateFolders(folder);
    const HANDLE file =
        CreateFileW((folder + L"\\keeper.log").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = LogWithLine(ReadWhole(file), line);
    DWORD written = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    SetEndOfFile(file);
    CloseHandle(file);
}

std::string LocalTimeText() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[24];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}
