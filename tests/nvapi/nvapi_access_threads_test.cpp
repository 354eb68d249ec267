// Two real threads against the access layer; run under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "core/nvapi/nvapi_access.h"
#include "tests/support/in_process_driver.h"

namespace {

using nvapi::NvApiAccess;

// A one-shot gate: one thread waits until another opens it.
class Gate {
  public:
    void Open() {
        std::lock_guard<std::mutex> guard(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

class NvApiAccessThreadsTest : public ::testing::Test {
  protected:
    void SetUp() override { simdriver::Configure(simdriver::DefaultScenario()); }
    void TearDown() override {
        simdriver::SetCallHook(nullptr);
        simdriver::SetUnloadHook(nullptr);
        simdriver::Configure(simdriver::DefaultScenario());
    }
    InProcessDriver driver;
    NvApiAccess access{driver};
};

TEST_F(NvApiAccessThreadsTest, UnloadDuringAForwardedCallIsRefused) {
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    Gate insideDriver, release;
    simdriver::SetCallHook([&](NvU32 id) {
        if (id == nvapi_id::kGpuGetBusId) {
            insideDriver.Open();
            release.Wait();
        }
    });
    auto call = std::async(std::launch::async, [&] {
        NvU32 bus = 0;
        return access.GPU_GetBusId(nullptr, &bus);
    });
    insideDriver.Wait();
    EXPECT_EQ(access.Unload(), NVAPI_API_IN_USE);
    EXPECT_EQ(access.ReferenceCount(), 1);
    EXPECT_TRUE(access.IsLoaded());
    release.Open();
    call.get();
    EXPECT_EQ(access.InUseCount(), 0);
    EXPECT_EQ(access.Unload(), NVAPI_OK) << "the caller may try again later";
    EXPECT_EQ(driver.frees.load(), 1);
}

// An unload that stays inside the driver keeps the unloading flag set.
struct HeldUnload {
    Gate insideUnload;
    Gate release;
};

TEST_F(NvApiAccessThreadsTest, CallMeetingAnUnloadWaitsThenProceeds) {
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    HeldUnload held;
    simdriver::SetUnloadHook([&] {
        held.insideUnload.Open();
        held.release.Wait();
    });
    auto unload = std::async(std::launch::async, [&] { return access.Unload(); });
    held.insideUnload.Wait();
    int sleepsSeen = 0;
    driver.onSleep = [&](unsigned milliseconds) {
        EXPECT_EQ(milliseconds, 100u);
        if (++sleepsSeen == 3) {
            held.release.Open();
            unload.wait();  // the flag has dropped before the next look at it
        }
    };
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    const NvAPI_Status status = access.EnumPhysicalGPUs(handles, &count);
    EXPECT_EQ(unload.get(), NVAPI_OK);
    EXPECT_EQ(driver.sleeps.load(), 3);
    EXPECT_EQ(status, NVAPI_OK) << "the module was loaded afresh";
    EXPECT_EQ(driver.loads.load(), 2);
    EXPECT_EQ(access.ReferenceCount(), 1);
    EXPECT_EQ(access.InUseCount(), 0);
}

TEST_F(NvApiAccessThreadsTest, CallMeetingALongUnloadFailsAfterTenSleeps) {
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    HeldUnload held;
    simdriver::SetUnloadHook([&] {
        held.insideUnload.Open();
        held.release.Wait();
    });
    auto unload = std::async(std::launch::async, [&] { return access.Unload(); });
    held.insideUnload.Wait();
    NvU32 bus = 0;
    EXPECT_EQ(access.GPU_GetBusId(nullptr, &bus), NVAPI_ERROR);
    EXPECT_EQ(driver.sleeps.load(), 10);
    EXPECT_EQ(access.InUseCount(), 0);
    held.release.Open();
    EXPECT_EQ(unload.get(), NVAPI_OK);
}

TEST_F(NvApiAccessThreadsTest, TwoFirstCallsLoadTheDriverOnce) {
    for (int round = 0; round < 20; ++round) {
        simdriver::Configure(simdriver::DefaultScenario());
        InProcessDriver fresh;
        NvApiAccess layer(fresh);
        Gate start;
        auto call = [&] {
            start.Wait();
            NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
            NvU32 count = 0;
            return layer.EnumPhysicalGPUs(handles, &count);
        };
        auto first = std::async(std::launch::async, call);
        auto second = std::async(std::launch::async, call);
        start.Open();
        EXPECT_EQ(first.get(), NVAPI_OK);
        EXPECT_EQ(second.get(), NVAPI_OK);
        EXPECT_EQ(fresh.loads.load(), 1);
        EXPECT_EQ(layer.ReferenceCount(), 1);
        int initialises = 0;
        for (const auto& record : simdriver::Calls())
            initialises += record.call == "NvAPI_Initialize";
        EXPECT_EQ(initialises, 1);
    }
}

}  // namespace
