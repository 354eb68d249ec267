#include "panel/windows/app/setup_application.h"

#include <windows.h>
#include <commctrl.h>

#include "core/gpus/gpu_discovery.h"
#include "core/skins/skin_catalog.h"
#include "panel/portable/panel_texts.h"
#include "platform/windows/utf8_text.h"
#include "platform/windows/process_nvapi.h"
#include "resources/resource_ids.h"
#include "panel/windows/window/main_window.h"
#include "panel/windows/app/skin_loader.h"
#include "panel/windows/window/keeper_menu.h"
#include "panel/windows/state/program_state.h"
#include "panel/windows/window/window_procedure.h"

namespace {

// The one line of diagnostic output the program gives.
void WriteCurrentDirectoryToDebugger() {
    char directory[261] = {};
    GetCurrentDirectoryA(261, directory);
    OutputDebugStringA(directory);
}

void KeepInstanceAndStartCommonControls(HINSTANCE instance) {
    Program().appInstance = instance;
    InitCommonControls();
}

bool LoadSkinImage(const SkinDescription& skin, StartupMessages& messages, SkinImage& out) {
    const ProgramState& program = Program();
    return LoadSkin(program.appInstance, program.mainWindow, skin.type, skin.number, skin.width,
                    skin.height, skin.steps, messages, out);
}

// The hue image, then the badge; a failure stops before the badge.
bool LoadSkins(StartupMessages& messages) {
    ProgramState& program = Program();
    return LoadSkinImage(kSkin1Resource, messages, program.skin1) &&
           LoadSkinImage(kSkin2Resource, messages, program.skin2);
}

}  // namespace

void RegisterMainWindowClass(HINSTANCE instance) {
    ProgramState& program = Program();
    LoadStringW(instance, kClassNameStringId, program.windowClassName, kClassNameLength);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconGroupId));
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(kIconGroupId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    // The program has no menu resource of this number, so the window has no menu bar.
    windowClass.lpszMenuName = MAKEINTRESOURCEW(kClassNameStringId);
    windowClass.lpszClassName = program.windowClassName;
    RegisterClassExW(&windowClass);
}

bool DiscoverGpus(nvapi::NvApiAccess& api, GpuTable& table, StartupMessages& messages) {
    const DiscoveryResult result = FindGpus(api, table);
    if (result.moreThanEightGpus) {
        messages.Show(WideFromUtf8(kTooManyGpusText).c_str(), kMessageCaption);
    }
    if (result.failure == DiscoveryFailure::kNone) return true;
    messages.Show(WideFromUtf8(DiscoveryFailureText(result)).c_str(), kMessageCaption);
    return false;
}

bool SetUpApplication(HINSTANCE instance, int showCommand, StartupMessages& messages) {
    KeepInstanceAndStartCommonControls(instance);
    if (!CreateMainWindow(messages)) return false;
    WriteCurrentDirectoryToDebugger();
    if (!LoadSkins(messages)) return false;
    if (!PlaceWindowAndCreateControls(messages)) return false;
    if (!SetUpSliderAndFont(messages)) return false;
    WriteStartValues();
    if (!DiscoverGpus(nvapi::ProcessNvApi(), Program().gpuTable, messages)) return false;
    FillListsAndSetStates();
    AddKeeperMenuItems(Program().mainWindow);
    ShowMainWindow(showCommand);
    return true;
}
