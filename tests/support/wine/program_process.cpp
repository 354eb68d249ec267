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
    : arguments_(options.arguments) {
    // The driver module reads its scenario from the environment the program inherits.
    SetEnvironmentVariableW(L"LUMIVAR_SIM_SCENARIO", files.scenario.c_str());
    const std::wstring& program = options.program.empty() ? TestPaths().program : options.program;
    const std::wstring& directory =
        options.currentDirectory.empty() ? TestPaths().work : options.currentDirectory;
    if (!options.debugged) {
        Start(program, directory, 0);
        return;
    }
    std::promise<void> started;
    debugger_ = std::thread([&] {
        Start(program, directory, DEBUG_ONLY_THIS_PROCESS);
        started.set_value();
        if (process_ != nullptr) Debug();
    });
    started.get_future().wait();
}

void ProgramProcess::Start(const std::wstring& program, const std::wstring& directory,
                           DWORD flags) {
    std::wstring commandLine = L"\"" + program + L"\"" + arguments_;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr,
                       directory.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
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

DWORD ProgramProcess::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] { return Ended(); }, timeoutMs);
    GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace e2e
