// Runs the real program under test and drives it from outside, as a user (or the window system)
// would: by its window class, its control IDs and standard messages, with real input from
// xdotool; reads back the screen and what the simulated driver logged.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/panel/control_ids.h"

namespace e2e {

using Json = nlohmann::json;

// The built program, the same without its SKIN1 picture, the committed pictures the screen is
// compared with, and a directory of the test program's own ("work" beside it).
struct Paths {
    std::wstring program, withoutSkin1, reference, work;
};
Paths& TestPaths();
inline std::wstring WorkPath(const std::wstring& name) {
    return TestPaths().work + L"\\" + name;
}

// A family-3000 board on bus 1 (slot 0) and a family-2000 board on bus 2 (slot 1).
inline const std::vector<std::string> kDefaultBoards = {
    "gpu bus=1 pci=220610de name=\"NVIDIA GeForce RTX 3080\"",
    "gpu bus=2 pci=1e8110de name=\"NVIDIA GeForce RTX 2080 SUPER\""};

// A scenario file for the simulated driver, with a log of the test's own (emptied first).
struct ScenarioFiles {
    std::wstring scenario, log;
};
ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines);
// The driver's log, one object per line; a line still being written is left out and counted.
std::vector<Json> ReadDriverLog(const ScenarioFiles& files, size_t* unreadable = nullptr);
// The driver calls in the log, in order ("NvAPI_Initialize", ...).
std::vector<std::string> CallNames(const ScenarioFiles& files);

struct StartOptions {
    std::wstring program;           // empty: the built program
    std::wstring currentDirectory;  // empty: the work directory
    bool debugged = false;          // started under this test as its debugger
    std::wstring arguments;         // after the program's name, with a space first
};

// One run of the program, ended by force if the test leaves it running.
class PanelProcess {
  public:
    explicit PanelProcess(const ScenarioFiles& files, const StartOptions& options = {});
    ~PanelProcess();
    // A shown top-level window of the program, of this class (any when null), once there is
    // one; null when the program ends first or after the timeout. A message box is "#32770".
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 30000);
    HWND WaitForMainWindow(DWORD timeoutMs = 30000) {
        return WaitForWindow(L"LEDLUMIVAR", timeoutMs);
    }
    // The exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 30000);
    // A debugged start: every text the program has written to the debugger so far.
    std::vector<std::string> DebugOutputs();

  private:
    bool Ended() const { return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
    void Start(const std::wstring& program, const std::wstring& directory, DWORD flags);
    void Debug();  // the debugger's loop, on the thread that started the program

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    std::wstring arguments_;
    std::thread debugger_;
    std::mutex outputsMutex_;
    std::vector<std::string> outputs_;
};

// What a user sets before pressing Apply: the mode, interval and brightness positions, Cycle
// (clicked where the mode lets the user choose), LED ON, the slider and the edits' texts.
struct ControlSetting {
    int mode, cycle, interval, brightness, ledOn, slider;
    const wchar_t *red, *green, *blue;
};

// The main window's controls, read and driven from outside.
class PanelWindow {
  public:
    explicit PanelWindow(HWND main) : main_(main) {}
    HWND Main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked(int id) const { return Send(id, BM_GETCHECK) == BST_CHECKED; }
    int Selection(int id) const { return static_cast<int>(Send(id, CB_GETCURSEL)); }
    int SliderPosition() const { return static_cast<int>(Send(kShadeSliderId, TBM_GETPOS)); }
    std::wstring Text(int id) const;
    // The R, G and B edits' texts: "255,255,255".
    std::string Edits() const;
    std::vector<std::wstring> ListTexts(int id) const;
    RECT ScreenRect(int id) const;
    // A client point on screen, and the colour shown there now.
    POINT ScreenPoint(int x, int y) const;
    COLORREF Pixel(int x, int y) const;
    // What the user sees of the controls, in one line: the enabled states of the ten board
    // controls (mode list, LED ON, LED OFF, Cycle, Single, shade slider, Apply, Reset, interval
    // list, brightness list) as 1 and 0; the checks of the four radio buttons (LED ON, LED OFF,
    // Cycle, Single); the positions of the GPU, mode, interval and brightness lists; the slider;
    // the edits; and the mode list's second entry, which tells whose list it is:
    // "1110011111 1001 0,0,1,0 50 255,255,255 FLASH".
    std::string Picture() const;
    // The control that has the keyboard focus in the program's thread.
    HWND Focus() const;

