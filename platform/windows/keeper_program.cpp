#include "platform/windows/keeper_program.h"

#include <windows.h>

std::wstring FolderOfProgram(const std::wstring& programPath) {
    const size_t slash = programPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash);
}

std::wstring ProgramInFolder(const std::wstring& folder, const std::wstring& name) {
    const bool endsInSlash = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
    return folder + (endsInSlash || folder.empty() ? L"" : L"\\") + name;
}

std::wstring KeeperCommandLine(const std::wstring& folder) {
    return L"\"" + ProgramInFolder(folder, kKeeperProgramName) + L"\" keep";
}

std::wstring ThisProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return FolderOfProgram(path);
        }
        path.resize(path.size() * 2);
    }
}

bool KeeperProgramPresent(const std::wstring& folder) {
    const DWORD attributes =
        GetFileAttributesW(ProgramInFolder(folder, kKeeperProgramName).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void StartProgram(const std::wstring& program, std::wstring commandLine,
                  const std::wstring& folder) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}
