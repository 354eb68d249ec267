// Start-up and Apply timings of the panel under Wine, against a bare window of the same size.
//   startup_benchmark --panel=LEDLumivar.exe --bare=bare_window.exe --work=DIR [--runs=N]
// For each run: the time from just before CreateProcess to the first moment the program's
// top-level window is visible (polled every millisecond), the panel on the simulated default
// boards and the bare window in turn; then, on one running panel, the time from posting an
// Apply click on the family-3000 board to its write appearing in the driver's log.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/milliseconds_clock.h"
#include "tests/support/wine/wine_paths.h"

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) return TRUE;
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    // Only the program's own window counts, not the input method's.
    if (wcscmp(className, L"LEDLUMIVAR") != 0 && wcscmp(className, L"BAREWINDOW") != 0) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

struct Started {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    double milliseconds = -1;
};

Started StartAndWaitForWindow(const std::wstring& program, std::wstring environment) {
    Started started;
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    const double begin = MillisecondsNow();
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, &environment[0], nullptr, &startup,
                        &started.process)) {
        std::fprintf(stderr, "cannot start the program: error %lu\n", GetLastError());
        return started;
    }
    while (MillisecondsNow() - begin < 30000) {
        Search search{started.process.dwProcessId, nullptr};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            started.window = search.found;
            started.milliseconds = MillisecondsNow() - begin;
            break;
        }
        if (WaitForSingleObject(started.process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    return started;
}

void Close(Started& started) {
    if (started.window != nullptr) PostMessageW(started.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.hProcess, 1);
    }
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
}

std::wstring EnvironmentWith(const std::wstring& scenario) {
    std::wstring result;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        if (wcsncmp(entry, L"LUMIVAR_SIM_SCENARIO=", 21) != 0)
            result += std::wstring(entry) + L'\0';
    }
    FreeEnvironmentStringsW(block);
    if (!scenario.empty()) result += L"LUMIVAR_SIM_SCENARIO=" + scenario + L'\0';
    return result + L'\0';
}

std::string Narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) result += static_cast<char>(c);  // the paths here are ASCII
    return result;
}

size_t WritesInLog(const std::wstring& log) {
    std::ifstream file(Narrow(log), std::ios::binary);
    std::string line;
    size_t writes = 0;
    while (std::getline(file, line)) {
        if (line.find("\"call\":\"NvAPI_I2CWriteEx\"") != std::string::npos) ++writes;
    }
    return writes;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Print(const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-34s no data\n", what);
        return;
    }
    std::printf("%-34s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%zu runs)\n", what,
                Median(values), *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()), values.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::wstring panel, bare, work;
    int runs = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = argument.substr(0, equals);
        const std::string value = argument.substr(equals + 1);
        const std::wstring path = WindowsPathFromArgument(std::wstring(value.begin(), value.end()));
        if (name == "--panel") panel = path;
        if (name == "--bare") bare = path;
        if (name == "--work") work = path;
        if (name == "--runs") runs = std::max(1, std::atoi(value.c_str()));
    }
    if (panel.empty() || bare.empty() || work.empty()) {
        std::fprintf(stderr, "usage: %s --panel=EXE --bare=EXE --work=DIR [--runs=N]\n", argv[0]);
        return 2;
    }
    CreateDirectoryW(work.c_str(), nullptr);
    const std::wstring scenario = work + L"\\startup-benchmark.scenario";
    const std::wstring log = work + L"\\startup-benchmark.log";
    {
        std::ofstream out(Narrow(scenario), std::ios::binary | std::ios::trunc);
        out << "default-gpus\nlog " << Narrow(log) << "\n";
    }

    // One start of each first, so that both meet a warm Wine.
    Started warm = StartAndWaitForWindow(bare, EnvironmentWith(L""));
    Close(warm);
    warm = StartAndWaitForWindow(panel, EnvironmentWith(scenario));
    Close(warm);

    std::vector<double> panelTimes, bareTimes;
    for (int run = 0; run < runs; ++run) {
        DeleteFileW(log.c_str());
        Started started = StartAndWaitForWindow(panel, EnvironmentWith(scenario));
        if (started.milliseconds >= 0) panelTimes.push_back(started.milliseconds);
        Close(started);
        started = StartAndWaitForWindow(bare, EnvironmentWith(L""));
        if (started.milliseconds >= 0) bareTimes.push_back(started.milliseconds);
        Close(started);
    }

    std::vector<double> applyTimes;
    DeleteFileW(log.c_str());
    Started started = StartAndWaitForWindow(panel, EnvironmentWith(scenario));
    HWND apply = started.window ? GetDlgItem(started.window, 1001) : nullptr;
    for (int run = 0; apply != nullptr && run < runs * 2; ++run) {
        const size_t before = WritesInLog(log);
        const double begin = MillisecondsNow();
        PostMessageW(apply, BM_CLICK, 0, 0);
        while (MillisecondsNow() - begin < 10000 && WritesInLog(log) == before) Sleep(0);
        if (WritesInLog(log) > before) applyTimes.push_back(MillisecondsNow() - begin);
    }
    Close(started);

    std::printf("Start-up to a visible main window (simulated default boards), under Wine:\n");
    Print("  panel (LEDLumivar.exe)", panelTimes);
    Print("  bare 480x440 window", bareTimes);
    const double ratio = Median(panelTimes) / Median(bareTimes);
    std::printf("  ratio of medians panel / bare      %.2f (aim: at most 1.5)\n", ratio);
    std::printf("Apply click to the write in the driver log (family 3000):\n");
    Print("  Apply", applyTimes);
    return panelTimes.empty() || bareTimes.empty() || applyTimes.empty() ? 1 : 0;
}
