// Apply and Reset on the real program: the bytes and records the driver receives, their order and
// spacing, what the boards make of them, and the controls afterwards; then real keyboard input.
#include <gtest/gtest.h>

#include "tests/e2e/driver_log_watch.h"
#include "tests/e2e/panel_process.h"
#include "tests/support/strings.h"

namespace e2e {
namespace {

// What a user sets before pressing Apply: the mode, interval and brightness positions, Cycle
// (clicked where the mode lets the user choose), LED ON, the slider and the edits' texts.
struct ControlSetting {
    int mode, cycle, interval, brightness, ledOn, slider;
    const wchar_t *red, *green, *blue;
};

void SetControls(const PanelWindow& window, const ControlSetting& s) {
    window.Select(kModeListId, s.mode);
    if (window.Enabled(kCycleButtonId)) window.Click(s.cycle ? kCycleButtonId : kSingleButtonId);
    window.Select(kIntervalListId, s.interval);
    window.Select(kBrightnessListId, s.brightness);
    window.Click(s.ledOn ? kLedOnButtonId : kLedOffButtonId);
    window.SetSliderPosition(s.slider);
    window.SetText(kRedEditId, s.red);
    window.SetText(kGreenEditId, s.green);
    window.SetText(kBlueEditId, s.blue);
}

std::wstring Edits(const PanelWindow& window) {
    return window.Text(kRedEditId) + L"," + window.Text(kGreenEditId) + L"," +
           window.Text(kBlueEditId);
}

// A family-3000 block from its ten leading bytes and its group, which stands there eight times.
std::string Block3000(const std::string& head, const std::string& group) {
    std::string block = head;
    for (int i = 0; i < 8; ++i) block += " " + group;
    return block;
}

// Every field of each transfer's record; the probe's record, which the family-2000 writes reuse,
// differs from the family-3000 write's in its size and speed. The probe reads back zeros.
void ExpectRecords(const std::vector<Transfer>& sent, int bus) {
    Json record = Json::parse(R"({"status":0,"version":196672,"displayMask":0,"bIsDDCPort":0,
        "i2cDevAddress":146,"pbI2cRegAddress":"null","regAddrSize":0,"pbData":"set",
        "i2cSpeed":65535,"portId":1,"bIsPortIdSet":1})");
    record.update({{"bus", bus}, {"cbSize", bus == 1 ? 42 : 8}, {"i2cSpeedKhz", bus == 1 ? 1 : 0}});
    for (const Transfer& transfer : sent) {
        for (const auto& [key, value] : record.items()) EXPECT_EQ(transfer.line[key], value) << key;
        EXPECT_TRUE(transfer.call != "NvAPI_I2CReadEx" ||
                    transfer.data == "00 00 00 00 00 00 00 00");
    }
}

// Family 2000: the probe, then two writes at least 450 ms apart.
void Expect2000Sequence(const std::vector<Transfer>& sent, const std::vector<std::string>& data) {
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].call, "NvAPI_I2CReadEx");
    EXPECT_EQ(WrittenData(sent), data);
    EXPECT_GE(sent[2].t - sent[1].t, 450) << "blocks at least 450 ms apart";
    ExpectRecords(sent, 2);
}

void ExpectControlsReset(const PanelWindow& window, int slider) {
    EXPECT_EQ(window.States(), "1110011111 1001");
    for (int id : {kModeListId, kIntervalListId, kBrightnessListId}) {
        EXPECT_EQ(window.Selection(id), id == kIntervalListId ? 1 : 0) << "list " << id;
    }
    EXPECT_EQ(window.SliderPosition(), slider);
    EXPECT_EQ(Edits(window), L"255,255,255");
}

