// lumivar.exe as the end-to-end tests run it: on a scenario of the simulated driver, its output
// in files.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/wine/driver_log.h"

namespace e2e {

// Started, not waited for; stdout goes to `out` and stderr to `err` (one file when they are the
// same). Null when it could not be started.
HANDLE StartCli(const ScenarioFiles& files, const std::string& arguments, const std::wstring& out,
                const std::wstring& err);
// Waits for it to end (60 s at most) and closes it: its exit code, STILL_ACTIVE when it did not
// end or never started.
DWORD FinishCli(HANDLE process);
// A file's bytes; empty when it cannot be read.
std::string ReadWhole(const std::wstring& path);

}  // namespace e2e
