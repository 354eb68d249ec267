// The keeper (lumivarw.exe keep) and lumivar.exe on a scenario of the simulated driver, with the
// settings and the keeper's log in the test program's work folder (see TestPaths): what the
// keeper's tests share.
// Wine tells no window of resumes, session changes, devices or the display, so the tests send
// those messages themselves, as the system would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/wine/cli_runs.h"

namespace e2e {

// Not a message: the display's state (wParam: 0 off, 1 on, 2 dimmed) sent as the system sends it.
constexpr UINT kDisplay = 0;

// One line of the keeper's log: its time, what it said, the driver's writes since the line before.
struct Said {
    std::string time, text;
    std::vector<std::string> writes;
};

class KeeperRun {
  public:
    // A keeper left running is ended by force.
    KeeperRun(const std::wstring& name, const std::vector<std::string>& scenario);
    // What one lumivar.exe run sent; it must end with 0.
    std::vector<std::string> Run(const std::string& arguments);
    // lumivarw.exe keep, once its window is there.
    void Start();
    // The keeper ended by this message, with 0.
    void Stop(UINT message = WM_CLOSE, WPARAM wParam = 0);
    // Posted as the system posts it. A device event with an lParam (the interface class it names,
    // a GUID*) and kDisplay are sent with their structures, as the system sends them.
    void Deliver(UINT message, WPARAM wParam, LPARAM lParam = 0);
    // The log's next line once it is written (empty after the timeout).
    Said Next(DWORD timeoutMs = 20000);
    // The scenario changed under the keeper: the driver reads it again at its next load.
    void Rewrite(const std::vector<std::string>& scenario) { WriteScenario(name_, scenario, true); }
    size_t Count(const char* call, std::optional<int> status = {}) const {
        return LoggedCalls(files, call, status).size();
    }

    ScenarioFiles files;
    HWND window = nullptr;

  private:
    std::wstring name_;
    DriverLogWatch watch_;
    std::optional<ProgramProcess> keeper_;
    size_t read_ = 0;  // of the keeper's log
};

// A copy of a program (the panel or lumivar.exe) in a folder of its own, lumivarw.exe beside it
// or not: how to start it.
StartOptions CopiedInto(const std::wstring& folder, const std::wstring& program, bool keeper);

}  // namespace e2e
