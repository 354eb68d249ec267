#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/simdriver/driver_entries.h"

using simdriver::Scenario;
using simdriver::SimGpu;

namespace {

SimGpu Gpu(uint32_t bus, const std::string& name, uint32_t pciId, bool tcc = false) {
    SimGpu gpu;
    gpu.bus = bus;
    gpu.name = name;
    gpu.pciId = pciId;
    gpu.tcc = tcc;
    return gpu;
}

NvPhysicalGpuHandle ForeignHandle() {
    return reinterpret_cast<NvPhysicalGpuHandle>(static_cast<uintptr_t>(0xBAD0));
}

class SimDriverChecks : public testing::Test {
  protected:
    void SetUp() override { StartDriver(simdriver::DefaultScenario()); }
    void TearDown() override { simdriver::Configure(simdriver::DefaultScenario()); }

    NvI2CTransferFn write_ = DriverEntry<NvI2CTransferFn>(nvapi_id::kI2CWriteEx);
    NvI2CTransferFn read_ = DriverEntry<NvI2CTransferFn>(nvapi_id::kI2CReadEx);
};

TEST_F(SimDriverChecks, ChecksTransfersAsARealDriverWould) {
    const NvPhysicalGpuHandle gpu = NormalHandles()[0];
    static NvU8 regAddress = 0;
    const NvU32 otherBitness = (3u << 16) | (sizeof(void*) == 8 ? 44u : 64u);
    const struct {
        const char* name;
        void (*change)(NV_I2C_INFO_V3&);
        NvAPI_Status expected;
    } cases[] = {
        {"the program's own transfer", [](NV_I2C_INFO_V3&) {}, NVAPI_OK},
        {"version word left zero", [](NV_I2C_INFO_V3& i) { i.version = 0; },
         NVAPI_INCOMPATIBLE_STRUCT_VERSION},
        {"null data with a size", [](NV_I2C_INFO_V3& i) { i.pbData = nullptr; },
         NVAPI_INVALID_ARGUMENT},
        {"null data and size 0", [](NV_I2C_INFO_V3& i) { i.pbData = nullptr, i.cbSize = 0; },
         NVAPI_OK},
        {"null register address with a size", [](NV_I2C_INFO_V3& i) { i.regAddrSize = 1; },
         NVAPI_INVALID_ARGUMENT},
        {"register address given",
         [](NV_I2C_INFO_V3& i) { i.pbI2cRegAddress = &regAddress, i.regAddrSize = 1; }, NVAPI_OK},
        {"largest transfer", [](NV_I2C_INFO_V3& i) { i.cbSize = simdriver::kMaxTransferBytes; },
         NVAPI_OK},
        {"one byte more", [](NV_I2C_INFO_V3& i) { i.cbSize = simdriver::kMaxTransferBytes + 1; },
         NVAPI_INVALID_ARGUMENT},
        {"beyond any buffer", [](NV_I2C_INFO_V3& i) { i.cbSize = 0xFFFFFFFFu; },
         NVAPI_INVALID_ARGUMENT},
    };
    for (NvI2CTransferFn transfer : {write_, read_}) {
        SCOPED_TRACE(transfer == write_ ? "write" : "read");
        std::vector<NvU8> data(simdriver::kMaxTransferBytes, 0x5A);
        NvU32 scratch[2] = {};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            NV_I2C_INFO_V3 info = TransferRecord(data);
            info.cbSize = 42;
            c.change(info);
            EXPECT_EQ(transfer(gpu, &info, scratch), c.expected);
            EXPECT_EQ(simdriver::Calls().back().status, c.expected);
        }
        NV_I2C_INFO_V3 info = TransferRecord(data);
        info.version = otherBitness;
        EXPECT_EQ(transfer(gpu, &info, scratch), NVAPI_INCOMPATIBLE_STRUCT_VERSION);
        info.version = NV_I2C_INFO_VER3;
        EXPECT_EQ(transfer(ForeignHandle(), &info, scratch), NVAPI_INVALID_HANDLE);
        EXPECT_EQ(transfer(nullptr, &info, scratch), NVAPI_INVALID_HANDLE);
        EXPECT_EQ(transfer(gpu, nullptr, scratch), NVAPI_INVALID_ARGUMENT);
        EXPECT_EQ(transfer(gpu, &info, nullptr), NVAPI_INVALID_ARGUMENT);
    }
}

