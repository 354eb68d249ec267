#include "tests/cli/windows/keeper_run.h"

#include <dbt.h>

#include <gtest/gtest.h>

#include "platform/windows/keeper_at_logon.h"
#include "tests/support/wine/wait_until.h"
#include "tests/support/wine/window_driving.h"

namespace e2e {

namespace {

const std::wstring kKeeperLog = WorkPath(L"local\\VOXA\\LED Lumivar\\keeper.log");
// GUID_CONSOLE_DISPLAY_STATE, whose data is 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};

}  // namespace

KeeperRun::KeeperRun(const std::wstring& name, const std::vector<std::string>& scenario)
    : files(WriteScenario(name, scenario)), name_(name), watch_(files) {
    DeleteFileW(TestPaths().settings.c_str());
    DeleteFileW(kKeeperLog.c_str());
}

std::vector<std::string> KeeperRun::Run(const std::string& arguments) {
    watch_.Mark();
    EXPECT_EQ(RunToEnd(files, Cli(arguments, WorkPath(L"lumivar.out"))), 0u) << arguments;
    const std::vector<std::string> sent = WrittenData(watch_.TransfersSinceMark());
    // A running keeper's sends are the next line's.
    if (!keeper_) watch_.Mark();
    return sent;
}

void KeeperRun::Start() {
    keeper_.emplace(files, StartOptions{TestPaths().keeper, L"", false, L" keep"});
    EXPECT_TRUE(WaitUntil([] { return RunningKeeper() != nullptr; }));
    window = RunningKeeper();
}

void KeeperRun::Stop(UINT message, WPARAM wParam) {
    EXPECT_TRUE(PostMessageW(window, message, wParam, 0)) << message;
    EXPECT_EQ(keeper_->WaitForExit(20000), 0u) << message;
    keeper_.reset();
    window = nullptr;
}

void KeeperRun::Deliver(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kDisplay) {
        const struct {
            GUID setting;
            DWORD length, data;
        } display = {kConsoleDisplayState, sizeof(DWORD), static_cast<DWORD>(wParam)};
        EXPECT_EQ(SendWithData(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, &display,
                               sizeof display),
                  TRUE);
    } else if (message == WM_DEVICECHANGE && lParam != 0) {
        DEV_BROADCAST_DEVICEINTERFACE_W device = {};
        device.dbcc_size = sizeof device;
        device.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        device.dbcc_classguid = *reinterpret_cast<const GUID*>(lParam);
        // The system copies the structure into the window's process itself.
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(&device), SMTO_NORMAL,
                            15000, &answer);
        EXPECT_EQ(answer, DWORD_PTR{TRUE}) << wParam;
    } else {
        EXPECT_TRUE(PostMessageW(window, message, wParam, lParam)) << message << " " << wParam;
    }
}

Said KeeperRun::Next(DWORD timeoutMs) {
    std::string log;
    size_t end = std::string::npos;
    WaitUntil(
        [&] {
            log = ReadWhole(kKeeperLog);
            return (end = log.find("\r\n", read_)) != std::string::npos;
        },
        timeoutMs);
    if (end == std::string::npos || end < read_ + 20) return {};
    Said said{log.substr(read_, 19), log.substr(read_ + 20, end - read_ - 20),
              WrittenData(watch_.TransfersSinceMark())};
    read_ = end + 2;
    watch_.Mark();
    return said;
}

StartOptions CopiedInto(const std::wstring& folder, const std::wstring& program, bool keeper) {
    const std::wstring copy = folder + program.substr(program.rfind(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(program.c_str(), copy.c_str(), FALSE);
    const std::wstring beside = folder + L"\\lumivarw.exe";
    keeper ? CopyFileW(TestPaths().keeper.c_str(), beside.c_str(), FALSE)
           : DeleteFileW(beside.c_str());
    return {copy};
}

}  // namespace e2e
