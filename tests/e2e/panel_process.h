// Runs the real program under test and drives it from outside, as a user (or the window system)
// would: by its window title and class, its control IDs and standard messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/json_line.h"

namespace e2e {

// Where the program and its helpers are, from the test's command line.
struct Paths {
    std::wstring program;       // LEDLumivar.exe
    std::wstring withoutSkin1;  // the same program without its SKIN1 picture
    std::wstring decoyModule;   // a planted driver module
    std::wstring work;          // a directory of the test's own
};
Paths& TestPaths();
std::wstring WorkPath(const std::wstring& name);
std::string Narrow(const std::wstring& text);
std::wstring Wide(const std::string& text);

// A scenario file for the simulated driver, with a log of the test's own (emptied first).
struct ScenarioFiles {
    std::wstring scenario;
    std::wstring log;
};
ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines);
std::vector<jsonline::Object> ReadDriverLog(const ScenarioFiles& files);
// The log's lines for one driver call ("NvAPI_I2CWriteEx", ...).
std::vector<jsonline::Object> Calls(const std::vector<jsonline::Object>& log,
                                    const std::string& call);

struct StartOptions {
    std::wstring program;           // empty: the built program
    std::wstring currentDirectory;  // empty: the work directory
    std::wstring pathPrefix;        // put in front of PATH when set
    bool debugged = false;          // started under this test as its debugger
};

struct MessageBoxSeen {
    HWND box = nullptr;
    std::wstring caption;
    std::wstring text;
};

// One run of the program. Ended by force when the test leaves it running.
class PanelProcess {
  public:
    PanelProcess(const ScenarioFiles& files, const StartOptions& options = {});
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    // For a debugged start: runs the program up to its first debugger output, takes that text
    // and lets the program go on undebugged.
    bool FirstDebugOutput(std::string& text, DWORD timeoutMs = 30000);
    DWORD Id() const { return id_; }
    // The main window once it is shown; null after the timeout or when the program ended.
    HWND WaitForMainWindow(DWORD timeoutMs = 30000);
    // A message box of this process; the main window must stay hidden meanwhile.
    bool WaitForMessageBox(MessageBoxSeen& seen, bool& mainWindowShown, DWORD timeoutMs = 30000);
    // The exit code, or STILL_ACTIVE after the timeout; notes whether the main window, or any
    // window of the process, was shown meanwhile.
    DWORD WaitForExit(DWORD timeoutMs = 30000, bool* mainWindowShown = nullptr,
                      bool* anyWindowShown = nullptr);

  private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

void CloseMessageBox(HWND box);

// The main window's controls, read and driven from outside.
class PanelWindow {
  public:
    explicit PanelWindow(HWND main) : main_(main) {}
    HWND Main() const { return main_; }
    HWND Control(int id) const;
    bool Enabled(int id) const;
    bool Checked(int id) const;
    int Selection(int id) const;
    int Count(int id) const;
    std::vector<std::wstring> ListTexts(int id) const;
    std::wstring Text(int id) const;
    int SliderPosition() const;
    RECT ScreenRect(int id) const;
    // The enabled and checked states of the ten board controls, one line (see the test).
    std::string States() const;

    // A click on a button (the button notifies the window as for a mouse click).
    void Click(int id) const;
    // A list selection as the user makes it: the list changes, then the window is told.
    void Select(int id, int position) const;
    void SetSliderPosition(int position) const;
    // Text put into an edit as a paste would.
    void SetText(int id, const std::wstring& text) const;
    void SelectAllText(int id) const;
    // The control that has the keyboard focus in the program's thread.
    HWND Focus() const;
    void Close() const;

  private:
    LRESULT Send(HWND to, UINT message, WPARAM wParam, LPARAM lParam) const;
    HWND main_;
};

// Real input on the X display through xdotool; returns once xdotool has finished.
bool Xdotool(const std::string& arguments);
// A click at the centre of a control, with the pause Wine needs after a pointer move.
bool ClickWithPointer(const RECT& screenRect);

// Polls `condition` every 20 ms until it holds or the timeout passes.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

}  // namespace e2e
