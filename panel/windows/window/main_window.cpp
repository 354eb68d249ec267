#include "panel/windows/window/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "core/gpus/gpu_discovery.h"
#include "core/rules/control_ids.h"
#include "core/rules/panel_rules.h"
#include "panel/windows/window/control_commands.h"
#include "panel/windows/state/program_state.h"

namespace {

// A child control's place relative to B, the main window's bottom edge before centring.
struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x;
    int aboveBottom;  // y = B - aboveBottom
    int width;
    int height;
    HWND ProgramState::*kept;  // where the panel finds it, or null when it is reached by ID
};

constexpr DWORD kPushButton = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDropDownList = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST;
constexpr DWORD kFirstRadio = WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON;
constexpr DWORD kSecondRadio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr DWORD kDigitEdit = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER;

// Controls 1 to 14, in creation order.
const ControlSpec kControls[] = {
    {kApplyButtonId, L"button", L"適用", kPushButton, 240, 94, 100, 47, nullptr},
    {kResetButtonId, L"button", L"リセット", kPushButton, 345, 94, 70, 20, nullptr},
    {kHelpButtonId, L"button", L"？", kPushButton, 417, 114, 40, 40, nullptr},
    {kGpuListId, L"combobox", nullptr, kDropDownList, 20, 118, 200, 20, &ProgramState::gpuList},
    {kModeListId, L"combobox", nullptr, kDropDownList, 20, 94, 200, 20, &ProgramState::modeList},
    {kIntervalListId, L"combobox", nullptr, kDropDownList, 20, 70, 96, 20,
     &ProgramState::intervalList},
    {kBrightnessListId, L"combobox", nullptr, kDropDownList, 124, 70, 96, 20,
     &ProgramState::brightnessList},
    {kLedOnButtonId, L"button", L"LED ON", kFirstRadio, 240, 118, 70, 20,
     &ProgramState::ledOnButton},
    {kLedOffButtonId, L"button", L"LED OFF", kSecondRadio, 345, 118, 70, 20,
     &ProgramState::ledOffButton},
    {kCycleButtonId, L"button", L"Cycle", kFirstRadio, 410, 230, 70, 20,
     &ProgramState::cycleButton},
    {kSingleButtonId, L"button", L"Single", kSecondRadio, 410, 208, 70, 20,
     &ProgramState::singleButton},
    {kRedEditId, L"EDIT", L"255", kDigitEdit, 424, 180, 24, 12, &ProgramState::redEdit},
    {kGreenEditId, L"EDIT", L"255", kDigitEdit, 424, 165, 24, 12, &ProgramState::greenEdit},
    {kBlueEditId, L"EDIT", L"255", kDigitEdit, 424, 150, 24, 12, &ProgramState::blueEdit},
};

// The controls that take the control font, in the order they get it; "？" and the slider keep
// the system font.
constexpr int kFontedControls[] = {
    kApplyButtonId,    kResetButtonId, kGpuListId,      kModeListId,    kIntervalListId,
    kBrightnessListId, kLedOnButtonId, kLedOffButtonId, kCycleButtonId, kSingleButtonId,
    kRedEditId,        kGreenEditId,   kBlueEditId,
};

HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                 int width, int height, int id) {
    const ProgramState& program = Program();
    return CreateWindowExW(0, className, text, style, x, y, width, height, program.mainWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), program.appInstance,
                           nullptr);
}

}  // namespace

bool CreateMainWindow(StartupMessages& messages) {
    ProgramState& program = Program();
    program.mainWindow = CreateWindowExW(
        0, program.windowClassName, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, kMainWindowWidth,
        kMainWindowHeight, nullptr, nullptr, program.appInstance, nullptr);
    if (program.mainWindow == nullptr) {
        messages.Show(kWindowFailureText, kWindowFailureCaption);
        return false;
    }
    return true;
}

bool PlaceWindowAndCreateControls(StartupMessages& messages) {
    ProgramState& program = Program();
    const HWND mainWindow = program.mainWindow;
    RECT outer;
    GetWindowRect(mainWindow, &outer);
    const int bottom = outer.bottom;
    const WindowPosition position =
        CentredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                        outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(mainWindow, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    // No sizing border and no maximise box; the frame is not recomputed.
    const LONG_PTR style = GetWindowLongPtrW(mainWindow, GWL_STYLE);
    SetWindowLongPtrW(mainWindow, GWL_STYLE, style & ~LONG_PTR{WS_THICKFRAME | WS_MAXIMIZEBOX});

    for (const ControlSpec& spec : kControls) {
        HWND control = CreateChild(spec.className, spec.text, spec.style, spec.x,
                                   bottom - spec.aboveBottom, spec.width, spec.height, spec.id);
        if (control == nullptr) {
            messages.Show(kWindowFailureText, kMessageCaption);
            return false;
        }
        if (spec.kept != nullptr) program.*spec.kept = control;
    }
    CreateChild(TRACKBAR_CLASSW, L"Trackbar Control",
                WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_VERT | TBS_BOTH | TBS_ENABLESELRANGE,
                20, 10, 40, 300, kShadeSliderId);
    return true;
}

bool SetUpSliderAndFont(StartupMessages& messages) {
    ProgramState& program = Program();
    HWND slider = ShadeSlider(program.mainWindow);
    SendMessageW(slider, TBM_SETTICFREQ, 10, 0);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 2);
    SendMessageW(slider, TBM_SETPOS, TRUE, 50);

    program.controlFont = OwnedFont(CreateFontW(
        12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック"));
    if (program.controlFont.get() == nullptr) {
        messages.Show(kFontFailureText, kMessageCaption);
        return false;
    }
    for (int id : kFontedControls) {
        SendMessageW(GetDlgItem(program.mainWindow, id), WM_SETFONT,
                     reinterpret_cast<WPARAM>(program.controlFont.get()), FALSE);
    }
    return true;
}

void WriteStartValues() {
    ProgramState& program = Program();
    // The slot the panel addresses is 0 from program start and is not written here.
    const int selectedGpu = program.windowState.selectedGpu;
    program.windowState = WindowState();
    program.windowState.selectedGpu = selectedGpu;
    WriteDiscoveryDefaults(program.gpuTable);
}

void FillListsAndSetStates() {
    const ProgramState& program = Program();
    const GpuTable& gpuTable = program.gpuTable;
    for (int k = 0; k < gpuTable.gpuCount; ++k) {
        ComboBox_AddString(program.gpuList, gpuTable.gpuSlots[k].name);
    }
    ComboBox_SetCurSel(program.gpuList, 0);

    const GpuSlot& slot = gpuTable.gpuSlots[program.windowState.selectedGpu];
    const StartPlan plan = PlanStartStates(slot.family, slot.supported != 0);
    FillList(program.modeList, *plan.modeTexts);
    ComboBox_SetCurSel(program.modeList, plan.modePosition);
    FillList(program.intervalList, *plan.intervalTexts);
    FillList(program.brightnessList, *plan.brightnessTexts);
    ComboBox_SetCurSel(program.intervalList, plan.intervalPosition);
    ComboBox_SetCurSel(program.brightnessList, plan.brightnessPosition);
    ApplyControlChanges(program.mainWindow, plan.changes);
}

void ShowMainWindow(int showCommand) {
    const HWND mainWindow = Program().mainWindow;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
}
