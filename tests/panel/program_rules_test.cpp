#include <gtest/gtest.h>

#include "core/panel/panel_rules.h"

namespace {

TEST(WindowPlacement, CentredAcrossAndTenPixelsBelowTheMiddle) {
    struct Case {
        int screenWidth, screenHeight, width, height, x, y;
    };
    const Case cases[] = {
        {1920, 1080, 480, 440, 720, 330}, {800, 600, 480, 440, 160, 90},
        {1024, 768, 480, 440, 272, 174},  {1025, 769, 481, 441, 272, 174},  // each half truncated
        {400, 300, 480, 440, -40, -60},  // a screen smaller than the window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenWidth << "x" << c.screenHeight);
        const WindowPosition position =
            CentredPosition(c.screenWidth, c.screenHeight, c.width, c.height);
        EXPECT_EQ(position.x, c.x);
        EXPECT_EQ(position.y, c.y);
    }
}

TEST(MessageLoopExit, QuitCodeOnQuitAndOneOnError) {
    struct Case {
        int result;
        uintptr_t quitCode;
        std::optional<int> exitCode;
    };
    const Case cases[] = {
        {1, 0, std::nullopt}, {5, 0, std::nullopt}, {0, 0, 0}, {0, 3, 3}, {-1, 0, 1}, {-1, 7, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "GetMessageW gave " << c.result);
        EXPECT_EQ(MessageLoopExitCode(c.result, c.quitCode), c.exitCode);
    }
}

}  // namespace
