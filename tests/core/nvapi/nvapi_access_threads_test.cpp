// Two real threads against the access layer; run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <future>

#include "core/nvapi/nvapi_access.h"
#include "tests/support/in_process/in_process_driver.h"

namespace {

using nvapi::NvApiAccess;

// Opened once by one thread, waited for by any number of others.
struct Gate {
    std::promise<void> promise;
    std::shared_future<void> opened = promise.get_future().share();
    void Open() { promise.set_value(); }
    void Wait() const { opened.wait(); }
};

TEST(NvApiAccessThreads, UnloadDuringAForwardedCallIsRefused) {
    auto&& [driver, access] = SimulatedAccess(simdriver::DefaultScenario());
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    Gate insideDriver, release;
    simdriver::SetCallHook([&](NvU32 id) {
        if (id != nvapi_id::kEnumPhysicalGPUs) return;
        insideDriver.Open();
        release.Wait();
    });
    auto call = std::async(std::launch::async, [&] { return AnyForwardedCall(access); });
    insideDriver.Wait();
    EXPECT_EQ(access.Unload(), NVAPI_API_IN_USE);
    EXPECT_EQ(std::make_pair(access.ReferenceCount(), access.IsLoaded()), std::make_pair(1, true));
    release.Open();
    EXPECT_EQ(call.get(), NVAPI_OK);
    simdriver::SetCallHook(nullptr);
    EXPECT_EQ(access.InUseCount(), 0);
    EXPECT_EQ(access.Unload(), NVAPI_OK) << "the caller may try again later";
}

// A call that meets an unload held inside the driver waits in 100 ms sleeps: it loads afresh
// once the unload is over, and gives up with -1 after exactly ten sleeps.
TEST(NvApiAccessThreads, CallMeetingAnUnloadWaitsAtMostTenSleeps) {
    for (const int releaseAfter : {3, 0}) {  // 0: held past every sleep
        SCOPED_TRACE(releaseAfter);
        auto&& [driver, layer] = SimulatedAccess(simdriver::DefaultScenario());
        ASSERT_EQ(layer.Initialize(), NVAPI_OK);
        Gate insideUnload, release;
        simdriver::SetUnloadHook([&] {
            insideUnload.Open();
            release.Wait();
        });
        auto unload = std::async(std::launch::async, [&] { return layer.Unload(); });
        insideUnload.Wait();
        driver.onSleep = [&](unsigned milliseconds) {
            EXPECT_EQ(milliseconds, 100u);
            if (driver.sleeps.load() != releaseAfter) return;
            release.Open();
            unload.wait();  // the flag has dropped before the next look at it
        };
        const NvAPI_Status status = AnyForwardedCall(layer);
        if (releaseAfter == 0) release.Open();
        EXPECT_EQ(unload.get(), NVAPI_OK);
        simdriver::SetUnloadHook(nullptr);
        // Sleeps, the call's status, loads, the count, calls in use.
        const bool gaveUp = releaseAfter == 0;
        EXPECT_EQ(std::make_tuple(driver.sleeps.load(), status, driver.loads.load(),
                                  layer.ReferenceCount(), layer.InUseCount()),
                  gaveUp ? std::make_tuple(10, NVAPI_ERROR, 1, 0, 0)
                         : std::make_tuple(releaseAfter, NVAPI_OK, 2, 1, 0));
    }
}

TEST(NvApiAccessThreads, TwoFirstCallsLoadTheDriverOnce) {
    for (int round = 0; round < 20; ++round) {
        auto&& [driver, layer] = SimulatedAccess(simdriver::DefaultScenario());
        Gate start;
        const auto call = [&] {
            start.Wait();
            return AnyForwardedCall(layer);
        };
        auto first = std::async(std::launch::async, call);
        auto second = std::async(std::launch::async, call);
        start.Open();
        EXPECT_EQ(std::make_pair(first.get(), second.get()), std::make_pair(NVAPI_OK, NVAPI_OK));
        EXPECT_EQ(std::make_tuple(driver.loads.load(), layer.ReferenceCount(),
                                  DriverCalls("NvAPI_Initialize")),
                  std::make_tuple(1, 1, 1));
    }
}

}  // namespace
