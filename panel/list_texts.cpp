#include "panel/list_texts.h"

#include <cwchar>

#include "app/gpu_slots.h"

const TextList& ModeTexts(int family) {
    static const TextList kModes2000 = {L"STATIC", L"STROBING", L"WAVE", L"BREATHING",
                                        L"COLOR CYCLE"};
    static const TextList kModes3000 = {L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"};
    return family == kFamily2000 ? kModes2000 : kModes3000;
}

const TextList& IntervalTexts(int family) {
    static const TextList kIntervals2000 = {L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長い"};
    static const TextList kIntervals3000 = {L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長"};
    return family == kFamily2000 ? kIntervals2000 : kIntervals3000;
}

const TextList& BrightnessTexts() {
    static const TextList kBrightness = {L"明るさ 100%", L"明るさ 75%", L"明るさ 50%",
                                         L"明るさ 25%"};
    return kBrightness;
}

int SecondModeTextLength(int family) {
    return static_cast<int>(std::wcslen(ModeTexts(family)[1]));
}
