// Picking and the help popup on the real program, with real pointer and keyboard input on the X
// display and the screen read back; one whole run under this test as its debugger. (The pick's
// rules and paints, pixel by pixel, are tested on the window in process: tests/panel/windows/.)
#include <gtest/gtest.h>

#include <fstream>

#include "core/led/led_blocks.h"
#include "platform/windows/utf8_text.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"
#include "tests/support/wine/unix_commands.h"

namespace e2e {
namespace {

std::string Decimal(COLORREF c) {
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," +
           std::to_string(GetBValue(c));
}

// What Apply sends for a colour to the family-3000 board as the panel starts, the slider at 50.
std::vector<std::string> Applied(COLORREF c) {
    const uint8_t r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return {Hex(led::SettingsBlock3000(0xA2, {1, 0, 0, 1, 0, 50, r, g, b}))};
}

// The screen area of a window written to a PNG file by ImageMagick's import.
bool CaptureScreenToFile(HWND window, const std::wstring& path) {
    RECT area = {};
    GetWindowRect(window, &area);
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

// The help popup, opened with a real click: a shown dialog owned by the main window, painted.
HWND OpenPopup(const PanelWindow& window) {
    HWND found = nullptr;
    ClickWithPointer(window.ScreenRect(kHelpButtonId));
    WaitUntil([&] {
        while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr &&
               (GetWindow(found, GW_OWNER) != window.Main() || !IsWindowVisible(found))) {
        }
        return found != nullptr;
    });
    Sleep(500);
    return found;
}

// Start-up, a drag over the disc and an Apply, the help popup (which a click, Esc or the close
// command ends) and the close: one line of debugger output.
TEST(HelpPopupInput, ClosesOnAClickEscOrCloseAndARunWritesOneDebuggerLine) {
    const StartOptions options = {L"", WorkPath(L"current directory"), true};
    CreateDirectoryW(options.currentDirectory.c_str(), nullptr);
    OpenPanel panel(L"popup", kDefaultBoards, options);
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    ASSERT_TRUE(Xdotool("mousemove 5 5 sleep 0.3"));
    // While the button is held, the swatch shows the colour under the pointer and the edits the
    // sample before it. A click on Apply takes the capture from the panel, which ends the pick:
    // the edits catch up with the swatch, and Apply sends that colour scaled by the slider (50).
    const COLORREF pressed = window.Pixel(300, 120), dragged = window.Pixel(200, 220);
    ASSERT_TRUE(Xdotool(MoveTo(window.ScreenPoint(300, 120)) + "mousedown 1 sleep 0.3 " +
                        MoveTo(window.ScreenPoint(200, 220))));
    EXPECT_EQ(window.Pixel(80, 150), dragged);
    EXPECT_EQ(window.Edits(), Decimal(pressed));
    EXPECT_EQ(WrittenData(panel.Press(kApplyButtonId)), Applied(dragged));
    EXPECT_EQ(window.Edits(), Decimal(dragged));
    ASSERT_TRUE(Xdotool("mouseup 1 sleep 0.3 mousemove 5 5 sleep 0.3"));

    // The popup lies over the window, which it disables meanwhile: a borderless popup without
    // controls that draws the committed picture, the same each time.
    HWND popup = OpenPopup(window);
    ASSERT_NE(popup, nullptr);
    RECT main = {}, over = {};
    GetWindowRect(window.Main(), &main);
    GetWindowRect(popup, &over);
    EXPECT_EQ(std::vector<LONG>({over.left, over.top, over.right, over.bottom}),
              std::vector<LONG>({main.left + 8, main.top, main.right - 8, main.bottom - 8}));
    EXPECT_FALSE(IsWindowEnabled(window.Main()));
    EXPECT_EQ(GetWindowLongW(popup, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
    EXPECT_EQ(FindWindowExW(popup, nullptr, nullptr, nullptr), nullptr);
    const std::wstring first = WorkPath(L"help-popup-1.png"),
                       second = WorkPath(L"help-popup-2.png");
    ASSERT_TRUE(CaptureScreenToFile(popup, first));
    const long fromReference = DifferingPixels(first, TestPaths().reference + L"\\help-popup.png");
    EXPECT_TRUE(fromReference >= 0 && fromReference <= 200)
        << fromReference << " pixels differ; compare " << Utf8FromWide(first)
        << " with the reference";
    for (const char* close : {"a click on a label", "Esc", "the close command"}) {
        SCOPED_TRACE(close);
        if (close[0] == 'a') {
            ASSERT_TRUE(Xdotool(MoveTo({over.left + 36, over.top + 135}) + "click 1 sleep 0.3"));
        } else if (close[0] == 'E') {
            ASSERT_TRUE(CaptureScreenToFile(popup, second));
            EXPECT_EQ(DifferingPixels(first, second), 0) << "each opening draws the same picture";
            ASSERT_TRUE(Xdotool("key Escape sleep 0.3"));
        } else {
            PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(popup) && IsWindowEnabled(window.Main()); }));
        ASSERT_TRUE(Xdotool("mousemove 5 5 sleep 0.3"));
        ASSERT_TRUE(close[0] == 't' || (popup = OpenPopup(window)) != nullptr);
    }
    panel.CloseAndExpectExitZero(true);
    EXPECT_EQ(panel.process.DebugOutputs(),
              std::vector<std::string>{Utf8FromWide(options.currentDirectory)});
}

// Not a test: the README's pictures, written into the work directory. Run inside a Wine virtual
// desktop, which draws the window's frame and caption (scripts/docs-screenshots.sh).
TEST(Screenshots, DISABLED_PanelAndHelpPopup) {
    OpenPanel panel(L"screenshots");
    const PanelWindow& window = panel.window;
    ASSERT_TRUE(Xdotool(MoveTo(window.ScreenPoint(330, 120)) + "click 1 sleep 0.3"));
    ASSERT_TRUE(ClickWithPointer(window.ScreenRect(kShadeSliderId)) &&
                Xdotool("key --repeat 8 --delay 40 Up sleep 0.3"));
    ASSERT_TRUE(Xdotool("mousemove 5 5 sleep 0.8"));
    ASSERT_TRUE(CaptureScreenToFile(window.Main(), WorkPath(L"panel-full.png")));
    const HWND popup = OpenPopup(window);
    ASSERT_TRUE(CaptureScreenToFile(window.Main(), WorkPath(L"help-popup-opaque.png")));
    PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
    panel.CloseAndExpectExitZero();
}

// A pick holds the pointer capture: a release outside the window ends it, as does losing the
// capture; a press outside the disc picks nothing; after a fast pick the edits hold its colour.
TEST(PointerCapture, APickEndsWhereverTheButtonIsReleasedAndTheEditsHoldItsColour) {
    OpenPanel panel(L"capture");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    // A move to a client point; a fast one has no pause after it.
    const auto to = [&](int x, int y, bool fast = false) {
        const POINT at = window.ScreenPoint(x, y);
        return fast ? "mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " "
                    : MoveTo(at);
    };
    const auto editsShow = [&](COLORREF c) {
        return WaitUntil([&] { return window.Edits() == Decimal(c); }, 5000);
    };
    ASSERT_TRUE(Xdotool("mousemove 5 5 sleep 0.3"));
    const COLORREF rim = window.Pixel(397, 160), first = window.Pixel(330, 200),
                   second = window.Pixel(200, 220), third = window.Pixel(300, 100);
    ASSERT_TRUE(rim != second && first != second && second != third);
    // Released outside the window, then back over the disc with the button up.
    ASSERT_TRUE(Xdotool(to(300, 160) + "mousedown 1 sleep 0.2 " + to(450, 160) + to(700, 160) +
                        "mouseup 1 sleep 0.3 " + to(200, 220) + to(300, 100)));
    EXPECT_EQ(window.Pixel(80, 150), rim);
    EXPECT_TRUE(editsShow(rim)) << window.Edits();
    // Pressed outside the disc, dragged inside.
    ASSERT_TRUE(Xdotool(to(420, 160) + "mousedown 1 sleep 0.2 " + to(200, 220) + to(300, 100) +
                        "mouseup 1 sleep 0.3"));
    EXPECT_EQ(window.Pixel(80, 150), rim);
    EXPECT_TRUE(editsShow(rim)) << window.Edits();
    // The capture lost mid-drag, as when a dialog or a menu takes over.
    ASSERT_TRUE(Xdotool(to(330, 200) + "mousedown 1 sleep 0.2 " + to(200, 220)));
    SendMessageW(window.Main(), WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(Xdotool(to(300, 100) + "mouseup 1 sleep 0.3"));
    EXPECT_EQ(window.Pixel(80, 150), second);
    EXPECT_TRUE(editsShow(second)) << window.Edits();
    // Press, two quick moves and release, well within the edits' 20 ms; Apply then sends the
    // swatch's colour scaled by the slider (50).
    ASSERT_TRUE(Xdotool(to(300, 100) + "mousedown 1 " + to(200, 220, true) + to(330, 200, true) +
                        "mouseup 1 sleep 0.3 mousemove 5 5 sleep 0.3"));
    EXPECT_EQ(window.Pixel(80, 150), first);
    EXPECT_TRUE(editsShow(first)) << window.Edits();
    EXPECT_EQ(WrittenData(panel.Press(kApplyButtonId)), Applied(first));
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