TEST_F(SimDriverChecks, ReadFillsZerosAndLeavesTheRecordAsItCame) {
    std::vector<NvU8> probe = {0xA0, 1, 2, 3, 4, 5, 6, 7, 0xEE};
    NV_I2C_INFO_V3 info = TransferRecord(probe);
    info.cbSize = 8;
    const NV_I2C_INFO_V3 before = info;
    NvU32 scratch[2] = {};
    ASSERT_EQ(read_(NormalHandles()[1], &info, scratch), NVAPI_OK);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);
    EXPECT_EQ(probe, (std::vector<NvU8>{0, 0, 0, 0, 0, 0, 0, 0, 0xEE}));
    EXPECT_EQ(simdriver::Calls().back().bus, 2);
}

TEST_F(SimDriverChecks, WritesAtMostSixtyFourBytesOfAName) {
    const struct {
        size_t length;
        bool terminated;
    } cases[] = {{0, true}, {23, true}, {63, true}, {64, false}, {65, false}, {300, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string name;
        for (size_t i = 0; i < c.length; ++i) name += static_cast<char>('a' + i % 26);
        Scenario scenario;
        scenario.gpus = {Gpu(1, name, 0x220610DE)};
        StartDriver(scenario);
        char buffer[NVAPI_SHORT_STRING_MAX + 16];
        std::memset(buffer, '#', sizeof buffer);
        ASSERT_EQ(
            DriverEntry<NvGpuGetFullNameFn>(nvapi_id::kGpuGetFullName)(NormalHandles()[0], buffer),
            NVAPI_OK);
        const size_t written = std::min<size_t>(c.length, NVAPI_SHORT_STRING_MAX);
        EXPECT_EQ(std::string(buffer, written), name.substr(0, written));
        if (c.terminated) {
            EXPECT_EQ(buffer[written], '\0');
        }
        // Nothing beyond the caller's 64 bytes is touched.
        EXPECT_EQ(std::string(buffer + NVAPI_SHORT_STRING_MAX, 16), std::string(16, '#'));
    }
}

TEST_F(SimDriverChecks, FailsTheNthTransferOnly) {
    Scenario scenario = simdriver::DefaultScenario();
    scenario.i2cWriteFailAt = 2;
    scenario.i2cWriteFailStatus = -42;
    scenario.i2cReadFailAt = 1;
    scenario.i2cReadFailStatus = NVAPI_INVALID_ARGUMENT;
    StartDriver(scenario);
    const NvPhysicalGpuHandle gpu = NormalHandles()[1];
    const std::vector<NvU8> on = {0xA0, 0xFC, 0x01, 10, 20, 30, 0x00, 0x04};
    const std::vector<NvU8> off = {0xA0, 0xFC, 0x00, 40, 50, 60, 0x00, 0x04};
    EXPECT_EQ(WriteBlock(gpu, on), NVAPI_OK);
    EXPECT_EQ(WriteBlock(gpu, off), -42);
    // The failed write never reached the board, but the log shows what it carried.
    EXPECT_TRUE(simdriver::Board(2).on);
    EXPECT_EQ(simdriver::Calls().back().data, off);
    EXPECT_EQ(WriteBlock(gpu, off), NVAPI_OK);
    EXPECT_FALSE(simdriver::Board(2).on);

    std::vector<NvU8> probe(8, 0);
    NV_I2C_INFO_V3 info = TransferRecord(probe);
    NvU32 scratch[2] = {};
    EXPECT_EQ(read_(gpu, &info, scratch), NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(read_(gpu, &info, scratch), NVAPI_OK);
}

TEST_F(SimDriverChecks, EnumeratesNormalAndTccGpusWithinSixtyFourEntries) {
    std::vector<SimGpu> seventy;
    for (uint32_t bus = 0; bus < 70; ++bus) seventy.push_back(Gpu(bus, "g", 0x220610DE));
    const struct {
        const char* name;
        std::vector<SimGpu> gpus;
        NvU32 reported, tccReported;  // scenario settings
        NvU32 count, tccCount;        // counts the caller gets
        size_t written, tccWritten;   // handles the caller gets
    } cases[] = {
        // clang-format off
        {"no GPUs", {}, 0, 0, 0, 0, 0, 0},
        {"mixed, in scenario order",
         {Gpu(5, "a", 0x220610DE, true), Gpu(3, "b", 0x1E8110DE), Gpu(4, "c", 0x1E0710DE, true)}, 0, 0, 1, 2, 1, 2},
        {"seventy GPUs", seventy, 0, 0, 64, 0, 64, 0},
        {"counts reported above what was written",
         {Gpu(1, "a", 0x220610DE), Gpu(2, "b", 0x220610DE, true)}, 65, 200, 65, 200, 1, 1},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario scenario;
        scenario.gpus = c.gpus;
        scenario.enumReportedCount = c.reported;
        scenario.tccEnumReportedCount = c.tccReported;
        StartDriver(scenario);
        std::vector<NvPhysicalGpuHandle> normal(NVAPI_MAX_PHYSICAL_GPUS + 8, ForeignHandle());
        std::vector<NvPhysicalGpuHandle> tcc = normal;
        NvU32 count = 12345, tccCount = 12345;
        EXPECT_EQ(
            DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumPhysicalGPUs)(normal.data(), &count),
            NVAPI_OK);
        EXPECT_EQ(DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumTCCPhysicalGPUs)(tcc.data(),
                                                                                    &tccCount),
                  NVAPI_OK);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(tccCount, c.tccCount);
        EXPECT_EQ(std::count(normal.begin(), normal.end(), ForeignHandle()),
                  static_cast<long>(normal.size() - c.written));
        EXPECT_EQ(std::count(tcc.begin(), tcc.end(), ForeignHandle()),
                  static_cast<long>(tcc.size() - c.tccWritten));
        // Each handle answers with its own GPU's bus, in scenario order within each list.
        size_t n = 0, t = 0;
        for (const SimGpu& gpu : c.gpus) {
            const NvPhysicalGpuHandle handle = gpu.tcc ? tcc[t++] : normal[n++];
            if (handle == ForeignHandle()) continue;
            NvU32 bus = 0;
            EXPECT_EQ(DriverEntry<NvGpuGetBusIdFn>(nvapi_id::kGpuGetBusId)(handle, &bus), NVAPI_OK);
            EXPECT_EQ(bus, gpu.bus);
        }
    }
}

