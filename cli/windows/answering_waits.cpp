#include "cli/windows/answering_waits.h"

void AnsweringWaits::Sleep(unsigned milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        const DWORD left = static_cast<DWORD>(end - now);
        if (quitSeen_) {
            ::Sleep(left);
            continue;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        MSG message = {};
        while (!quitSeen_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitSeen_ = true;
                quitCode_ = message.wParam;
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void AnsweringWaits::PassOnQuit() {
    if (quitSeen_) PostQuitMessage(static_cast<int>(quitCode_));
}
