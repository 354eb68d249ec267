// Colour picking, the swatch, the shade slider and the help popup on the real program, with
// real pointer and keyboard input on the X display and the screen read back as pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/led/led_blocks.h"
#include "core/panel/control_ids.h"
#include "core/panel/picker_rules.h"
#include "tests/e2e/driver_log_watch.h"
#include "tests/e2e/panel_process.h"
#include "tests/picker_e2e/screen_capture.h"

namespace e2e {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr Point kCentre = {kDiscCentreX, kDiscCentreY};
constexpr Point kSwatchSample = {80, 150};
// Well inside the disc and away from the centre marker.
constexpr Point kPickPoint = {330, 200};

Colour ColourOf(COLORREF value) {
    return {GetRValue(value), GetGValue(value), GetBValue(value)};
}

// The family-3000 block Apply sends for this colour in the edits, at this slider position.
std::string Block3000(Colour edits, int shade) {
    LedSettings settings;
    settings.shade = shade;
    settings.red = edits.red;
    settings.green = edits.green;
    settings.blue = edits.blue;
    return Hex(led::SettingsBlock3000(0xA2, settings));
}

// The program under test, started with the two default boards; the first is family 3000.
class Panel : public OpenPanel {
  public:
    explicit Panel(const wchar_t* name) : OpenPanel(name) {}

    Point ScreenOf(Point client) const {
        POINT point = {client.x, client.y};
        ClientToScreen(window.Main(), &point);
        return {point.x, point.y};
    }
    std::string Move(Point client) const {
        const Point screen = ScreenOf(client);
        return "mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y) +
               " sleep 0.4 ";
    }
    Screenshot Shot() const {
        RECT client = {};
        GetClientRect(window.Main(), &client);
        const Point origin = ScreenOf({0, 0});
        return CaptureScreen(
            {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
    }
    COLORREF Pixel(const Screenshot& shot, Point client) const {
        const Point screen = ScreenOf(client);
        return shot.At({screen.x, screen.y});
    }
    bool MarkerAt(const Screenshot& shot, Point centre) const {
        for (const Box& bar : MarkerBars(centre)) {
            if (Pixel(shot, {bar.left, bar.top}) != kBlack) return false;
            if (Pixel(shot, {bar.right - 1, bar.bottom - 1}) != kBlack) return false;
        }
        return true;
    }
    // The R, G, B edits as they read now, in one text.
    std::string Edits() const {
        return Narrow(window.Text(kRedEditId) + L"," + window.Text(kGreenEditId) + L"," +
                      window.Text(kBlueEditId));
    }
    static std::string EditsFor(Colour colour) {
        return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
               std::to_string(colour.blue);
    }
    bool EditsShow(Colour colour) const {
        return WaitUntil([&] { return Edits() == EditsFor(colour); }, 5000);
    }
    // The pointer off the window, so that nothing it does reaches the panel.
    bool PointerAway() const { return Xdotool("mousemove 5 5 sleep 0.3"); }
    // A press and release at one point, with time for the edits' refresh in between.
    bool ClickAt(Point client) const {
        return Xdotool(Move(client) + "mousedown 1 sleep 0.3 mouseup 1 sleep 0.3") && PointerAway();
    }
    bool Reset() const {
        window.Click(kResetButtonId);
        return WaitUntil([&] { return Edits() == "255,255,255"; }, 5000);
    }
    bool TypeInto(int editId, const std::string& digits) const {
        const HWND edit = window.Control(editId);
        if (!ClickWithPointer(window.ScreenRect(editId))) return false;
        if (!WaitUntil([&] { return window.Focus() == edit; })) return false;
        window.SelectAllText(editId);
        // xdotool types every argument after "type": nothing may follow the digits.
        if (!Xdotool("type --delay 80 " + digits)) return false;
        Sleep(300);
        return true;
    }
    // Keys on the focused shade slider (xdotool key commands); each move tells the panel.
    bool SliderKeys(const std::string& keys) const {
        const HWND slider = window.Control(kShadeSliderId);
        if (window.Focus() != slider) {
            if (!ClickWithPointer(window.ScreenRect(kShadeSliderId))) return false;
            if (!WaitUntil([&] { return window.Focus() == slider; })) return false;
        }
        return Xdotool(keys + " sleep 0.3");
    }
};

TEST(PickerInput, APressStartsAPickOnlyInsideTheHitRadius) {
    Panel panel(L"picker-press");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());
    struct Case {
        Point press;
        bool picks;
    };
    const Case cases[] = {
        {{397, 160}, true}, {{398, 160}, false}, {{354, 265}, true}, {{355, 265}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.press.x << "," << c.press.y);
        ASSERT_TRUE(panel.Reset());
        const Screenshot before = panel.Shot();
        ASSERT_TRUE(before.Valid());
        const COLORREF underPointer = panel.Pixel(before, c.press);
        ASSERT_TRUE(panel.ClickAt(c.press));
        if (c.picks) {
            EXPECT_TRUE(panel.EditsShow(ColourOf(underPointer))) << panel.Edits();
            const Screenshot after = panel.Shot();
            EXPECT_TRUE(panel.MarkerAt(after, c.press));
            EXPECT_EQ(panel.Pixel(after, kSwatchSample), underPointer);
        } else {
            Sleep(300);
            EXPECT_EQ(panel.Edits(), "255,255,255");
            const Screenshot after = panel.Shot();
            EXPECT_TRUE(panel.MarkerAt(after, kCentre));
            EXPECT_EQ(panel.Pixel(after, kSwatchSample), kWhite);
        }
    }
    panel.CloseAndExpectExitZero();
}

TEST(PickerInput, ADragOutOfTheDiscPicksOnTheRimAndTheMarkerStays) {
    Panel panel(L"picker-drag");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());
    const Screenshot before = panel.Shot();
    ASSERT_TRUE(before.Valid());
    // Image pixel (297, 150), drawn at (397, 160).
    const COLORREF rim = panel.Pixel(before, {397, 160});
    ASSERT_TRUE(Xdotool(panel.Move({300, 160}) + "mousedown 1 sleep 0.3 " + panel.Move({420, 160}) +
                        panel.Move({450, 160})));
    EXPECT_TRUE(panel.EditsShow(ColourOf(rim))) << panel.Edits();
    const Screenshot held = panel.Shot();
    EXPECT_TRUE(panel.MarkerAt(held, {397, 160}));
    EXPECT_EQ(panel.Pixel(held, kSwatchSample), rim);

