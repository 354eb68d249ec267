#include "core/nvapi/nvapi_access.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/in_process_driver.h"

namespace {

using nvapi::NvApiAccess;

int CountCalls(const std::string& name) {
    int count = 0;
    for (const auto& call : simdriver::Calls()) count += call.call == name;
    return count;
}

class NvApiAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        simdriver::Configure(simdriver::DefaultScenario());
        QueryCounter::Reset();
    }
    void TearDown() override { simdriver::Configure(simdriver::DefaultScenario()); }

    NvAPI_Status AnyForwardedCall() {
        NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 0;
        return access.EnumPhysicalGPUs(handles, &count);
    }

    InProcessDriver driver;
    NvApiAccess access{driver};
};

TEST_F(NvApiAccessTest, ReferenceCountSequences) {
    enum Step { kInitialize, kUnload, kForward };
    struct Expect {
        Step step;
        NvAPI_Status status;
        int referenceCount;
        bool loaded;
    };
    struct Case {
        const char* what;
        std::vector<Expect> steps;
    };
    // clang-format off
    const Case cases[] = {
        {"forwarding call first loads and counts one, initialise raises it",
         {{kForward, 0, 1, true}, {kInitialize, 0, 2, true}, {kUnload, 0, 1, true}, {kUnload, 0, 0, false}}},
        {"initialise twice, unload twice",
         {{kInitialize, 0, 1, true}, {kInitialize, 0, 2, true}, {kUnload, 0, 1, true}, {kUnload, 0, 0, false}}},
        {"unload with nothing loaded", {{kUnload, NVAPI_API_NOT_INITIALIZED, 0, false}}},
        {"unload past zero",
         {{kInitialize, 0, 1, true}, {kUnload, 0, 0, false}, {kUnload, NVAPI_API_NOT_INITIALIZED, 0, false}}},
        {"load again after a final unload",
         {{kInitialize, 0, 1, true}, {kUnload, 0, 0, false}, {kForward, 0, 1, true}, {kUnload, 0, 0, false}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InProcessDriver fresh;
        NvApiAccess layer(fresh);
        simdriver::Configure(simdriver::DefaultScenario());
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i));
            const Expect& e = c.steps[i];
            NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
            NvU32 count = 0;
            const NvAPI_Status status = e.step == kInitialize ? layer.Initialize()
                                        : e.step == kUnload
                                            ? layer.Unload()
                                            : layer.EnumPhysicalGPUs(handles, &count);
            EXPECT_EQ(status, e.status);
            EXPECT_EQ(layer.ReferenceCount(), e.referenceCount);
            EXPECT_EQ(layer.IsLoaded(), e.loaded);
            EXPECT_EQ(fresh.loaded.load(), e.loaded ? 1 : 0) << "module references held";
            EXPECT_EQ(layer.InUseCount(), 0);
        }
    }
}

TEST_F(NvApiAccessTest, DriverInitialisesOncePerLoad) {
    ASSERT_EQ(AnyForwardedCall(), NVAPI_OK);
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    ASSERT_EQ(AnyForwardedCall(), NVAPI_OK);
    EXPECT_EQ(CountCalls("NvAPI_Initialize"), 1);
    EXPECT_EQ(driver.loads.load(), 1);
}

TEST_F(NvApiAccessTest, MissingInterfaceFailsEveryTimeAndCountsOut) {
    simdriver::Scenario scenario = simdriver::DefaultScenario();
    scenario.missingInterfaces = {nvapi_id::kGpuGetBusId};
    simdriver::Configure(scenario);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    ASSERT_EQ(access.EnumPhysicalGPUs(handles, &count), NVAPI_OK);
    ASSERT_GE(count, 1u);
    for (int i = 0; i < 3; ++i) {
        NvU32 bus = 0;
        EXPECT_EQ(access.GPU_GetBusId(handles[0], &bus), NVAPI_NO_IMPLEMENTATION);
        EXPECT_EQ(access.InUseCount(), 0);
    }
    // The empty slot stays empty, so each call asks the driver again.
    EXPECT_EQ(QueryCounter::Count(nvapi_id::kGpuGetBusId), 3);
    char name[NVAPI_SHORT_STRING_MAX] = {};
    EXPECT_EQ(access.GPU_GetFullName(handles[0], name), NVAPI_OK) << "other calls unaffected";
}

