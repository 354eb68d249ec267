#include "cli/linux/keeper_instance.h"

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

#include "cli/linux/keeper_log_file.h"
#include "platform/linux/atomic_file.h"
#include "platform/linux/folders.h"

static_assert(kRestoreNowSignal == SIGUSR1);
static_assert(kSettingsChangedSignal == SIGUSR2);

namespace {

// A keeper that has only just started may not have written its pid yet; one that is ending
// finishes the board it is sending to first.
constexpr int kPidTries = 50;
constexpr int kEndTries = 100;
constexpr auto kTryPause = std::chrono::milliseconds(100);

std::string PidFilePath(std::string& error) {
    const std::string folder = PrivateRuntimeFolder(error);
    return folder.empty() ? "" : folder + "/keeper.pid";
}

// The pid of the keeper that holds the file's lock, once it has written it; nothing when no
// keeper holds it.
std::optional<pid_t> RunningKeeperPid() {
    std::string error;
    const std::string path = PidFilePath(error);
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

KeeperInstance::~KeeperInstance() {
    if (fd_ >= 0) close(fd_);
}

KeeperInstance::Claim KeeperInstance::ClaimForThisProcess(std::string& error) {
    const std::string path = PidFilePath(error);
    if (path.empty()) return Claim::kFailed;
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        error = path + ": " + ErrnoText(errno);
        return Claim::kFailed;
    }
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return Claim::kAnotherRuns;
        error = path + ": " + ErrnoText(errno);
        return Claim::kFailed;
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd_, 0) != 0 ||
        pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        error = path + ": " + ErrnoText(errno);
        return Claim::kFailed;
    }
    return Claim::kFirst;
}

bool KeeperRuns() {
    std::string error;
    const std::string path = PidFilePath(error);
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

void StartDetachedKeeper() {
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
        execl("/proc/self/exe", "lumivar", "keep", static_cast<char*>(nullptr));
        _exit(127);
    }
    waitpid(child, nullptr, 0);
    for (int tries = 0; tries < kPidTries && !RunningKeeperPid(); ++tries) {
        std::this_thread::sleep_for(kTryPause);
    }
}
