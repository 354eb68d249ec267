#include "cli/keeper/restore_worker.h"

void RestoreWorker::Start(Trigger trigger, HWND window, UINT finishedMessage) {
    if (thread_.joinable()) thread_.join();
    thread_ = std::thread([this, trigger, window, finishedMessage] {
        RestoreReport report{trigger, restore_(stopping_)};
        {
            const std::lock_guard<std::mutex> lock(finishedMutex_);
            finished_ = std::move(report);
        }
        PostMessageW(window, finishedMessage, 0, 0);
    });
}

std::optional<RestoreReport> RestoreWorker::TakeFinished() {
    std::optional<RestoreReport> report;
    {
        const std::lock_guard<std::mutex> lock(finishedMutex_);
        report.swap(finished_);
    }
    if (report && thread_.joinable()) thread_.join();
    return report;
}

void RestoreWorker::Stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}
