#include "cli/windows/windows_doctor.h"

#include <windows.h>
#include <shlobj.h>

#include "cli/commands/exit_codes.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/named_mutex_lock.h"
#include "platform/windows/read_to_end.h"
#include "platform/windows/system_message.h"
#include "platform/windows/user_folders.h"
#include "platform/windows/utf8_text.h"

namespace {

std::wstring KeeperLogPath() {
    return LumivarFolderIn(L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA) + L"\\keeper.log";
}

}  // namespace

std::string WindowsDoctor::Name() {
    return sizeof(void*) == 8 ? "Windows, 64-bit program" : "Windows, 32-bit program";
}

// The programs load the driver's module from the system directory only.
std::vector<DoctorFact> WindowsDoctor::DriverFacts() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    const std::wstring module =
        (length > 0 && length < MAX_PATH ? std::wstring(folder, length) : L"") + L"\\" +
        NVAPI_MODULE_NAME;
    DoctorFact fact;
    fact.topic = "driver module";
    fact.fields["file"] = Utf8FromWide(module);
    if (GetFileAttributesW(module.c_str()) != INVALID_FILE_ATTRIBUTES) {
        fact.text = Utf8FromWide(module) + ": found";
    } else {
        fact.text = Utf8FromWide(module) + ": not found (" + SystemMessage(GetLastError()) + ")";
        fact.fix = "install or repair NVIDIA's display driver, which puts it there";
        fact.exitCode = kExitDriverFailed;
    }
    return {fact};
}

std::unique_ptr<InterProcessLock> WindowsDoctor::BoardLockAtOnce() {
    return std::make_unique<NamedMutexLock>(kBoardLockName, 0,
                                            "another program is sending to the boards");
}

bool WindowsDoctor::KeeperRuns() {
    return RunningKeeper() != nullptr;
}

std::string WindowsDoctor::KeeperLogName() {
    return Utf8FromWide(KeeperLogPath());
}

FileRead WindowsDoctor::ReadKeeperLog(std::string& text, std::string& error) {
    const HANDLE file =
        CreateFileW(KeeperLogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD problem = GetLastError();
        if (problem == ERROR_FILE_NOT_FOUND || problem == ERROR_PATH_NOT_FOUND)
            return FileRead::kAbsent;
        error = SystemMessage(problem);
        return FileRead::kFailed;
    }
    const bool read = ReadToEnd(file, text);
    if (!read) error = SystemMessage(GetLastError());
    CloseHandle(file);
    return read ? FileRead::kRead : FileRead::kFailed;
}

std::string WindowsDoctor::UnansweredAdvice() {
    return ": the board may have no LED controller at that address (is it a SKARNE board?); "
           "attach lumivar doctor --json to a bug report";
}

std::string WindowsDoctor::TemperatureFailure() {
    return "the driver gives no reading of the GPU's own sensor (NvAPI_GPU_GetThermalSettings): "
           "update NVIDIA's display driver; meanwhile the board takes the first colour";
}
