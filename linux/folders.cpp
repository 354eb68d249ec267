#include "linux/folders.h"

#include <pwd.h>
#include <unistd.h>

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

std::string RuntimeFolder() {
    const std::string runtime = AbsoluteVariable("XDG_RUNTIME_DIR");
    return runtime.empty() ? "/tmp" : runtime;
}

std::string ErrnoText(int error) {
    return std::string(std::strerror(error)) + " (errno " + std::to_string(error) + ")";
}
