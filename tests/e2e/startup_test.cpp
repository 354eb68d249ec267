// Start-up on each mix of boards and each start-up failure; the window as laid out, the second
// copy, and the controls that follow the board, the mode and the radios.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/wine/driver_log.h"
#include "tests/support/wine/program_process.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/window_driving.h"

namespace e2e {
namespace {

using Texts = std::vector<std::wstring>;

// The window (found by its class, "LEDLUMIVAR") and its controls as laid out.
void ExpectLayout(const PanelWindow& window) {
    wchar_t title[64] = {};
    GetWindowTextW(window.Main(), title, 64);
    RECT outer;
    GetWindowRect(window.Main(), &outer);
    const LONG_PTR frame =
        WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(std::make_tuple(std::wstring(title), GetMenu(window.Main()),
                              GetWindowLongPtrW(window.Main(), GWL_STYLE) & frame),
              std::make_tuple(std::wstring(L"VOXA LED Lumivar"), HMENU(nullptr),
                              LONG_PTR(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)));
    // Centred across and 10 pixels below the middle down, to within a pixel of rounding: each
    // margin against its opposite.
    const LONG right = GetSystemMetrics(SM_CXSCREEN) - outer.right,
               below = GetSystemMetrics(SM_CYSCREEN) - outer.bottom;
    EXPECT_TRUE(std::abs(outer.left - right) <= 1 && std::abs(outer.top - below - 20) <= 1)
        << "margins " << outer.left << ", " << right << " across, " << outer.top << ", " << below;
    EXPECT_EQ(std::make_pair(outer.right - outer.left, outer.bottom - outer.top),
              std::make_pair(LONG{480}, LONG{440}));
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
        wchar_t className[64] = {};
        GetClassNameW(window.Control(c.id), className, 64);
        RECT r = window.ScreenRect(c.id);
        MapWindowPoints(nullptr, window.Main(), reinterpret_cast<POINT*>(&r), 2);
        // A checked radio takes WS_TABSTOP by itself; Wine's edit reports no WS_BORDER; the
        // enabled states are checked on their own.
        const DWORD ignored = WS_TABSTOP | WS_DISABLED | (c.style & ES_NUMBER ? WS_BORDER : 0);
        const DWORD style = DWORD(GetWindowLongPtrW(window.Control(c.id), GWL_STYLE)) & ~ignored;
        EXPECT_EQ(
            std::make_tuple(_wcsicmp(className, c.className), c.text ? window.Text(c.id) : L"",
                            style, r.left, r.top, r.right, c.rect.bottom ? r.bottom : 0),
            std::make_tuple(0, c.text ? c.text : L"", c.style & ~ignored, c.rect.left, c.rect.top,
                            c.rect.right, c.rect.bottom))
            << "control " << c.id;
    }
}

// On the slots RTX 3080 and 3090 (family 3000), 2080 SUPER (2000) and 2070 (no board): lists and
// radios only rearrange the controls; nothing reaches a board.
void ExpectControlsFollowBoardModeAndRadios(const PanelWindow& window, const ScenarioFiles& files) {
    const struct {
        int control, position;  // a list selected, a button clicked
        const char* picture;
    } steps[] = {
        {kModeListId, 1, "1111111111 1001 0,1,1,0 50 255,255,255 FLASH"},     // the user chooses
        {kCycleButtonId, 0, "1111101111 1010 0,1,1,0 50 255,255,255 FLASH"},  // no slider
        {kGpuListId, 1, "1111101111 1010 1,1,1,0 50 255,255,255 FLASH"},      // the family's mode
        {kModeListId, 3, "1110001111 1010 1,3,1,0 50 255,255,255 FLASH"},     // WAVE cycles
        {kModeListId, 0, "1110011111 1001 1,0,1,0 50 255,255,255 FLASH"},     // STATIC does not
        {kLedOffButtonId, 0, "1110011111 0101 1,0,1,0 50 255,255,255 FLASH"},
        {kGpuListId, 2, "1110011111 0101 2,0,1,0 50 255,255,255 STROBING"},  // the 2000 list
        {kModeListId, 2, "1110011111 0101 2,2,1,0 50 255,255,255 STROBING"},
        {kGpuListId, 3, "0000000000 0101 3,0,1,0 50 255,255,255 FLASH"},  // nothing to control
        {kGpuListId, 0, "1110011111 0101 0,0,1,0 50 255,255,255 FLASH"},
        {kGpuListId, -1, "1110011111 0101 -1,0,1,0 50 255,255,255 FLASH"},  // the board stays
    };
    for (const auto& step : steps) {
        const bool list = step.control == kGpuListId || step.control == kModeListId;
        list ? window.Select(step.control, step.position) : window.Click(step.control);
        EXPECT_EQ(window.Picture(), step.picture) << "step " << &step - steps;
    }
    EXPECT_TRUE(LoggedCalls(files, "NvAPI_I2C").empty());
}

// The window opens on the boards listed by bus, with its lists, selections and states; a
// failure shows its message (caption "VOXA LED Lumivar") before any window, and the program
// ends with 0; with nine GPUs the window then opens on the eight of the lowest buses.
TEST(Startup, OpensOnEachMixOfBoardsOrSaysWhyNot) {
    const std::string rtx3080 = kDefaultBoards[0];
    std::vector<std::string> nineGpus;
    for (const char bus : std::string("987654321")) {
        nineGpus.push_back(std::string("gpu bus=") + bus + " pci=220610de name=\"" + bus + "\"");
    }
    const std::wstring initFailed = L"NvAPIの初期化に失敗しました\nerrorcode ";
    const std::string started = "1110011111 1001 0,0,1,0 50 255,255,255 ";
    // The system's driver module, taken away for one case (each Wine session runs one test).
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring module = system + std::wstring(L"\\nvapi64.dll"), aside = module + L".aside";
    // clang-format off
    const struct {
        std::vector<std::string> scenario;  // enumerated in this order
        std::wstring message;               // empty: none
        Texts gpus = {};                    // listed once the window opens; empty: it never does
        std::string picture = {};
        bool noDriverModule = false;
        bool noPicture = false;  // start-up stops before discovery: the driver is never asked
    } cases[] = {
        {{"gpu bus=3 pci=1e8110de name=\"RTX 2080 SUPER\"",
          "gpu bus=1 pci=220610de name=\"RTX 3080\"", "gpu bus=4 pci=1f0210de name=\"RTX 2070\"",
          "gpu bus=2 pci=220410de name=\"RTX 3090\""},
         L"", {L"RTX 3080", L"RTX 3090", L"RTX 2080 SUPER", L"RTX 2070"}, started + "FLASH"},
        {{kDefaultBoards[1], "gpu bus=3 pci=220610de name=\"RTX 3080\""},
         L"", {L"NVIDIA GeForce RTX 2080 SUPER", L"RTX 3080"}, started + "STROBING"},
        {{"gpu bus=7 pci=220410de name=\"RTX 3090\"", "gpu bus=3 pci=1f0210de name=\"RTX 2070\""},
         L"", {L"RTX 2070", L"RTX 3090"}, "0000000000 1001 0,0,1,0 50 255,255,255 FLASH"},
        {nineGpus, L"ビデオカードが9枚以上存在します\n認識できるビデオカードは8枚までです\n8枚までを認識します",
         {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}, started + "FLASH"},
        {{"initialize-status -6", rtx3080}, initFailed + L"-6"},
        {{}, initFailed + L"-1000"},
        {{"enum-status -1", "tcc-enum-status -1", rtx3080}, initFailed + L"-1000"},
        {{rtx3080, "gpu bus=2 pci=1e8110de name=\"x\" name-status=-1"}, L"GPU名を取得できません"},
        {{"gpu bus=1 pci=1f0210de name=\"RTX 2070\"",
          "gpu bus=2 pci=220610de name=\"pci unreadable\" pci-status=-1"},
         L"SKARNE グラフィックスボードのみ LED コントロールが行えます"},
        {{rtx3080}, initFailed + L"-2", {}, {}, true},
        {{rtx3080}, L"リソースが見つかりません", {}, {}, false, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        const int index = static_cast<int>(&c - cases);
        SCOPED_TRACE(testing::Message() << "case " << index);
        ASSERT_TRUE(!c.noDriverModule ||
                    MoveFileExW(module.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING));
        const ScenarioFiles files = WriteScenario(L"start-" + std::to_wstring(index), c.scenario);
        ProgramProcess process(files, {c.noPicture ? TestPaths().withoutSkin1 : L""});
        if (!c.message.empty()) {
            process.WaitForWindow(L"#32770");
            EXPECT_EQ(process.WaitForMainWindow(0), nullptr)
                << "the window shows before the message";
            EXPECT_EQ(process.TakeMessage(), L"VOXA LED Lumivar: " + c.message);
        }
        if (c.gpus.empty()) {
            EXPECT_EQ(process.WaitForMainWindow(), nullptr) << "the main window was shown";
            EXPECT_EQ(process.WaitForExit(), 0u);
            EXPECT_TRUE(!c.noPicture || ReadDriverLog(files).empty()) << "the driver was asked";
            if (c.noDriverModule)
                MoveFileExW(aside.c_str(), module.c_str(), MOVEFILE_REPLACE_EXISTING);
            continue;
        }
        const PanelWindow window(process.WaitForMainWindow());
        ASSERT_NE(window.Main(), nullptr);
        EXPECT_EQ(window.ListTexts(kGpuListId), c.gpus);
        EXPECT_EQ(window.Picture(), c.picture);
        const bool family2000 = c.picture.find("STROBING") != std::string::npos;
        EXPECT_EQ(window.ListTexts(kModeListId),
                  (family2000 ? Texts{L"STATIC", L"STROBING", L"WAVE", L"BREATHING", L"COLOR CYCLE"}
                              : Texts{L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"}));
        EXPECT_EQ(window.ListTexts(kIntervalListId),
                  (Texts{L"点滅間隔 短", L"点滅間隔 中",
                         family2000 ? L"点滅間隔 長い" : L"点滅間隔 長"}));
        EXPECT_EQ(window.ListTexts(kBrightnessListId),
                  (Texts{L"明るさ 100%", L"明るさ 75%", L"明るさ 50%", L"明るさ 25%"}));
        for (int id : {kGpuListId, kHelpButtonId, kRedEditId, kGreenEditId, kBlueEditId}) {
            EXPECT_TRUE(window.Enabled(id)) << "control " << id;
        }
        if (index == 0) {
            // Discovery through the real loader asks the driver this much, and nothing more.
            std::string calls, expected = "Initialize EnumPhysicalGPUs EnumTCCPhysicalGPUs ";
            for (const char* call : {"BusId ", "FullName ", "PCIIdentifiers "}) {
                for (int gpu = 0; gpu < 4; ++gpu) expected += std::string("GPU_Get") + call;
            }
            for (const Json& line : LoggedCalls(files, "NvAPI_")) {
                const std::string call = line["call"];
                calls += call.find("Report") == std::string::npos ? call.substr(6) + " " : "";
            }
            EXPECT_EQ(calls, expected);
            ExpectLayout(window);
            // A second copy ends at once with 0, showing nothing and never asking the driver.
            const ScenarioFiles secondFiles = WriteScenario(L"second-copy", kDefaultBoards);
            ProgramProcess second(secondFiles);
            EXPECT_EQ(second.WaitForWindow(nullptr), nullptr);
            EXPECT_EQ(second.WaitForExit(), 0u);
            EXPECT_TRUE(ReadDriverLog(secondFiles).empty() && IsWindowVisible(window.Main()));
            ExpectControlsFollowBoardModeAndRadios(window, files);
        }
        window.Close();
        EXPECT_EQ(process.WaitForExit(), 0u);
        EXPECT_EQ(LoggedCalls(files, "NvAPI").back()["call"], "NvAPI_UnloadWithArgument");
    }
}

}  // namespace
}  // namespace e2e
