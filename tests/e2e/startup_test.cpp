// Start-up on each mix of boards, each start-up failure, the second copy and the close.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>

#include "core/panel/control_ids.h"
#include "tests/e2e/panel_process.h"

namespace e2e {
namespace {

using Texts = std::vector<std::wstring>;

const std::string kRtx3080 = kDefaultBoards[0];

const Texts kModes2000 = {L"STATIC", L"STROBING", L"WAVE", L"BREATHING", L"COLOR CYCLE"};
const Texts kModes3000 = {L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"};
const Texts kIntervals2000 = {L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長い"};
const Texts kIntervals3000 = {L"点滅間隔 短", L"点滅間隔 中", L"点滅間隔 長"};
const Texts kBrightness = {L"明るさ 100%", L"明るさ 75%", L"明るさ 50%", L"明るさ 25%"};

const char* const kSupportedStart =
    "modeList=on ledOn=on,checked ledOff=on,clear cycle=off,clear single=off,checked "
    "shadeSlider=on apply=on reset=on intervalList=on brightnessList=on";
const char* const kUnsupportedStart =
    "modeList=off ledOn=off,checked ledOff=off,clear cycle=off,clear single=off,checked "
    "shadeSlider=off apply=off reset=off intervalList=off brightnessList=off";

struct StartCase {
    const wchar_t* name;
    std::vector<std::string> scenario;
    Texts gpus;
    const Texts* modes;
    const Texts* intervals;
    const char* states;
};

TEST(Startup, OpensOnEachMixOfBoards) {
    const StartCase cases[] = {
        {L"family-3000-first",
         kDefaultBoards,
         {L"NVIDIA GeForce RTX 3080", L"NVIDIA GeForce RTX 2080 SUPER"},
         &kModes3000,
         &kIntervals3000,
         kSupportedStart},
        {L"family-2000-first",
         {"gpu bus=1 pci=1e8110de name=\"NVIDIA GeForce RTX 2080 SUPER\"",
          "gpu bus=2 pci=220610de name=\"NVIDIA GeForce RTX 3080\""},
         {L"NVIDIA GeForce RTX 2080 SUPER", L"NVIDIA GeForce RTX 3080"},
         &kModes2000,
         &kIntervals2000,
         kSupportedStart},
        // Slot 0 is the lowest bus, whatever the enumeration order.
        {L"unsupported-first",
         {"gpu bus=7 pci=220410de name=\"NVIDIA GeForce RTX 3090\"",
          "gpu bus=3 pci=1f0210de name=\"NVIDIA GeForce RTX 2070\""},
         {L"NVIDIA GeForce RTX 2070", L"NVIDIA GeForce RTX 3090"},
         &kModes3000,
         &kIntervals3000,
         kUnsupportedStart},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        OpenPanel panel(c.name, c.scenario);
        const PanelWindow& window = panel.window;
        ASSERT_TRUE(panel.process.Started());
        ASSERT_NE(window.Main(), nullptr);
        EXPECT_EQ(window.ListTexts(kGpuListId), c.gpus);
        EXPECT_EQ(window.Selection(kGpuListId), 0);
        EXPECT_EQ(window.ListTexts(kModeListId), *c.modes);
        EXPECT_EQ(window.ListTexts(kIntervalListId), *c.intervals);
        EXPECT_EQ(window.ListTexts(kBrightnessListId), kBrightness);
        EXPECT_EQ(window.Selection(kModeListId), 0);
        EXPECT_EQ(window.Selection(kIntervalListId), 1);
        EXPECT_EQ(window.Selection(kBrightnessListId), 0);
        EXPECT_EQ(window.States(), c.states);
        EXPECT_EQ(window.SliderPosition(), 50);
        for (int id : {kRedEditId, kGreenEditId, kBlueEditId}) {
            EXPECT_EQ(window.Text(id), L"255");
            EXPECT_TRUE(window.Enabled(id));
        }
        EXPECT_TRUE(window.Enabled(kGpuListId));
        EXPECT_TRUE(window.Enabled(kHelpButtonId));
        EXPECT_TRUE(Calls(ReadDriverLog(panel.files), "NvAPI_I2CWriteEx").empty());
        panel.CloseAndExpectExitZero(true);
    }
}

struct ControlLayout {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // as created; Wine and Windows adjust a few bits, see below
    int x, y, width, height;
};

TEST(Startup, WindowAndControlsAsLaidOut) {
    OpenPanel panel(L"layout");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);

    wchar_t title[64] = {};
    GetWindowTextW(window.Main(), title, 64);
    EXPECT_STREQ(title, L"VOXA LED Lumivar");
    RECT outer;
    GetWindowRect(window.Main(), &outer);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(outer.right - outer.left, 480);
    EXPECT_EQ(outer.bottom - outer.top, 440);
    EXPECT_EQ(outer.left, screenWidth / 2 - 240);
    EXPECT_EQ(outer.top, screenHeight / 2 - 210);
    const LONG_PTR style = GetWindowLongPtrW(window.Main(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(GetMenu(window.Main()), nullptr);

    const DWORD push = WS_CHILD | WS_VISIBLE;
    const DWORD list = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST;
    const DWORD firstRadio = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON;
    const DWORD secondRadio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
    const DWORD edit = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER;
    const DWORD slider =
        WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_VERT | TBS_BOTH | TBS_ENABLESELRANGE;
    const ControlLayout controls[] = {
        {kApplyButtonId, L"Button", L"適用", push, 240, 346, 100, 47},
        {kResetButtonId, L"Button", L"リセット", push, 345, 346, 70, 20},
        {kHelpButtonId, L"Button", L"？", push, 417, 326, 40, 40},
        {kGpuListId, L"ComboBox", nullptr, list, 20, 322, 200, 0},
        {kModeListId, L"ComboBox", nullptr, list, 20, 346, 200, 0},
        {kIntervalListId, L"ComboBox", nullptr, list, 20, 370, 96, 0},
        {kBrightnessListId, L"ComboBox", nullptr, list, 124, 370, 96, 0},
        {kLedOnButtonId, L"Button", L"LED ON", firstRadio, 240, 322, 70, 20},
        {kLedOffButtonId, L"Button", L"LED OFF", secondRadio, 345, 322, 70, 20},
        {kCycleButtonId, L"Button", L"Cycle", firstRadio, 410, 210, 70, 20},
        {kSingleButtonId, L"Button", L"Single", secondRadio, 410, 232, 70, 20},
        {kRedEditId, L"Edit", L"255", edit, 424, 260, 24, 12},
        {kGreenEditId, L"Edit", L"255", edit, 424, 275, 24, 12},
        {kBlueEditId, L"Edit", L"255", edit, 424, 290, 24, 12},
        {kShadeSliderId, L"msctls_trackbar32", L"Trackbar Control", slider, 20, 10, 40, 300},
    };
    for (const ControlLayout& c : controls) {
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        HWND control = window.Control(c.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64] = {};
        GetClassNameW(control, className, 64);
        EXPECT_EQ(_wcsicmp(className, c.className), 0) << Narrow(className);
        if (c.text != nullptr) {
            EXPECT_EQ(window.Text(c.id), c.text);
        }
        // A checked radio takes WS_TABSTOP by itself; Wine's edit reports no WS_BORDER; the
        // enabled states are checked on their own.
        const DWORD ignored = WS_TABSTOP | WS_DISABLED | (c.style & ES_NUMBER ? WS_BORDER : 0);
        const DWORD controlStyle = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        EXPECT_EQ(controlStyle & ~ignored, c.style & ~ignored)
            << std::hex << controlStyle << " vs " << c.style;
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window.Main(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, c.x);
        EXPECT_EQ(rect.top, c.y);
        EXPECT_EQ(rect.right - rect.left, c.width);
        // A drop-down list sizes its own closed height.
        if (c.height != 0) {
            EXPECT_EQ(rect.bottom - rect.top, c.height);
        }
    }
    panel.CloseAndExpectExitZero();
}

TEST(Startup, CurrentDirectoryGoesToTheDebugger) {
    const ScenarioFiles files = WriteScenario(L"debugger-output", kDefaultBoards);
    StartOptions options;
    options.debugged = true;
    options.currentDirectory = WorkPath(L"current directory");
    CreateDirectoryW(options.currentDirectory.c_str(), nullptr);
    PanelProcess panel(files, options);
    std::string output;
    ASSERT_TRUE(panel.FirstDebugOutput(output));
    EXPECT_EQ(output, Narrow(options.currentDirectory));
    const PanelWindow window(panel.WaitForMainWindow());
    ASSERT_NE(window.Main(), nullptr);
    window.Close();
    EXPECT_EQ(panel.WaitForExit(), 0u);
}

TEST(Startup, NineGpusShowTheMessageThenEight) {
    std::vector<std::string> scenario;
    for (int bus = 9; bus >= 1; --bus) {
        scenario.push_back("gpu bus=" + std::to_string(bus) + " pci=220610de name=\"Board on bus " +
                           std::to_string(bus) + "\"");
    }
    const ScenarioFiles files = WriteScenario(L"nine-gpus", scenario);
    PanelProcess panel(files);
    MessageBoxSeen box;
    bool mainShown = false;
    ASSERT_TRUE(panel.WaitForMessageBox(box, mainShown));
    EXPECT_FALSE(mainShown);
    EXPECT_EQ(box.caption, L"VOXA LED Lumivar");
    EXPECT_EQ(box.text,
              L"ビデオカードが9枚以上存在します\n認識できるビデオカードは8枚までです\n8枚までを認識"
              L"します");
    CloseMessageBox(box.box);
    const PanelWindow window(panel.WaitForMainWindow());
    ASSERT_NE(window.Main(), nullptr);
    Texts eight;
    for (int bus = 1; bus <= 8; ++bus) eight.push_back(L"Board on bus " + std::to_wstring(bus));
    EXPECT_EQ(window.ListTexts(kGpuListId), eight);
    window.Close();
    EXPECT_EQ(panel.WaitForExit(), 0u);
    EXPECT_TRUE(DriverUnloaded(files));
}

// Takes the system's driver module away for one case; serial tests only (RUN_SERIAL).
class SystemDriverRemoved {
  public:
    SystemDriverRemoved() {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        module_ = std::wstring(system) + L"\\nvapi64.dll";
        aside_ = module_ + L".aside";
        moved_ = MoveFileExW(module_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~SystemDriverRemoved() {
        if (moved_) MoveFileExW(aside_.c_str(), module_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    bool Removed() const { return moved_; }

  private:
    std::wstring module_;
    std::wstring aside_;
    bool moved_ = false;
};

enum class Setting { Normal, NoDriverModule, NoPicture };

struct FailureCase {
    const wchar_t* name;
    std::vector<std::string> scenario;
    const wchar_t* text;
    Setting setting;
};

TEST(Startup, EachFailureShowsItsMessageAndEndsWithZero) {
    ASSERT_FALSE(TestPaths().withoutSkin1.empty()) << "no --without-skin1 given";
    const FailureCase cases[] = {
        {L"initialize-fails",
         {"initialize-status -6", kRtx3080},
         L"NvAPIの初期化に失敗しました\nerrorcode -6",
         Setting::Normal},
        {L"no-gpu", {}, L"NvAPIの初期化に失敗しました\nerrorcode -1000", Setting::Normal},
        {L"enumerations-fail",
         {"enum-status -1", "tcc-enum-status -1", kRtx3080},
         L"NvAPIの初期化に失敗しました\nerrorcode -1000",
         Setting::Normal},
        {L"name-unreadable",
         {kRtx3080, "gpu bus=2 pci=1e8110de name=\"x\" name-status=-1"},
         L"GPU名を取得できません",
         Setting::Normal},
        {L"no-supported-board",
         {"gpu bus=1 pci=1f0210de name=\"NVIDIA GeForce RTX 2070\"",
          "gpu bus=2 pci=220610de name=\"pci unreadable\" pci-status=-1"},
         L"SKARNE グラフィックスボードのみ LED コントロールが行えます",
         Setting::Normal},
        {L"no-driver-module",
         {kRtx3080},
         L"NvAPIの初期化に失敗しました\nerrorcode -2",
         Setting::NoDriverModule},
        // Start-up stops before discovery: the driver is never asked.
        {L"missing-skin1", {kRtx3080}, L"リソースが見つかりません", Setting::NoPicture},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const ScenarioFiles files = WriteScenario(c.name, c.scenario);
        StartOptions options;
        if (c.setting == Setting::NoPicture) options.program = TestPaths().withoutSkin1;
        std::optional<SystemDriverRemoved> removed;
        if (c.setting == Setting::NoDriverModule) {
            removed.emplace();
            ASSERT_TRUE(removed->Removed());
        }
        PanelProcess panel(files, options);
        MessageBoxSeen box;
        bool mainShown = false;
        ASSERT_TRUE(panel.WaitForMessageBox(box, mainShown));
        EXPECT_EQ(box.caption, L"VOXA LED Lumivar");
        EXPECT_EQ(box.text, c.text);
        CloseMessageBox(box.box);
        bool shownLater = false;
        EXPECT_EQ(panel.WaitForExit(30000, &shownLater), 0u);
        EXPECT_FALSE(mainShown || shownLater) << "the main window was shown";
        if (c.setting == Setting::NoPicture) {
            EXPECT_TRUE(ReadDriverLog(files).empty());
        }
    }
}

TEST(Startup, SecondCopyEndsAtOnceAndShowsNothing) {
    OpenPanel first(L"second-copy");
    const PanelWindow& window = first.window;
    ASSERT_NE(window.Main(), nullptr);

    const ScenarioFiles secondFiles = WriteScenario(L"second-copy-2", {kRtx3080});
    PanelProcess second(secondFiles);
    ASSERT_TRUE(second.Started());
    bool shown = false;
    bool anyWindow = false;
    EXPECT_EQ(second.WaitForExit(30000, &shown, &anyWindow), 0u);
    EXPECT_FALSE(shown || anyWindow);
    // It never reached the driver.
    EXPECT_TRUE(ReadDriverLog(secondFiles).empty());
    // The first copy goes on as before.
    EXPECT_TRUE(IsWindowVisible(window.Main()));
    EXPECT_EQ(window.Selection(kGpuListId), 0);
    first.CloseAndExpectExitZero(true);
}

}  // namespace
}  // namespace e2e
