// Where the saved settings live and how both programs change them: one read-change-write at a
// time under the store's lock, the new text replacing the old only once it is whole, and a file
// that cannot be read or parsed never overwritten. Each platform gives the file and the lock.
#pragma once

#include <functional>
#include <string>

#include "core/locks/interprocess_lock.h"
#include "core/settings/settings_file.h"

enum class FileRead { kAbsent, kRead, kFailed };

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Where the settings are kept, as messages name it.
    virtual std::string FileName() = 0;
    // An absent file (or folder) means nothing is saved yet; kFailed comes with the reason.
    virtual FileRead Read(std::string& text, std::string& error) = 0;
    // All or nothing: the old file stays whole until the new one replaces it.
    virtual bool Write(const std::string& text, std::string& error) = 0;
    // Held around every read-change-write, so that concurrent saves all survive.
    virtual InterProcessLock& UpdateLock() = 0;
};

enum class SettingsOutcome {
    kDone,
    kNothingSaved,  // Load only: no file yet
    kUnreadable,    // the file cannot be read, or is not a settings file; it is left as it is
    kLocked,        // the lock could not be had
    kWriteFailed,
};

// Reads and parses the file; an absent file gives empty settings and kNothingSaved.
SettingsOutcome LoadSettings(SettingsStore& store, SavedSettings& settings, std::string& error);

// Under the lock: reads the file as it is now, applies `change` and writes the result. Nothing is
// written when the file cannot be read or parsed. An absent file starts empty, and stays absent
// when the change leaves it empty.
SettingsOutcome UpdateSettings(SettingsStore& store,
                               const std::function<void(SavedSettings&)>& change,
                               std::string& error);
