// Apply and Reset on the real program: the bytes the driver receives, their order and spacing,
// and the controls afterwards.
#include <gtest/gtest.h>

#include "core/led/led_blocks.h"
#include "core/panel/control_ids.h"
#include "tests/e2e/driver_log_watch.h"
#include "tests/e2e/panel_process.h"

namespace e2e {
namespace {

constexpr int kSlot2000 = 1;

// What a user sets before pressing Apply.
struct ControlSetting {
    int modePosition;
    bool cycle;  // clicked after the mode is chosen, where the mode lets the user choose
    int interval;
    int brightness;
    bool ledOn;
    int slider;
    std::wstring red, green, blue;  // put into the edits
};

void SetControls(const PanelWindow& window, const ControlSetting& s) {
    window.Select(kModeListId, s.modePosition);
    if (window.Enabled(kCycleButtonId)) window.Click(s.cycle ? kCycleButtonId : kSingleButtonId);
    window.Select(kIntervalListId, s.interval);
    window.Select(kBrightnessListId, s.brightness);
    window.Click(s.ledOn ? kLedOnButtonId : kLedOffButtonId);
    window.SetSliderPosition(s.slider);
    window.SetText(kRedEditId, s.red);
    window.SetText(kGreenEditId, s.green);
    window.SetText(kBlueEditId, s.blue);
}

// The R, G and B edits in one text.
std::wstring Edits(const PanelWindow& window) {
    return window.Text(kRedEditId) + L"," + window.Text(kGreenEditId) + L"," +
           window.Text(kBlueEditId);
}

struct Apply3000Case {
    const char* name;
    ControlSetting controls;
    LedSettings sent;           // mode as the list position
    const wchar_t* editsAfter;  // null: as typed
};

TEST(Apply, Family3000SendsTheBlockOfTheControls) {
    OpenPanel panel(L"apply-3000");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    const Apply3000Case cases[] = {
        {"as started",
         {0, false, 1, 0, true, 50, L"255", L"255", L"255"},
         {1, 0, 0, 1, 0, 50, 255, 255, 255},
         nullptr},
        {"BREATHING cycling, LED OFF",
         {2, true, 0, 3, false, 20, L"12", L"34", L"56"},
         {0, 1, 2, 0, 3, 20, 12, 34, 56},
         nullptr},
        {"GLOWING forces cycling",
         {4, false, 2, 1, true, 100, L"0", L"128", L"255"},
         {1, 1, 4, 2, 1, 100, 0, 128, 255},
         nullptr},
        {"FLASH single, edits clamped",
         {1, false, 1, 2, true, 0, L"300", L"-5", L"1000"},
         {1, 0, 1, 1, 2, 0, 255, 0, 100},
         L"255,0,1000"},
        {"WAVE, full-width digits",
         {3, false, 0, 0, true, 75, L"１２８", L"007", L""},
         {1, 1, 3, 0, 0, 75, 128, 7, 0},
         nullptr},
    };
    for (const Apply3000Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetControls(window, c.controls);
        DriverLogWatch watch(panel.files);
        window.Click(kApplyButtonId);
        const std::vector<Transfer> sent = watch.WaitForWrites(1);
        ASSERT_EQ(sent.size(), 1u) << "family 3000 takes one write and no probe";
        EXPECT_EQ(sent[0].data, Hex(led::SettingsBlock3000(0xA2, c.sent)));
        EXPECT_EQ(sent[0].bus, 1);
        EXPECT_EQ(sent[0].deviceAddress, 0x92);
        EXPECT_EQ(sent[0].size, 42);
        const ControlSetting& typed = c.controls;
        EXPECT_EQ(Edits(window), c.editsAfter ? std::wstring(c.editsAfter)
                                              : typed.red + L"," + typed.green + L"," + typed.blue);
    }
    panel.CloseAndExpectExitZero();
}

struct Apply2000Case {
    const char* name;
    ControlSetting controls;
    int wireMode;
    int shade;
    int red, green, blue;
};

TEST(Apply, Family2000SendsTwoBlocksHalfASecondApart) {
    OpenPanel panel(L"apply-2000");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    window.Select(kGpuListId, kSlot2000);
    const Apply2000Case cases[] = {
        // Switching on: mode block first, then the colour block.
        {"WAVE on", {2, false, 0, 3, true, 30, L"10", L"20", L"30"}, 4, 30, 10, 20, 30},
        {"STATIC on, as started",
         {0, false, 1, 0, true, 50, L"255", L"255", L"255"},
         0,
         50,
         255,
         255,
         255},
        // Switching off: colour block (off) first, then the mode block.
        {"COLOR CYCLE off", {4, false, 2, 2, false, 0, L"53", L"3", L"1"}, 2, 0, 53, 3, 1},
        {"BREATHING off",
         {3, false, 1, 1, false, 100, L"200", L"100", L"50"},
         3,
         100,
         200,
         100,
         50}};
    for (const Apply2000Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetControls(window, c.controls);
        DriverLogWatch watch(panel.files);
        window.Click(kApplyButtonId);
        const std::vector<Transfer> sent = watch.WaitForWrites(2);
        ASSERT_EQ(sent.size(), 3u) << "a probe and two writes";
        EXPECT_EQ(sent[0].call, "NvAPI_I2CReadEx");
        const std::string mode =
            Hex(led::ModeBlock2000(0xA0, c.wireMode, c.shade, c.red, c.green, c.blue));
        const std::string colour = Hex(
            led::ColourBlock2000(0xA0, c.controls.ledOn ? 1 : 0, c.shade, c.red, c.green, c.blue));
        const std::vector<std::string> expected = c.controls.ledOn
                                                      ? std::vector<std::string>{mode, colour}
                                                      : std::vector<std::string>{colour, mode};
        EXPECT_EQ(WrittenData(sent), expected);
        for (size_t i = 1; i < 3; ++i) {
            EXPECT_EQ(sent[i].bus, 2);
            EXPECT_EQ(sent[i].deviceAddress, 0x92);
            EXPECT_EQ(sent[i].size, 8);
        }
        EXPECT_GE(sent[2].t - sent[1].t, 450) << "blocks at least 450 ms apart";
    }
    panel.CloseAndExpectExitZero();
}

const char* const kAfterReset =
    "modeList=on ledOn=on,checked ledOff=on,clear cycle=off,clear single=off,checked "
    "shadeSlider=on apply=on reset=on intervalList=on brightnessList=on";

void ExpectControlsReset(const PanelWindow& window, int slider) {
    EXPECT_EQ(window.States(), kAfterReset);
    EXPECT_EQ(window.Selection(kModeListId), 0);
    EXPECT_EQ(window.Selection(kIntervalListId), 1);
    EXPECT_EQ(window.Selection(kBrightnessListId), 0);
    EXPECT_EQ(window.SliderPosition(), slider);
    for (int id : {kRedEditId, kGreenEditId, kBlueEditId}) EXPECT_EQ(window.Text(id), L"255");
}

TEST(Reset, SendsTheFixedSequenceOfEachFamily) {
    OpenPanel panel(L"reset");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);

