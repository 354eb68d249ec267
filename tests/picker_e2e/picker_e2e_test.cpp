// Colour picking, the swatch, the shade slider and the help popup on the real program, with
// real pointer and keyboard input on the X display and the screen read back.
#include <gtest/gtest.h>

#include <fstream>

#include "core/led/led_blocks.h"
#include "core/panel/picker_rules.h"
#include "tests/e2e/driver_log_watch.h"
#include "tests/e2e/panel_process.h"
#include "tests/support/strings.h"

namespace e2e {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr Point kCentre = {kDiscCentreX, kDiscCentreY};
constexpr Point kSwatch = {80, 150};
constexpr Point kPickPoint = {330, 200};  // well inside the disc and away from the centre marker

Colour ColourOf(COLORREF value) {
    return {GetRValue(value), GetGValue(value), GetBValue(value)};
}

// The program under test, started with the two default boards; the first is family 3000.
struct Panel : OpenPanel {
    explicit Panel(const wchar_t* name, const StartOptions& options = {})
        : OpenPanel(name, kDefaultBoards, options) {}
    COLORREF Pixel(Point at) const { return window.Pixel(at.x, at.y); }
    std::string Move(Point at) const { return MoveTo(window.ScreenPoint(at.x, at.y)); }
    bool MarkerAt(Point centre) const {
        for (const Box& bar : MarkerBars(centre)) {
            if (Pixel({bar.left, bar.top}) != kBlack) return false;
            if (Pixel({bar.right - 1, bar.bottom - 1}) != kBlack) return false;
        }
        return true;
    }
    std::string Edits() const {
        return Utf8(window.Text(kRedEditId) + L"," + window.Text(kGreenEditId) + L"," +
                    window.Text(kBlueEditId));
    }
    bool EditsShow(Colour c) const {
        const std::string want =
            std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
        return WaitUntil([&] { return Edits() == want; }, 5000);
    }
    // The pointer off the window, so that nothing it does reaches the panel.
    bool PointerAway() const { return Xdotool("mousemove 5 5 sleep 0.3"); }
    // A press at one point and a release at another, with time for the edits' refresh between.
    bool PressAndRelease(Point press, Point release) const {
        return Xdotool(Move(press) + "mousedown 1 sleep 0.3 " + Move(release) +
                       "mouseup 1 sleep 0.3") &&
               PointerAway();
    }
    bool TypeInto(int editId, const std::string& digits) const {
        if (!ClickWithPointer(window.ScreenRect(editId)) ||
            !WaitUntil([&] { return window.Focus() == window.Control(editId); })) {
            return false;
        }
        window.SelectAllText(editId);
        const bool typed = Xdotool("type --delay 80 " + digits);  // nothing may follow the digits
        Sleep(300);
        return typed;
    }
    // Keys on the focused shade slider (xdotool key commands); each move tells the panel.
    bool SliderKeys(const std::string& keys) const {
        const HWND slider = window.Control(kShadeSliderId);
        return (window.Focus() == slider ||
                (ClickWithPointer(window.ScreenRect(kShadeSliderId)) &&
                 WaitUntil([&] { return window.Focus() == slider; }))) &&
               Xdotool(keys + " sleep 0.3");
    }
    // Apply's block, once it has arrived.
    std::string Applied() const {
        DriverLogWatch watch(files);
        window.Click(kApplyButtonId);
        const std::vector<std::string> data = WrittenData(watch.WaitForWrites(1));
        return data.size() == 1 ? data[0] : "";
    }
};

// The family-3000 block Apply sends at the start settings for this colour in the edits, at this
// slider position.
std::string Block3000(Colour edits, int shade) {
    return Hex(
        led::SettingsBlock3000(0xA2, {1, 0, 0, 1, 0, shade, edits.red, edits.green, edits.blue}));
}

TEST(PickerInput, PicksFollowThePointerTheSliderAndTheEdits) {
    Panel panel(L"picker");
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PointerAway());
    // A press picks only inside the hit radius; one outside picks nothing, even dragged inside.
    const struct {
        Point press;
        bool picks;
    } presses[] = {
        {{397, 160}, true}, {{398, 160}, false}, {{354, 265}, true}, {{355, 265}, false}};
    for (const auto& c : presses) {
        SCOPED_TRACE(testing::Message() << c.press.x << "," << c.press.y);
        panel.window.Click(kResetButtonId);
        const COLORREF picked = c.picks ? panel.Pixel(c.press) : kWhite;
        ASSERT_TRUE(panel.PressAndRelease(c.press, c.picks ? c.press : kPickPoint));
        EXPECT_TRUE(panel.EditsShow(ColourOf(picked))) << panel.Edits();
        EXPECT_TRUE(panel.MarkerAt(c.picks ? c.press : kCentre));
        EXPECT_EQ(panel.Pixel(kSwatch), picked);
    }

