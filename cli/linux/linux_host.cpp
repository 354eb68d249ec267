#include "cli/linux/linux_host.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/commands/boards.h"
#include "platform/linux/keeper_contact.h"
#include "platform/linux/folders.h"

LinuxHost::LinuxHost(std::optional<int> i2cBus)
    : i2cBus_(i2cBus),
      driver_(SystemRoot(), i2cBus),
      boardLock_(BoardLockPath(), kLockTimeoutMs, "another program is sending to the boards") {}

void LinuxHost::Print(const std::string& line) {
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

void LinuxHost::PrintError(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

void LinuxHost::Sleep(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t LinuxHost::Milliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<std::string> LinuxHost::ListField(const Board& board) {
    const std::optional<std::string> port = board.supported ? TransferPort(board) : std::nullopt;
    return port ? *port : "-";
}

std::optional<std::string> LinuxHost::TransferPort(const Board& board) {
    const std::optional<int> adapter = driver_.ControllerAdapter(board.target.gpu);
    if (!adapter) return std::nullopt;
    return "i2c-" + std::to_string(*adapter);
}

std::string LinuxHost::TransferFailure(const Board& board, NvAPI_Status status) {
    const DeviceFault fault = driver_.LastFault(board.target.gpu);
    return fault.Ok() ? CliHost::TransferFailure(board, status) : FaultText(fault);
}

std::optional<int> LinuxHost::ChosenAdapter(const Board& board) {
    const std::optional<int> adapter = driver_.ControllerAdapter(board.target.gpu);
    return i2cBus_ && adapter == i2cBus_ ? adapter : std::nullopt;
}

void LinuxHost::UseSavedAdapters(const SavedSettings& saved) {
    driver_.UseSavedAdapters(saved);
}

void LinuxHost::SettingsChanged() {
    TellKeeperSettingsChanged();
}
