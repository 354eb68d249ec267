#include "tests/support/wine/test_paths.h"

#include <windows.h>

#include <cwchar>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/wine_paths.h"

namespace e2e {

// The programs where the build put them (Unix paths, read through drive Z:), and the work
// directory beside the test program, where the programs started keep their settings and logs.
Paths& TestPaths() {
    static Paths paths = [] {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        *std::wcsrchr(self, L'\\') = L'\0';
        Paths found{WindowsPathFromArgument(WideFromUtf8(LUMIVAR_PROGRAM)),
                    WindowsPathFromArgument(WideFromUtf8(LUMIVAR_PROGRAM_WITHOUT_SKIN1)),
                    WindowsPathFromArgument(WideFromUtf8(LUMIVAR_CLI_PROGRAM)),
                    WindowsPathFromArgument(WideFromUtf8(LUMIVAR_KEEPER_PROGRAM)),
                    WindowsPathFromArgument(WideFromUtf8(LUMIVAR_REFERENCE_PICTURES)),
                    std::wstring(self) + L"\\work",
                    std::wstring(self) + L"\\work\\appdata\\VOXA\\LED Lumivar\\settings.json"};
        CreateDirectoryW(found.work.c_str(), nullptr);
        SetEnvironmentVariableW(L"APPDATA", (found.work + L"\\appdata").c_str());
        SetEnvironmentVariableW(L"LOCALAPPDATA", (found.work + L"\\local").c_str());
        return found;
    }();
    return paths;
}

}  // namespace e2e
