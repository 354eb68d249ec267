#include "platform/linux/keeper_contact.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "platform/linux/atomic_file.h"
#include "platform/linux/autostart_entry.h"
#include "platform/linux/folders.h"

static_assert(kRestoreNowSignal == SIGUSR1);
static_assert(kSettingsChangedSignal == SIGUSR2);

namespace {

// A keeper that has only just started may not have written its pid yet; one that is ending
// finishes the board it is sending to first.
constexpr int kPidTries = 50;
constexpr int kEndTries = 100;
constexpr auto kTryPause = std::chrono::milliseconds(100);

// The pid of the keeper that holds the file's lock, once it has written it; nothing when no
// keeper holds it.
std::optional<pid_t> RunningKeeperPid() {
    std::string error;
    const std::string path = KeeperPidFilePath(error);
    if (path.empty()) return std::nullopt;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<pid_t> pid;
    for (int tries = 0; tries < kPidTries; ++tries) {
        if (flock(fd, LOCK_SH | LOCK_NB) == 0) {  // nobody holds it: no keeper
            flock(fd, LOCK_UN);
            break;
        }
        char text[16] = {};
        const ssize_t got = pread(fd, text, sizeof text - 1, 0);
        const long value = got > 0 ? std::strtol(text, nullptr, 10) : 0;
        if (value > 0) {
            pid = static_cast<pid_t>(value);
            break;
        }
        std::this_thread::sleep_for(kTryPause);
    }
    close(fd);
    return pid;
}

}  // namespace

std::string KeeperPidFilePath(std::string& error) {
    const std::string folder = PrivateRuntimeFolder(error);
    return folder.empty() ? "" : folder + "/keeper.pid";
}

std::string KeeperLogPath() {
    return StateHome() + "/lumivar/keeper.log";
}

bool KeeperRuns() {
    std::string error;
    const std::string path = KeeperPidFilePath(error);
    const int fd = path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}

bool AskKeeperToRestore() {
    const std::optional<pid_t> pid = RunningKeeperPid();
    return pid && kill(*pid, kRestoreNowSignal) == 0;
}

void TellKeeperSettingsChanged() {
    if (!KeeperRuns()) return;
    if (const std::optional<pid_t> pid = RunningKeeperPid()) kill(*pid, kSettingsChangedSignal);
}

void EndRunningKeeper() {
    const std::optional<pid_t> pid = RunningKeeperPid();
    if (!pid || kill(*pid, SIGTERM) != 0) return;
    for (int tries = 0; tries < kEndTries && KeeperRuns(); ++tries) {
        std::this_thread::sleep_for(kTryPause);
    }
}

void StartDetachedKeeper(const std::string& program) {
    const std::string log = KeeperLogPath();
    std::string error;
    MakeFolders(log.substr(0, log.rfind('/')), error);
    const pid_t child = fork();
    if (child < 0) return;
    if (child == 0) {
        // The keeper's parent ends at once, so that it belongs to no terminal's session and,
        // no session leader itself, never takes a terminal.
        setsid();
        if (fork() != 0) _exit(0);
        const int nothing = open("/dev/null", O_RDWR);
        const int output = open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
        dup2(nothing, STDIN_FILENO);
        dup2(output >= 0 ? output : nothing, STDOUT_FILENO);
        dup2(output >= 0 ? output : nothing, STDERR_FILENO);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execl(program.c_str(), "lumivar", "keep", static_cast<char*>(nullptr));
        _exit(127);
    }
    waitpid(child, nullptr, 0);
    for (int tries = 0; tries < kPidTries && !RunningKeeperPid(); ++tries) {
        std::this_thread::sleep_for(kTryPause);
    }
}

bool EnableKeeperAtLogon(const std::string& program, std::string& error) {
    if (!WriteAutostartEntry(error)) return false;
    if (!KeeperRuns()) StartDetachedKeeper(program);
    return true;
}

bool DisableKeeperAtLogon(std::string& error) {
    const bool removed = RemoveAutostartEntry(error);
    EndRunningKeeper();
    return removed;
}