// The tenth write (the third Reset's first block) fails.
TEST(Commands, ApplyAndResetSendWhatTheControlsSay) {
    OpenPanel panel(L"commands", {kDefaultBoards[0], kDefaultBoards[1], "i2c-write-fail 10"});
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    const struct {
        ControlSetting controls;
        std::string head, group;  // the block sent
        const char* mode;         // what the board shows
        const wchar_t* edits;     // afterwards
    } cases3000[] = {
        // BREATHING cycling, LED OFF
        {{2, 1, 0, 3, 0, 20, L"12", L"34", L"56"},
         "a2 01 00 03 0a 1b 2d 01 03 00",
         "0a 1b 2d 03",
         "BREATHING",
         L"12,34,56"},
        // FLASH single, the edits' values clamped and their texts put right where the rule says
        {{1, 0, 1, 2, 1, 0, L"300", L"-5", L"1000"},
         "a2 01 01 01 ff 00 64 00 02 01",
         "ff 00 64 02",
         "FLASH",
         L"255,0,1000"},
    };
    for (const auto& c : cases3000) {
        SCOPED_TRACE(c.mode);
        SetControls(window, c.controls);
        DriverLogWatch watch(panel.files);
        window.Click(kApplyButtonId);
        const std::vector<Transfer> sent = watch.WaitForWrites(1);
        ASSERT_EQ(sent.size(), 1u) << "family 3000 takes one write and no probe";
        EXPECT_EQ(sent[0].data, Block3000(c.head, c.group));
        ExpectRecords(sent, 1);
        EXPECT_EQ(sent[0].board.value("mode", ""), c.mode);
        EXPECT_EQ(Edits(window), c.edits);
    }

    window.Select(kGpuListId, 1);
    const struct {
        ControlSetting controls;
        std::vector<std::string> data;  // switching on: the mode block first; off: the colour's
        const char* mode;
    } cases2000[] = {
        {{2, 0, 0, 3, 1, 30, L"10", L"20", L"30"},
         {"a0 00 04 07 0e 15 00 04", "a0 fc 01 07 0e 15 00 04"},
         "WAVE"},
        {{4, 0, 2, 2, 0, 0, L"53", L"3", L"1"},
         {"a0 fc 00 35 03 01 00 04", "a0 00 02 35 03 01 00 04"},
         "COLOR CYCLE"},
    };
    for (const auto& c : cases2000) {
        SCOPED_TRACE(c.mode);
        SetControls(window, c.controls);
        DriverLogWatch watch(panel.files);
        window.Click(kApplyButtonId);
        const std::vector<Transfer> sent = watch.WaitForWrites(2);
        Expect2000Sequence(sent, c.data);
        EXPECT_EQ(sent.back().board.value("mode", ""), c.mode);
        EXPECT_EQ(sent.back().board.value("on", !c.controls.ledOn), c.controls.ledOn == 1);
    }

    for (int reset = 0; reset < 3; ++reset) {  // family 3000, family 2000, family 2000 failing
        SCOPED_TRACE(testing::Message() << "Reset " << reset);
        window.Select(kGpuListId, reset == 0 ? 0 : 1);
        SetControls(window, {3, 0, 0, 2, 0, 80, L"1", L"2", L"3"});
        DriverLogWatch watch(panel.files);
        window.Click(kResetButtonId);
        if (reset == 0) {
            const std::vector<Transfer> sent = watch.WaitForWrites(1);
            EXPECT_EQ(WrittenData(sent), std::vector<std::string>{Block3000(
                                             "a2 01 01 00 ff ff ff 01 02 03", "ff ff ff 02")});
            ExpectRecords(sent, 1);
        } else if (reset == 1) {
            Expect2000Sequence(watch.WaitForWrites(2),
                               {"a0 00 00 ff ff ff 00 04", "a0 fc 01 ff ff ff 00 04"});
        } else {
            // The mode block failed: no colour block follows; Apply's probe is the next transfer.
            std::vector<Transfer> sent = watch.WaitForWrites(1);
            EXPECT_NE(sent.back().status, 0);
            window.Click(kApplyButtonId);
            sent = watch.WaitForWrites(3);
            ASSERT_GE(sent.size(), 3u);
            EXPECT_EQ(sent[2].call, "NvAPI_I2CReadEx");
        }
        ExpectControlsReset(window, reset == 0 ? 50 : 0);  // the middle, though shade 0 was sent
    }
    for (const Json& line : ReadDriverLog(panel.files)) EXPECT_FALSE(line.contains("ignored"));
    panel.CloseAndExpectExitZero();
}

// Gives the red edit the keyboard focus with a real click.
bool FocusRedEdit(const PanelWindow& window) {
    return ClickWithPointer(window.ScreenRect(kRedEditId)) &&
           WaitUntil([&] { return window.Focus() == window.Control(kRedEditId); });
}

// Everything a user can see of the panel, and how much reached the driver.
std::string Picture(const PanelWindow& window, const ScenarioFiles& files) {
    std::string picture = window.States() + " " + std::to_string(window.SliderPosition());
    for (int id : {kGpuListId, kModeListId, kIntervalListId, kBrightnessListId}) {
        picture += " " + std::to_string(window.Selection(id));
    }
    return picture + " " + Utf8(Edits(window) + L" " + window.Text(kApplyButtonId)) + " " +
           std::to_string(ReadDriverLog(files).size());
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
        const std::string before = Picture(window, panel.files);
        ASSERT_TRUE(Xdotool("key --delay 150 alt+question alt+slash alt+question"));
        Sleep(500);
        EXPECT_EQ(Picture(window, panel.files), before) << "the keys changed the panel";
    }
    // The keyboard does reach the program: typed digits are read by the edit rule as they come,
    // and Apply sends what it read (at slider 0 unshaded, byte 4 of the block).
    window.SetSliderPosition(0);
    window.SelectAllText(kRedEditId);
    ASSERT_TRUE(Xdotool("type --delay 80 300"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId) == L"255"; }));
    DriverLogWatch watch(panel.files);
    window.Click(kApplyButtonId);
    const std::vector<std::string> data = WrittenData(watch.WaitForWrites(1));
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].substr(12, 2), "ff");
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
