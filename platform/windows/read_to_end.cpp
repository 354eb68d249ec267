#include "platform/windows/read_to_end.h"

bool ReadToEnd(HANDLE file, std::string& text) {
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) return true;
        text.append(buffer, got);
    }
}
