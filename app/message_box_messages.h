// Start-up messages as the user sees them: one message box each, no owner, OK button.
#pragma once

#include "app/startup_messages.h"

class MessageBoxMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t* caption) override;
};
