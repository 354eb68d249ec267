// What makes a keeper restore the lighting. Each platform's keeper turns its system's events into
// these; the log names them the same way everywhere.
#pragma once

enum class Trigger {
    kStart,
    kResume,
    kUnlock,
    kLogon,
    kConsoleConnect,
    kRemoteConnect,
    kDisplayAdapter,
    kTrayMenu,
    kSecondKeep,
};

// As the keeper's log names it: "resume", "second keep".
const char* TriggerName(Trigger trigger);
