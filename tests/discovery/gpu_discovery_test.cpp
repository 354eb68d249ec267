#include "core/gpus/gpu_discovery.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/in_process_driver.h"

namespace {

constexpr uint32_t kRtx3080 = 0x220610DE;       // family 3000
constexpr uint32_t kRtx2080Super = 0x1E8110DE;  // family 2000
constexpr uint32_t kUnlisted = 0x1F0210DE;

const std::wstring kCaption = L"VOXA LED Lumivar";
const std::wstring kNameFailed = L"GPU名を取得できません";
const std::wstring kTooMany =
    L"ビデオカードが9枚以上存在します\n認識できるビデオカードは8枚までです\n8枚までを認識します";
const std::wstring kNoSupported = L"SKARNE グラフィックスボードのみ LED コントロールが行えます";

std::wstring InitFailed(const wchar_t* code) {
    return std::wstring(L"NvAPIの初期化に失敗しました\nerrorcode ") + code;
}

int CountCalls(const std::string& name) {
    int count = 0;
    for (const auto& call : simdriver::Calls()) count += call.call == name;
    return count;
}

struct Message {
    std::wstring text;
    std::wstring caption;
    int namesReadBefore;  // full-name calls the driver had served when the message came
};

class RecordingMessages {
  public:
    void Show(const wchar_t* text, const wchar_t* caption) {
        shown.push_back({text, caption, CountCalls("NvAPI_GPU_GetFullName")});
    }
    std::vector<Message> shown;
};

// TEMPORARY: the shell's messages for a discovery result, until this test checks results.
bool DiscoverGpus(nvapi::NvApiAccess& api, GpuTable& table, RecordingMessages& messages) {
    const DiscoveryResult result = FindGpus(api, table);
    if (result.moreThanEightGpus) messages.Show(kTooMany.c_str(), kCaption.c_str());
    switch (result.failure) {
        case DiscoveryFailure::kNone:
            return true;
        case DiscoveryFailure::kInitialisation:
        case DiscoveryFailure::kNoGpu:
            messages.Show(InitFailed(std::to_wstring(result.status).c_str()).c_str(),
                          kCaption.c_str());
            return false;
        case DiscoveryFailure::kNameUnreadable:
            messages.Show(kNameFailed.c_str(), kCaption.c_str());
            return false;
        case DiscoveryFailure::kNoSupportedBoard:
            messages.Show(kNoSupported.c_str(), kCaption.c_str());
            return false;
    }
    return false;
}

simdriver::SimGpu Gpu(uint32_t bus, const std::string& name, uint32_t pciId = kRtx3080,
                      bool tcc = false) {
    simdriver::SimGpu gpu;
    gpu.bus = bus;
    gpu.name = name;
    gpu.pciId = pciId;
    gpu.tcc = tcc;
    return gpu;
}

simdriver::SimGpu UnreadableBus(simdriver::SimGpu gpu) {
    gpu.busIdStatus = NVAPI_ERROR;
    return gpu;
}

simdriver::Scenario WithGpus(std::vector<simdriver::SimGpu> gpus) {
    simdriver::Scenario scenario;
    scenario.gpus = std::move(gpus);
    return scenario;
}

class GpuDiscoveryTest : public ::testing::Test {
  protected:
    void TearDown() override { simdriver::Configure(simdriver::DefaultScenario()); }

    // Runs discovery the way start-up does: defaults first, on a table that holds leftovers,
    // with a driver freshly configured and an access layer that has not loaded it yet.
    bool Discover(const simdriver::Scenario& scenario) {
        while (access && access->ReferenceCount() > 0 && access->Unload() == NVAPI_OK) {
        }
        simdriver::Configure(scenario);
        access = std::make_unique<nvapi::NvApiAccess>(driver);
        for (GpuSlot& slot : table.gpuSlots) {
            slot.family = 1234;
            slot.supported = 7;
            slot.i2cInfoVersion = 0;
            slot.commandByte = 0x55;
        }
        table.ledControllerAddress = 0;
        WriteDiscoveryDefaults(table);
        return DiscoverGpus(*access, table, messages);
    }

    std::vector<std::wstring> SlotNames() const {
        std::vector<std::wstring> names;
        for (int k = 0; k < table.gpuCount; ++k) names.push_back(table.gpuSlots[k].name);
        return names;
    }