    // A drag out of the disc picks on the rim; the marker stays there after the release.
    panel.window.Click(kResetButtonId);
    const COLORREF rim = panel.Pixel({397, 160});  // image pixel (297, 150)
    ASSERT_TRUE(Xdotool(panel.Move({300, 160}) + "mousedown 1 sleep 0.3 " + panel.Move({420, 160}) +
                        panel.Move({450, 160})));
    EXPECT_TRUE(panel.EditsShow(ColourOf(rim))) << panel.Edits();
    for (const char* when : {"held", "released"}) {
        SCOPED_TRACE(when);
        ASSERT_TRUE(when[0] == 'h' || Xdotool("mouseup 1 sleep 0.3 " + panel.Move({200, 250})));
        EXPECT_TRUE(panel.MarkerAt({397, 160}));
        EXPECT_EQ(panel.Pixel(kSwatch), rim);
    }
    // Reset puts the marker back at the centre and leaves nothing of it beside the disc: a colour
    // typed afterwards draws it there.
    ASSERT_TRUE(ClickWithPointer(panel.window.ScreenRect(kResetButtonId)));
    ASSERT_TRUE(panel.EditsShow({255, 255, 255}));
    ASSERT_TRUE(panel.TypeInto(kRedEditId, "0") && panel.PointerAway());
    EXPECT_TRUE(panel.MarkerAt(kCentre));
    EXPECT_FALSE(panel.MarkerAt({397, 160}));
    EXPECT_EQ(panel.Pixel({402, 160}), kWhite);
    EXPECT_EQ(panel.Pixel({403, 153}), kWhite);
    EXPECT_EQ(panel.Pixel(kSwatch), RGB(0, 255, 255));

    // While the pointer drags, the swatch shows where it is and the edits the sample before;
    // Apply sends what the edits show, scaled by the slider (50).
    const COLORREF first = panel.Pixel({300, 120}), second = panel.Pixel({200, 220});
    ASSERT_NE(first, second);
    ASSERT_TRUE(
        Xdotool(panel.Move({300, 120}) + "mousedown 1 sleep 0.3 " + panel.Move({200, 220})));
    EXPECT_TRUE(panel.EditsShow(ColourOf(first))) << panel.Edits();
    EXPECT_EQ(panel.Pixel(kSwatch), second);
    EXPECT_EQ(panel.Applied(), Block3000(ColourOf(first), 50));
    ASSERT_TRUE(Xdotool("mouseup 1 sleep 0.3") && panel.PointerAway());

