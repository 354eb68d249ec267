// lumivar.exe as the end-to-end tests run it: on a scenario of the simulated driver, its output
// in files.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/program_process.h"
#include "tests/support/wine/test_paths.h"

namespace e2e {

// lumivar.exe with these arguments, its stdout in `out` and its stderr in `err` (or in `out`).
inline StartOptions Cli(const std::string& arguments, const std::wstring& out,
                        const std::wstring& err = L"") {
    return {TestPaths().cli, L"", false, L" " + WideFromUtf8(arguments), out, err};
}
// A program run on a scenario to its end (60 s at most): its exit code, STILL_ACTIVE when it did
// not end.
inline DWORD RunToEnd(const ScenarioFiles& files, const StartOptions& options) {
    return ProgramProcess(files, options).WaitForExit(60000);
}
// A file's bytes; empty when it cannot be read.
inline std::string ReadWhole(const std::wstring& path) {
    std::ostringstream text;
    text << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return text.str();
}

}  // namespace e2e