TEST_F(NvApiAccessTest, DiagnosticHooksAreCalledOnlyAsAPair) {
    struct Case {
        const char* what;
        bool missingHooks;
        bool missingReturnHook;
        bool called;
    };
    const Case cases[] = {
        {"both hooks", false, false, true},
        {"no hooks", true, false, false},
        {"call-start hook only", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        scenario.missingHooks = c.missingHooks;
        scenario.missingCallReturnHook = c.missingReturnHook;
        simdriver::Configure(scenario);
        InProcessDriver fresh;
        NvApiAccess layer(fresh);
        NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 0;
        ASSERT_EQ(layer.EnumPhysicalGPUs(handles, &count), NVAPI_OK);
        const int starts = CountCalls("NvAPI_CallStartReport");
        const int returns = CountCalls("NvAPI_CallReturnReport");
        EXPECT_EQ(starts, c.called ? 1 : 0);
        EXPECT_EQ(returns, c.called ? 1 : 0);
        layer.Unload();
    }
}

TEST_F(NvApiAccessTest, FreshLoadResolvesEveryFunctionAgain) {
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    ASSERT_EQ(AnyForwardedCall(), NVAPI_OK);
    ASSERT_EQ(AnyForwardedCall(), NVAPI_OK);
    EXPECT_EQ(QueryCounter::Count(nvapi_id::kEnumPhysicalGPUs), 1) << "cached within one load";
    ASSERT_EQ(access.Unload(), NVAPI_OK);
    ASSERT_EQ(AnyForwardedCall(), NVAPI_OK);
    EXPECT_EQ(QueryCounter::Count(nvapi_id::kEnumPhysicalGPUs), 2);
    EXPECT_EQ(QueryCounter::Count(nvapi_id::kInitialize), 2);
    EXPECT_EQ(driver.loads.load(), 2);
    EXPECT_EQ(driver.frees.load(), 1);
}

TEST_F(NvApiAccessTest, LoadAndBindFailures) {
    struct Case {
        const char* what;
        bool moduleMissing;
        bool queryExportMissing;
        NvAPI_Status initializeStatus;
        std::vector<NvU32> missing;
        NvAPI_Status expected;
        int frees;
    };
    const Case cases[] = {
        {"module not found", true, false, 0, {}, NVAPI_LIBRARY_NOT_FOUND, 0},
        {"query export missing", false, true, 0, {}, NVAPI_ERROR, 1},
        {"initialise entry missing", false, false, 0, {nvapi_id::kInitialize}, NVAPI_ERROR, 1},
        {"driver initialise fails", false, false, -6, {}, -6, 1},
        {"driver status passed through", false, false, -104, {}, -104, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        scenario.initializeStatus = c.initializeStatus;
        scenario.missingInterfaces = c.missing;
        simdriver::Configure(scenario);
        InProcessDriver fresh;
        fresh.moduleMissing = c.moduleMissing;
        fresh.queryExportMissing = c.queryExportMissing;
        NvApiAccess layer(fresh);
        EXPECT_EQ(layer.Initialize(), c.expected);
        EXPECT_FALSE(layer.IsLoaded());
        EXPECT_EQ(layer.ReferenceCount(), 0);
        EXPECT_EQ(layer.InUseCount(), 0);
        NvU32 bus = 0;
        EXPECT_EQ(layer.GPU_GetBusId(nullptr, &bus), c.expected) << "the next call tries again";
        EXPECT_EQ(fresh.loads.load(), 2);
        EXPECT_EQ(fresh.frees.load(), 2 * c.frees);
        EXPECT_EQ(fresh.loaded.load(), 0);
    }
}

TEST_F(NvApiAccessTest, UnloadFailures) {
    struct Case {
        const char* what;
        std::vector<NvU32> missing;
        NvAPI_Status unloadStatus;
        NvAPI_Status expected;
    };
    const Case cases[] = {
        {"driver unload fails", {}, -1, NVAPI_ERROR},
        {"driver unload fails with its own status", {}, -104, NVAPI_ERROR},
        {"no unload entry at all",
         {nvapi_id::kUnloadWithArgument, nvapi_id::kUnload},
         0,
         NVAPI_NO_IMPLEMENTATION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        scenario.missingInterfaces = c.missing;
        scenario.unloadStatus = c.unloadStatus;
        simdriver::Configure(scenario);
        InProcessDriver fresh;
        NvApiAccess layer(fresh);
        ASSERT_EQ(layer.Initialize(), NVAPI_OK);
        EXPECT_EQ(layer.Unload(), c.expected);
        EXPECT_TRUE(layer.IsLoaded());
        EXPECT_EQ(layer.ReferenceCount(), 1) << "count restored";
        EXPECT_EQ(fresh.frees.load(), 0);
    }
}

TEST_F(NvApiAccessTest, UnloadPrefersTheEntryWithArgument) {
    struct Case {
        std::vector<NvU32> missing;
        const char* expectedCall;
    };
    const Case cases[] = {
        {{}, "NvAPI_UnloadWithArgument"},
        {{nvapi_id::kUnloadWithArgument}, "NvAPI_Unload"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedCall);
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        scenario.missingInterfaces = c.missing;
        simdriver::Configure(scenario);
        InProcessDriver fresh;
        NvApiAccess layer(fresh);
        ASSERT_EQ(layer.Initialize(), NVAPI_OK);
        ASSERT_EQ(layer.Unload(), NVAPI_OK);
        EXPECT_EQ(CountCalls(c.expectedCall), 1);
        EXPECT_EQ(fresh.frees.load(), 1);
    }
}

}  // namespace