    {
        SCOPED_TRACE("family 3000");
        SetControls(window, {3, false, 0, 2, false, 80, L"1", L"2", L"3"});
        DriverLogWatch watch(panel.files);
        window.Click(kResetButtonId);
        const std::vector<Transfer> sent = watch.WaitForWrites(1);
        std::string block = "a2 01 01 00 ff ff ff 01 02 03";
        for (int group = 0; group < 8; ++group) block += " ff ff ff 02";
        EXPECT_EQ(WrittenData(sent), std::vector<std::string>{block});
        EXPECT_EQ(sent.size(), 1u);
        // The slider shows the middle although shade 0 was sent.
        ExpectControlsReset(window, 50);
    }
    {
        SCOPED_TRACE("family 2000");
        window.Select(kGpuListId, kSlot2000);
        SetControls(window, {2, false, 0, 3, false, 80, L"1", L"2", L"3"});
        DriverLogWatch watch(panel.files);
        window.Click(kResetButtonId);
        const std::vector<Transfer> sent = watch.WaitForWrites(2);
        ASSERT_EQ(sent.size(), 3u);
        EXPECT_EQ(sent[0].call, "NvAPI_I2CReadEx");
        EXPECT_EQ(WrittenData(sent),
                  (std::vector<std::string>{"a0 00 00 ff ff ff 00 04", "a0 fc 01 ff ff ff 00 04"}));
        EXPECT_GE(sent[2].t - sent[1].t, 450);
        ExpectControlsReset(window, 0);
    }
    panel.CloseAndExpectExitZero();
}

TEST(Reset, Family2000StopsWhenTheModeWriteFails) {
    OpenPanel panel(L"reset-fails", {kDefaultBoards[1], "i2c-write-fail 1"});
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    DriverLogWatch watch(panel.files);
    window.Click(kResetButtonId);
    std::vector<Transfer> sent = watch.WaitForWrites(1);
    ASSERT_EQ(WrittenData(sent).size(), 1u);
    EXPECT_NE(sent.back().status, 0);
    // Apply, answered at once, is the proof that no colour block was still to come.
    window.Click(kApplyButtonId);
    sent = watch.WaitForWrites(3);
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[2].call, "NvAPI_I2CReadEx") << "the next transfer is Apply's probe";
    ExpectControlsReset(window, 0);
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
