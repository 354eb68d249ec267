#include "panel/windows/window/control_commands.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "core/led/led_commands.h"
#include "core/rules/control_ids.h"
#include "platform/windows/named_mutex_lock.h"
#include "panel/portable/panel_texts.h"
#include "platform/windows/process_nvapi.h"
#include "platform/windows/utf8_text.h"
#include "panel/windows/window/message_box.h"
#include "panel/windows/window/saved_lighting.h"
#include "panel/windows/window/picker.h"
#include "panel/windows/state/program_state.h"

namespace {

void EmptyList(HWND list) {
    const int count = ComboBox_GetCount(list);
    for (int i = 0; i < count; ++i) ComboBox_DeleteString(list, 0);
}

void Apply(HWND control, const ControlChange& change) {
    if (change.enabled) EnableWindow(control, *change.enabled ? TRUE : FALSE);
    if (change.checked) Button_SetCheck(control, *change.checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsChecked(HWND button) {
    return Button_GetCheck(button) == BST_CHECKED;
}

// Reads an R, G or B edit by the edit rule, putting its text right when the rule says so.
int ReadColourEdit(HWND edit) {
    wchar_t text[kEditCharactersRead + 1] = {};
    GetWindowTextW(edit, text, kEditCharactersRead + 1);
    const EditReading reading = ReadColourText(text);
    if (reading.replacement != nullptr) SetWindowTextW(edit, reading.replacement);
    return reading.value;
}

int ShadePosition(HWND window) {
    return static_cast<int>(SendMessageW(ShadeSlider(window), TBM_GETPOS, 0, 0));
}

const GpuSlot& SelectedSlot(const ProgramState& program) {
    return program.gpuTable.gpuSlots[program.windowState.selectedGpu];
}

// The whole sequence, the pause between two family-2000 blocks included, with the boards held
// for this program alone, so that no other program's blocks come between. True when the board
// took every block. Statuses are not shown: the panel never reads the board back.
bool Send(HWND window, const ProgramState& program, const LedSettings& settings) {
    NamedMutexLock& boards = ProcessBoardLock();
    const HeldLock lock(boards);
    if (!lock.Held()) {
        ShowPanelMessage(window, WideFromUtf8(kBoardsBusyText) + boards.FullName());
        return false;
    }
    const led::LedTarget target =
        led::TargetOfSlot(program.gpuTable, program.windowState.selectedGpu);
    return led::SendLedCommand(nvapi::ProcessNvApi(), target, settings) == NVAPI_OK;
}

void ReselectSlot(ProgramState& program) {
    program.windowState.selectedGpu =
        SlotFromListSelection(ComboBox_GetCurSel(program.gpuList), program.gpuTable.gpuCount,
                              program.windowState.selectedGpu);
}

struct ColourEdit {
    HWND edit;
    bool* focus;
    int* component;
};

// The edit behind a control ID, or none for any other control.
bool FindColourEdit(ProgramState& program, int controlId, ColourEdit& found) {
    WindowState& state = program.windowState;
    switch (controlId) {
        case kRedEditId:
            found = {program.redEdit, &state.editFocusRed, &state.red};
            return true;
        case kGreenEditId:
            found = {program.greenEdit, &state.editFocusGreen, &state.green};
            return true;
        case kBlueEditId:
            found = {program.blueEdit, &state.editFocusBlue, &state.blue};
            return true;
    }
    return false;
}

}  // namespace

void FillList(HWND list, const TextList& texts) {
    for (const wchar_t* text : texts) ComboBox_AddString(list, text);
}

void ApplyControlChanges(HWND window, const ControlChanges& changes) {
    const ProgramState& program = Program();
    Apply(program.modeList, changes.modeList);
    Apply(program.ledOnButton, changes.ledOn);
    Apply(program.ledOffButton, changes.ledOff);
    Apply(program.cycleButton, changes.cycle);
    Apply(program.singleButton, changes.single);
    Apply(ShadeSlider(window), changes.shadeSlider);
    Apply(GetDlgItem(window, kApplyButtonId), changes.apply);
    Apply(GetDlgItem(window, kResetButtonId), changes.reset);
    Apply(program.intervalList, changes.intervalList);
    Apply(program.brightnessList, changes.brightnessList);
}

HWND ShadeSlider(HWND window) {
    return GetDlgItem(window, kShadeSliderId);
}

void RunCycleClick(HWND window, int controlId, int notificationCode) {
    const ProgramState& program = Program();
    const GpuSlot& slot = SelectedSlot(program);
    CycleClick click;
    click.controlId = controlId;
    click.notificationCode = notificationCode;
    click.supported = slot.supported != 0;
    click.family = slot.family;
    click.modePosition = ComboBox_GetCurSel(program.modeList);
    click.cycleChecked = IsChecked(program.cycleButton);
    const std::optional<bool> sliderEnabled = SliderAfterCycleClick(click);
    if (!sliderEnabled) return;
    EnableWindow(ShadeSlider(window), *sliderEnabled ? TRUE : FALSE);
    RepaintPicker(window);
}

void RunSelectionRefresh(HWND window) {
    ProgramState& program = Program();
    ReselectSlot(program);
    const GpuSlot& slot = SelectedSlot(program);
    RefreshReadings readings;
    readings.family = slot.family;
    readings.supported = slot.supported != 0;
    readings.secondModeTextLength = ComboBox_GetLBTextLen(program.modeList, 1);
    readings.modePosition = ComboBox_GetCurSel(program.modeList);
    readings.cycleChecked = IsChecked(program.cycleButton);

    const RefreshPlan plan = PlanSelectionRefresh(readings);
    if (plan.rebuildModeList != nullptr) {
        EmptyList(program.modeList);
        FillList(program.modeList, *plan.rebuildModeList);
        ComboBox_SetCurSel(program.modeList, 0);
    }
    ApplyControlChanges(window, plan.changes);
    if (plan.repaintPicker) RepaintPicker(window);
}

void RunEditNotification(HWND window, int controlId, int notificationCode) {
    ColourEdit colour;
    if (!FindColourEdit(Program(), controlId, colour)) return;
    switch (notificationCode) {
        case EN_SETFOCUS:
            *colour.focus = true;
            break;
        case EN_KILLFOCUS:
            *colour.focus = false;
            break;
        case EN_UPDATE:
            // Only what the user types moves the colour; the program's own writes into an edit
            // without the focus do not.
            if (*colour.focus) {
                *colour.component = ReadColourEdit(colour.edit);
                RepaintPicker(window);
            }
            break;
    }
}

void RunApply(HWND window) {
    ProgramState& program = Program();
    ReselectSlot(program);
    ApplyReadings readings;
    readings.modePosition = ComboBox_GetCurSel(program.modeList);
    readings.intervalPosition = ComboBox_GetCurSel(program.intervalList);
    readings.brightnessPosition = ComboBox_GetCurSel(program.brightnessList);
    readings.ledOnChecked = IsChecked(program.ledOnButton);
    readings.cycleChecked = IsChecked(program.cycleButton);
    readings.shadePosition = ShadePosition(window);
    readings.red = ReadColourEdit(program.redEdit);
    readings.green = ReadColourEdit(program.greenEdit);
    readings.blue = ReadColourEdit(program.blueEdit);
    const GpuSlot& slot = SelectedSlot(program);
    const bool sent = Send(window, program, GatherLedSettings(slot.family, readings));
    SaveAppliedBoard(window, slot, readings, sent);
}

void RunReset(HWND window) {
    ProgramState& program = Program();
    // Reset addresses the slot of the last refresh or Apply; the list is not read again.
    const GpuSlot& slot = SelectedSlot(program);
    const ResetPlan plan = PlanReset(slot.family, slot.supported != 0);

    WindowState& state = program.windowState;
    state.red = plan.red;
    state.green = plan.green;
    state.blue = plan.blue;
    for (HWND edit : {program.redEdit, program.greenEdit, program.blueEdit}) {
        SetWindowTextW(edit, plan.editText);
    }

    const bool sent = Send(window, program, plan.sent);

    ComboBox_SetCurSel(program.modeList, plan.modePosition);
    ComboBox_SetCurSel(program.intervalList, plan.intervalPosition);
    ComboBox_SetCurSel(program.brightnessList, plan.brightnessPosition);
    ApplyControlChanges(window, plan.changes);
    state.markerX = plan.markerX;
    state.markerY = plan.markerY;
    SendMessageW(ShadeSlider(window), TBM_SETPOS, TRUE, plan.shadePosition);
    RepaintPicker(window);
    ForgetResetBoard(window, slot, sent);
}
