// Real keyboard input: the R, G and B edits under the edit rule, and the two accelerator keys.
#include <gtest/gtest.h>

#include <tuple>

#include "core/panel/control_ids.h"
#include "tests/e2e/driver_log_watch.h"
#include "tests/e2e/panel_process.h"

namespace e2e {
namespace {

// The red component that Apply sent in the family-3000 block (byte 4), unshaded at slider 0.
int SentRed(const PanelWindow& window, const ScenarioFiles& files) {
    DriverLogWatch watch(files);
    window.Click(kApplyButtonId);
    const std::vector<Transfer> sent = watch.WaitForWrites(1);
    const std::vector<std::string> data = WrittenData(sent);
    if (data.size() != 1 || data[0].size() < 14) return -1;
    return std::stoi(data[0].substr(12, 2), nullptr, 16);
}

// Gives the red edit the keyboard focus with a real click.
bool FocusRedEdit(const PanelWindow& window) {
    HWND edit = window.Control(kRedEditId);
    if (!ClickWithPointer(window.ScreenRect(kRedEditId))) return false;
    return WaitUntil([&] { return window.Focus() == edit; });
}

TEST(Edits, TheEditRuleOnRealInput) {
    OpenPanel panel(L"edits");
    const PanelWindow& window = panel.window;
    const ScenarioFiles& files = panel.files;
    ASSERT_NE(window.Main(), nullptr);
    // At slider 0 the colour goes out unshaded, so the sent byte is the value read.
    window.SetSliderPosition(0);
    ASSERT_TRUE(FocusRedEdit(window)) << "the red edit did not get the focus";

    window.SelectAllText(kRedEditId);
    ASSERT_TRUE(Xdotool("type --delay 80 300"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId) == L"255"; }))
        << "300 is corrected to 255, not " << Narrow(window.Text(kRedEditId));
    EXPECT_EQ(SentRed(window, files), 255);

    ASSERT_TRUE(FocusRedEdit(window));
    window.SelectAllText(kRedEditId);
    ASSERT_TRUE(Xdotool("type --delay 80 42"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId) == L"42"; }));
    EXPECT_EQ(SentRed(window, files), 42);

    ASSERT_TRUE(FocusRedEdit(window));
    window.SelectAllText(kRedEditId);
    ASSERT_TRUE(Xdotool("key --delay 80 BackSpace"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId).empty(); }));
    EXPECT_EQ(SentRed(window, files), 0);
    EXPECT_EQ(window.Text(kRedEditId), L"") << "an empty edit stays empty";

    // The edit takes digits only.
    ASSERT_TRUE(FocusRedEdit(window));
    ASSERT_TRUE(Xdotool("type --delay 80 7x-Y"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId) == L"7"; }))
        << Narrow(window.Text(kRedEditId));
    Sleep(300);
    EXPECT_EQ(window.Text(kRedEditId), L"7");
    EXPECT_EQ(SentRed(window, files), 7);

    // Four digits, as a paste puts them in while the edit has the focus: three are read, the
    // text stays.
    ASSERT_TRUE(FocusRedEdit(window));
    window.SetText(kRedEditId, L"1000");
    EXPECT_EQ(window.Text(kRedEditId), L"1000");
    EXPECT_EQ(SentRed(window, files), 100);
    EXPECT_EQ(window.Text(kRedEditId), L"1000");

    panel.CloseAndExpectExitZero();
}

// Everything a user can see of the panel, and what reached the driver.
struct PanelPicture {
    std::string states;
    std::vector<int> selections;
    std::vector<std::wstring> texts;
    int slider = 0;
    size_t driverLines = 0;

    bool operator==(const PanelPicture& o) const {
        return std::tie(states, selections, texts, slider, driverLines) ==
               std::tie(o.states, o.selections, o.texts, o.slider, o.driverLines);
    }
};

PanelPicture Picture(const PanelWindow& window, const ScenarioFiles& files) {
    PanelPicture picture;
    picture.states = window.States();
    for (int id : {kGpuListId, kModeListId, kIntervalListId, kBrightnessListId}) {
        picture.selections.push_back(window.Selection(id));
    }
    for (int id : {kRedEditId, kGreenEditId, kBlueEditId}) picture.texts.push_back(window.Text(id));
    picture.texts.push_back(window.Text(kApplyButtonId));
    picture.slider = window.SliderPosition();
    picture.driverLines = ReadDriverLog(files).size();
    return picture;
}

TEST(Keys, AltQuestionAndAltSlashChangeNothing) {
    OpenPanel panel(L"accelerators");
    const PanelWindow& window = panel.window;
    const ScenarioFiles& files = panel.files;
    ASSERT_NE(window.Main(), nullptr);
    // A state the refresh would have to keep, set without moving the keyboard focus (a clicked
    // button would take it, and the keys would then go to the button).
    window.Select(kModeListId, 1);
    window.Select(kIntervalListId, 2);
    window.Select(kBrightnessListId, 3);
    window.SetText(kGreenEditId, L"12");
    window.SetSliderPosition(70);

    // On the window itself, which has the focus since it opened.
    POINT beside = {440, 120};
    ClientToScreen(window.Main(), &beside);
    ASSERT_TRUE(ClickWithPointer(RECT{beside.x, beside.y, beside.x + 1, beside.y + 1}));
    ASSERT_EQ(window.Focus(), window.Main());
    const PanelPicture before = Picture(window, files);
    ASSERT_TRUE(Xdotool("key --delay 150 alt+question alt+slash alt+question"));
    Sleep(500);
    EXPECT_TRUE(Picture(window, files) == before) << "the keys changed the panel";

    // With the focus in an edit: the keys type nothing and change nothing.
    ASSERT_TRUE(FocusRedEdit(window));
    const PanelPicture beforeInEdit = Picture(window, files);
    ASSERT_TRUE(Xdotool("key --delay 150 alt+question alt+slash"));
    Sleep(500);
    EXPECT_TRUE(Picture(window, files) == beforeInEdit);
    // The keyboard did reach the program: a digit lands in the edit.
    window.SelectAllText(kRedEditId);
    ASSERT_TRUE(Xdotool("key --delay 80 9"));
    EXPECT_TRUE(WaitUntil([&] { return window.Text(kRedEditId) == L"9"; }))
        << Narrow(window.Text(kRedEditId));
    EXPECT_TRUE(IsWindowVisible(window.Main()));

    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