    // A click on a button (the button notifies the window as for a mouse click).
    void Click(int id) const { Send(id, BM_CLICK); }
    // A list selection as the user makes it: the list changes, then the window is told.
    void Select(int id, int position) const;
    void SetSliderPosition(int position) const { Send(kShadeSliderId, TBM_SETPOS, TRUE, position); }
    // Text put into an edit as a paste would.
    void SetText(int id, const std::wstring& text) const {
        Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void SelectAllText(int id) const { Send(id, EM_SETSEL, 0, -1); }
    void Close() const { PostMessageW(main_, WM_CLOSE, 0, 0); }
    void Set(const ControlSetting& setting) const;

  private:
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND main_;
};

// A program started on a scenario, with its main window (null when it never opened).
struct OpenPanel {
    explicit OpenPanel(const std::wstring& name,
                       const std::vector<std::string>& boards = kDefaultBoards,
                       const StartOptions& options = {})
        : files(WriteScenario(name, boards)),
          process(files, options),
          window(process.WaitForMainWindow()) {}
    // Closes the window and expects the loop's exit code 0 and a log that reads back whole
    // (and, when asked, the driver unloaded).
    void CloseAndExpectExitZero(bool expectUnload = false);

    ScenarioFiles files;
    PanelProcess process;
    PanelWindow window;
};

// An I2C transfer as the driver logged it, with the board's line after a write that reached it
// (its lighting afterwards, or why it was ignored).
struct Transfer {
    std::string call;  // NvAPI_I2CWriteEx or NvAPI_I2CReadEx
    int64_t t = 0;     // milliseconds, driver clock
    std::string data;  // "a2 01 ..."
    int64_t deviceAddress = 0, size = 0, bus = 0, status = 0;
    Json line, board;
};

// Follows the driver's log while the program runs: what each command sent.
class DriverLogWatch {
  public:
    explicit DriverLogWatch(const ScenarioFiles& files) : files_(files) { Mark(); }
    void Mark();  // from now on
    // The transfers since the mark, once `writes` writes (and their boards' lines) have arrived
    // or the timeout has passed.
    std::vector<Transfer> WaitForWrites(size_t writes, DWORD timeoutMs = 15000) const;
    std::vector<Transfer> TransfersSinceMark() const;

  private:
    ScenarioFiles files_;
    size_t seen_ = 0;
};

// The data of the writes only.
std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers);

// Bytes as the driver log writes them: "a2 01 ...".
template <typename Bytes>
std::string Hex(const Bytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, " %02x", byte);
        text += digits;
    }
    return text.substr(text.empty() ? 0 : 1);
}

// Runs a Unix shell command line to its end (Wine starts Unix programs without waiting).
bool RunUnixCommand(const std::string& command, DWORD timeoutMs = 30000);
// A Windows path under drive Z: as the Unix path it stands for.
std::string UnixPath(const std::wstring& windowsPath);
// Real input on the X display through xdotool; returns once xdotool has finished.
inline bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments);
}
// xdotool's move to a screen point, with the pause Wine needs before the next button event.
std::string MoveTo(POINT screen);
// A click at the centre of a rectangle on screen.
bool ClickWithPointer(const RECT& screenRect);

// Polls `condition` every 20 ms until it holds or the timeout passes.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(20)) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
    }
}

}  // namespace e2e
