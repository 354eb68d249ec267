#include "tests/e2e/panel_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <fstream>
#include <future>

#include "platform/utf8_text.h"
#include "tests/support/wine_paths.h"

namespace e2e {

namespace {

// A shown top-level window of the process, of the class when one is given.
HWND FindShownWindow(DWORD process, const wchar_t* className) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// The I2C transfers of the log, each with the board's line that follows a write reaching it.
std::vector<Transfer> Transfers(const std::vector<Json>& log) {
    std::vector<Transfer> transfers;
    for (const Json& line : log) {
        const std::string call = line.value("call", "");
        if (call == "NvAPI_I2CWriteEx" || call == "NvAPI_I2CReadEx") {
            const auto number = [&](const char* key) { return line.value(key, int64_t{0}); };
            transfers.push_back({call, number("t"), line.value("data", ""), number("i2cDevAddress"),
                                 number("cbSize"), number("bus"), number("status"), line, Json()});
        } else if (line.contains("board") && !transfers.empty()) {
            transfers.back().board = line;
        }
    }
    return transfers;
}

}  // namespace

// The programs where the build put them (Unix paths, read through drive Z:), and the work
// directory beside the test program.
Paths& TestPaths() {
    static Paths paths = [] {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        *std::wcsrchr(self, L'\\') = L'\0';
        Paths found{WindowsPathFromArgument(WideFromUtf8(LUMIVAR_PROGRAM)),
                    WindowsPathFromArgument(WideFromUtf8(LUMIVAR_PROGRAM_WITHOUT_SKIN1)),
                    WindowsPathFromArgument(WideFromUtf8(LUMIVAR_REFERENCE_PICTURES)),
                    std::wstring(self) + L"\\work"};
        CreateDirectoryW(found.work.c_str(), nullptr);
        return found;
    }();
    return paths;
}

ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines) {
    ScenarioFiles files{WorkPath(name + L".scenario"), WorkPath(name + L".log")};
    DeleteFileW(files.log.c_str());
    std::ofstream out(files.scenario.c_str(), std::ios::binary | std::ios::trunc);
    out << "log " << Utf8FromWide(files.log) << "\n";
    for (const std::string& line : lines) out << line << "\n";
    return files;
}

std::vector<Json> ReadDriverLog(const ScenarioFiles& files, size_t* unreadable) {
    std::vector<Json> log;
    std::ifstream in(files.log.c_str(), std::ios::binary);
    size_t bad = 0;
    for (std::string line; std::getline(in, line);) {
        Json object = Json::parse(line, nullptr, false);
        object.is_object() ? log.push_back(std::move(object)) : void(++bad);
    }
    if (unreadable != nullptr) *unreadable = bad;
    return log;
}

std::vector<std::string> CallNames(const ScenarioFiles& files) {
    std::vector<std::string> names;
    for (const Json& line : ReadDriverLog(files)) {
        if (line.contains("call")) names.push_back(line["call"]);
    }
    return names;
}

PanelProcess::PanelProcess(const ScenarioFiles& files, const StartOptions& options)
    : arguments_(options.arguments) {
    // The driver module reads its scenario from the environment the program inherits.
    SetEnvironmentVariableW(L"LUMIVAR_SIM_SCENARIO", files.scenario.c_str());
    const std::wstring& program = options.program.empty() ? TestPaths().program : options.program;
    const std::wstring& directory =
        options.currentDirectory.empty() ? TestPaths().work : options.currentDirectory;
    if (!options.debugged) {
        Start(program, directory, 0);
        return;
    }
    std::promise<void> started;
    debugger_ = std::thread([&] {
        Start(program, directory, DEBUG_ONLY_THIS_PROCESS);
        started.set_value();
        if (process_ != nullptr) Debug();
    });
    started.get_future().wait();
}

void PanelProcess::Start(const std::wstring& program, const std::wstring& directory, DWORD flags) {
    std::wstring commandLine = L"\"" + program + L"\"" + arguments_;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr,
                       directory.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
    EXPECT_NE(process_, nullptr) << "cannot start " << Utf8FromWide(program) << ": "
                                 << GetLastError();
}

void PanelProcess::Debug() {
    for (DEBUG_EVENT event = {}; WaitForDebugEvent(&event, INFINITE);) {
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                   event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
            status = DBG_EXCEPTION_NOT_HANDLED;  // the loader's breakpoint is ours to pass
        } else if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT) {
            std::string text(event.u.DebugString.nDebugStringLength, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(process_, event.u.DebugString.lpDebugStringData, &text[0],
                              text.size(), &got);
            const std::lock_guard<std::mutex> lock(outputsMutex_);
            outputs_.push_back(text.substr(0, strnlen(text.c_str(), got)));
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) return;
    }
}

PanelProcess::~PanelProcess() {
    if (!Ended()) TerminateProcess(process_, 99);
    if (process_ != nullptr) WaitForSingleObject(process_, 10000);
    if (debugger_.joinable()) debugger_.join();
    if (process_ != nullptr) CloseHandle(process_);
}

std::vector<std::string> PanelProcess::DebugOutputs() {
    const std::lock_guard<std::mutex> lock(outputsMutex_);
    return outputs_;
}

HWND PanelProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindShownWindow(id_, className)) || Ended(); }, timeoutMs);
    return found;
}

DWORD PanelProcess::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] { return Ended(); }, timeoutMs);
    GetExitCodeProcess(process_, &code);
    return code;
}

