// A pick holds the pointer capture: it ends on a release wherever it happens or when the capture
// is lost, and the edits then hold the picked colour. Real pointer input from xdotool on the
// real program under wine64, the screen read back as pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/led/led_blocks.h"
#include "core/panel/control_ids.h"
#include "core/panel/picker_rules.h"
#include "tests/e2e/driver_log_watch.h"
#include "tests/e2e/panel_process.h"

namespace e2e {
namespace {

constexpr Point kSwatch = {80, 150};
constexpr Point kRim = {397, 160};  // where a drag out to the right picks
// Inside the disc, apart from one another and from the centre marker.
constexpr Point kFirst = {330, 200};
constexpr Point kSecond = {200, 220};
constexpr Point kThird = {300, 100};

class CapturePanel : public OpenPanel {
  public:
    explicit CapturePanel(const wchar_t* name) : OpenPanel(name) {}
    POINT Screen(Point client) const {
        POINT point = {client.x, client.y};
        ClientToScreen(window.Main(), &point);
        return point;
    }
    // An xdotool move to a client point; a fast one has no pause after it.
    std::string To(Point client, bool fast = false) const {
        const POINT at = Screen(client);
        return "mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) +
               (fast ? " " : " sleep 0.4 ");
    }
    COLORREF Pixel(Point client) const { return window.Pixel(client.x, client.y); }
    // Whether the edits read as this colour, within 5 s.
    bool EditsShow(COLORREF c) const {
        const std::string expected = std::to_string(GetRValue(c)) + "," +
                                     std::to_string(GetGValue(c)) + "," +
                                     std::to_string(GetBValue(c));
        return WaitUntil([&] { return window.Edits() == expected; }, 5000);
    }
};

TEST(PointerCapture, AReleaseOutsideTheWindowEndsThePickAndAPressOutsideTheDiscPicksNothing) {
    CapturePanel panel(L"capture-release-outside");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(Xdotool("mousemove 5 5 sleep 0.3"));
    const COLORREF rim = panel.Pixel(kRim);
    ASSERT_NE(rim, panel.Pixel(kSecond));
    ASSERT_TRUE(Xdotool(panel.To({300, 160}) + "mousedown 1 sleep 0.2 " + panel.To({450, 160}) +
                        panel.To({700, 160}) + "mouseup 1 sleep 0.3"));
    EXPECT_TRUE(panel.EditsShow(rim)) << panel.window.Edits();
    // Back over the disc with the button up: the swatch and the edits stay.
    ASSERT_TRUE(Xdotool(panel.To(kSecond) + panel.To(kThird)));
    EXPECT_EQ(panel.Pixel(kSwatch), rim);
    EXPECT_TRUE(panel.EditsShow(rim)) << panel.window.Edits();

    ASSERT_TRUE(Xdotool(panel.To({420, 160}) + "mousedown 1 sleep 0.2 " + panel.To(kSecond) +
                        panel.To(kThird) + "mouseup 1 sleep 0.3"));
    EXPECT_EQ(panel.Pixel(kSwatch), rim);
    EXPECT_TRUE(panel.EditsShow(rim)) << panel.window.Edits();
    panel.CloseAndExpectExitZero();
}

TEST(PointerCapture, LosingTheCaptureEndsThePickAndAFastPickLeavesItsColourInTheEdits) {
    CapturePanel panel(L"capture-lost");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(Xdotool("mousemove 5 5 sleep 0.3"));
    const COLORREF first = panel.Pixel(kFirst);
    const COLORREF second = panel.Pixel(kSecond);
    ASSERT_NE(first, second);
    ASSERT_NE(second, panel.Pixel(kThird));
    ASSERT_TRUE(Xdotool(panel.To(kFirst) + "mousedown 1 sleep 0.2 " + panel.To(kSecond)));
    // What the window system sends when a dialog or a menu takes over: the capture goes.
    SendMessageW(panel.window.Main(), WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(Xdotool(panel.To(kThird) + "mouseup 1 sleep 0.3"));
    EXPECT_EQ(panel.Pixel(kSwatch), second);
    EXPECT_TRUE(panel.EditsShow(second)) << panel.window.Edits();

    // Press, two quick moves and release, well within the edits' 20 ms.
    ASSERT_TRUE(Xdotool(panel.To(kThird) + "mousedown 1 " + panel.To(kSecond, true) +
                        panel.To(kFirst, true) + "mouseup 1 sleep 0.3 mousemove 5 5 sleep 0.3"));
    const COLORREF swatch = panel.Pixel(kSwatch);
    EXPECT_EQ(swatch, first);
    EXPECT_TRUE(panel.EditsShow(swatch)) << panel.window.Edits();
    ASSERT_EQ(panel.window.SliderPosition(), 50);
    DriverLogWatch watch(panel.files);
    panel.window.Click(kApplyButtonId);
    const std::vector<Transfer> sent = watch.WaitForWrites(1);
    ASSERT_EQ(sent.size(), 1u);
    // On, single colour, STATIC, the default interval and brightness, slider 50, the swatch.
    const LedSettings settings = {
        1, 0, 0, 1, 0, 50, GetRValue(swatch), GetGValue(swatch), GetBValue(swatch)};
    EXPECT_EQ(WrittenData(sent)[0], Hex(led::SettingsBlock3000(0xA2, settings)));
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
