#include "tests/support/wine/driver_log.h"

#include <algorithm>
#include <fstream>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"

namespace e2e {

namespace {

// The I2C transfers of the log.
std::vector<Transfer> Transfers(const std::vector<Json>& log) {
    std::vector<Transfer> transfers;
    for (const Json& line : log) {
        const std::string call = line.value("call", "");
        if (call == "NvAPI_I2CWriteEx" || call == "NvAPI_I2CReadEx") {
            transfers.push_back({call, line.value("t", int64_t{0}), line.value("data", ""),
                                 line.value("status", int64_t{0})});
        }
    }
    return transfers;
}

}  // namespace

ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines,
                            bool keepLog) {
    ScenarioFiles files{WorkPath(name + L".scenario"), WorkPath(name + L".log")};
    if (!keepLog) DeleteFileW(files.log.c_str());
    std::ofstream out(files.scenario.c_str(), std::ios::binary | std::ios::trunc);
    out << "log " << Utf8FromWide(files.log) << "\n";
    for (const std::string& line : lines) out << line << "\n";
    return files;
}

std::vector<Json> ReadDriverLog(const ScenarioFiles& files, size_t* unreadable) {
    std::vector<Json> log;
    std::ifstream in(files.log.c_str(), std::ios::binary);
    size_t bad = 0;
    for (std::string line; std::getline(in, line);) {
        Json object = Json::parse(line, nullptr, false);
        object.is_object() ? log.push_back(std::move(object)) : void(++bad);
    }
    if (unreadable != nullptr) *unreadable = bad;
    return log;
}

std::vector<Json> LoggedCalls(const ScenarioFiles& files, const std::string& call,
                              std::optional<int> status) {
    std::vector<Json> calls;
    for (Json& line : ReadDriverLog(files)) {
        const bool named = line.value("call", "").rfind(call, 0) == 0;
        if (named && (!status || line.value("status", 0) == *status)) calls.push_back(line);
    }
    return calls;
}

void DriverLogWatch::Mark() {
    seen_ = Transfers(ReadDriverLog(files_)).size();
}

std::vector<Transfer> DriverLogWatch::TransfersSinceMark() const {
    std::vector<Transfer> all = Transfers(ReadDriverLog(files_));
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, all.size())));
    return all;
}

std::vector<Transfer> DriverLogWatch::WaitForWrites(size_t writes, DWORD timeoutMs) const {
    std::vector<Transfer> sent;
    WaitUntil([&] { return WrittenData(sent = TransfersSinceMark()).size() >= writes; }, timeoutMs);
    return sent;
}

std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers) {
    std::vector<std::string> data;
    for (const Transfer& transfer : transfers) {
        if (transfer.call == "NvAPI_I2CWriteEx") data.push_back(transfer.data);
    }
    return data;
}

}  // namespace e2e
