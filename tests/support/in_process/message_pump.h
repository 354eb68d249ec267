// Dispatches this thread's queued messages, as a message loop would.
#pragma once

#include <windows.h>

// Until none is left; false if the queue never drained within `limit` messages (something keeps
// asking for more).
inline bool PumpUntilIdle(int limit = 5000) {
    MSG message = {};
    for (int i = 0; i < limit; ++i) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return true;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return false;
}
