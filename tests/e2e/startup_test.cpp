// Start-up on each mix of boards and each start-up failure; the window as laid out, the second
// copy, and the controls that follow the board, the mode and the radios.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/panel_process.h"
#include "tests/support/strings.h"

namespace e2e {
namespace {

using Texts = std::vector<std::wstring>;
const Texts kModes2000 = {L"STATIC", L"STROBING", L"WAVE", L"BREATHING", L"COLOR CYCLE"};
const Texts kModes3000 = {L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"};

// The window (found by its class, "LEDLUMIVAR") and its controls.
void ExpectLayout(const PanelWindow& window) {
    wchar_t title[64] = {};
    GetWindowTextW(window.Main(), title, 64);
    EXPECT_STREQ(title, L"VOXA LED Lumivar");
    EXPECT_EQ(GetMenu(window.Main()), nullptr);
    RECT outer;
    GetWindowRect(window.Main(), &outer);
    EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 240);
    EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 210);
    EXPECT_EQ(outer.right - outer.left, 480);
    EXPECT_EQ(outer.bottom - outer.top, 440);
    EXPECT_EQ(GetWindowLongPtrW(window.Main(), GWL_STYLE) &
                  (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    const DWORD push = WS_CHILD | WS_VISIBLE, list = push | CBS_DROPDOWNLIST;
    const DWORD radio = push | BS_AUTORADIOBUTTON, edit = push | WS_BORDER | ES_NUMBER;
    const DWORD slider = push | TBS_AUTOTICKS | TBS_VERT | TBS_BOTH | TBS_ENABLESELRANGE;
    const struct {
        int id;
        const wchar_t *className, *text;  // no text: a list
        DWORD style;
        RECT rect;  // bottom 0: a list sizes its own closed height
    } controls[] = {
        {kApplyButtonId, L"Button", L"適用", push, {240, 346, 340, 393}},
        {kResetButtonId, L"Button", L"リセット", push, {345, 346, 415, 366}},
        {kHelpButtonId, L"Button", L"？", push, {417, 326, 457, 366}},
        {kGpuListId, L"ComboBox", nullptr, list, {20, 322, 220, 0}},
        {kModeListId, L"ComboBox", nullptr, list, {20, 346, 220, 0}},
        {kIntervalListId, L"ComboBox", nullptr, list, {20, 370, 116, 0}},
        {kBrightnessListId, L"ComboBox", nullptr, list, {124, 370, 220, 0}},
        {kLedOnButtonId, L"Button", L"LED ON", radio | WS_GROUP, {240, 322, 310, 342}},
        {kLedOffButtonId, L"Button", L"LED OFF", radio, {345, 322, 415, 342}},
        {kCycleButtonId, L"Button", L"Cycle", radio | WS_GROUP, {410, 210, 480, 230}},
        {kSingleButtonId, L"Button", L"Single", radio, {410, 232, 480, 252}},
        {kRedEditId, L"Edit", L"255", edit, {424, 260, 448, 272}},
        {kGreenEditId, L"Edit", L"255", edit, {424, 275, 448, 287}},
        {kBlueEditId, L"Edit", L"255", edit, {424, 290, 448, 302}},
        {kShadeSliderId, L"msctls_trackbar32", L"Trackbar Control", slider, {20, 10, 60, 310}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        const HWND control = window.Control(c.id);
        wchar_t className[64] = {};
        GetClassNameW(control, className, 64);
        EXPECT_EQ(_wcsicmp(className, c.className), 0) << Utf8(className);
        EXPECT_TRUE(!c.text || window.Text(c.id) == c.text) << Utf8(window.Text(c.id));
        // A checked radio takes WS_TABSTOP by itself; Wine's edit reports no WS_BORDER; the
        // enabled states are checked on their own.
        const DWORD ignored = WS_TABSTOP | WS_DISABLED | (c.style & ES_NUMBER ? WS_BORDER : 0);
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        EXPECT_EQ(style & ~ignored, c.style & ~ignored) << std::hex << style;
        RECT rect = window.ScreenRect(c.id);
        MapWindowPoints(nullptr, window.Main(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, c.rect.left);
        EXPECT_EQ(rect.top, c.rect.top);
        EXPECT_EQ(rect.right, c.rect.right);
        EXPECT_TRUE(c.rect.bottom == 0 || rect.bottom == c.rect.bottom) << rect.bottom;
    }
}

void ExpectSecondCopyEndsAtOnceShowingNothing(const PanelWindow& first) {
    const ScenarioFiles files = WriteScenario(L"second-copy", kDefaultBoards);
    PanelProcess second(files);
    bool shown = false;
    EXPECT_EQ(second.WaitForExit(30000, &shown, true), 0u);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(ReadDriverLog(files).empty()) << "the second copy reached the driver";
    EXPECT_TRUE(IsWindowVisible(first.Main()));
}

// On the slots RTX 3080 and 3090 (family 3000), 2080 SUPER (2000) and 2070 (no board); nothing
// of it reaches a board.
void ExpectControlsFollowBoardModeAndRadios(const PanelWindow& window, const ScenarioFiles& files) {
    const struct {
        int control;   // a list is selected, a button clicked
        int position;  // for a list
        const Texts& modes;
        int modePosition;
        const char* states;  // as PanelWindow::States() writes them
    } steps[] = {
        {kModeListId, 1, kModes3000, 1, "1111111111 1001"},     // FLASH lets the user choose
        {kCycleButtonId, 0, kModes3000, 1, "1111101111 1010"},  // Cycle disables the slider
        {kSingleButtonId, 0, kModes3000, 1, "1111111111 1001"},
        {kCycleButtonId, 0, kModes3000, 1, "1111101111 1010"},
        {kGpuListId, 1, kModes3000, 1, "1111101111 1010"},       // the same family keeps the mode
        {kModeListId, 3, kModes3000, 3, "1110001111 1010"},      // WAVE forces Cycle
        {kModeListId, 0, kModes3000, 0, "1110011111 1001"},      // STATIC forces Single
        {kLedOffButtonId, 0, kModes3000, 0, "1110011111 0101"},  // only a radio
        {kGpuListId, 2, kModes2000, 0, "1110011111 0101"},       // another family, its list
        {kModeListId, 2, kModes2000, 2, "1110011111 0101"},
        {kGpuListId, 3, kModes3000, 0, "0000000000 0101"},  // no board: nothing to control
        {kGpuListId, 0, kModes3000, 0, "1110011111 0101"},
        {kGpuListId, -1, kModes3000, 0, "1110011111 0101"},  // no selection keeps the board
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &step - steps);
        const bool list = step.control == kGpuListId || step.control == kModeListId;
        list ? window.Select(step.control, step.position) : window.Click(step.control);
        EXPECT_EQ(window.ListTexts(kModeListId), step.modes);
        EXPECT_EQ(window.Selection(kModeListId), step.modePosition);
        EXPECT_EQ(window.States(), step.states);
        for (int id : {kGpuListId, kHelpButtonId, kRedEditId, kGreenEditId, kBlueEditId}) {
            EXPECT_TRUE(window.Enabled(id)) << "control " << id;
        }
    }
    EXPECT_EQ(Calls(files, "NvAPI_I2CWriteEx") + Calls(files, "NvAPI_I2CReadEx"), 0u);
}

// Takes the system's driver module away for one case (the end-to-end tests run one at a time).
struct DriverModuleAside {
    explicit DriverModuleAside(bool wanted) {
        GetSystemDirectoryW(module, MAX_PATH);
        wcscat(module, L"\\nvapi64.dll");
        aside = std::wstring(module) + L".aside";
        moved = wanted && MoveFileExW(module, aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ~DriverModuleAside() {
        if (moved) MoveFileExW(aside.c_str(), module, MOVEFILE_REPLACE_EXISTING);
    }
    wchar_t module[MAX_PATH] = {};
    std::wstring aside;
    bool moved = false;
};

// A failure shows its message (caption "VOXA LED Lumivar") before any window, and the program
// ends with 0; with nine GPUs the window then opens on the eight of the lowest buses.
TEST(Startup, OpensOnEachMixOfBoardsOrSaysWhyNot) {
    const std::string rtx3080 = kDefaultBoards[0];
    std::vector<std::string> nineGpus;
    for (int bus = 9; bus >= 1; --bus) {
        nineGpus.push_back("gpu bus=" + std::to_string(bus) + " pci=220610de name=\"" +
                           std::to_string(bus) + "\"");
    }
    const std::wstring initFailed = L"NvAPIの初期化に失敗しました\nerrorcode ";
    const struct {
        std::vector<std::string> scenario;  // enumerated in this order
        std::wstring message;               // empty: none
        Texts gpus = {};                    // listed by bus once the window opens; empty: never
        const Texts& modes = kModes3000;
        const wchar_t* longInterval = L"点滅間隔 長";
        const char* states = "1110011111 1001";
        bool noDriverModule = false;
        bool noPicture = false;  // start-up stops before discovery: the driver is never asked
    } cases[] = {
        {{"gpu bus=3 pci=1e8110de name=\"RTX 2080 SUPER\"",
          "gpu bus=1 pci=220610de name=\"RTX 3080\"", "gpu bus=4 pci=1f0210de name=\"RTX 2070\"",
          "gpu bus=2 pci=220410de name=\"RTX 3090\""},
         L"",
         {L"RTX 3080", L"RTX 3090", L"RTX 2080 SUPER", L"RTX 2070"}},
        {{kDefaultBoards[1], "gpu bus=3 pci=220610de name=\"RTX 3080\""},
         L"",
         {L"NVIDIA GeForce RTX 2080 SUPER", L"RTX 3080"},
         kModes2000,
         L"点滅間隔 長い"},
        {{"gpu bus=7 pci=220410de name=\"RTX 3090\"", "gpu bus=3 pci=1f0210de name=\"RTX 2070\""},
         L"",
         {L"RTX 2070", L"RTX 3090"},
         kModes3000,
         L"点滅間隔 長",
         "0000000000 1001"},
        {nineGpus,
         L"ビデオカードが9枚以上存在します\n認識できるビデオカードは8枚までです\n8枚までを認識"
         L"します",
         {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}},
        {{"initialize-status -6", rtx3080}, initFailed + L"-6"},
        {{}, initFailed + L"-1000"},
        {{"enum-status -1", "tcc-enum-status -1", rtx3080}, initFailed + L"-1000"},
        {{rtx3080, "gpu bus=2 pci=1e8110de name=\"x\" name-status=-1"}, L"GPU名を取得できません"},
        {{"gpu bus=1 pci=1f0210de name=\"RTX 2070\"",
          "gpu bus=2 pci=220610de name=\"pci unreadable\" pci-status=-1"},
         L"SKARNE グラフィックスボードのみ LED コントロールが行えます"},
        {{rtx3080}, initFailed + L"-2", {}, kModes3000, nullptr, nullptr, true},
        {{rtx3080}, L"リソースが見つかりません", {}, kModes3000, nullptr, nullptr, false, true},
    };
    for (const auto& c : cases) {
        const int index = static_cast<int>(&c - cases);
        SCOPED_TRACE(testing::Message() << "case " << index);
        const DriverModuleAside aside(c.noDriverModule);
        ASSERT_EQ(aside.moved, c.noDriverModule);
        StartOptions options;
        if (c.noPicture) options.program = TestPaths().withoutSkin1;
        const ScenarioFiles files = WriteScenario(L"start-" + std::to_wstring(index), c.scenario);
        PanelProcess process(files, options);
        if (!c.message.empty()) {
            std::wstring caption, text;
            bool mainShown = false;
            const HWND box = process.WaitForMessageBox(caption, text, mainShown);
            EXPECT_FALSE(mainShown) << "the main window was shown before the message was closed";
            EXPECT_EQ(caption, L"VOXA LED Lumivar");
            EXPECT_EQ(text, c.message);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        if (c.gpus.empty()) {
            bool shown = false;
            EXPECT_EQ(process.WaitForExit(30000, &shown), 0u);
            EXPECT_FALSE(shown) << "the main window was shown";
            EXPECT_TRUE(!c.noPicture || ReadDriverLog(files).empty()) << "the driver was asked";
            continue;
        }
        const PanelWindow window(process.WaitForMainWindow());
        ASSERT_NE(window.Main(), nullptr);
        EXPECT_EQ(window.ListTexts(kGpuListId), c.gpus);
        EXPECT_EQ(window.ListTexts(kModeListId), c.modes);
        EXPECT_EQ(window.ListTexts(kIntervalListId),
                  (Texts{L"点滅間隔 短", L"点滅間隔 中", c.longInterval}));
        EXPECT_EQ(window.ListTexts(kBrightnessListId),
                  (Texts{L"明るさ 100%", L"明るさ 75%", L"明るさ 50%", L"明るさ 25%"}));
        for (int id : {kGpuListId, kModeListId, kIntervalListId, kBrightnessListId}) {
            EXPECT_EQ(window.Selection(id), id == kIntervalListId ? 1 : 0) << "list " << id;
        }
        EXPECT_EQ(window.States(), c.states);
        EXPECT_EQ(window.SliderPosition(), 50);
        for (int id : {kGpuListId, kHelpButtonId, kRedEditId, kGreenEditId, kBlueEditId}) {
            EXPECT_TRUE(window.Enabled(id)) << "control " << id;
            EXPECT_TRUE(id < kRedEditId || window.Text(id) == L"255") << "edit " << id;
        }
        if (c.message.empty()) {
            // Discovery through the real loader asks the driver this much, and nothing more.
            std::vector<std::string> expected = {"NvAPI_Initialize", "NvAPI_EnumPhysicalGPUs",
                                                 "NvAPI_EnumTCCPhysicalGPUs"};
            for (const char* call :
                 {"NvAPI_GPU_GetBusId", "NvAPI_GPU_GetFullName", "NvAPI_GPU_GetPCIIdentifiers"}) {
                expected.insert(expected.end(), c.gpus.size(), call);
            }
            std::vector<std::string> calls = CallNames(files);
            calls.erase(std::remove_if(calls.begin(), calls.end(),
                                       [](const std::string& call) {
                                           return call.find("Report") != std::string::npos;
                                       }),
                        calls.end());
            EXPECT_EQ(calls, expected);
        }
        if (index == 0) {
            ExpectLayout(window);
            ExpectSecondCopyEndsAtOnceShowingNothing(window);
            ExpectControlsFollowBoardModeAndRadios(window, files);
        }
        window.Close();
        EXPECT_EQ(process.WaitForExit(), 0u);
        EXPECT_EQ(Calls(files, "NvAPI_UnloadWithArgument"), 1u);
    }
}

}  // namespace
}  // namespace e2e