    ASSERT_TRUE(Xdotool("mouseup 1 sleep 0.3 " + panel.Move({200, 250})));
    const Screenshot released = panel.Shot();
    EXPECT_TRUE(panel.MarkerAt(released, {397, 160}));
    EXPECT_EQ(panel.Pixel(released, kSwatchSample), rim);

    // Reset puts the marker back at the centre: a colour typed afterwards draws it there.
    ASSERT_TRUE(ClickWithPointer(panel.window.ScreenRect(kResetButtonId)));
    ASSERT_TRUE(panel.EditsShow({255, 255, 255}));
    ASSERT_TRUE(panel.TypeInto(kRedEditId, "0"));
    ASSERT_TRUE(panel.PointerAway());
    const Screenshot afterReset = panel.Shot();
    EXPECT_TRUE(panel.MarkerAt(afterReset, kCentre));
    EXPECT_FALSE(panel.MarkerAt(afterReset, {397, 160}));
    EXPECT_EQ(panel.Pixel(afterReset, kSwatchSample), RGB(0, 255, 255))
        << panel.Edits() << " at shade " << panel.window.SliderPosition();
    panel.CloseAndExpectExitZero();
}

TEST(PickerInput, TheEditsShowTheDragOneSampleBehind) {
    Panel panel(L"picker-behind");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());
    const Point first = {300, 120};
    const Point second = {200, 220};
    const Screenshot before = panel.Shot();
    const COLORREF firstColour = panel.Pixel(before, first);
    const COLORREF secondColour = panel.Pixel(before, second);
    ASSERT_NE(firstColour, secondColour);
    ASSERT_TRUE(Xdotool(panel.Move(first) + "mousedown 1 sleep 0.3 " + panel.Move(second)));
    // The swatch shows where the pointer is; the edits the sample before it.
    EXPECT_EQ(panel.Edits(), Panel::EditsFor(ColourOf(firstColour)));
    EXPECT_EQ(panel.Pixel(panel.Shot(), kSwatchSample), secondColour);

