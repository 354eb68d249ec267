// The settings file on Linux: $XDG_CONFIG_HOME/lumivar/settings.json, in the format both programs
// share, with an flock beside it around every read-change-write.
#pragma once

#include <string>

#include "core/settings/settings_store.h"
#include "platform/linux/flock_lock.h"

class LinuxSettingsStore final : public SettingsStore {
  public:
    LinuxSettingsStore();
    std::string FileName() override { return path_; }
    FileRead Read(std::string& text, std::string& error) override;
    bool Write(const std::string& text, std::string& error) override;
    InterProcessLock& UpdateLock() override;

  private:
    std::string folder_;
    std::string path_;
    FlockLock lock_;
};
