#include "app/message_box_messages.h"

#include <windows.h>

void MessageBoxMessages::Show(const wchar_t* text, const wchar_t* caption) {
    MessageBoxW(nullptr, text, caption, MB_OK);
}
