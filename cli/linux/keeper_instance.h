// One keeper per user on Linux: the keeper claims the user's keeper file (platform/linux's keeper
// contact) for as long as it runs, so that the other programs find it there.
#pragma once

#include <string>

#include "platform/linux/keeper_contact.h"

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
