// The programs' shared locks on Linux: flock on a lock file. The kernel lets go of a lock when
// its holder ends, however it ends, so a crash never leaves the boards or the settings locked.
#pragma once

#include <string>

#include "core/locks/interprocess_lock.h"

class FlockLock final : public InterProcessLock {
  public:
    // `holder` says who keeps it taken, for the message when the wait runs out.
    FlockLock(std::string path, unsigned timeoutMs, std::string holder)
        : path_(std::move(path)), timeoutMs_(timeoutMs), holder_(std::move(holder)) {}
    ~FlockLock() override { Release(); }
    FlockLock(const FlockLock&) = delete;
    FlockLock& operator=(const FlockLock&) = delete;

    bool Acquire(std::string& error) override;
    void Release() override;
    const std::string& Path() const { return path_; }

  private:
    bool Open(std::string& error);

    std::string path_;
    unsigned timeoutMs_;
    std::string holder_;
    int fd_ = -1;
};

constexpr unsigned kLockTimeoutMs = 10000;

// Every command sequence sent to a board: $XDG_RUNTIME_DIR/lumivar-i2c.lock, or under /tmp.
std::string BoardLockPath();