    InProcessDriver driver;
    std::unique_ptr<nvapi::NvApiAccess> access;
    GpuTable table;
    RecordingMessages messages;
};

TEST_F(GpuDiscoveryTest, DefaultsBeforeTheDriverIsTouched) {
    GpuTable fresh;
    fresh.ledControllerAddress = 0;
    for (GpuSlot& slot : fresh.gpuSlots) slot.commandByte = 0;
    WriteDiscoveryDefaults(fresh);
    EXPECT_EQ(fresh.ledControllerAddress, 0x92);
    for (const GpuSlot& slot : fresh.gpuSlots) EXPECT_EQ(slot.commandByte, 0xA2);
}

TEST_F(GpuDiscoveryTest, SlotsFollowBusNumbers) {
    struct Case {
        const char* what;
        std::vector<simdriver::SimGpu> gpus;
        std::vector<std::wstring> names;  // slot order
    };
    // clang-format off
    const Case cases[] = {
        {"buses 5 and 2", {Gpu(5, "bus5"), Gpu(2, "bus2")}, {L"bus2", L"bus5"}},
        {"unreadable bus sorts first", {Gpu(3, "bus3"), UnreadableBus(Gpu(7, "unreadable")), Gpu(1, "bus1")}, {L"unreadable", L"bus1", L"bus3"}},
        {"two unreadable buses keep enumeration order", {UnreadableBus(Gpu(9, "first")), Gpu(1, "bus1"), UnreadableBus(Gpu(8, "second"))}, {L"first", L"second", L"bus1"}},
        {"TCC only", {Gpu(4, "tcc4", kRtx3080, true), Gpu(1, "tcc1", kRtx3080, true)}, {L"tcc1", L"tcc4"}},
        {"TCC behind normal, ordered by bus", {Gpu(5, "normal5"), Gpu(2, "tcc2", kRtx3080, true), Gpu(3, "normal3")}, {L"tcc2", L"normal3", L"normal5"}},
        {"equal buses keep enumeration order", {Gpu(2, "first2"), Gpu(2, "second2"), Gpu(1, "bus1")}, {L"bus1", L"first2", L"second2"}},
        {"bus numbers above 2^31 sort as unsigned", {Gpu(0x80000000u, "high"), Gpu(1, "bus1")}, {L"bus1", L"high"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        ASSERT_TRUE(Discover(WithGpus(c.gpus)));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(SlotNames(), c.names);
        // Every slot has a handle of its own, and it is the handle of the GPU the slot names.
        for (int k = 0; k < table.gpuCount; ++k) {
            for (int other = 0; other < k; ++other) {
                EXPECT_NE(table.gpuSlots[k].handleIndex, table.gpuSlots[other].handleIndex);
            }
            char name[NVAPI_SHORT_STRING_MAX] = {};
            ASSERT_EQ(
                access->GPU_GetFullName(table.gpuHandles[table.gpuSlots[k].handleIndex], name),
                NVAPI_OK);
            EXPECT_EQ(std::wstring(name, name + std::string(name).size()), c.names[k]);
        }
        // Each bus number is asked once per GPU.
        EXPECT_EQ(CountCalls("NvAPI_GPU_GetBusId"), static_cast<int>(c.gpus.size()));
    }
}

std::vector<simdriver::SimGpu> GpusOnBuses(int count) {
    std::vector<simdriver::SimGpu> gpus;
    // Enumerated from the highest bus down, so that the slots must be reordered.
    for (int i = count; i >= 1; --i) gpus.push_back(Gpu(i, "gpu" + std::to_string(i)));
    return gpus;
}

TEST_F(GpuDiscoveryTest, AtMostEightSlots) {
    struct Case {
        int gpus;
        int slots;
        bool message;
    };
    const Case cases[] = {{1, 1, false}, {8, 8, false}, {9, 8, true}, {12, 8, true}, {64, 8, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gpus);
        messages.shown.clear();
        ASSERT_TRUE(Discover(WithGpus(GpusOnBuses(c.gpus))));
        EXPECT_EQ(table.gpuCount, c.slots);
        std::vector<std::wstring> lowestBuses;
        for (int i = 1; i <= c.slots; ++i) lowestBuses.push_back(L"gpu" + std::to_wstring(i));
        EXPECT_EQ(SlotNames(), lowestBuses);
        EXPECT_EQ(CountCalls("NvAPI_GPU_GetFullName"), c.slots);
        EXPECT_EQ(CountCalls("NvAPI_GPU_GetPCIIdentifiers"), c.slots);
        if (c.message) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, kTooMany);
            EXPECT_EQ(messages.shown[0].caption, kCaption);
            EXPECT_EQ(messages.shown[0].namesReadBefore, 8);
        } else {
            EXPECT_TRUE(messages.shown.empty());
        }
    }
}

// Many GPUs on few buses: the eight slots are the lowest bus's GPUs in enumeration order.
TEST_F(GpuDiscoveryTest, TiesAmongManyGpusKeepEnumerationOrder) {
    std::vector<simdriver::SimGpu> gpus;
    for (int i = 0; i < 40; ++i) gpus.push_back(Gpu(i % 2 == 0 ? 7 : 3, "gpu" + std::to_string(i)));
    ASSERT_TRUE(Discover(WithGpus(gpus)));
    EXPECT_EQ(SlotNames(), (std::vector<std::wstring>{L"gpu1", L"gpu3", L"gpu5", L"gpu7", L"gpu9",
                                                      L"gpu11", L"gpu13", L"gpu15"}));
}

TEST_F(GpuDiscoveryTest, RecognisesBoardsByPciIdentifier) {
    struct Expect {
        int32_t supported;
        int32_t family;
        uint8_t commandByte;
    };
    struct Case {
        const char* what;
        uint32_t pciId;
        Expect expect;
    };
    // clang-format off
    const Case cases[] = {
        {"2204", 0x220410DE, {1, 3000, 0xA2}}, {"2206", 0x220610DE, {1, 3000, 0xA2}},
        {"2484", 0x248410DE, {1, 3000, 0xA2}}, {"1e07", 0x1E0710DE, {1, 2000, 0xA0}},
        {"1e87", 0x1E8710DE, {1, 2000, 0xA0}}, {"1e81", 0x1E8110DE, {1, 2000, 0xA0}},
        {"1e84", 0x1E8410DE, {1, 2000, 0xA0}}, {"unlisted", kUnlisted, {0, 3000, 0xA2}},
        {"neighbour of a listed id", 0x220710DE, {0, 3000, 0xA2}},
        {"other vendor", 0x22061002, {0, 3000, 0xA2}},
        {"device below 0x1000", 0x0E8110DE, {0, 3000, 0xA2}},
        {"listed digits shifted", 0x00E8110D, {0, 3000, 0xA2}},
        {"vendor missing", 0x2206, {0, 3000, 0xA2}},
        {"all ones", 0xFFFFFFFF, {0, 3000, 0xA2}},
        {"device 0", 0x000010DE, {0, 3000, 0xA2}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        // The board under test sits behind a supported one, so discovery always succeeds.
        Discover(WithGpus({Gpu(1, "anchor", kRtx2080Super), Gpu(2, "tested", c.pciId)}));
        ASSERT_TRUE(messages.shown.empty());
        const GpuSlot& slot = table.gpuSlots[1];
        EXPECT_EQ(slot.supported, c.expect.supported);
        EXPECT_EQ(slot.family, c.expect.family);
        EXPECT_EQ(slot.commandByte, c.expect.commandByte);
        EXPECT_EQ(slot.i2cInfoVersion, NV_I2C_INFO_VER3);
    }
    // Every slot is reset, including the ones not in use.
    for (int k = 2; k < kMaxGpuSlots; ++k) {
        EXPECT_EQ(table.gpuSlots[k].supported, 0);
        EXPECT_EQ(table.gpuSlots[k].family, 3000);
        EXPECT_EQ(table.gpuSlots[k].i2cInfoVersion, NV_I2C_INFO_VER3);
        EXPECT_EQ(table.gpuSlots[k].commandByte, 0xA2);
    }
}

TEST_F(GpuDiscoveryTest, UnsupportedFirstSlotWithSupportedSecond) {
    simdriver::SimGpu unreadable = Gpu(3, "no pci", kRtx3080);
    unreadable.pciStatus = NVAPI_ERROR;
    ASSERT_TRUE(Discover(
        WithGpus({Gpu(4, "supported", kRtx2080Super), Gpu(1, "plain", kUnlisted), unreadable})));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(SlotNames(), (std::vector<std::wstring>{L"plain", L"no pci", L"supported"}));
    EXPECT_EQ(table.gpuSlots[0].supported, 0);
    EXPECT_EQ(table.gpuSlots[1].supported, 0);  // identifiers unreadable: stays unsupported
    EXPECT_EQ(table.gpuSlots[1].family, 3000);
    EXPECT_EQ(table.gpuSlots[2].supported, 1);
    EXPECT_EQ(table.gpuSlots[2].family, 2000);
    EXPECT_EQ(table.gpuSlots[2].commandByte, 0xA0);
}

TEST_F(GpuDiscoveryTest, FailuresShowTheirMessageAndStopDiscovery) {
    simdriver::Scenario initFails = simdriver::DefaultScenario();
    initFails.initializeStatus = NVAPI_NVIDIA_DEVICE_NOT_FOUND;
    simdriver::Scenario initFailsMost = simdriver::DefaultScenario();
    initFailsMost.initializeStatus = INT32_MIN;
    simdriver::Scenario bothEnumerationsFail = simdriver::DefaultScenario();
    bothEnumerationsFail.enumStatus = NVAPI_ERROR;
    bothEnumerationsFail.tccEnumStatus = NVAPI_ERROR;
    simdriver::Scenario nameFails = WithGpus({Gpu(1, "fine"), Gpu(2, "broken")});
    nameFails.gpus[1].nameStatus = NVAPI_ERROR;
    simdriver::Scenario enumFailsTccUnsupported =
        WithGpus({Gpu(1, "normal"), Gpu(2, "tcc", kUnlisted, true)});
    enumFailsTccUnsupported.enumStatus = NVAPI_ERROR;

    struct Case {
        const char* what;
        simdriver::Scenario scenario;
        std::wstring text;
    };
    const Case cases[] = {
        {"initialisation fails", initFails, InitFailed(L"-6")},
        {"initialisation fails with the longest status", initFailsMost, InitFailed(L"-2147483648")},
        {"no GPU at all", WithGpus({}), InitFailed(L"-1000")},
        {"both enumerations fail", bothEnumerationsFail, InitFailed(L"-1000")},
        {"a name cannot be read", nameFails, kNameFailed},
        {"no supported board",
         WithGpus({Gpu(1, "a", kUnlisted), Gpu(2, "b", 0x0E8110DE), Gpu(3, "c", 0x22061002)}),
         kNoSupported},
        {"failed normal enumeration is not added, TCC board unsupported", enumFailsTccUnsupported,
         kNoSupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        EXPECT_FALSE(Discover(c.scenario));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(messages.shown[0].caption, kCaption);
    }
}

// A driver that reports more handles than it wrote, or than the table holds, never makes
// discovery write or read past the 64-handle table (the sanitizer run checks the accesses).
TEST_F(GpuDiscoveryTest, OverReportedCountsAreClampedToTheTable) {
    struct Case {
        const char* what;
        int normal, tcc;
        uint32_t normalReported, tccReported;
        int handlesUsed;
    };
    const Case cases[] = {
        {"normal count above 64", 3, 0, 100, 0, 64},
        {"TCC count above what is left", 3, 2, 0, 100, 64},
        {"both above 64", 2, 2, 65, 0xFFFFFFFFu, 64},
        {"sum above 64", 0, 0, 40, 40, 64},
        {"honest counts", 3, 2, 0, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<simdriver::SimGpu> gpus;
        for (int i = 0; i < c.normal; ++i) gpus.push_back(Gpu(10 + i, "n", kRtx3080));
        for (int i = 0; i < c.tcc; ++i) gpus.push_back(Gpu(20 + i, "t", kRtx3080, true));
        simdriver::Scenario scenario = WithGpus(gpus);
        scenario.enumReportedCount = c.normalReported;
        scenario.tccEnumReportedCount = c.tccReported;
        messages.shown.clear();
        Discover(scenario);
        // Every enumerated handle has its bus number asked exactly once.
        EXPECT_EQ(CountCalls("NvAPI_GPU_GetBusId"), c.handlesUsed);
    }
}

TEST_F(GpuDiscoveryTest, NamesAreCutToThirtyNineCharacters) {
    const std::string fifty = "NVIDIA GeForce RTX 3080 SKARNE Edition of the year";
    ASSERT_EQ(fifty.size(), 50u);
    const std::string sixtyFour(64, 'N');
    const std::string longer = std::string(63, 'L') + "XYZ";
    struct Case {
        const char* what;
        std::string driverName;
        std::wstring slotName;
    };
    const Case cases[] = {
        {"50 characters", fifty, std::wstring(fifty.begin(), fifty.begin() + 39)},
        {"64 bytes without terminator", sixtyFour, std::wstring(39, L'N')},
        {"longer than the buffer", longer, std::wstring(39, L'L')},
        {"39 characters", std::string(39, 'x'), std::wstring(39, L'x')},
        {"empty", "", L""},
        {"one wide character per byte", "GPU \xE9\xFF", L"GPU \u00E9\u00FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Discover(WithGpus({Gpu(1, c.driverName)})));
        EXPECT_EQ(std::wstring(table.gpuSlots[0].name), c.slotName);
    }
}

}  // namespace