void OpenPanel::CloseAndExpectExitZero(bool expectUnload) {
    window.Close();
    EXPECT_EQ(process.WaitForExit(), 0u);
    size_t unreadable = 0;
    ReadDriverLog(files, &unreadable);
    EXPECT_EQ(unreadable, 0u) << "the driver's log has lines that are not JSON objects";
    const std::vector<std::string> calls = CallNames(files);
    EXPECT_TRUE(!expectUnload || std::count(calls.begin(), calls.end(), "NvAPI_UnloadWithArgument"))
        << "the driver log shows no unload";
}

LRESULT PanelWindow::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Control(id), message, wParam, lParam, SMTO_NORMAL, 15000, &result);
    return static_cast<LRESULT>(result);
}

std::wstring PanelWindow::Text(int id) const {
    wchar_t text[256] = {};
    Send(id, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

void PanelWindow::Set(const ControlSetting& s) const {
    Select(kModeListId, s.mode);
    if (Enabled(kCycleButtonId)) Click(s.cycle ? kCycleButtonId : kSingleButtonId);
    Select(kIntervalListId, s.interval);
    Select(kBrightnessListId, s.brightness);
    Click(s.ledOn ? kLedOnButtonId : kLedOffButtonId);
    SetSliderPosition(s.slider);
    SetText(kRedEditId, s.red);
    SetText(kGreenEditId, s.green);
    SetText(kBlueEditId, s.blue);
}

std::string PanelWindow::Edits() const {
    return Utf8FromWide(Text(kRedEditId) + L"," + Text(kGreenEditId) + L"," + Text(kBlueEditId));
}

std::vector<std::wstring> PanelWindow::ListTexts(int id) const {
    std::vector<std::wstring> texts(static_cast<size_t>(Send(id, CB_GETCOUNT)));
    for (size_t i = 0; i < texts.size(); ++i) {
        wchar_t text[128] = {};
        Send(id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts[i] = text;
    }
    return texts;
}

RECT PanelWindow::ScreenRect(int id) const {
    RECT rect = {};
    GetWindowRect(Control(id), &rect);
    return rect;
}

POINT PanelWindow::ScreenPoint(int x, int y) const {
    POINT point = {x, y};
    ClientToScreen(main_, &point);
    return point;
}

COLORREF PanelWindow::Pixel(int x, int y) const {
    const POINT at = ScreenPoint(x, y);
    const HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

std::string PanelWindow::Picture() const {
    std::string picture;
    for (int id :
         {kModeListId, kLedOnButtonId, kLedOffButtonId, kCycleButtonId, kSingleButtonId,
          kShadeSliderId, kApplyButtonId, kResetButtonId, kIntervalListId, kBrightnessListId}) {
        picture += Enabled(id) ? '1' : '0';
    }
    picture += ' ';
    for (int id : {kLedOnButtonId, kLedOffButtonId, kCycleButtonId, kSingleButtonId}) {
        picture += Checked(id) ? '1' : '0';
    }
    for (int id : {kGpuListId, kModeListId, kIntervalListId, kBrightnessListId}) {
        picture += (id == kGpuListId ? " " : ",") + std::to_string(Selection(id));
    }
    const std::vector<std::wstring> modes = ListTexts(kModeListId);
    return picture + " " + std::to_string(SliderPosition()) + " " + Edits() + " " +
           Utf8FromWide(modes.size() > 1 ? modes[1] : L"");
}

HWND PanelWindow::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
    return info.hwndFocus;
}

void PanelWindow::Select(int id, int position) const {
    Send(id, CB_SETCURSEL, position);
    SendMessageW(main_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(id)));
}

void DriverLogWatch::Mark() {
    seen_ = Transfers(ReadDriverLog(files_)).size();
}

std::vector<Transfer> DriverLogWatch::TransfersSinceMark() const {
    std::vector<Transfer> all = Transfers(ReadDriverLog(files_));
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, all.size())));
    return all;
}

std::vector<Transfer> DriverLogWatch::WaitForWrites(size_t writes, DWORD timeoutMs) const {
    std::vector<Transfer> sent;
    WaitUntil(
        [&] {
            sent = TransfersSinceMark();
            const bool boardLineDue = !sent.empty() && sent.back().call == "NvAPI_I2CWriteEx" &&
                                      sent.back().status == 0 && sent.back().board.is_null();
            return WrittenData(sent).size() >= writes && !boardLineDue;
        },
        timeoutMs);
    return sent;
}

std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers) {
    std::vector<std::string> data;
    for (const Transfer& transfer : transfers) {
        if (transfer.call == "NvAPI_I2CWriteEx") data.push_back(transfer.data);
    }
    return data;
}

bool RunUnixCommand(const std::string& command, DWORD timeoutMs) {
    // Wine starts Unix programs but does not wait for them: a marker file says the command is done.
    static int runs = 0;
    const std::wstring marker = WorkPath(L"unix-" + std::to_wstring(++runs) + L".done");
    DeleteFileW(marker.c_str());
    std::wstring line =
        WideFromUtf8("/bin/sh -c \"" + command + "; touch '" + UnixPath(marker) + "'\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return WaitUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     timeoutMs);
}

std::string UnixPath(const std::wstring& windowsPath) {
    std::string path = Utf8FromWide(windowsPath.substr(windowsPath.rfind(L':') + 1));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string MoveTo(POINT screen) {
    return "mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y) + " sleep 0.4 ";
}

bool ClickWithPointer(const RECT& screenRect) {
    return Xdotool(MoveTo({(screenRect.left + screenRect.right) / 2,
                           (screenRect.top + screenRect.bottom) / 2}) +
                   "click 1 sleep 0.2");
}

}  // namespace e2e
