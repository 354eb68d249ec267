// A send's waits in the Linux keeper take each signal as it comes, also one that arrives while
// errno still holds the EAGAIN of an earlier wait that ran out.
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "cli/linux/keeper_instance.h"
#include "cli/linux/signal_waits.h"

TEST(SignalWaits, TakeEachSignalAsItComesWhateverErrnoHeld) {
    const sigset_t signals = KeeperSignals();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &signals, &before);
    std::vector<Trigger> triggers;
    SignalWaits waits([&triggers](Trigger trigger) { triggers.push_back(trigger); });
    for (const int signal : {kRestoreNowSignal, kSettingsChangedSignal, SIGTERM}) raise(signal);
    errno = EAGAIN;
    waits.Sleep(500);  // long enough to begin on a busy machine
    EXPECT_EQ(triggers, (std::vector<Trigger>{Trigger::kSecondKeep, Trigger::kSettings}));
    EXPECT_TRUE(waits.Stopping());
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}
