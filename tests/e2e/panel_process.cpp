#include "tests/e2e/panel_process.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "core/panel/control_ids.h"

namespace e2e {

namespace {

constexpr const wchar_t* kWindowClass = L"LEDLUMIVAR";
constexpr const wchar_t* kWindowTitle = L"VOXA LED Lumivar";
constexpr UINT kSendTimeoutMs = 15000;

struct WindowSearch {
    DWORD process;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->className != nullptr) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) != search->className) return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD process, const wchar_t* className, bool visibleOnly) {
    WindowSearch search{process, className, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMainWindow(DWORD process) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kWindowClass, kWindowTitle)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process) return window;
    }
    return nullptr;
}

bool MainWindowVisible(DWORD process) {
    HWND main = FindMainWindow(process);
    return main != nullptr && IsWindowVisible(main);
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(got));
    return text;
}

// This process's environment with the scenario variable set and PATH optionally extended.
std::wstring Environment(const std::wstring& scenario, const std::wstring& pathPrefix) {
    std::wstring result;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        const size_t equals = text.find(L'=', 1);
        if (equals == std::wstring::npos) continue;
        std::wstring upper = text.substr(0, equals);
        for (auto& c : upper) c = towupper(c);
        if (upper == L"LUMIVAR_SIM_SCENARIO") continue;
        const bool extend = upper == L"PATH" && !pathPrefix.empty();
        result += extend ? text.substr(0, equals + 1) + pathPrefix + L";" + text.substr(equals + 1)
                         : text;
        result += L'\0';
    }
    FreeEnvironmentStringsW(block);
    return result + L"LUMIVAR_SIM_SCENARIO=" + scenario + L'\0' + L'\0';
}

}  // namespace

Paths& TestPaths() {
    static Paths paths;
    return paths;
}

std::wstring WorkPath(const std::wstring& name) {
    return TestPaths().work + L"\\" + name;
}

std::string Narrow(const std::wstring& text) {
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], bytes, nullptr, nullptr);
    result.resize(static_cast<size_t>(bytes > 0 ? bytes - 1 : 0));
    return result;
}

std::wstring Wide(const std::string& text) {
    const int count = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &result[0], count);
    result.resize(static_cast<size_t>(count > 0 ? count - 1 : 0));
    return result;
}

ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines) {
    ScenarioFiles files{WorkPath(name + L".scenario"), WorkPath(name + L".log")};
    DeleteFileW(files.log.c_str());
    std::ofstream out(Narrow(files.scenario), std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\n";
    out << "log " << Narrow(files.log) << "\n";
    return files;
}

std::vector<jsonline::Object> ReadDriverLog(const ScenarioFiles& files) {
    return jsonline::ReadLog(Narrow(files.log));
}

std::vector<jsonline::Object> Calls(const std::vector<jsonline::Object>& log,
                                    const std::string& call) {
    std::vector<jsonline::Object> found;
    for (const auto& line : log) {
        if (line.Text("call") == call) found.push_back(line);
    }
    return found;
}

PanelProcess::PanelProcess(const ScenarioFiles& files, const StartOptions& options) {
    const std::wstring program = options.program.empty() ? TestPaths().program : options.program;
    const std::wstring directory =
        options.currentDirectory.empty() ? TestPaths().work : options.currentDirectory;
    std::wstring commandLine = L"\"" + program + L"\"";
    std::wstring environment = Environment(files.scenario, options.pathPrefix);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const DWORD flags =
        CREATE_UNICODE_ENVIRONMENT | (options.debugged ? DEBUG_ONLY_THIS_PROCESS : 0);
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, flags,
                       &environment[0], directory.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    } else {
        std::fprintf(stderr, "cannot start %s: error %lu\n", Narrow(program).c_str(),
                     GetLastError());
    }
}

PanelProcess::~PanelProcess() {
    if (process_ == nullptr) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
}

bool PanelProcess::FirstDebugOutput(std::string& text, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    bool found = false;
    while (!found && GetTickCount64() < end) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 100)) continue;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXCEPTION_DEBUG_EVENT:
                // The loader's breakpoint is ours to pass; anything else is the program's own.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                    status = DBG_EXCEPTION_NOT_HANDLED;
                }
                break;
            case OUTPUT_DEBUG_STRING_EVENT: {
                const OUTPUT_DEBUG_STRING_INFO& output = event.u.DebugString;
                std::string bytes(output.nDebugStringLength, '\0');
                SIZE_T got = 0;
                ReadProcessMemory(process_, output.lpDebugStringData, &bytes[0], bytes.size(),
                                  &got);
                bytes.resize(got);
                while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
                text = bytes;
                found = true;
                break;
            }
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    DebugActiveProcessStop(id_);
    return found;
}

