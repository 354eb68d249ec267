#include "platform/windows/user_folders.h"

namespace {

using ShGetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

std::wstring ShellFolder(int csidl) {
    const HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (shell == nullptr) return std::wstring();
    wchar_t folder[MAX_PATH] = {};
    const auto getFolderPath = reinterpret_cast<ShGetFolderPathFn>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
    if (getFolderPath != nullptr) {
        getFolderPath(nullptr, csidl, nullptr, 0 /* SHGFP_TYPE_CURRENT */, folder);
    }
    FreeLibrary(shell);
    return folder;
}

}  // namespace

std::wstring UserFolder(const wchar_t* variable, int csidl) {
    const DWORD needed = GetEnvironmentVariableW(variable, nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        value.resize(GetEnvironmentVariableW(variable, &value[0], needed));
        if (!value.empty()) return value;
    }
    return ShellFolder(csidl);
}

std::wstring LumivarFolderIn(const wchar_t* variable, int csidl) {
    return UserFolder(variable, csidl) + L"\\VOXA\\LED Lumivar";
}

DWORD CreateFolders(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return ERROR_SUCCESS;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return ERROR_SUCCESS;
    if (error != ERROR_PATH_NOT_FOUND) return error;
    // The parent first; a drive or share root ("C:", "\\server\share") has no parent to make.
    const size_t separator = folder.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator == 0) return error;
    error = CreateFolders(folder.substr(0, separator));
    if (error != ERROR_SUCCESS) return error;
    if (CreateDirectoryW(folder.c_str(), nullptr)) return ERROR_SUCCESS;
    error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : error;
}
