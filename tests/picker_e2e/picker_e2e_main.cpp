// The picker's end-to-end tests' entry: GoogleTest's own flags, then
// --program=LEDLumivar.exe --work=DIRECTORY --reference=DIRECTORY (Unix paths are taken as
// drive Z:). The reference directory holds the pictures the screen is compared against.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "panel_process.h"
#include "picker_e2e_paths.h"
#include "support/wine_paths.h"

namespace e2e {

std::wstring& ReferenceDirectory() {
    static std::wstring directory;
    return directory;
}

}  // namespace e2e

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    e2e::Paths& paths = e2e::TestPaths();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = argument.substr(0, equals);
        const std::wstring value = WindowsPathFromArgument(e2e::Wide(argument.substr(equals + 1)));
        if (name == "--program") paths.program = value;
        if (name == "--work") paths.work = value;
        if (name == "--reference") e2e::ReferenceDirectory() = value;
    }
    if (paths.program.empty() || paths.work.empty() || e2e::ReferenceDirectory().empty()) {
        std::fprintf(stderr, "usage: %s --program=LEDLumivar.exe --work=DIR --reference=DIR\n",
                     argv[0]);
        return 2;
    }
    CreateDirectoryW(paths.work.c_str(), nullptr);
    return RUN_ALL_TESTS();
}
