#include "core/gpus/gpu_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "tests/support/in_process/in_process_driver.h"

namespace {

using simdriver::SimGpu;
constexpr uint32_t kRtx3080 = 0x220610DE;       // family 3000
constexpr uint32_t kRtx2080Super = 0x1E8110DE;  // family 2000
constexpr uint32_t kUnlisted = 0x1F0210DE;

// A GPU on a bus; `failing`, when given, is the one of its calls that fails.
SimGpu Gpu(uint32_t bus, const std::string& name, uint32_t pciId = kRtx3080, bool tcc = false,
           NvAPI_Status SimGpu::*failing = nullptr) {
    SimGpu gpu;
    std::tie(gpu.bus, gpu.name, gpu.pciId, gpu.tcc) = std::tie(bus, name, pciId, tcc);
    if (failing) gpu.*failing = NVAPI_ERROR;
    return gpu;
}

// Enumerated from the highest bus down, so that the slots must be reordered.
std::vector<SimGpu> GpusOnBuses(int count, uint32_t pciId = kRtx3080) {
    std::vector<SimGpu> gpus;
    for (int i = count; i >= 1; --i) gpus.push_back(Gpu(i, "gpu" + std::to_string(i), pciId));
    return gpus;
}

// A driver with these GPUs and otherwise the defaults but what `change` sets.
simdriver::Scenario WithGpus(std::vector<SimGpu> gpus,
                             const std::function<void(simdriver::Scenario&)>& change = {}) {
    simdriver::Scenario scenario;
    scenario.gpus = std::move(gpus);
    if (change) change(scenario);
    return scenario;
}

class GpuDiscoveryTest : public ::testing::Test {
  protected:
    // As start-up runs it: defaults first, on a table holding leftovers, with a freshly
    // configured driver that the access layer has not loaded yet.
    DiscoveryResult Discover(const simdriver::Scenario& scenario) {
        access = std::make_unique<SimulatedAccess>(scenario);
        for (GpuSlot& slot : table.gpuSlots) {
            slot = {{}, 77, 7, 1234, 0, 0x55};
            std::fill(std::begin(slot.name), std::end(slot.name), L'?');
        }
        table.ledControllerAddress = 0;
        WriteDiscoveryDefaults(table);
        return FindGpus(access->layer, table);
    }

    std::unique_ptr<SimulatedAccess> access;
    GpuTable table;
};

// At most eight slots, in order of bus number, each named by its GPU: one wide character per
// byte, cut to 39.
TEST_F(GpuDiscoveryTest, SlotsFollowBusNumbersAndTakeTheirNames) {
    std::vector<std::wstring> lowestEight;  // of GpusOnBuses
    for (int i = 1; i <= 8; ++i) lowestEight.push_back(L"gpu" + std::to_wstring(i));
    std::vector<SimGpu> ties;  // 40 GPUs on buses 7 and 3, alternating
    for (int i = 0; i < 40; ++i) ties.push_back(Gpu(i % 2 ? 3 : 7, "gpu" + std::to_string(i)));
    const auto noBus = &SimGpu::busIdStatus;  // the bus number cannot be read
    // clang-format off
    const std::pair<std::vector<SimGpu>, std::vector<std::wstring>> cases[] = {  // slot order
        {{Gpu(5, "bus5"), Gpu(2, "bus2")}, {L"bus2", L"bus5"}},
        {{Gpu(3, "bus3"), Gpu(7, "unreadable", kRtx3080, false, noBus), Gpu(1, "bus1")}, {L"unreadable", L"bus1", L"bus3"}},
        {{Gpu(9, "first", kRtx3080, false, noBus), Gpu(1, "bus1"), Gpu(8, "second", kRtx3080, false, noBus)}, {L"first", L"second", L"bus1"}},
        {{Gpu(4, "tcc4", kRtx3080, true), Gpu(1, "tcc1", kRtx3080, true)}, {L"tcc1", L"tcc4"}},
        {{Gpu(5, "normal5"), Gpu(2, "tcc2", kRtx3080, true), Gpu(3, "normal3")}, {L"tcc2", L"normal3", L"normal5"}},
        {{Gpu(2, "first2"), Gpu(2, "second2"), Gpu(1, "bus1")}, {L"bus1", L"first2", L"second2"}},
        {{Gpu(0x80000000u, "high"), Gpu(1, "bus1")}, {L"bus1", L"high"}},  // unsigned order
        {ties, {L"gpu1", L"gpu3", L"gpu5", L"gpu7", L"gpu9", L"gpu11", L"gpu13", L"gpu15"}},
        {GpusOnBuses(8), lowestEight}, {GpusOnBuses(9), lowestEight}, {GpusOnBuses(64), lowestEight},
        {{Gpu(1, std::string(64, 'N'))}, {std::wstring(39, L'N')}},  // no terminator in the 64 bytes
        {{Gpu(1, std::string(63, 'L') + "XYZ")}, {std::wstring(39, L'L')}},
        {{Gpu(1, std::string(39, 'x'))}, {std::wstring(39, L'x')}},
        {{Gpu(1, std::string(38, 'y'))}, {std::wstring(38, L'y')}},
        {{Gpu(1, ""), Gpu(2, "GPU \xE9\xFF")}, {L"", L"GPU \u00E9\u00FF"}},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const auto& [gpus, names] = cases[i];
        const DiscoveryResult result = Discover(WithGpus(gpus));
        EXPECT_EQ(std::make_pair(result.failure, result.moreThanEightGpus),
                  std::make_pair(DiscoveryFailure::kNone, gpus.size() > 8));
        std::vector<std::wstring> slotNames;
        for (int k = 0; k < table.gpuCount; ++k) slotNames.push_back(table.gpuSlots[k].name);
        EXPECT_EQ(slotNames, names);
        for (int k = 0; k < table.gpuCount; ++k) EXPECT_EQ(table.gpuSlots[k].name[39], L'\0') << k;
        // Each bus asked once; only the slots named and recognised.
        EXPECT_EQ(
            std::make_tuple(DriverCalls("NvAPI_GPU_GetBusId"), DriverCalls("NvAPI_GPU_GetFullName"),
                            DriverCalls("NvAPI_GPU_GetPCIIdentifiers")),
            std::make_tuple(int(gpus.size()), int(names.size()), int(names.size())));
    }
}

// The board under test takes slot 0, a supported one slot 1, so discovery always succeeds.
TEST_F(GpuDiscoveryTest, RecognisesBoardsByPciIdentifierAlone) {
    // clang-format off
    const std::tuple<uint32_t, bool, int> cases[] = {  // identifier, readable, family (0: unsupported)
        {0x220410DE, true, 3000}, {0x220610DE, true, 3000}, {0x248410DE, true, 3000}, {0x1E0710DE, true, 2000},
        {0x1E8710DE, true, 2000}, {0x1E8110DE, true, 2000}, {0x1E8410DE, true, 2000}, {kRtx3080, false, 0},
        {kUnlisted, true, 0}, {0x220710DE, true, 0}, {0x22061002, true, 0}, {0x00E8110D, true, 0},
        {0x0E8110DE, true, 0},  // device below 0x1000: seven digits
        {0x2206, true, 0}, {0xFFFFFFFF, true, 0}, {0x000010DE, true, 0},
    };
    // clang-format on
    for (const auto& [pciId, readable, family] : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << pciId << (readable ? "" : " unreadable"));
        const SimGpu tested =
            Gpu(1, "tested", pciId, false, readable ? nullptr : &SimGpu::pciStatus);
        ASSERT_EQ(Discover(WithGpus({Gpu(2, "supported", kRtx2080Super), tested})).failure,
                  DiscoveryFailure::kNone);
        const GpuSlot& slot = table.gpuSlots[0];
        EXPECT_EQ(
            std::make_tuple(slot.supported, slot.family, slot.commandByte, slot.i2cInfoVersion),
            std::make_tuple(family ? 1 : 0, family ? family : 3000,
                            uint8_t(family == 2000 ? 0xA0 : 0xA2), NV_I2C_INFO_VER3));
        EXPECT_EQ(std::make_pair(table.gpuSlots[1].supported, table.ledControllerAddress),
                  std::make_pair(1, uint8_t{0x92}));
    }
}

