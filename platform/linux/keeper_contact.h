// The user's keeper as the other programs reach it on Linux: the keeper holds an flock on
// $XDG_RUNTIME_DIR/lumivar/keeper.pid, with its pid written in it, for as long as it runs. A second
// `keep` asks it to restore now (SIGUSR1), a change of the settings tells it to read them again
// (SIGUSR2), `logon disable` ends it (SIGTERM), and `logon enable` starts one, detached, when none
// runs. lumivar and the panel both stand on it.
#pragma once

#include <string>

// What the keeper reads as "restore now": a second keep.
constexpr int kRestoreNowSignal = 10;  // SIGUSR1
// What the keeper reads as "the settings changed, read them again".
constexpr int kSettingsChangedSignal = 12;  // SIGUSR2

// The file the keeper holds; empty, with the reason, when the private folder cannot be had.
std::string KeeperPidFilePath(std::string& error);
// $XDG_STATE_HOME/lumivar/keeper.log (~/.local/state/...), as the state of one machine is kept.
std::string KeeperLogPath();

// Whether a keeper of this user runs now.
bool KeeperRuns();
// The running keeper asked to restore now; false when none runs.
bool AskKeeperToRestore();
// The running keeper, if any, told that the settings changed.
void TellKeeperSettingsChanged();
// The running keeper asked to end, and waited for (at most 10 s).
void EndRunningKeeper();
// `PROGRAM keep` started on its own (PROGRAM is lumivar): its own session, no terminal, its
// output to the keeper's log; waited for until it runs (at most 5 s).
void StartDetachedKeeper(const std::string& program);

// What the panel's menu item and `logon enable` do: the autostart entry written and, when none
// runs, a keeper started from `program`; false with the reason when the entry cannot be written.
bool EnableKeeperAtLogon(const std::string& program, std::string& error);
// The entry removed and the running keeper ended.
bool DisableKeeperAtLogon(std::string& error);
