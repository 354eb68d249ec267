// Runs a program under test (the panel, unless told otherwise) on a scenario of the simulated
// driver, waits for its windows and its end, and ends it if the test leaves it running.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/wine/driver_log.h"

namespace e2e {

struct StartOptions {
    std::wstring program = {};           // empty: the built program
    std::wstring currentDirectory = {};  // empty: the work directory
    bool debugged = false;               // started under this test as its debugger
    std::wstring arguments = {};         // after the program's name, with a space first
    // Files for stdout and stderr (none when empty; err empty: with stdout).
    std::wstring out = {}, err = {};
};

// One run of the program, ended by force if the test leaves it running.
class ProgramProcess {
  public:
    explicit ProgramProcess(const ScenarioFiles& files, const StartOptions& options = {});
    ~ProgramProcess();
    // A shown top-level window of the program, of this class (any when null), once there is
    // one; null when the program ends first or after the timeout. A message box is "#32770".
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 30000);
    HWND WaitForMainWindow(DWORD timeoutMs = 30000) {
        return WaitForWindow(L"LEDLUMIVAR", timeoutMs);
    }
    // A message box of the program once it shows, as "caption: text", closed with OK; "(none)"
    // when none shows in time.
    std::wstring TakeMessage(DWORD timeoutMs = 30000);
    // The exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 30000);
    // A debugged start: every text the program has written to the debugger so far.
    std::vector<std::string> DebugOutputs();

  private:
    bool Ended() const { return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
    void Start(DWORD flags);
    void Debug();  // the debugger's loop, on the thread that started the program

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    StartOptions options_;
    std::thread debugger_;
    std::mutex outputsMutex_;
    std::vector<std::string> outputs_;
};

}  // namespace e2e