TEST_F(GpuDiscoveryTest, EachFailureWithItsStatus) {
    using F = DiscoveryFailure;
    std::vector<SimGpu> nineOneNameless = GpusOnBuses(9);
    nineOneNameless[4].nameStatus = NVAPI_ERROR;  // bus 5
    // clang-format off
    const std::tuple<simdriver::Scenario, F, NvAPI_Status, bool> cases[] = {  // more than eight
        {WithGpus(GpusOnBuses(1), [](auto& s) { s.initializeStatus = INT32_MIN; }), F::kInitialisation, INT32_MIN, false},
        {WithGpus({}), F::kNoGpu, -1000, false},
        {WithGpus(GpusOnBuses(1), [](auto& s) { s.enumStatus = s.tccEnumStatus = NVAPI_ERROR; }), F::kNoGpu, -1000, false},
        {WithGpus(nineOneNameless), F::kNameUnreadable, 0, false},
        {WithGpus({Gpu(1, "a", kUnlisted), Gpu(2, "b", 0x0E8110DE)}), F::kNoSupportedBoard, 0, false},
        {WithGpus(GpusOnBuses(9, kUnlisted)), F::kNoSupportedBoard, 0, true},
        // The failed normal enumeration's count is not added: only the unsupported TCC board.
        {WithGpus({Gpu(1, "normal"), Gpu(2, "tcc", kUnlisted, true)}, [](auto& s) { s.enumStatus = -1; }),
         F::kNoSupportedBoard, 0, false},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const auto& [scenario, failure, status, moreThanEight] = cases[i];
        const DiscoveryResult result = Discover(scenario);
        EXPECT_EQ(std::make_tuple(result.failure, result.status, result.moreThanEightGpus),
                  std::make_tuple(failure, status, moreThanEight));
    }
}

// A driver that reports more handles than it wrote, or than the table holds, never makes
// discovery write or read past the 64-handle table (the sanitizer run checks the accesses).
TEST_F(GpuDiscoveryTest, OverReportedCountsAreClampedToTheTable) {
    // Normal and TCC GPUs, the counts reported for each, and the handles then used.
    // clang-format off
    const uint32_t cases[][5] = {
        {3, 0, 100, 0, 64}, {3, 2, 0, 100, 64}, {2, 2, 65, 0xFFFFFFFFu, 64}, {0, 0, 40, 40, 64}, {3, 2, 0, 0, 5}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[2] << " and " << c[3]);
        std::vector<SimGpu> gpus;
        for (uint32_t i = 0; i < c[0] + c[1]; ++i)
            gpus.push_back(Gpu(10 + i, "g", kRtx3080, i >= c[0]));
        Discover(WithGpus(gpus, [&c](auto& s) {
            std::tie(s.enumReportedCount, s.tccEnumReportedCount) = std::tie(c[2], c[3]);
        }));
        EXPECT_EQ(DriverCalls("NvAPI_GPU_GetBusId"), int(c[4]));
    }
}

}  // namespace
