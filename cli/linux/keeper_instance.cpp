#include "cli/linux/keeper_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/folders.h"

KeeperInstance::~KeeperInstance() {
    if (fd_ >= 0) close(fd_);
}

KeeperInstance::Claim KeeperInstance::ClaimForThisProcess(std::string& error) {
    const std::string path = KeeperPidFilePath(error);
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