    // A click on Apply takes the capture from the panel, which ends the pick: the edits catch up
    // with the swatch first, and Apply sends that colour, scaled by the slider (50).
    DriverLogWatch watch(panel.files);
    panel.window.Click(kApplyButtonId);
    const std::vector<Transfer> sent = watch.WaitForWrites(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(WrittenData(sent)[0], Block3000(ColourOf(secondColour), 50));
    ASSERT_TRUE(Xdotool("mouseup 1 sleep 0.3"));
    ASSERT_TRUE(panel.PointerAway());
    panel.CloseAndExpectExitZero();
}

TEST(PickerInput, TheSwatchAndTheEditsFollowTheSlider) {
    Panel panel(L"picker-slider");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());
    const COLORREF picked = panel.Pixel(panel.Shot(), kPickPoint);
    ASSERT_TRUE(panel.ClickAt(kPickPoint));
    ASSERT_TRUE(panel.EditsShow(ColourOf(picked)));
    const Colour base = ColourOf(picked);
    struct Case {
        const char* keys;
        int shade;
    };
    const Case cases[] = {
        {"key Home", 0},
        {"key End", 100},
        {"key Home key --repeat 50 --delay 40 Down", 50},
        {"key --repeat 5 --delay 40 Up", 45},
        {"key --repeat 30 --delay 40 Down", 75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shade);
        ASSERT_TRUE(panel.SliderKeys(c.keys));
        ASSERT_EQ(panel.window.SliderPosition(), c.shade);
        const Colour shaded = ShadeColour(base, c.shade);
        EXPECT_TRUE(panel.EditsShow(shaded)) << panel.Edits();
        const Screenshot shot = panel.Shot();
        EXPECT_EQ(panel.Pixel(shot, kSwatchSample), ColourValue(shaded));
        EXPECT_EQ(panel.Pixel(shot, {kSwatchBox.left + 1, kSwatchBox.top + 1}),
                  ColourValue(shaded));
        EXPECT_EQ(panel.Pixel(shot, {kSwatchBox.right - 2, kSwatchBox.bottom - 2}),
                  ColourValue(shaded));
    }
    EXPECT_EQ(ShadeColour(base, 0).red, 255);

    // Apply sends what the edits show (the shaded colour), scaled by the slider once more.
    DriverLogWatch watch(panel.files);
    ASSERT_TRUE(ClickWithPointer(panel.window.ScreenRect(kApplyButtonId)));
    const std::vector<Transfer> sent = watch.WaitForWrites(1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(WrittenData(sent)[0], Block3000(ShadeColour(base, 75), 75));
    panel.CloseAndExpectExitZero();
}

TEST(PickerInput, TypingWhiteDrawsTheMarkerAtTheCentreWithoutMovingIt) {
    Panel panel(L"picker-white");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());
    ASSERT_TRUE(panel.ClickAt(kPickPoint));
    ASSERT_TRUE(panel.MarkerAt(panel.Shot(), kPickPoint));
    for (int edit : {kRedEditId, kGreenEditId, kBlueEditId}) {
        ASSERT_TRUE(panel.TypeInto(edit, "255"));
    }
    ASSERT_EQ(panel.Edits(), "255,255,255");
    ASSERT_TRUE(panel.PointerAway());
    const Screenshot white = panel.Shot();
    EXPECT_TRUE(panel.MarkerAt(white, kCentre));
    EXPECT_FALSE(panel.MarkerAt(white, kPickPoint));
    EXPECT_EQ(panel.Pixel(white, kSwatchSample), kWhite);
    // The stored marker stayed: any other colour draws it where the pick left it.
    ASSERT_TRUE(panel.TypeInto(kBlueEditId, "254"));
    ASSERT_TRUE(panel.PointerAway());
    const Screenshot nearlyWhite = panel.Shot();
    EXPECT_TRUE(panel.MarkerAt(nearlyWhite, kPickPoint));
    EXPECT_FALSE(panel.MarkerAt(nearlyWhite, kCentre));
    panel.CloseAndExpectExitZero();
}

