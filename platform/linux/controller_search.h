// Which adapter of a GPU carries the LED controller. No public source ties the Windows driver's
// port 1 to an adapter here, so each adapter is asked in turn with the read that the family-2000
// boards answer anyway, and the first that answers is the one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/linux/i2c_device.h"
#include "platform/linux/nvidia_gpus.h"

// The controller's 7-bit address (0x92 as the Windows driver's records carry it).
constexpr uint8_t kControllerAddress = 0x49;
constexpr size_t kProbeBytes = 8;
// The port the boards' transfers name; asked first.
constexpr int kLedPort = 1;

// The adapters' /dev numbers in the order they are asked: port 1 first, then the others in port
// order.
std::vector<int> SearchOrder(const std::vector<NvidiaAdapter>& adapters);

// An adapter chosen with --i2c-bus replaces the search for the GPU it belongs to, and for every
// GPU when it belongs to none that this program knows; the other GPUs search as usual, so that
// no board is sent what another board's controller takes.
std::vector<int> AdaptersToAsk(const NvidiaGpu& gpu, std::optional<int> chosen,
                               bool chosenIsAnotherGpus);
bool HoldsAdapter(const NvidiaGpu& gpu, int number);

// Asks the adapters numbered `numbers`, in that order, with an 8-byte plain read at the
// controller's address; the first that answers is left open in `device`. A missing node or a
// refused permission ends the search at once (the next adapter would meet the same); otherwise
// the first fault that tells more than silence is kept for the message.
DeviceFault FindController(const std::string& root, const std::vector<int>& numbers,
                           I2cDevice& device);
