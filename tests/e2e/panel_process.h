// Runs the real program under test and drives it from outside, as a user (or the window system)
// would: by its window title and class, its control IDs and standard messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/panel/control_ids.h"
#include "tests/support/json_line.h"

namespace e2e {

// Where the program and its helpers are, from the test's command line.
struct Paths {
    std::wstring program;       // LEDLumivar.exe
    std::wstring withoutSkin1;  // the same program without its SKIN1 picture
    std::wstring decoyModule;   // a planted driver module
    std::wstring work;          // a directory of the test's own
    std::wstring reference;     // the committed pictures the screen is compared against
};
Paths& TestPaths();
std::wstring WorkPath(const std::wstring& name);
std::string Narrow(const std::wstring& text);
std::wstring Wide(const std::string& text);

// A family-3000 board on bus 1 (slot 0) and a family-2000 board on bus 2 (slot 1).
inline const std::vector<std::string> kDefaultBoards = {
    "gpu bus=1 pci=220610de name=\"NVIDIA GeForce RTX 3080\"",
    "gpu bus=2 pci=1e8110de name=\"NVIDIA GeForce RTX 2080 SUPER\""};

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
// Whether the log shows the driver unloaded.
bool DriverUnloaded(const ScenarioFiles& files);

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
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked(int id) const { return Send(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int Selection(int id) const { return static_cast<int>(Send(Control(id), CB_GETCURSEL, 0, 0)); }
    int Count(int id) const { return static_cast<int>(Send(Control(id), CB_GETCOUNT, 0, 0)); }
    std::vector<std::wstring> ListTexts(int id) const;
    std::wstring Text(int id) const;
    int SliderPosition() const {
        return static_cast<int>(Send(Control(kShadeSliderId), TBM_GETPOS, 0, 0));
    }
    RECT ScreenRect(int id) const {
        RECT rect = {};
        GetWindowRect(Control(id), &rect);
        return rect;
    }
    // The enabled and checked states of the ten board controls, one line (see the test).
    std::string States() const;

    // A click on a button (the button notifies the window as for a mouse click).
    void Click(int id) const { Send(Control(id), BM_CLICK, 0, 0); }
    // A list selection as the user makes it: the list changes, then the window is told.
    void Select(int id, int position) const;
    void SetSliderPosition(int position) const {
        Send(Control(kShadeSliderId), TBM_SETPOS, TRUE, position);
    }
    // Text put into an edit as a paste would.
    void SetText(int id, const std::wstring& text) const {
        Send(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void SelectAllText(int id) const { Send(Control(id), EM_SETSEL, 0, -1); }
    // The control that has the keyboard focus in the program's thread.
    HWND Focus() const;
    void Close() const { PostMessageW(main_, WM_CLOSE, 0, 0); }

  private:
    LRESULT Send(HWND to, UINT message, WPARAM wParam, LPARAM lParam) const;
    HWND main_;
};

// A program started on a scenario, with its main window (null when it never opened).
struct OpenPanel {
    explicit OpenPanel(const std::wstring& name,
                       const std::vector<std::string>& boards = kDefaultBoards)
        : files(WriteScenario(name, boards)), process(files), window(process.WaitForMainWindow()) {}
    // Closes the window and expects the loop's exit code 0 (and, when asked, the driver unloaded).
    void CloseAndExpectExitZero(bool expectUnload = false);

    ScenarioFiles files;
    PanelProcess process;
    PanelWindow window;
};

// Runs a Unix shell command line to its end (Wine starts Unix programs without waiting).
bool RunUnixCommand(const std::string& command, DWORD timeoutMs = 30000);
// A Windows path under drive Z: as the Unix path it stands for.
std::string UnixPath(const std::wstring& windowsPath);
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
