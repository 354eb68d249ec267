// A keeper's sends, on either platform, on the host's driver, settings and board lock: each saved
// board that is present is sent what the keeper's rules want now (every one when the lighting may
// have been lost, otherwise those whose lighting changes), with what the send says kept for the
// keeper's log rather than printed. Between sends it remembers what each board was sent, and
// looks at the temperatures of the boards that follow them.
#pragma once

#include <map>
#include <memory>
#include <set>

#include "cli/commands/cli_host.h"
#include "cli/commands/driver_session.h"
#include "core/keeper/keeper.h"

// How a send waits inside a keeper, which stays on one thread: its pauses and its waits for a
// late driver go on hearing the system (Windows: the window's messages; Linux: the signals).
class KeeperWaits {
  public:
    virtual ~KeeperWaits() = default;
    virtual void Sleep(unsigned milliseconds) = 0;
    // True once the keeper has been told to end.
    virtual bool Stopping() const = 0;
};

class KeeperSender {
  public:
    KeeperSender(CliHost& host, KeeperWaits& waits);
    ~KeeperSender();
    KeeperSender(const KeeperSender&) = delete;
    KeeperSender& operator=(const KeeperSender&) = delete;

    SendOutcome Send(const KeeperSend& send);
    // On the settings of the last send, with the driver held while boards follow.
    TemperatureLook LookAtTemperatures(const KeeperConditions& conditions);
    void StopFollowing();

  private:
    CliHost& host_;
    KeeperWaits& waits_;
    SavedSettings settings_;
    std::map<BoardKey, SentLighting> lastSent_;
    std::set<BoardKey> unreadable_;  // said once, until the temperature can be read again
    std::unique_ptr<DriverSession> following_;
};