    // The swatch and the edits follow the slider while the base colour stays; Apply sends the
    // shaded colour the edits show, scaled by the slider once more.
    const Colour base = ColourOf(panel.Pixel(kPickPoint));
    ASSERT_TRUE(panel.PressAndRelease(kPickPoint, kPickPoint));
    ASSERT_TRUE(panel.EditsShow(base));
    EXPECT_EQ(ShadeColour(base, 0).red, 255);
    const struct {
        const char* keys;
        int shade;
    } slides[] = {{"key Home", 0},
                  {"key End", 100},
                  {"key Home key --repeat 50 --delay 40 Down", 50},
                  {"key --repeat 5 --delay 40 Up", 45},
                  {"key --repeat 30 --delay 40 Down", 75}};
    for (const auto& c : slides) {
        SCOPED_TRACE(c.shade);
        ASSERT_TRUE(panel.SliderKeys(c.keys));
        ASSERT_EQ(panel.window.SliderPosition(), c.shade);
        const COLORREF shaded = ColourValue(ShadeColour(base, c.shade));
        EXPECT_TRUE(panel.EditsShow(ShadeColour(base, c.shade))) << panel.Edits();
        const Box& box = kSwatchBox;
        EXPECT_EQ(panel.Pixel(kSwatch), shaded);
        EXPECT_EQ(panel.Pixel({box.left + 1, box.top + 1}), shaded);
        EXPECT_EQ(panel.Pixel({box.right - 2, box.bottom - 2}), shaded);
        // The default black outline, and white just outside it.
        EXPECT_EQ(panel.Pixel({box.left, box.top}), kBlack);
        EXPECT_EQ(panel.Pixel({box.right - 1, box.bottom - 1}), kBlack);
        EXPECT_EQ(panel.Pixel({box.right, box.top + 5}), kWhite);
    }
    EXPECT_EQ(panel.Applied(), Block3000(ShadeColour(base, 75), 75));

    // White typed into the edits draws the marker at the centre without moving it: any other
    // colour draws it where the pick left it.
    panel.window.Click(kResetButtonId);
    ASSERT_TRUE(panel.PressAndRelease(kPickPoint, kPickPoint));
    for (int edit : {kRedEditId, kGreenEditId, kBlueEditId})
        ASSERT_TRUE(panel.TypeInto(edit, "255"));
    ASSERT_TRUE(panel.PointerAway());
    EXPECT_TRUE(panel.MarkerAt(kCentre) && !panel.MarkerAt(kPickPoint)) << panel.Edits();
    EXPECT_EQ(panel.Pixel(kSwatch), kWhite);
    ASSERT_TRUE(panel.TypeInto(kBlueEditId, "254") && panel.PointerAway());
    EXPECT_TRUE(panel.MarkerAt(kPickPoint) && !panel.MarkerAt(kCentre));
    panel.CloseAndExpectExitZero();
}

// The screen area written to a PNG file by ImageMagick's import.
bool CaptureScreenToFile(RECT area, const std::wstring& path) {
    DeleteFileW(path.c_str());
    return RunUnixCommand("import -window root -crop " + std::to_string(area.right - area.left) +
                          "x" + std::to_string(area.bottom - area.top) + "+" +
                          std::to_string(area.left) + "+" + std::to_string(area.top) +
                          " +repage -depth 8 '" + UnixPath(path) + "'") &&
           GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Pixels differing by more than 10% between two pictures of one size, or -1 when they cannot
// be compared (compare prints its count on standard error).
long DifferingPixels(const std::wstring& first, const std::wstring& second) {
    const std::wstring count = WorkPath(L"compare.txt");
    DeleteFileW(count.c_str());
    RunUnixCommand("compare -metric AE -fuzz 10% '" + UnixPath(first) + "' '" + UnixPath(second) +
                   "' null: 2>'" + UnixPath(count) + "'");
    double pixels = -1;
    std::ifstream(count.c_str()) >> pixels;
    return static_cast<long>(pixels);
}

// The help popup, a shown dialog owned by the main window, once it has been painted.
HWND OpenPopup(const Panel& panel) {
    HWND found = nullptr;
    ClickWithPointer(panel.window.ScreenRect(kHelpButtonId));
    WaitUntil([&] {
        while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr &&
               (GetWindow(found, GW_OWNER) != panel.window.Main() || !IsWindowVisible(found))) {
        }
        return found != nullptr;
    });
    Sleep(500);
    return found;
}

