#include "platform/linux/settings_store_linux.h"

#include "platform/linux/atomic_file.h"
#include "platform/linux/folders.h"

LinuxSettingsStore::LinuxSettingsStore()
    : folder_(ConfigHome() + "/lumivar"),
      path_(folder_ + "/settings.json"),
      lock_(folder_ + "/settings.lock", kLockTimeoutMs, "another program is saving the settings") {}

FileRead LinuxSettingsStore::Read(std::string& text, std::string& error) {
    return ReadWholeFile(path_, text, error);
}

bool LinuxSettingsStore::Write(const std::string& text, std::string& error) {
    return WriteFileAtomically(path_, text, error);
}

// The lock file lives beside the settings, so its folder must be there before the first save.
InterProcessLock& LinuxSettingsStore::UpdateLock() {
    std::string ignored;
    MakeFolders(folder_, ignored);
    return lock_;
}
