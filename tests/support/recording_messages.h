// The one stand-in for the start-up message boxes: records what would have been shown.
#pragma once

#include <string>
#include <vector>

#include "shell/app/startup_messages.h"

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    bool operator==(const ShownMessage& other) const {
        return text == other.text && caption == other.caption;
    }
};

class RecordingMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t* caption) override {
        shown.push_back({text, caption});
    }
    std::vector<ShownMessage> shown;
};