TEST_F(SimDriverChecks, AnswersWithTheConfiguredFaults) {
    Scenario scenario;
    SimGpu faulty = Gpu(9, "faulty", 0x1E8110DE);
    faulty.busIdStatus = -101;
    faulty.nameStatus = -5;
    faulty.pciStatus = -6;
    scenario.gpus = {faulty, Gpu(4, "fine", 0x220610DE)};
    StartDriver(scenario);
    const std::vector<NvPhysicalGpuHandle> gpus = NormalHandles();
    NvU32 bus = 77, device = 0, sub = 0, revision = 0, ext = 0;
    char name[NVAPI_SHORT_STRING_MAX];
    auto busId = DriverEntry<NvGpuGetBusIdFn>(nvapi_id::kGpuGetBusId);
    auto fullName = DriverEntry<NvGpuGetFullNameFn>(nvapi_id::kGpuGetFullName);
    auto pci = DriverEntry<NvGpuGetPCIIdentifiersFn>(nvapi_id::kGpuGetPCIIdentifiers);
    EXPECT_EQ(busId(gpus[0], &bus), -101);
    EXPECT_EQ(bus, 77u);
    EXPECT_EQ(fullName(gpus[0], name), -5);
    EXPECT_EQ(pci(gpus[0], &device, &sub, &revision, &ext), -6);
    EXPECT_EQ(pci(gpus[1], &device, &sub, &revision, &ext), NVAPI_OK);
    EXPECT_EQ(device, 0x220610DEu);
    EXPECT_EQ(busId(gpus[1], nullptr), NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(fullName(gpus[1], nullptr), NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(pci(gpus[1], &device, nullptr, &revision, &ext), NVAPI_INVALID_ARGUMENT);

    scenario.enumStatus = -7;
    scenario.tccEnumStatus = -11;
    StartDriver(scenario);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 99;
    EXPECT_EQ(DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumPhysicalGPUs)(handles, &count), -7);
    EXPECT_EQ(DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumTCCPhysicalGPUs)(handles, &count),
              -11);
    EXPECT_EQ(DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumPhysicalGPUs)(nullptr, &count),
              NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(count, 99u);
}

