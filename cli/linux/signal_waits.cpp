#include "cli/linux/signal_waits.h"

#include <cerrno>
#include <thread>

#include "cli/linux/keeper_instance.h"

sigset_t KeeperSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, kRestoreNowSignal);
    sigaddset(&signals, kSettingsChangedSignal);
    return signals;
}

timespec Timespec(std::chrono::nanoseconds duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    return {static_cast<time_t>(seconds.count()), static_cast<long>((duration - seconds).count())};
}

void SignalWaits::Sleep(unsigned milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const sigset_t signals = KeeperSignals();
    for (auto left = end - std::chrono::steady_clock::now(); left.count() > 0;
         left = end - std::chrono::steady_clock::now()) {
        if (stopping_) {
            std::this_thread::sleep_until(end);
            return;
        }
        const timespec wait = Timespec(left);
        const int signal = sigtimedwait(&signals, nullptr, &wait);
        if (signal < 0 && errno == EAGAIN) return;
        if (signal == SIGTERM || signal == SIGINT) stopping_ = true;
        if (signal == kRestoreNowSignal) onTrigger_(Trigger::kSecondKeep);
        if (signal == kSettingsChangedSignal) onTrigger_(Trigger::kSettings);
    }
}
