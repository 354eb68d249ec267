// When the message loop ends and with which exit code. GetMessageW gives a positive value for a
// message, 0 for the quit message and -1 on an error; after an error the message is not valid,
// so fetching again would spin on the same error: the loop ends with code 1 instead.
#pragma once

#include <cstdint>
#include <optional>

constexpr int kMessageLoopErrorExitCode = 1;

// Nothing while there are messages to dispatch; otherwise the process exit code.
std::optional<int> MessageLoopExitCode(int getMessageResult, uintptr_t quitCode);
