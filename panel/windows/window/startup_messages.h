// Start-up failures are told to the user one message box each; behind this interface so that
// tests can record them.
#pragma once

#include <windows.h>

constexpr const wchar_t* kMessageCaption = L"VOXA LED Lumivar";
// Used only when the main window itself cannot be created.
constexpr const wchar_t* kWindowFailureCaption = L"VOXA GPU Lumivar LED";

class StartupMessages {
  public:
    virtual ~StartupMessages() = default;
    virtual void Show(const wchar_t* text, const wchar_t* caption) = 0;
};

// As the user sees them: no owner, OK button.
class MessageBoxMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t* caption) override {
        MessageBoxW(nullptr, text, caption, MB_OK);
    }
};
