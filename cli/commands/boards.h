// The GPUs as lumivar sees them: found once per command by the panel's own discovery, with
// the bus number and PCI identifier that `list` prints and the settings file keys boards by.
#pragma once

#include <cstdint>
#include <string>

#include "core/gpus/gpu_slots.h"
#include "core/led/led_commands.h"
#include "core/settings/settings_file.h"

struct Board {
    int slot = 0;
    BoardKey key;
    int family = 0;
    bool supported = false;
    std::string name;  // UTF-8
    led::LedTarget target;

    // "GPU 1 (NVIDIA GeForce RTX 2080 SUPER)"
    std::string Label() const;
};

// The driver names a GPU in 8-bit text, which the slot keeps one character per byte and cut to
// 39. Read as UTF-8 when it is (a character cut in half at the end is dropped), otherwise as
// Latin-1.
std::string NameAsUtf8(const wchar_t* slotName);
