#include "tests/e2e/driver_log_watch.h"

namespace e2e {

namespace {

std::vector<Transfer> Transfers(const std::vector<jsonline::Object>& log) {
    std::vector<Transfer> transfers;
    for (const auto& line : log) {
        const std::string call = line.Text("call");
        if (call != "NvAPI_I2CWriteEx" && call != "NvAPI_I2CReadEx") continue;
        Transfer transfer;
        transfer.call = call;
        transfer.t = line.Number("t");
        transfer.data = line.Text("data");
        transfer.deviceAddress = line.Number("i2cDevAddress");
        transfer.size = line.Number("cbSize");
        transfer.bus = line.Number("bus");
        transfer.status = line.Number("status");
        transfers.push_back(transfer);
    }
    return transfers;
}

size_t Writes(const std::vector<Transfer>& transfers) {
    size_t writes = 0;
    for (const Transfer& transfer : transfers) writes += transfer.call == "NvAPI_I2CWriteEx";
    return writes;
}

}  // namespace

void DriverLogWatch::Mark() {
    seen_ = Transfers(ReadDriverLog(files_)).size();
}

std::vector<Transfer> DriverLogWatch::TransfersSinceMark() const {
    std::vector<Transfer> all = Transfers(ReadDriverLog(files_));
    if (all.size() <= seen_) return {};
    return std::vector<Transfer>(all.begin() + static_cast<std::ptrdiff_t>(seen_), all.end());
}

std::vector<Transfer> DriverLogWatch::WaitForWrites(size_t writes, DWORD timeoutMs) const {
    std::vector<Transfer> transfers;
    WaitUntil(
        [&] {
            transfers = TransfersSinceMark();
            return Writes(transfers) >= writes;
        },
        timeoutMs);
    return transfers;
}

std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers) {
    std::vector<std::string> data;
    for (const Transfer& transfer : transfers) {
        if (transfer.call == "NvAPI_I2CWriteEx") data.push_back(transfer.data);
    }
    return data;
}

}  // namespace e2e
