// A lock that several programs share: the boards take one command sequence at a time, and the
// settings file one read-change-write. Each platform gives its own (a named mutex, an flock);
// tests give one of their own. Waits are bounded, so a program that never lets go cannot hang
// the others.
#pragma once

#include <string>

class InterProcessLock {
  public:
    virtual ~InterProcessLock() = default;
    // Waits for the lock, at most a bounded time; false with the reason, in plain words, when it
    // could not be had. A lock its last holder never released (a crash) counts as had.
    virtual bool Acquire(std::string& error) = 0;
    virtual void Release() = 0;
};

// Held from a successful Acquire to the end of the scope.
class HeldLock {
  public:
    explicit HeldLock(InterProcessLock& lock) : lock_(lock) { held_ = lock_.Acquire(error_); }
    ~HeldLock() {
        if (held_) lock_.Release();
    }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    bool Held() const { return held_; }
    const std::string& Error() const { return error_; }

  private:
    InterProcessLock& lock_;
    bool held_ = false;
    std::string error_;
};