TEST_F(SimDriverChecks, ServesOnlyBetweenInitialiseAndUnload) {
    const NvPhysicalGpuHandle earlier = NormalHandles()[0];
    Scenario scenario = simdriver::DefaultScenario();
    scenario.initializeStatus = NVAPI_NVIDIA_DEVICE_NOT_FOUND;
    simdriver::Configure(scenario);
    auto initialize = DriverEntry<NvInitializeFn>(nvapi_id::kInitialize);
    auto unload = DriverEntry<NvUnloadFn>(nvapi_id::kUnload);
    auto unloadWith = DriverEntry<NvUnloadWithArgumentFn>(nvapi_id::kUnloadWithArgument);
    EXPECT_TRUE(NormalHandles().empty());  // refused: not initialised
    EXPECT_EQ(simdriver::Calls().back().status, NVAPI_API_NOT_INITIALIZED);
    EXPECT_EQ(initialize(), NVAPI_NVIDIA_DEVICE_NOT_FOUND);
    EXPECT_EQ(unload(), NVAPI_API_NOT_INITIALIZED);

    scenario.initializeStatus = NVAPI_OK;
    scenario.unloadStatus = -209;
    simdriver::Configure(scenario);
    EXPECT_EQ(initialize(), NVAPI_OK);
    // A handle of an earlier configuration is not one of this one's.
    NvU32 bus = 0;
    EXPECT_EQ(DriverEntry<NvGpuGetBusIdFn>(nvapi_id::kGpuGetBusId)(earlier, &bus),
              NVAPI_INVALID_HANDLE);
    EXPECT_EQ(simdriver::Calls().back().bus, -1);
    EXPECT_EQ(unloadWith(1), NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(unloadWith(0), -209);
    EXPECT_EQ(NormalHandles().size(), 2u);  // a failed unload leaves the API up

    StartDriver(simdriver::DefaultScenario());
    EXPECT_EQ(unloadWith(0), NVAPI_OK);
    EXPECT_EQ(unload(), NVAPI_API_NOT_INITIALIZED);
}

TEST_F(SimDriverChecks, ServesOrWithholdsEachInterface) {
    const NvU32 all[] = {
        nvapi_id::kInitialize,          nvapi_id::kUnload,         nvapi_id::kUnloadWithArgument,
        nvapi_id::kCallStartHook,       nvapi_id::kCallReturnHook, nvapi_id::kEnumPhysicalGPUs,
        nvapi_id::kEnumTCCPhysicalGPUs, nvapi_id::kGpuGetFullName, nvapi_id::kGpuGetPCIIdentifiers,
        nvapi_id::kGpuGetBusId,         nvapi_id::kI2CWriteEx,     nvapi_id::kI2CReadEx};
    const struct {
        void (*change)(Scenario&);
        std::vector<NvU32> missing;
    } cases[] = {
        {[](Scenario&) {}, {}},
        {[](Scenario& s) { s.missingInterfaces = {nvapi_id::kI2CReadEx}; }, {nvapi_id::kI2CReadEx}},
        {[](Scenario& s) { s.missingHooks = true; },
         {nvapi_id::kCallStartHook, nvapi_id::kCallReturnHook}},
        {[](Scenario& s) { s.missingCallReturnHook = true; }, {nvapi_id::kCallReturnHook}},
    };
    for (const auto& c : cases) {
        Scenario scenario = simdriver::DefaultScenario();
        c.change(scenario);
        simdriver::Configure(scenario);
        for (NvU32 id : all) {
            const bool missing =
                std::find(c.missing.begin(), c.missing.end(), id) != c.missing.end();
            EXPECT_EQ(simdriver::QueryInterface(id) == nullptr, missing) << std::hex << id;
        }
        EXPECT_EQ(simdriver::QueryInterface(0x12345678), nullptr);
    }
}

TEST_F(SimDriverChecks, DiagnosticReportsCheckTheContextCameBack) {
    auto start = DriverEntry<NvCallStartHookFn>(nvapi_id::kCallStartHook);
    auto finish = DriverEntry<NvCallReturnHookFn>(nvapi_id::kCallReturnHook);
    NvU32 context[2] = {};
    EXPECT_EQ(start(nvapi_id::kI2CWriteEx, context), NVAPI_OK);
    EXPECT_EQ(finish(nvapi_id::kI2CWriteEx, context[0], context[1], -5), NVAPI_OK);
    EXPECT_EQ(simdriver::Calls().back().reportedStatus, -5);
    EXPECT_EQ(finish(nvapi_id::kI2CWriteEx, 0, 0, NVAPI_OK), NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(finish(nvapi_id::kI2CReadEx, context[0], context[1], NVAPI_OK),
              NVAPI_INVALID_ARGUMENT);
    EXPECT_EQ(start(nvapi_id::kI2CWriteEx, nullptr), NVAPI_INVALID_ARGUMENT);
}

}  // namespace
