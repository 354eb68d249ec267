// One keeper per user on Linux: the keeper holds an flock on $XDG_RUNTIME_DIR/lumivar/keeper.pid,
// with its pid written in it, for as long as it runs. The other programs reach it through that
// file: a second `keep` asks it to restore now (SIGUSR1), `logon disable` ends it (SIGTERM), and
// `logon enable` starts one, detached, when none runs.
#pragma once

#include <string>

// What the keeper reads as "restore now": a second keep.
constexpr int kRestoreNowSignal = 10;  // SIGUSR1
// What the keeper reads as "the settings changed, read them again".
constexpr int kSettingsChangedSignal = 12;  // SIGUSR2

class KeeperInstance {
  public:
    enum class Claim { kFirst, kAnotherRuns, kFailed };

    KeeperInstance() = default;
    ~KeeperInstance();
    KeeperInstance(const KeeperInstance&) = delete;
    KeeperInstance& operator=(const KeeperInstance&) = delete;

    // kFirst: this process is the user's keeper until it ends. kFailed with the reason.
    Claim ClaimForThisProcess(std::string& error);

  private:
    int fd_ = -1;
};

// Whether a keeper of this user runs now.
bool KeeperRuns();
// The running keeper asked to restore now; false when none runs.
bool AskKeeperToRestore();
// The running keeper, if any, told that the settings changed.
void TellKeeperSettingsChanged();
// The running keeper asked to end, and waited for (at most 10 s).
void EndRunningKeeper();
// `lumivar keep` started on its own: its own session, no terminal, its output to the keeper's
// log; waited for until it runs (at most 5 s).
void StartDetachedKeeper();