RECT RectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// One whole run under this test as its debugger: start-up, a pick, an Apply, the help popup
// (which a click, Esc or the close command ends, and Enter or other keys do not) and the close.
TEST(HelpPopupInput, ClosesOnAClickEscOrCloseOnlyAndARunWritesOneDebuggerLine) {
    StartOptions options;
    options.debugged = true;
    options.currentDirectory = WorkPath(L"current directory");
    CreateDirectoryW(options.currentDirectory.c_str(), nullptr);
    Panel panel(L"popup", options);
    ASSERT_NE(panel.window.Main(), nullptr);
    ASSERT_TRUE(panel.PressAndRelease({300, 120}, kPickPoint));
    EXPECT_NE(panel.Applied(), "");

    HWND popup = OpenPopup(panel);
    ASSERT_NE(popup, nullptr);
    const RECT main = RectOf(panel.window.Main()), over = RectOf(popup);
    EXPECT_EQ(over.left, main.left + 8);
    EXPECT_EQ(over.top, main.top);
    EXPECT_EQ(over.right, main.right - 8);
    EXPECT_EQ(over.bottom, main.bottom - 8);
    EXPECT_FALSE(IsWindowEnabled(panel.window.Main()));
    const std::wstring first = WorkPath(L"help-popup-first.png");
    const std::wstring second = WorkPath(L"help-popup-second.png");
    ASSERT_TRUE(CaptureScreenToFile(over, first));
    const long fromReference = DifferingPixels(first, TestPaths().reference + L"\\help-popup.png");
    EXPECT_TRUE(fromReference >= 0 && fromReference <= 200)
        << fromReference << " pixels differ; compare " << Utf8(first) << " with the reference";
    ASSERT_TRUE(Xdotool("key --delay 100 Return a space sleep 0.5"));
    EXPECT_TRUE(IsWindow(popup)) << "Enter and other keys leave the popup open";
    const POINT label = {over.left + 36, over.top + 135};
    const auto closed = [&] { return WaitUntil([&] { return !IsWindow(popup); }, 5000); };
    for (const char* close : {"a click on a label", "Esc", "the close command"}) {
        SCOPED_TRACE(close);
        if (close[0] == 'a') {
            ASSERT_TRUE(Xdotool(MoveTo(label) + "click 1 sleep 0.3"));
        } else if (close[0] == 'E') {
            ASSERT_TRUE(CaptureScreenToFile(RectOf(popup), second));
            EXPECT_EQ(DifferingPixels(first, second), 0) << "each opening draws the same picture";
            ASSERT_TRUE(Xdotool("key Escape sleep 0.3"));
        } else {
            PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(closed());
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(panel.window.Main()) != FALSE; }));
        ASSERT_TRUE(panel.PointerAway());
        ASSERT_TRUE(close[0] == 't' || (popup = OpenPopup(panel)) != nullptr);
    }
    panel.CloseAndExpectExitZero(true);
    EXPECT_EQ(panel.process.DebugOutputs(),
              std::vector<std::string>{Utf8(options.currentDirectory)});
}

// Not a test: the README's pictures, written into the work directory. Run inside a Wine virtual
// desktop, which draws the window's frame and caption (scripts/docs-screenshots.sh).
TEST(Screenshots, DISABLED_PanelAndHelpPopup) {
    Panel panel(L"picker-screenshots");
    ASSERT_TRUE(panel.PressAndRelease({330, 120}, {330, 120}));
    ASSERT_TRUE(panel.SliderKeys("key --repeat 8 --delay 40 Up") && panel.PointerAway());
    Sleep(500);
    ASSERT_TRUE(CaptureScreenToFile(RectOf(panel.window.Main()), WorkPath(L"panel-full.png")));
    const HWND popup = OpenPopup(panel);
    ASSERT_TRUE(
        CaptureScreenToFile(RectOf(panel.window.Main()), WorkPath(L"help-popup-opaque.png")));
    PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
