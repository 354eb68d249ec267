#include <windows.h>
#include <windowsx.h>

#include "app/app_state.h"
#include "panel/control_access.h"
#include "panel/cycle_click_rule.h"
#include "panel/panel_commands.h"
#include "panel/picker_view.h"
#include "panel/selection_refresh.h"
#include "panel/slot_selection.h"

void RunCycleClick(HWND window, int controlId, int notificationCode) {
    const GpuSlot& slot = gpuTable.gpuSlots[panelState.selectedGpu];
    CycleClick click;
    click.controlId = controlId;
    click.notificationCode = notificationCode;
    click.supported = slot.supported != 0;
    click.family = slot.family;
    click.modePosition = ComboBox_GetCurSel(modeList);
    click.cycleChecked = IsChecked(cycleButton);
    const std::optional<bool> sliderEnabled = SliderAfterCycleClick(click);
    if (!sliderEnabled) return;
    EnableWindow(ShadeSlider(window), *sliderEnabled ? TRUE : FALSE);
    RepaintPicker(window);
}

void RunSelectionRefresh(HWND window) {
    panelState.selectedGpu = SlotFromListSelection(ComboBox_GetCurSel(gpuList), gpuTable.gpuCount,
                                                   panelState.selectedGpu);
    const GpuSlot& slot = gpuTable.gpuSlots[panelState.selectedGpu];
    RefreshReadings readings;
    readings.family = slot.family;
    readings.supported = slot.supported != 0;
    readings.secondModeTextLength = ComboBox_GetLBTextLen(modeList, 1);
    readings.modePosition = ComboBox_GetCurSel(modeList);
    readings.cycleChecked = IsChecked(cycleButton);

    const RefreshPlan plan = PlanSelectionRefresh(readings);
    if (plan.rebuildModeList != nullptr) {
        EmptyList(modeList);
        FillList(modeList, *plan.rebuildModeList);
        ComboBox_SetCurSel(modeList, 0);
    }
    ApplyControlChanges(window, plan.changes);
    if (plan.repaintPicker) RepaintPicker(window);
}
