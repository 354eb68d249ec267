#include "platform/linux/flock_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/linux/folders.h"

namespace {

// flock has no timeout of its own; a short retry keeps the wait bounded.
constexpr unsigned kRetryMs = 20;

}  // namespace

std::string BoardLockPath() {
    return RuntimeFolder() + "/lumivar-i2c.lock";
}

// Read-only is enough for flock, and lets a lock file made by another user under /tmp serve.
// Opened without O_CREAT first: the kernel refuses O_CREAT on another user's file in a sticky
// folder (protected_regular).
bool FlockLock::Open(std::string& error) {
    if (fd_ >= 0) return true;
    for (int attempt = 0; attempt < 2 && fd_ < 0; ++attempt) {
        fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0 && errno == ENOENT) {
            fd_ = open(path_.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        }
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ >= 0) return true;
    error = "the lock file " + path_ + " cannot be opened: " + ErrnoText(errno);
    return false;
}

bool FlockLock::Acquire(std::string& error) {
    if (!Open(error)) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
    for (;;) {
        if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error = "the lock file " + path_ + " cannot be locked: " + ErrnoText(errno);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "the lock file " + path_ + " was not free within " +
                    std::to_string(timeoutMs_ / 1000) + " s: " + holder_;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    }
}

void FlockLock::Release() {
    if (fd_ < 0) return;
    flock(fd_, LOCK_UN);
    close(fd_);
    fd_ = -1;
}
