// Where the end-to-end tests find the programs under test, and the folder each test program
// writes its files in.
#pragma once

#include <string>

namespace e2e {

// The built program, the same without its SKIN1 picture, lumivar.exe and lumivarw.exe, the
// committed pictures the screen is compared with, a directory of the test program's own ("work"
// beside it), and the settings file there that the programs it starts share (their APPDATA and
// LOCALAPPDATA are folders of the work directory).
struct Paths {
    std::wstring program, withoutSkin1, cli, keeper, reference, work, settings;
};
Paths& TestPaths();
inline std::wstring WorkPath(const std::wstring& name) {
    return TestPaths().work + L"\\" + name;
}

}  // namespace e2e
