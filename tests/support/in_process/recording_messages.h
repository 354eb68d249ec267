// The one stand-in for the start-up message boxes: records what would have been shown.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "panel/windows/window/startup_messages.h"

class RecordingMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t* caption) override {
        shown.emplace_back(text, caption);
    }
    std::vector<std::pair<std::wstring, std::wstring>> shown;  // text and caption
};
