// Where lumivar looks on Linux: the system's trees (/sys, /proc, /dev), which a test may stand in
// for with a folder of its own, and the user's XDG folders.
#pragma once

#include <string>

// The prefix of every /sys, /proc and /dev/i2c-* path: empty on a real system, the folder named
// by LUMIVAR_ROOT in tests.
std::string SystemRoot();

// $XDG_CONFIG_HOME, or ~/.config; empty when no home is known.
std::string ConfigHome();

// $XDG_RUNTIME_DIR (private to the user, cleared at logout), or /tmp.
std::string RuntimeFolder();

// "Permission denied (errno 13)"
std::string ErrnoText(int error);
