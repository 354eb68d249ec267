#include "tests/support/wine/cli_runs.h"

#include <fstream>
#include <sstream>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/test_paths.h"

namespace e2e {

HANDLE StartCli(const ScenarioFiles& files, const std::string& arguments, const std::wstring& out,
                const std::wstring& err) {
    SetEnvironmentVariableW(L"LUMIVAR_SIM_SCENARIO", files.scenario.c_str());
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const auto create = [&inherit](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0,
                           nullptr);
    };
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = create(out);
    startup.hStdError = err == out ? startup.hStdOutput : create(err);
    const std::wstring& program = TestPaths().cli;
    std::wstring line = L"\"" + program + L"\" " + WideFromUtf8(arguments);
    PROCESS_INFORMATION info = {};
    const bool started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(startup.hStdOutput);
    if (startup.hStdError != startup.hStdOutput) CloseHandle(startup.hStdError);
    if (!started) return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

DWORD FinishCli(HANDLE process) {
    DWORD code = STILL_ACTIVE;
    if (process == nullptr) return code;
    WaitForSingleObject(process, 60000);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

std::string ReadWhole(const std::wstring& path) {
    std::ostringstream text;
    text << std::ifstream(Utf8FromWide(path), std::ios::binary).rdbuf();
    return text.str();
}

}  // namespace e2e
