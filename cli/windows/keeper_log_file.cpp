#include "cli/windows/keeper_log_file.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "core/keeper/keeper_log.h"
#include "platform/windows/read_to_end.h"
#include "platform/windows/user_folders.h"

void AppendToKeeperLog(const std::string& line) {
    const std::wstring folder = LumivarFolderIn(L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA);
    CreateFolders(folder);
    const HANDLE file =
        CreateFileW((folder + L"\\keeper.log").c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string log;
    ReadToEnd(file, log);
    const std::string text = LogWithLine(log, line, "\r\n");
    DWORD written = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    SetEndOfFile(file);
    CloseHandle(file);
}

LocalTime LocalTimeNow() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char text[24];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return {text, (now.wHour * 60 + now.wMinute) * 60 + now.wSecond};
}
