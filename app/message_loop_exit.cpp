#include "app/message_loop_exit.h"

std::optional<int> MessageLoopExitCode(int getMessageResult, uintptr_t quitCode) {
    if (getMessageResult == 0) return static_cast<int>(quitCode);
    if (getMessageResult < 0) return kMessageLoopErrorExitCode;
    return std::nullopt;
}
