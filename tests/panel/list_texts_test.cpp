#include "panel/list_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/gpu_slots.h"
#include "panel/mode_mapping.h"

namespace {

std::vector<std::wstring> Texts(const TextList& list) {
    return {list.begin(), list.end()};
}

TEST(ListTexts, ListsPerFamilyInListOrder) {
    using Texts_ = std::vector<std::wstring>;
    EXPECT_EQ(Texts(ModeTexts(kFamily2000)),
              (Texts_{L"STATIC", L"STROBING", L"WAVE", L"BREATHING", L"COLOR CYCLE"}));
    EXPECT_EQ(Texts(ModeTexts(kFamily3000)),
              (Texts_{L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"}));
    EXPECT_EQ(Texts(IntervalTexts(kFamily2000)),
              (Texts_{L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長い"}));
    EXPECT_EQ(Texts(IntervalTexts(kFamily3000)),
              (Texts_{L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長"}));
    EXPECT_EQ(Texts(BrightnessTexts()),
              (Texts_{L"明るさ 100%", L"明るさ 75%", L"明るさ 50%", L"明るさ 25%"}));
    EXPECT_EQ(SecondModeTextLength(kFamily2000), 8);
    EXPECT_EQ(SecondModeTextLength(kFamily3000), 5);
}

TEST(ModeMapping, Family2000ExchangesWaveAndColourCycle) {
    struct Case {
        int family, position, mode;
    };
    const Case cases[] = {
        {kFamily2000, 0, 0}, {kFamily2000, 1, 1},   {kFamily2000, 2, 4}, {kFamily2000, 3, 3},
        {kFamily2000, 4, 2}, {kFamily2000, -1, -1}, {kFamily2000, 7, 7}, {kFamily3000, 0, 0},
        {kFamily3000, 1, 1}, {kFamily3000, 2, 2},   {kFamily3000, 3, 3}, {kFamily3000, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.family << " position " << c.position);
        EXPECT_EQ(ModeNumberForPosition(c.family, c.position), c.mode);
    }
}

}  // namespace
