#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <vector>

#include "tests/simdriver/driver_entries.h"

namespace {

TEST(SimDriverThreads, ServesTwoThreadsAtOnce) {
    StartDriver(simdriver::DefaultScenario());
    const std::vector<NvPhysicalGpuHandle> gpus = NormalHandles();
    constexpr int kWritesEach = 200;
    auto writer = [&](size_t gpu, std::vector<NvU8> block) {
        for (int i = 0; i < kWritesEach; ++i) {
            block[3] = static_cast<NvU8>(i);
            EXPECT_EQ(WriteBlock(gpus[gpu], block), NVAPI_OK);
            if (i % 50 == 0) simdriver::Calls();
        }
    };
    std::thread first(writer, 0, std::vector<NvU8>{0xA2, 0x01, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                   0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                   0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    std::thread second(writer, 1, std::vector<NvU8>{0xA0, 0x00, 0, 0, 0, 0, 0x00, 0x04});
    first.join();
    second.join();
    int perBus[3] = {};
    for (const simdriver::CallRecord& call : simdriver::Calls()) {
        if (call.call == "NvAPI_I2CWriteEx") ++perBus[call.bus];
    }
    EXPECT_EQ(perBus[1], kWritesEach);
    EXPECT_EQ(perBus[2], kWritesEach);
    // The 2000 board took its last mode block whole.
    EXPECT_EQ(simdriver::Board(2).mode, "STATIC");
}

TEST(SimDriverThreads, AHeldCallDoesNotBlockOtherCalls) {
    StartDriver(simdriver::DefaultScenario());
    const std::vector<NvPhysicalGpuHandle> gpus = NormalHandles();
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    simdriver::SetCallHook([&entered, released](NvU32 id) {
        if (id != nvapi_id::kGpuGetBusId) return;
        entered.set_value();
        released.wait();
    });
    std::thread held([&] {
        NvU32 bus = 0;
        EXPECT_EQ(DriverEntry<NvGpuGetBusIdFn>(nvapi_id::kGpuGetBusId)(gpus[0], &bus), NVAPI_OK);
        EXPECT_EQ(bus, 1u);
    });
    entered.get_future().wait();
    // While one call waits inside the driver, others run to the end.
    EXPECT_EQ(WriteBlock(gpus[1], {0xA0, 0xFC, 0x01, 1, 2, 3, 0x00, 0x04}), NVAPI_OK);
    EXPECT_TRUE(simdriver::Board(2).on);
    release.set_value();
    held.join();
    simdriver::SetCallHook(nullptr);
}

}  // namespace
