// Where lumivar looks on Linux: the system's trees (/sys, /proc, /dev), which a test may stand in
// for with a folder of its own, and the user's XDG folders.
#pragma once

#include <string>

// The prefix of every /sys, /proc and /dev/i2c-* path: empty on a real system, the folder named
// by LUMIVAR_ROOT in tests.
std::string SystemRoot();

// $XDG_CONFIG_HOME, or ~/.config; empty when no home is known.
std::string ConfigHome();

// $XDG_STATE_HOME, or ~/.local/state; empty when no home is known.
std::string StateHome();

// $XDG_RUNTIME_DIR (private to the user, cleared at logout), or /tmp.
std::string RuntimeFolder();
// lumivar's own folder in it, made private to the user when missing: $XDG_RUNTIME_DIR/lumivar, or
// /tmp/lumivar-UID; empty, with the reason, when it cannot be made or is not the user's alone.
std::string PrivateRuntimeFolder(std::string& error);

// "Permission denied (errno 13)"
std::string ErrnoText(int error);
