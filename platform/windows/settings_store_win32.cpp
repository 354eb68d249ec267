#include "platform/windows/settings_store_win32.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/windows/named_mutex_lock.h"
#include "platform/windows/read_to_end.h"
#include "platform/windows/system_message.h"
#include "platform/windows/user_folders.h"
#include "platform/windows/utf8_text.h"

namespace {

constexpr const wchar_t* kSettingsFile = L"settings.json";

std::wstring SettingsFolder() {
    return LumivarFolderIn(L"APPDATA", CSIDL_APPDATA);
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

std::string WindowsSettingsStore::FileName() {
    return Utf8FromWide(SettingsPath());
}

FileRead WindowsSettingsStore::Read(std::string& text, std::string& error) {
    OwnedFile file(CreateFileW(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD problem = GetLastError();
        if (problem == ERROR_FILE_NOT_FOUND || problem == ERROR_PATH_NOT_FOUND) {
            return FileRead::kAbsent;
        }
        error = FileName() + ": " + SystemMessage(problem);
        return FileRead::kFailed;
    }
    text.clear();
    if (!ReadToEnd(file.Get(), text)) {
        error = FileName() + ": " + SystemMessage(GetLastError());
        return FileRead::kFailed;
    }
    return FileRead::kRead;
}

bool WindowsSettingsStore::Write(const std::string& text, std::string& error) {
    // The folders, then a new file beside the old one, which replaces it only once it is whole.
    const std::wstring folder = SettingsFolder();
    const DWORD created = CreateFolders(folder);
    if (created != ERROR_SUCCESS) {
        error = Utf8FromWide(folder) + ": " + SystemMessage(created);
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
    error = FileName() + ": " + SystemMessage(problem);
    return false;
}

InterProcessLock& WindowsSettingsStore::UpdateLock() {
    return ProcessSettingsLock();
}

WindowsSettingsStore& ProcessSettingsStore() {
    static WindowsSettingsStore store;
    return store;
}
