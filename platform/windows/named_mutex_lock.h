// The programs' shared locks on Windows: named mutexes that every process of every session can
// open, whatever its elevation, in the Global namespace where the system allows it and in the
// session's Local one where it refuses.
#pragma once

#include <windows.h>

#include <string>

#include "core/locks/interprocess_lock.h"

class NamedMutexLock final : public InterProcessLock {
  public:
    // `name` without its namespace, e.g. L"VOXA LED Lumivar I2C"; `holder` says who keeps it
    // taken, for the message when the wait runs out.
    NamedMutexLock(std::wstring name, DWORD timeoutMs, std::string holder)
        : name_(std::move(name)), timeoutMs_(timeoutMs), holder_(std::move(holder)) {}
    ~NamedMutexLock() override;
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    // Owned by the calling thread until it releases it; a mutex whose owner ended without
    // releasing it is taken over.
    bool Acquire(std::string& error) override;
    void Release() override;
    // "Global\VOXA LED Lumivar I2C", or its Local fallback once opened; the Global name before.
    std::wstring FullName() const;

  private:
    bool Open(std::string& error);

    std::wstring name_;
    DWORD timeoutMs_;
    std::string holder_;
    HANDLE mutex_ = nullptr;
    bool local_ = false;
};

// Every command sequence sent to a board, by any of the programs.
constexpr const wchar_t* kBoardLockName = L"VOXA LED Lumivar I2C";
// Every read-change-write of the settings file.
constexpr const wchar_t* kSettingsLockName = L"VOXA LED Lumivar Settings";
constexpr DWORD kLockTimeoutMs = 10000;

// The process's one board lock and one settings lock.
NamedMutexLock& ProcessBoardLock();
NamedMutexLock& ProcessSettingsLock();
