// The selection refresh and the Cycle/Single rule on the real controls, and that none of it
// reaches a board.
#include <gtest/gtest.h>

#include <functional>

#include "core/panel/control_ids.h"
#include "tests/e2e/panel_process.h"

namespace e2e {
namespace {

using Texts = std::vector<std::wstring>;
const Texts kModes2000 = {L"STATIC", L"STROBING", L"WAVE", L"BREATHING", L"COLOR CYCLE"};
const Texts kModes3000 = {L"STATIC", L"FLASH", L"BREATHING", L"WAVE", L"GLOWING"};

// States as PanelWindow::States() writes them, from a short form: the cycle and single parts
// and the slider differ between steps; the board controls are all on or all off.
std::string On(const char* ledOn, const char* ledOff, const char* cycle, const char* single,
               const char* slider) {
    return std::string("modeList=on ledOn=on,") + ledOn + " ledOff=on," + ledOff +
           " cycle=" + cycle + " single=" + single + " shadeSlider=" + slider +
           " apply=on reset=on intervalList=on brightnessList=on";
}

struct Step {
    const char* name;
    std::function<void(const PanelWindow&)> action;
    const Texts* modes;
    int modePosition;
    std::string states;
};

TEST(SelectionRefresh, ControlsFollowBoardModeAndRadios) {
    const ScenarioFiles files =
        WriteScenario(L"selection", {"gpu bus=1 pci=220610de name=\"RTX 3080\"",
                                     "gpu bus=2 pci=220410de name=\"RTX 3090\"",
                                     "gpu bus=3 pci=1e8110de name=\"RTX 2080 SUPER\"",
                                     "gpu bus=4 pci=1e8410de name=\"RTX 2070 SUPER\"",
                                     "gpu bus=5 pci=1f0210de name=\"RTX 2070\""});
    PanelProcess panel(files);
    const PanelWindow window(panel.WaitForMainWindow());
    ASSERT_NE(window.Main(), nullptr);
    auto select = [](int id, int position) {
        return [=](const PanelWindow& w) { w.Select(id, position); };
    };
    auto click = [](int id) { return [=](const PanelWindow& w) { w.Click(id); }; };
    const std::string allOff =
        "modeList=off ledOn=off,clear ledOff=off,checked cycle=off,clear single=off,checked "
        "shadeSlider=off apply=off reset=off intervalList=off brightnessList=off";
    const Step steps[] = {
        {"start on a 3000 board", [](const PanelWindow&) {}, &kModes3000, 0,
         On("checked", "clear", "off,clear", "off,checked", "on")},
        {"FLASH lets the user choose", select(kModeListId, 1), &kModes3000, 1,
         On("checked", "clear", "on,clear", "on,checked", "on")},
        {"Cycle disables the slider", click(kCycleButtonId), &kModes3000, 1,
         On("checked", "clear", "on,checked", "on,clear", "off")},
        {"Single enables it again", click(kSingleButtonId), &kModes3000, 1,
         On("checked", "clear", "on,clear", "on,checked", "on")},
        {"Cycle once more", click(kCycleButtonId), &kModes3000, 1,
         On("checked", "clear", "on,checked", "on,clear", "off")},
        {"same family keeps the mode", select(kGpuListId, 1), &kModes3000, 1,
         On("checked", "clear", "on,checked", "on,clear", "off")},
        {"BREATHING keeps the choice", select(kModeListId, 2), &kModes3000, 2,
         On("checked", "clear", "on,checked", "on,clear", "off")},
        {"WAVE forces Cycle", select(kModeListId, 3), &kModes3000, 3,
         On("checked", "clear", "off,checked", "off,clear", "off")},
        {"GLOWING forces Cycle", select(kModeListId, 4), &kModes3000, 4,
         On("checked", "clear", "off,checked", "off,clear", "off")},
        {"STATIC forces Single", select(kModeListId, 0), &kModes3000, 0,
         On("checked", "clear", "off,clear", "off,checked", "on")},
        {"FLASH again", select(kModeListId, 1), &kModes3000, 1,
         On("checked", "clear", "on,clear", "on,checked", "on")},
        {"LED OFF is only a radio", click(kLedOffButtonId), &kModes3000, 1,
         On("clear", "checked", "on,clear", "on,checked", "on")},
        {"other family rebuilds the list", select(kGpuListId, 2), &kModes2000, 0,
         On("clear", "checked", "off,clear", "off,checked", "on")},
        {"2000 WAVE", select(kModeListId, 2), &kModes2000, 2,
         On("clear", "checked", "off,clear", "off,checked", "on")},
        {"same 2000 family keeps WAVE", select(kGpuListId, 3), &kModes2000, 2,
         On("clear", "checked", "off,clear", "off,checked", "on")},
        {"unsupported board disables the board controls", select(kGpuListId, 4), &kModes3000, 0,
         allOff},
        {"back to a 3000 board", select(kGpuListId, 0), &kModes3000, 0,
         On("clear", "checked", "off,clear", "off,checked", "on")},
        {"LED ON", click(kLedOnButtonId), &kModes3000, 0,
         On("checked", "clear", "off,clear", "off,checked", "on")},
        {"a GPU list without a selection keeps the board", select(kGpuListId, -1), &kModes3000, 0,
         On("checked", "clear", "off,clear", "off,checked", "on")},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.action(window);
        EXPECT_EQ(window.ListTexts(kModeListId), *step.modes);
        EXPECT_EQ(window.Selection(kModeListId), step.modePosition);
        EXPECT_EQ(window.States(), step.states);
        for (int id : {kGpuListId, kHelpButtonId, kRedEditId, kGreenEditId, kBlueEditId}) {
            EXPECT_TRUE(window.Enabled(id)) << "control " << id;
        }
    }
    // Lists and radios rearrange the controls; nothing reaches a board.
    const std::vector<jsonline::Object> log = ReadDriverLog(files);
    EXPECT_TRUE(Calls(log, "NvAPI_I2CWriteEx").empty());
    EXPECT_TRUE(Calls(log, "NvAPI_I2CReadEx").empty());
    window.Close();
    EXPECT_EQ(panel.WaitForExit(), 0u);
}

}  // namespace
}  // namespace e2e
