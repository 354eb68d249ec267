// A keeper send's waits on the keeper's thread: the window's messages are dispatched while they
// last. A quit met meanwhile is held back until the send has ended, then posted again for the
// keeper's loop; from then on the keeper is stopping: the waits only sleep (a pair of blocks
// still goes out whole) and a wait for the driver gives up.
#pragma once

#include <windows.h>

#include "cli/commands/keeper_send.h"

class AnsweringWaits final : public KeeperWaits {
  public:
    void Sleep(unsigned milliseconds) override;
    bool Stopping() const override { return quitSeen_; }
    // After a send: the quit it held back, posted again.
    void PassOnQuit();

  private:
    bool quitSeen_ = false;
    WPARAM quitCode_ = 0;
};
