#include "platform/linux/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdlib>
#include <cstring>

namespace {

// The XDG rules ignore a relative path in these variables.
std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

std::string HomeFolder() {
    const std::string home = AbsoluteVariable("HOME");
    if (!home.empty()) return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

}  // namespace

std::string SystemRoot() {
    std::string root = AbsoluteVariable("LUMIVAR_ROOT");
    while (!root.empty() && root.back() == '/') root.pop_back();
    return root;
}

std::string ConfigHome() {
    const std::string config = AbsoluteVariable("XDG_CONFIG_HOME");
    if (!config.empty()) return config;
    const std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.config";
}

std::string StateHome() {
    const std::string state = AbsoluteVariable("XDG_STATE_HOME");
    if (!state.empty()) return state;
    const std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.local/state";
}

std::string RuntimeFolder() {
    const std::string runtime = AbsoluteVariable("XDG_RUNTIME_DIR");
    return runtime.empty() ? "/tmp" : runtime;
}

std::string PrivateRuntimeFolder(std::string& error) {
    const std::string runtime = AbsoluteVariable("XDG_RUNTIME_DIR");
    const std::string folder =
        runtime.empty() ? "/tmp/lumivar-" + std::to_string(getuid()) : runtime + "/lumivar";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = folder + ": " + ErrnoText(errno);
        return "";
    }
    // Under /tmp anyone may have made it first.
    struct stat status {};
    if (lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != getuid() || (status.st_mode & 077) != 0) {
        error = folder + " is not a folder of this user's alone";
        return "";
    }
    return folder;
}

std::string ErrnoText(int error) {
    return std::string(std::strerror(error)) + " (errno " + std::to_string(error) + ")";
}
