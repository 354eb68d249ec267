// The end-to-end tests' entry: GoogleTest's own flags, then where the program and its helpers
// are: --program=PATH --work=DIRECTORY, and as a test needs them --without-skin1=PATH
// --decoy=PATH --reference=DIRECTORY (Unix paths are taken as drive Z:).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/e2e/panel_process.h"
#include "tests/support/wine_paths.h"

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
        if (name == "--decoy") paths.decoyModule = value;
        if (name == "--without-skin1") paths.withoutSkin1 = value;
        if (name == "--work") paths.work = value;
        if (name == "--reference") paths.reference = value;
    }
    if (paths.program.empty() || paths.work.empty()) {
        std::fprintf(stderr, "usage: %s --program=LEDLumivar.exe --work=DIR [--decoy=PATH ...]\n",
                     argv[0]);
        return 2;
    }
    CreateDirectoryW(paths.work.c_str(), nullptr);
    return RUN_ALL_TESTS();
}
