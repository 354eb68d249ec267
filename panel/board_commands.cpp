#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "app/app_state.h"
#include "led/led_commands.h"
#include "nvapi/process_nvapi.h"
#include "panel/apply_settings.h"
#include "panel/control_access.h"
#include "panel/panel_commands.h"
#include "panel/picker_view.h"
#include "panel/reset_plan.h"
#include "panel/slot_selection.h"

namespace {

// A fresh template for the selected board; a family-2000 board completes it with the driver's
// own record. A failed probe leaves it as made, and the command goes on.
NV_I2C_INFO_V3 PrepareCommandTemplate(const led::LedTarget& target) {
    NV_I2C_INFO_V3 commandTemplate = led::MakeCommandTemplate(target);
    if (target.family == kFamily2000) {
        led::TemplateProbe(nvapi::ProcessNvApi(), target, commandTemplate);
    }
    return commandTemplate;
}

// Statuses are not shown: the panel never reads the board back.
void Send(const LedSettings& settings) {
    const led::LedTarget target = led::TargetOfSlot(gpuTable, panelState.selectedGpu);
    const NV_I2C_INFO_V3 commandTemplate = PrepareCommandTemplate(target);
    led::DispatchingWrite(nvapi::ProcessNvApi(), target, commandTemplate, settings);
}

}  // namespace

void RunApply(HWND window) {
    panelState.selectedGpu = SlotFromListSelection(ComboBox_GetCurSel(gpuList), gpuTable.gpuCount,
                                                   panelState.selectedGpu);
    ApplyReadings readings;
    readings.modePosition = ComboBox_GetCurSel(modeList);
    readings.intervalPosition = ComboBox_GetCurSel(intervalList);
    readings.brightnessPosition = ComboBox_GetCurSel(brightnessList);
    readings.ledOnChecked = IsChecked(ledOnButton);
    readings.cycleChecked = IsChecked(cycleButton);
    readings.shadePosition = ShadePosition(window);
    readings.red = ReadColourEdit(redEdit);
    readings.green = ReadColourEdit(greenEdit);
    readings.blue = ReadColourEdit(blueEdit);
    Send(GatherLedSettings(gpuTable.gpuSlots[panelState.selectedGpu].family, readings));
}

void RunReset(HWND window) {
    // Reset addresses the slot of the last refresh or Apply; the list is not read again.
    const GpuSlot& slot = gpuTable.gpuSlots[panelState.selectedGpu];
    const ResetPlan plan = PlanReset(slot.family, slot.supported != 0);

    panelState.red = plan.red;
    panelState.green = plan.green;
    panelState.blue = plan.blue;
    for (HWND edit : {redEdit, greenEdit, blueEdit}) SetWindowTextW(edit, plan.editText);

    Send(plan.sent);

    ComboBox_SetCurSel(modeList, plan.modePosition);
    ComboBox_SetCurSel(intervalList, plan.intervalPosition);
    ComboBox_SetCurSel(brightnessList, plan.brightnessPosition);
    ApplyControlChanges(window, plan.changes);
    panelState.markerX = plan.markerX;
    panelState.markerY = plan.markerY;
    SendMessageW(ShadeSlider(window), TBM_SETPOS, TRUE, plan.shadePosition);
    RepaintPicker(window);
}
