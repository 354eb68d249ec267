// Apply and Reset on the real program: the bytes the driver receives from the controls as they
// stand, their order and spacing, and the controls afterwards; then real keyboard input. (What
// a board makes of these bytes is the simulator's, tested in tests/simdriver.)
#include <gtest/gtest.h>

#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/wait_until.h"
#include "tests/support/wine/unix_commands.h"

namespace e2e {
namespace {

// The blocks a button sends, once they have arrived. On family 2000 the probe comes first and two
// blocks are at least 450 ms apart; a family-3000 block comes as its ten leading bytes and its
// group when the group stands there eight times.
std::vector<std::string> Sent(const OpenPanel& panel, int button) {
    const std::vector<Transfer> sent = panel.Press(button);
    std::vector<std::string> data = WrittenData(sent);
    const bool family2000 = !data.empty() && data[0].size() == 8 * 3 - 1;
    EXPECT_EQ(sent.size(), data.size() + family2000);
    EXPECT_TRUE(!family2000 || sent[0].call == "NvAPI_I2CReadEx") << "no probe first";
    EXPECT_TRUE(data.size() < 2 || sent.back().t - sent[1].t >= 450) << "blocks too close";
    for (std::string& block : data) {
        std::string group = block.size() == 42 * 3 - 1 ? block.substr(29, 12) : "", repeated;
        for (int i = 0; i < 7; ++i) repeated += group;
        if (!group.empty() && block.substr(41) == repeated) block.resize(41);
    }
    return data;
}

TEST(Commands, ApplyAndResetSendWhatTheControlsSay) {
    OpenPanel panel(L"commands", {kDefaultBoards[0], kDefaultBoards[1], "i2c-write-fail 10"});
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    const ControlSetting beforeReset = {3, 0, 0, 2, 0, 80, L"1", L"2", L"3"};
    // clang-format off
    const struct {
        int slot;
        ControlSetting controls;
        int button;
        std::vector<std::string> sent;  // family 3000: one block, its group once
        const char* after;  // Apply: the edits, put right by the edit rule; Reset: the controls
    } presses[] = {
        // BREATHING cycling, LED OFF
        {0, {2, 1, 0, 3, 0, 20, L"12", L"34", L"56"}, kApplyButtonId,
            {"a2 01 00 03 0a 1b 2d 01 03 00 0a 1b 2d 03"}, "12,34,56"},
        // FLASH single, LED ON, edits out of range
        {0, {1, 0, 1, 2, 1, 0, L"300", L"-5", L"1000"}, kApplyButtonId,
            {"a2 01 01 01 ff 00 64 00 02 01 ff 00 64 02"}, "255,0,1000"},
        // Switching on: the mode block first (WAVE is code 4); off: the colour block first.
        {1, {2, 0, 0, 3, 1, 30, L"10", L"20", L"30"}, kApplyButtonId,
            {"a0 00 04 07 0e 15 00 04", "a0 fc 01 07 0e 15 00 04"}, "10,20,30"},
        {1, {4, 0, 2, 2, 0, 0, L"53", L"3", L"1"}, kApplyButtonId,
            {"a0 fc 00 35 03 01 00 04", "a0 00 02 35 03 01 00 04"}, "53,3,1"},
        // Reset sends white, static: on family 3000 with cycling, on family 2000 the mode block
        // and then, when that went through, the colour block. The controls return to their
        // starting values, the 3000 family's slider to the middle although shade 0 was sent.
        {0, beforeReset, kResetButtonId, {"a2 01 01 00 ff ff ff 01 02 03 ff ff ff 02"},
            "1110011111 1001 0,0,1,0 50 255,255,255 FLASH"},
        {1, beforeReset, kResetButtonId, {"a0 00 00 ff ff ff 00 04", "a0 fc 01 ff ff ff 00 04"},
            "1110011111 1001 1,0,1,0 0 255,255,255 STROBING"},
        // The tenth write, this Reset's mode block, fails: no colour block follows.
        {1, beforeReset, kResetButtonId, {"a0 00 00 ff ff ff 00 04"},
            "1110011111 1001 1,0,1,0 0 255,255,255 STROBING"},
    };
    // clang-format on
    for (const auto& c : presses) {
        SCOPED_TRACE(testing::Message() << "press " << &c - presses);
        window.Select(kGpuListId, c.slot);
        window.Set(c.controls);
        EXPECT_EQ(Sent(panel, c.button), c.sent);
        EXPECT_EQ(c.button == kApplyButtonId ? window.Edits() : window.Picture(), c.after);
    }
    // Apply, answered at once, shows that no colour block was still to come.
    DriverLogWatch watch(panel.files);
    window.Click(kApplyButtonId);
    EXPECT_EQ(watch.TransfersSinceMark().at(0).call, "NvAPI_I2CReadEx");
    for (const Json& line : ReadDriverLog(panel.files)) EXPECT_FALSE(line.contains("ignored"));
    panel.CloseAndExpectExitZero();
}

// Gives the red edit the keyboard focus with a real click.
bool FocusRedEdit(const PanelWindow& window) {
    return ClickWithPointer(window.ScreenRect(kRedEditId)) &&
           WaitUntil([&] { return window.Focus() == window.Control(kRedEditId); });
}

TEST(Keyboard, AcceleratorsChangeNothingAndTypedDigitsTakeTheEditRule) {
    OpenPanel panel(L"keyboard");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    // A state the refresh would have to keep, set without moving the keyboard focus (a clicked
    // button would take it, and the keys would then go to the button).
    window.Select(kModeListId, 1);
    window.Select(kIntervalListId, 2);
    window.Select(kBrightnessListId, 3);
    window.SetText(kGreenEditId, L"12");
    window.SetSliderPosition(70);
    const POINT beside = window.ScreenPoint(440, 120);
    ASSERT_TRUE(ClickWithPointer({beside.x, beside.y, beside.x + 1, beside.y + 1}));
    ASSERT_EQ(window.Focus(), window.Main());
    for (bool inEdit : {false, true}) {
        SCOPED_TRACE(inEdit ? "focus in an edit" : "focus on the window");
        ASSERT_TRUE(!inEdit || FocusRedEdit(window));
        const std::string before =
            window.Picture() + std::to_string(ReadDriverLog(panel.files).size());
        ASSERT_TRUE(Xdotool("key --delay 150 alt+question alt+slash alt+question"));
        Sleep(500);
        EXPECT_EQ(window.Picture() + std::to_string(ReadDriverLog(panel.files).size()), before);
    }
    // The keyboard does reach the program: typed digits are read by the edit rule as they come,
    // and Apply sends what it read (at slider 0 unshaded, byte 4 of the block).
    window.SetSliderPosition(0);
    window.SelectAllText(kRedEditId);
    ASSERT_TRUE(Xdotool("type --delay 80 300"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId) == L"255"; }));
    EXPECT_EQ(Sent(panel, kApplyButtonId).at(0).substr(12, 2), "ff");
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
