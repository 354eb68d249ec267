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

// Virus scanners, search indexers, backup and sync tools open a freshly written file for a moment
// without sharing it. A refusal such a hold gives is waited out, in short pauses, this long at
// most, before the file counts as in use by another program.
constexpr DWORD kInUseWaitMs = 5000;
constexpr DWORD kInUsePauseMs = 50;

// The refusals another program's open handle gives: it shares no access with us, it holds a byte
// range, or it has the file marked for deletion (access denied). A file's own permissions give
// access denied too; that costs the wait before the same refusal.
bool MayBeInUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// Runs `attempt` (ERROR_SUCCESS or the error it met) again while it meets such a refusal, until
// the wait is over; the last attempt's result.
template <typename Attempt>
DWORD WhileInUse(Attempt attempt) {
    const ULONGLONG end = GetTickCount64() + kInUseWaitMs;
    for (;;) {
        const DWORD result = attempt();
        if (!MayBeInUse(result) || GetTickCount64() >= end) return result;
        Sleep(kInUsePauseMs);
    }
}

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

DWORD LastErrorIfNot(bool done) {
    return done ? ERROR_SUCCESS : GetLastError();
}

bool WriteWhole(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file);
}

}  // namespace

std::string WindowsSettingsStore::FileName() {
    return Utf8FromWide(SettingsPath());
}

std::string WindowsSettingsStore::Failure(DWORD problem, bool waited) {
    lastFailureInUse_ = waited && MayBeInUse(problem);
    if (!lastFailureInUse_) return FileName() + ": " + SystemMessage(problem);
    return FileName() + " is in use by another program (" + SystemMessage(problem) +
           "); tried for " + std::to_string(kInUseWaitMs / 1000) + " s";
}

FileRead WindowsSettingsStore::Read(std::string& text, std::string& error) {
    lastFailureInUse_ = false;
    // Shared in every way: this read refuses no other program's open, and a replace under way
    // (which holds the file for deleting) does not refuse it.
    const DWORD problem = WhileInUse([&text] {
        OwnedFile file(CreateFileW(SettingsPath().c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        text.clear();
        return LastErrorIfNot(file.Valid() && ReadToEnd(file.Get(), text));
    });
    if (problem == ERROR_SUCCESS) return FileRead::kRead;
    if (problem == ERROR_FILE_NOT_FOUND || problem == ERROR_PATH_NOT_FOUND) {
        return FileRead::kAbsent;
    }
    error = Failure(problem, true);
    return FileRead::kFailed;
}

bool WindowsSettingsStore::Write(const std::string& text, std::string& error) {
    lastFailureInUse_ = false;
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
    DWORD problem = LastErrorIfNot(file.Valid() && WriteWhole(file.Get(), text) && file.Close());
    const bool replacing = problem == ERROR_SUCCESS;
    if (replacing) {
        problem = WhileInUse([&temporary] {
            return LastErrorIfNot(MoveFileExW(temporary.c_str(), SettingsPath().c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
        });
    }
    if (problem == ERROR_SUCCESS) return true;
    file.Close();
    DeleteFileW(temporary.c_str());
    error = Failure(problem, replacing);
    return false;
}

InterProcessLock& WindowsSettingsStore::UpdateLock() {
    return ProcessSettingsLock();
}

WindowsSettingsStore& ProcessSettingsStore() {
    static WindowsSettingsStore store;
    return store;
}
