#include "app/setup_application.h"

#include <windows.h>
#include <commctrl.h>

#include "app/app_state.h"
#include "app/gpu_discovery.h"
#include "app/main_window.h"
#include "app/skin_catalog.h"
#include "nvapi/process_nvapi.h"

namespace {

// The one line of diagnostic output the program gives.
void WriteCurrentDirectoryToDebugger() {
    char directory[261] = {};
    GetCurrentDirectoryA(261, directory);
    OutputDebugStringA(directory);
}

bool LoadSkinImage(const SkinDescription& skin, StartupMessages& messages, SkinImage& out) {
    return LoadSkin(appInstance, mainWindow, skin.type, skin.number, skin.width, skin.height,
                    skin.steps, messages, out);
}

}  // namespace

bool SetUpApplication(HINSTANCE instance, int showCommand, StartupMessages& messages) {
    appInstance = instance;
    InitCommonControls();
    if (!CreateMainWindow(messages)) return false;
    WriteCurrentDirectoryToDebugger();
    if (!LoadSkinImage(kSkin1Resource, messages, skin1)) return false;
    if (!LoadSkinImage(kSkin2Resource, messages, skin2)) return false;
    if (!PlaceWindowAndCreateControls(messages)) return false;
    if (!SetUpSliderAndFont(messages)) return false;
    WriteStartValues();
    if (!DiscoverGpus(nvapi::ProcessNvApi(), gpuTable, messages)) return false;
    FillListsAndSetStates();
    ShowMainWindow(showCommand);
    return true;
}
