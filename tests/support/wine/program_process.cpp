#include "tests/support/wine/program_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <future>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"

namespace e2e {

namespace {

// A shown top-level window of the process, of the class when one is given.
HWND FindShownWindow(DWORD process, const wchar_t* className) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

}  // namespace

ProgramProcess::ProgramProcess(const ScenarioFiles& files, const StartOptions& options)
    : options_(options) {
    // The driver module reads its scenario from the environment the program inherits.
    SetEnvironmentVariableW(L"LUMIVAR_SIM_SCENARIO", files.scenario.c_str());
    if (!options.debugged) {
        Start(0);
        return;
    }
    std::promise<void> started;
    debugger_ = std::thread([&] {
        Start(DEBUG_ONLY_THIS_PROCESS);
        started.set_value();
        if (process_ != nullptr) Debug();
    });
    started.get_future().wait();
}

void ProgramProcess::Start(DWORD flags) {
    const std::wstring& program = options_.program.empty() ? TestPaths().program : options_.program;
    const std::wstring& directory =
        options_.currentDirectory.empty() ? TestPaths().work : options_.currentDirectory;
    std::wstring commandLine = L"\"" + program + L"\"" + options_.arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    const auto create = [&inherited](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                           0, nullptr);
    };
    const bool redirected = !options_.out.empty();
    if (redirected) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = create(options_.out);
        startup.hStdError = options_.err.empty() ? startup.hStdOutput : create(options_.err);
    }
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, redirected, flags,
                       nullptr, directory.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
    if (redirected) CloseHandle(startup.hStdOutput);
    if (startup.hStdError != startup.hStdOutput) CloseHandle(startup.hStdError);
    EXPECT_NE(process_, nullptr) << "cannot start " << Utf8FromWide(program) << ": "
                                 << GetLastError();
}

void ProgramProcess::Debug() {
    for (DEBUG_EVENT event = {}; WaitForDebugEvent(&event, INFINITE);) {
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                   event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
            status = DBG_EXCEPTION_NOT_HANDLED;  // the loader's breakpoint is ours to pass
        } else if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT) {
            std::string text(event.u.DebugString.nDebugStringLength, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(process_, event.u.DebugString.lpDebugStringData, &text[0],
                              text.size(), &got);
            const std::lock_guard<std::mutex> lock(outputsMutex_);
            outputs_.push_back(text.substr(0, strnlen(text.c_str(), got)));
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return;
    }
}

ProgramProcess::~ProgramProcess() {
    if (!Ended()) TerminateProcess(process_, 99);
    if (process_ != nullptr) WaitForSingleObject(process_, 10000);
    if (debugger_.joinable()) debugger_.join();
    if (process_ != nullptr) CloseHandle(process_);
}

std::vector<std::string> ProgramProcess::DebugOutputs() {
    const std::lock_guard<std::mutex> lock(outputsMutex_);
    return outputs_;
}

HWND ProgramProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindShownWindow(id_, className)) || Ended(); }, timeoutMs);
    return found;
}

std::wstring ProgramProcess::TakeMessage(DWORD timeoutMs) {
    const HWND box = WaitForWindow(L"#32770", timeoutMs);
    if (box == nullptr) return L"(none)";
    wchar_t caption[64] = {}, text[512] = {};
    GetWindowTextW(box, caption, 64);
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box); });
    return caption + std::wstring(L": ") + text;
}

DWORD ProgramProcess::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] { return Ended(); }, timeoutMs);
    GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace e2e