// The help popup, as a top-level dialog of the program owned by its main window.
HWND FindPopup(const Panel& panel) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            HWND window = nullptr;
            while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
                if (GetWindow(window, GW_OWNER) == panel.window.Main() && IsWindowVisible(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        10000);
    return found;
}

bool Closed(HWND popup) {
    return WaitUntil([&] { return !IsWindow(popup); }, 5000);
}

HWND OpenPopup(const Panel& panel) {
    if (!ClickWithPointer(panel.window.ScreenRect(kHelpButtonId))) return nullptr;
    const HWND popup = FindPopup(panel);
    Sleep(500);  // painted
    return popup;
}

RECT RectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST(HelpPopupInput, OpensOverTheWindowAndClosesOnAClickEscOrCloseButNotOnEnter) {
    Panel panel(L"picker-popup");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());

    HWND popup = OpenPopup(panel);
    ASSERT_NE(popup, nullptr);
    const RECT main = RectOf(panel.window.Main());
    const RECT over = RectOf(popup);
    EXPECT_EQ(over.left, main.left + 8);
    EXPECT_EQ(over.top, main.top);
    EXPECT_EQ(over.right - over.left, main.right - main.left - 16);
    EXPECT_EQ(over.bottom - over.top, main.bottom - main.top - 8);
    EXPECT_FALSE(IsWindowEnabled(panel.window.Main()));

    const std::wstring first = WorkPath(L"help-popup-first.png");
    ASSERT_TRUE(CaptureScreenToFile(over, first));
    ASSERT_FALSE(TestPaths().reference.empty()) << "no --reference given";
    const std::wstring reference = TestPaths().reference + L"\\help-popup.png";
    const long fromReference = DifferingPixels(first, reference);
    EXPECT_GE(fromReference, 0) << "no reference picture; this run's is " << Narrow(first);
    EXPECT_LE(fromReference, 200) << "compare " << Narrow(first) << " with the reference";

    ASSERT_TRUE(Xdotool("key --delay 100 Return a space sleep 0.5"));
    EXPECT_TRUE(IsWindow(popup)) << "Enter and other keys leave the popup open";
    // A click on a label closes it too.
    const Point label = {over.left + 36, over.top + 135};
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(label.x) + " " + std::to_string(label.y) +
                        " sleep 0.4 click 1 sleep 0.3"));
    EXPECT_TRUE(Closed(popup)) << "a click closes the popup";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(panel.window.Main()) != FALSE; }));
    ASSERT_TRUE(panel.PointerAway());

    popup = OpenPopup(panel);
    ASSERT_NE(popup, nullptr);
    const std::wstring second = WorkPath(L"help-popup-second.png");
    ASSERT_TRUE(CaptureScreenToFile(RectOf(popup), second));
    EXPECT_EQ(DifferingPixels(first, second), 0) << "the second opening draws the same picture";
    ASSERT_TRUE(Xdotool("key Escape sleep 0.3"));
    EXPECT_TRUE(Closed(popup)) << "Esc closes the popup";
    ASSERT_TRUE(panel.PointerAway());

    popup = OpenPopup(panel);
    ASSERT_NE(popup, nullptr);
    PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(Closed(popup)) << "the close command closes the popup";

    panel.CloseAndExpectExitZero();
}

// Not a test: the README's pictures, written into the work directory. Run inside a Wine virtual
// desktop, which draws the window's frame and caption (scripts/docs-screenshots.sh).
TEST(Screenshots, DISABLED_PanelAndHelpPopup) {
    Panel panel(L"picker-screenshots");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.ClickAt({330, 120}));
    ASSERT_TRUE(panel.SliderKeys("key --repeat 8 --delay 40 Up"));
    ASSERT_TRUE(panel.PointerAway());
    Sleep(500);
    const RECT main = RectOf(panel.window.Main());
    ASSERT_TRUE(CaptureScreenToFile(main, WorkPath(L"panel-full.png")));
    const HWND popup = OpenPopup(panel);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(CaptureScreenToFile(main, WorkPath(L"help-popup-opaque.png")));
    PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
