#include "cli/windows/windows_host.h"

#include <windows.h>

#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/named_mutex_lock.h"
#include "platform/windows/process_nvapi.h"
#include "platform/windows/settings_store_win32.h"
#include "platform/windows/utf8_text.h"

namespace {

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

SettingsStore& WindowsHost::Settings() {
    return ProcessSettingsStore();
}

InterProcessLock& WindowsHost::BoardLock() {
    return ProcessBoardLock();
}

void WindowsHost::Sleep(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

uint64_t WindowsHost::Milliseconds() {
    return GetTickCount64();
}

void WindowsHost::SettingsChanged() {
    TellKeeperSettingsChanged();
}
