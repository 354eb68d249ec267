#include "core/nvapi/nvapi_access.h"

#include <gtest/gtest.h>

#include "tests/support/in_process/in_process_driver.h"

namespace {

using nvapi::NvApiAccess;

// The default driver, lacking some interfaces, with the statuses of its initialise and unload.
simdriver::Scenario Driver(std::vector<NvU32> missing = {}, NvAPI_Status initialize = 0,
                           NvAPI_Status unload = 0) {
    simdriver::Scenario scenario = simdriver::DefaultScenario();
    std::tie(scenario.missingInterfaces, scenario.initializeStatus, scenario.unloadStatus) =
        std::tie(missing, initialize, unload);
    return scenario;
}

TEST(NvApiAccess, ReferenceCountSequences) {
    enum Step { kInit, kUnload, kForward };
    // Each step with its status and the reference count after it; the module is loaded exactly
    // while the count is above 0. A forwarded call loads and counts one, as an initialise would.
    // clang-format off
    const std::vector<std::tuple<Step, NvAPI_Status, int>> cases[] = {
        {{kForward, 0, 1}, {kInit, 0, 2}, {kUnload, 0, 1}, {kUnload, 0, 0}},
        {{kUnload, NVAPI_API_NOT_INITIALIZED, 0}},
        {{kInit, 0, 1}, {kUnload, 0, 0}, {kUnload, NVAPI_API_NOT_INITIALIZED, 0}, {kForward, 0, 1}, {kUnload, 0, 0}},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        auto&& [driver, layer] = SimulatedAccess(Driver());
        for (const auto& [step, status, count] : cases[i]) {
            SCOPED_TRACE(testing::Message() << "case " << i << " at count " << count);
            EXPECT_EQ(step == kInit     ? layer.Initialize()
                      : step == kUnload ? layer.Unload()
                                        : AnyForwardedCall(layer),
                      status);
            // The count, whether loaded, the module references held, and calls in use.
            EXPECT_EQ(std::make_tuple(layer.ReferenceCount(), layer.IsLoaded(),
                                      driver.loads - driver.frees, layer.InUseCount()),
                      std::make_tuple(count, count > 0, count > 0 ? 1 : 0, 0));
        }
    }
}

// Each load initialises the driver once and resolves each function once, afresh: no address
// from an earlier load is ever called. An interface the driver lacks is asked for on every call.
TEST(NvApiAccess, EachLoadResolvesEachFunctionOnceAndAMissingOneEveryTime) {
    const int enumBefore = InProcessDriver::Queries(nvapi_id::kEnumPhysicalGPUs);
    const int busBefore = InProcessDriver::Queries(nvapi_id::kGpuGetBusId);
    auto&& [driver, access] = SimulatedAccess(Driver({nvapi_id::kGpuGetBusId}));
    for (int load = 1; load <= 2; ++load) {
        ASSERT_EQ(AnyForwardedCall(access), NVAPI_OK);
        ASSERT_EQ(access.Initialize(), NVAPI_OK);
        ASSERT_EQ(AnyForwardedCall(access), NVAPI_OK);
        for (int call = 0; call < 2; ++call) {
            NvU32 bus = 0;
            EXPECT_EQ(access.GPU_GetBusId(nullptr, &bus), NVAPI_NO_IMPLEMENTATION);
            EXPECT_EQ(access.InUseCount(), 0);
        }
        // Initialisations, and the resolutions of the forwarded and of the missing function.
        EXPECT_EQ(
            std::make_tuple(DriverCalls("NvAPI_Initialize"),
                            InProcessDriver::Queries(nvapi_id::kEnumPhysicalGPUs) - enumBefore,
                            InProcessDriver::Queries(nvapi_id::kGpuGetBusId) - busBefore),
            std::make_tuple(load, load, 2 * load));
        ASSERT_EQ(access.Unload(), NVAPI_OK);
        ASSERT_EQ(access.Unload(), NVAPI_OK);
        EXPECT_EQ(std::make_pair(driver.loads.load(), driver.frees.load()),
                  std::make_pair(load, load));
    }
}

// The thermal query reaches the driver under its own identifier, with the GPU, sensor index and
// record it was given, between the two reports of that identifier; it is resolved once per load.
// A driver without it answers "no implementation" each time, and is asked again each time.
TEST(NvApiAccess, ForwardsTheThermalQueryUnderItsOwnIdentifier) {
    using Served = std::tuple<std::string, int64_t, NvU32, NvAPI_Status>;  // bus or interface
    const NvU32 id = nvapi_id::kGpuGetThermalSettings;
    for (const bool missing : {false, true}) {
        const int before = InProcessDriver::Queries(id);
        auto&& [driver, layer] =
            SimulatedAccess(Driver(missing ? std::vector<NvU32>{id} : std::vector<NvU32>{}));
        NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 0;
        ASSERT_EQ(layer.EnumPhysicalGPUs(gpus, &count), NVAPI_OK);
        const size_t first = simdriver::Calls().size();
        for (const NvU32 sensorIndex : {NVAPI_THERMAL_TARGET_ALL, 0u}) {
            NV_GPU_THERMAL_SETTINGS settings{NV_GPU_THERMAL_SETTINGS_VER_2, 0, {}};
            const bool answered = !missing && sensorIndex == NVAPI_THERMAL_TARGET_ALL;
            EXPECT_EQ(layer.GPU_GetThermalSettings(gpus[1], sensorIndex, &settings),
                      missing    ? NVAPI_NO_IMPLEMENTATION
                      : answered ? 0
                                 : -5);
            EXPECT_EQ(std::make_pair(settings.count, settings.sensor[0].currentTemp),
                      std::make_pair(answered ? 1u : 0u, answered ? 45 : 0));
        }
        EXPECT_EQ(InProcessDriver::Queries(id) - before, missing ? 2 : 1) << missing;
        std::vector<Served> served;
        const std::vector<simdriver::CallRecord> calls = simdriver::Calls();
        for (size_t i = first; i < calls.size(); ++i) {
            const bool report = calls[i].call != "NvAPI_GPU_GetThermalSettings";
            served.emplace_back(calls[i].call, report ? calls[i].reportedInterface : calls[i].bus,
                                report ? 0 : calls[i].sensorIndex,
                                report ? calls[i].reportedStatus : calls[i].status);
        }
        const Served start{"NvAPI_CallStartReport", id, 0, 0};
        const std::vector<Served> expected = {start,
                                              {"NvAPI_GPU_GetThermalSettings", 2, 15, 0},
                                              {"NvAPI_CallReturnReport", id, 0, 0},
                                              start,
                                              {"NvAPI_GPU_GetThermalSettings", 2, 0, -5},
                                              {"NvAPI_CallReturnReport", id, 0, -5}};
        EXPECT_EQ(served, missing ? std::vector<Served>{} : expected);
        NvU32 bus = 0;  // the thermal entry is kept apart from the other queries'
        EXPECT_EQ(std::make_pair(layer.GPU_GetBusId(gpus[1], &bus), bus), std::make_pair(0, 2u));
    }
}

TEST(NvApiAccess, DiagnosticHooksAreCalledOnlyAsAPair) {
    for (int hooks = 0; hooks < 3; ++hooks) {  // both, none, the call-start hook alone
        simdriver::Scenario scenario = Driver();
        scenario.missingHooks = hooks == 1;
        scenario.missingCallReturnHook = hooks == 2;
        auto&& [driver, layer] = SimulatedAccess(scenario);
        ASSERT_EQ(AnyForwardedCall(layer), NVAPI_OK);
        EXPECT_EQ(DriverCalls("NvAPI_CallStartReport"), hooks == 0 ? 1 : 0) << hooks;
        EXPECT_EQ(DriverCalls("NvAPI_CallReturnReport"), hooks == 0 ? 1 : 0) << hooks;
        // The return report gets the interface and the context the start report marked for it.
        for (const auto& call : simdriver::Calls()) EXPECT_EQ(call.status, NVAPI_OK) << call.call;
    }
}

TEST(NvApiAccess, LoadAndBindFailuresLeaveNothingLoaded) {
    // Module missing, query export missing, the driver, and what initialise returns.
    const std::tuple<bool, bool, simdriver::Scenario, NvAPI_Status> cases[] = {
        {true, false, Driver(), NVAPI_LIBRARY_NOT_FOUND},
        {false, true, Driver(), NVAPI_ERROR},
        {false, false, Driver({nvapi_id::kInitialize}), NVAPI_ERROR},
        {false, false, Driver({}, -104), -104},  // the driver's own status, passed through
    };
    for (const auto& [moduleMissing, exportMissing, scenario, expected] : cases) {
        SCOPED_TRACE(expected);
        auto&& [driver, layer] = SimulatedAccess(scenario);
        driver.moduleMissing = moduleMissing;
        driver.queryExportMissing = exportMissing;
        EXPECT_EQ(layer.Initialize(), expected);
        EXPECT_EQ(AnyForwardedCall(layer), expected) << "the next call tries again";
        // The count, calls in use, whether loaded, and the module loaded and freed each time.
        EXPECT_EQ(std::make_tuple(layer.ReferenceCount(), layer.InUseCount(), layer.IsLoaded(),
                                  driver.loads.load(), driver.frees.load()),
                  std::make_tuple(0, 0, false, 2, moduleMissing ? 0 : 2));
    }
}

TEST(NvApiAccess, UnloadPrefersTheEntryWithArgumentAndKeepsTheModuleOnFailure) {
    // The driver, what unload returns, and the driver's unload it called.
    const std::tuple<simdriver::Scenario, NvAPI_Status, const char*> cases[] = {
        {Driver(), NVAPI_OK, "NvAPI_UnloadWithArgument"},
        {Driver({nvapi_id::kUnloadWithArgument}), NVAPI_OK, "NvAPI_Unload"},
        {Driver({}, 0, -104), NVAPI_ERROR, "NvAPI_UnloadWithArgument"},
        {Driver({nvapi_id::kUnloadWithArgument, nvapi_id::kUnload}), NVAPI_NO_IMPLEMENTATION, ""},
    };
    for (const auto& [scenario, expected, unloadCalled] : cases) {
        SCOPED_TRACE(unloadCalled);
        auto&& [driver, layer] = SimulatedAccess(scenario);
        ASSERT_EQ(layer.Initialize(), NVAPI_OK);
        EXPECT_EQ(layer.Unload(), expected);
        const int unloads = *unloadCalled ? 1 : 0;
        EXPECT_EQ(DriverCalls("NvAPI_UnloadWithArgument") + DriverCalls("NvAPI_Unload"), unloads);
        EXPECT_EQ(DriverCalls(unloadCalled), unloads);
        // Freed on success; on failure the count is restored and the module kept.
        const bool freed = expected == NVAPI_OK;
        EXPECT_EQ(std::make_tuple(layer.IsLoaded(), layer.ReferenceCount(), driver.frees.load()),
                  std::make_tuple(!freed, freed ? 0 : 1, freed ? 1 : 0));
    }
}

}  // namespace
