// What makes a keeper send the lighting. Each platform's keeper turns its system's events into
// these; the log names them the same way everywhere.
#pragma once

enum class Trigger {
    // The lighting may have been lost: every saved board is sent what the rules want now.
    kStart,
    kResume,
    kUnlock,
    kLogon,
    kConsoleConnect,
    kRemoteConnect,
    kDisplayAdapter,
    kTrayMenu,
    kSecondKeep,
    // What the rules want may have changed: only the boards whose lighting changes are sent.
    kLock,
    kDisplayOff,
    kDisplayOn,
    kQuietHours,
    kClockChange,
    kTemperature,
    kSettings,
};

// As the keeper's log names it: "resume", "second keep".
const char* TriggerName(Trigger trigger);
// Whether the trigger says the boards may have lost their lighting (a resume, a driver restart),
// so that every saved board is sent again.
bool LightingMayBeLost(Trigger trigger);
