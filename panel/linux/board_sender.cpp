#include "panel/linux/board_sender.h"

#include <QMetaObject>

#include "panel/portable/panel_texts.h"
#include "platform/linux/folders.h"
#include "platform/linux/settings_store_linux.h"

namespace {

constexpr const char* kNotSentText = "照明をボードに送信できませんでした。\n\n";

}  // namespace

BoardSender::BoardSender(std::optional<int> i2cBus)
    : driver_(SystemRoot(), i2cBus),
      boardLock_(BoardLockPath(), kLockTimeoutMs, "another program is sending to the boards") {}

BoardSender::~BoardSender() {
    thread_.quit();
    thread_.wait();
    if (initialised_) access_.Unload();
}

DiscoveryResult BoardSender::FindBoards(GpuTable& table) {
    LinuxSettingsStore store;
    SavedSettings saved;
    std::string error;
    // A file that cannot be read is told at the first Apply that would change it.
    if (LoadSettings(store, saved, error) == SettingsOutcome::kDone)
        driver_.UseSavedAdapters(saved);
    WriteDiscoveryDefaults(table);
    const DiscoveryResult result = FindGpus(access_, table);
    initialised_ = result.failure != DiscoveryFailure::kInitialisation;
    return result;
}

void BoardSender::StartThread() {
    moveToThread(&thread_);
    thread_.start();
}

void BoardSender::Send(const led::LedTarget& target, const LedSettings& settings) {
    QMetaObject::invokeMethod(this, [this, target, settings] {
        const SendOutcome outcome = SendNow(target, settings);
        emit finished(outcome.reachedBoard, QString::fromStdString(outcome.problem),
                      outcome.chosenAdapter);
    });
}

SendOutcome BoardSender::SendNow(const led::LedTarget& target, const LedSettings& settings) {
    const HeldLock lock(boardLock_);
    if (!lock.Held()) return {false, kBoardsBusyText + lock.Error()};
    // The probe read is the only sign of the controller here: without an answer nothing is sent.
    const NvAPI_Status status = led::SendLedCommand(
        access_, target, settings, led::SleepOnThisThread, led::ProbeFailure::kStop);
    if (status == NVAPI_OK)
        return {true, std::string(), driver_.ChosenAdapter(target.gpu).value_or(-1)};
    const DeviceFault fault = driver_.LastFault(target.gpu);
    return {false,
            kNotSentText + (fault.Ok() ? "status " + std::to_string(status) : FaultText(fault))};
}