HWND PanelProcess::WaitForMainWindow(DWORD timeoutMs) {
    HWND main = nullptr;
    WaitUntil(
        [&] {
            if (process_ == nullptr || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
                return true;
            }
            main = FindMainWindow(id_);
            if (main != nullptr && !IsWindowVisible(main)) main = nullptr;
            return main != nullptr;
        },
        timeoutMs);
    return main;
}

bool PanelProcess::WaitForMessageBox(MessageBoxSeen& seen, bool& mainWindowShown, DWORD timeoutMs) {
    mainWindowShown = false;
    HWND box = nullptr;
    WaitUntil(
        [&] {
            if (process_ == nullptr) return true;
            if (MainWindowVisible(id_)) mainWindowShown = true;
            box = FindProcessWindow(id_, L"#32770", true);
            return box != nullptr || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    if (box == nullptr) return false;
    seen.box = box;
    seen.caption = WindowText(box);
    seen.text = WindowText(GetDlgItem(box, 0xFFFF));
    return true;
}

DWORD PanelProcess::WaitForExit(DWORD timeoutMs, bool* mainWindowShown, bool* anyWindowShown) {
    if (process_ == nullptr) return STILL_ACTIVE;
    WaitUntil(
        [&] {
            if (mainWindowShown != nullptr && MainWindowVisible(id_)) *mainWindowShown = true;
            if (anyWindowShown != nullptr && FindProcessWindow(id_, nullptr, true) != nullptr) {
                *anyWindowShown = true;
            }
            return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

void OpenPanel::CloseAndExpectExitZero(bool expectUnload) {
    window.Close();
    EXPECT_EQ(process.WaitForExit(), 0u);
    if (expectUnload) {
        EXPECT_TRUE(DriverUnloaded(files)) << "the driver log shows no unload";
    }
}

bool DriverUnloaded(const ScenarioFiles& files) {
    for (const auto& line : ReadDriverLog(files)) {
        if (line.Text("call").rfind("NvAPI_Unload", 0) == 0) return true;
    }
    return false;
}

void CloseMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

LRESULT PanelWindow::Send(HWND to, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(to, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

std::vector<std::wstring> PanelWindow::ListTexts(int id) const {
    std::vector<std::wstring> texts;
    const int count = Count(id);
    for (int i = 0; i < count; ++i) {
        const auto length = Send(Control(id), CB_GETLBTEXTLEN, i, 0);
        std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
        const auto got = Send(Control(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(got < 0 ? 0 : got));
        texts.push_back(text);
    }
    return texts;
}

std::wstring PanelWindow::Text(int id) const {
    wchar_t text[256] = {};
    Send(Control(id), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string PanelWindow::States() const {
    struct Entry {
        const char* name;
        int id;
        bool radio;
    };
    const Entry controls[] = {
        {"modeList", kModeListId, false},         {"ledOn", kLedOnButtonId, true},
        {"ledOff", kLedOffButtonId, true},        {"cycle", kCycleButtonId, true},
        {"single", kSingleButtonId, true},        {"shadeSlider", kShadeSliderId, false},
        {"apply", kApplyButtonId, false},         {"reset", kResetButtonId, false},
        {"intervalList", kIntervalListId, false}, {"brightnessList", kBrightnessListId, false},
    };
    std::string text;
    for (const Entry& c : controls) {
        if (!text.empty()) text += ' ';
        text += c.name;
        text += Enabled(c.id) ? "=on" : "=off";
        if (c.radio) text += Checked(c.id) ? ",checked" : ",clear";
    }
    return text;
}

void PanelWindow::Select(int id, int position) const {
    Send(Control(id), CB_SETCURSEL, position, 0);
    Send(main_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Control(id)));
}

HWND PanelWindow::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info);
    return info.hwndFocus;
}

bool RunUnixCommand(const std::string& command, DWORD timeoutMs) {
    // Wine starts Unix programs but does not wait for them: a marker file says the command is done.
    static int runs = 0;
    const std::wstring marker = WorkPath(L"unix-" + std::to_wstring(++runs) + L".done");
    DeleteFileW(marker.c_str());
    std::wstring line = Wide("/bin/sh -c \"" + command + "; touch '" + UnixPath(marker) + "'\"");
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
    std::string path = Narrow(windowsPath);
    if (path.size() > 2 && path[1] == ':') path = path.substr(2);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments, 15000);
}

bool ClickWithPointer(const RECT& screenRect) {
    const int x = (screenRect.left + screenRect.right) / 2;
    const int y = (screenRect.top + screenRect.bottom) / 2;
    return Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) +
                   " sleep 0.4 click 1 sleep 0.2");
}

}  // namespace e2e
