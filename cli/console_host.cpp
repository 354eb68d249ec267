#include "cli/console_host.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/process_nvapi.h"
#include "platform/utf8_text.h"

namespace {

constexpr const wchar_t* kSettingsFolders[] = {L"VOXA", L"LED Lumivar"};
constexpr const wchar_t* kSettingsFile = L"settings.json";

// A console shows wide text as it is; a pipe or a file gets UTF-8 bytes.
void WriteLine(DWORD stream, const std::string& line) {
    const HANDLE handle = GetStdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = WideFromUtf8(text);
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : L"";
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    return (text.empty() ? "error" : Utf8FromWide(text)) + " (error " + std::to_string(error) + ")";
}

// %APPDATA%, or the user's roaming application data where the variable is missing.
std::wstring ApplicationData() {
    const DWORD needed = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        value.resize(GetEnvironmentVariableW(L"APPDATA", &value[0], needed));
        if (!value.empty()) return value;
    }
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

std::wstring SettingsFolder() {
    std::wstring folder = ApplicationData();
    for (const wchar_t* part : kSettingsFolders) folder += std::wstring(L"\\") + part;
    return folder;
}

std::wstring SettingsPath() {
    return SettingsFolder() + L"\\" + kSettingsFile;
}

class OwnedFile {
  public:
    explicit OwnedFile(HANDLE handle) : handle_(handle) {}
    ~OwnedFile() { Close(); }
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        const bool closed = !Valid() || CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

bool WriteWhole(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file);
}

}  // namespace

nvapi::NvApiAccess& WindowsHost::Driver() {
    return nvapi::ProcessNvApi();
}

void WindowsHost::Print(const std::string& line) {
    WriteLine(STD_OUTPUT_HANDLE, line);
}

void WindowsHost::PrintError(const std::string& line) {
    WriteLine(STD_ERROR_HANDLE, line);
}

std::string WindowsHost::SettingsFileName() {
    return Utf8FromWide(SettingsPath());
}

FileRead WindowsHost::ReadSettingsFile(std::string& text, std::string& error) {
    OwnedFile file(CreateFileW(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD problem = GetLastError();
        if (problem == ERROR_FILE_NOT_FOUND || problem == ERROR_PATH_NOT_FOUND) {
            return FileRead::kAbsent;
        }
        error = SettingsFileName() + ": " + SystemMessage(problem);
        return FileRead::kFailed;
    }
    text.clear();
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            error = SettingsFileName() + ": " + SystemMessage(GetLastError());
            return FileRead::kFailed;
        }
        if (got == 0) return FileRead::kRead;
        text.append(buffer, got);
    }
}

bool WindowsHost::WriteSettingsFile(const std::string& text, std::string& error) {
    // The folders, then a new file beside the old one, which replaces it only once it is whole.
    const std::wstring folder = SettingsFolder();
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) {
        error = Utf8FromWide(folder) + ": " + SystemMessage(static_cast<DWORD>(created));
        return false;
    }
    const std::wstring temporary =
        folder + L"\\" + kSettingsFile + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    OwnedFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD problem = ERROR_SUCCESS;
    if (!file.Valid() || !WriteWhole(file.Get(), text) || !file.Close() ||
        !MoveFileExW(temporary.c_str(), SettingsPath().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        problem = GetLastError();
    }
    if (problem == ERROR_SUCCESS) return true;
    file.Close();
    DeleteFileW(temporary.c_str());
    error = SettingsFileName() + ": " + SystemMessage(problem);
    return false;
}

void WindowsHost::Sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

uint64_t WindowsHost::Milliseconds() {
    return GetTickCount64();
}
