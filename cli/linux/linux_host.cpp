#include "cli/linux/linux_host.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/commands/boards.h"
#include "platform/linux/keeper_contact.h"
#include "platform/linux/folders.h"

LinuxHost::LinuxHost(std::optional<int> i2cBus)
    : driver_(SystemRoot(), i2cBus),
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
    const std::optional<int> adapter =
        board.supported ? driver_.ControllerAdapter(board.target.gpu) : std::nullopt;
    return adapter ? "i2c-" + std::to_string(*adapter) : "-";
}

std::string LinuxHost::TransferFailure(const Board& board, NvAPI_Status status) {
    const DeviceFault fault = driver_.LastFault(board.target.gpu);
    return fault.Ok() ? CliHost::TransferFailure(board, status) : FaultText(fault);
}

void LinuxHost::SettingsChanged() {
    TellKeeperSettingsChanged();
}
