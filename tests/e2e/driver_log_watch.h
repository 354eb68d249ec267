// Follows the simulated driver's log while the program runs: what each command sent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/panel_process.h"

namespace e2e {

struct Transfer {
    std::string call;  // NvAPI_I2CWriteEx or NvAPI_I2CReadEx
    int64_t t = 0;     // milliseconds, driver clock
    std::string data;  // "a2 01 ..."
    int64_t deviceAddress = 0;
    int64_t size = 0;
    int64_t bus = 0;
    int64_t status = 0;
};

class DriverLogWatch {
  public:
    explicit DriverLogWatch(const ScenarioFiles& files) : files_(files) { Mark(); }
    // From now on.
    void Mark();
    // The I2C transfers since the mark, once `writes` writes have arrived (or the timeout).
    std::vector<Transfer> WaitForWrites(size_t writes, DWORD timeoutMs = 15000) const;
    // The I2C transfers since the mark, as they stand.
    std::vector<Transfer> TransfersSinceMark() const;

  private:
    ScenarioFiles files_;
    size_t seen_ = 0;
};

// The data of writes only.
std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers);

// Bytes as the driver log writes them: "a2 01 ...".
template <typename Bytes>
std::string Hex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

}  // namespace e2e
