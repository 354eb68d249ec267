#include "panel/control_access.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "panel/edit_rule.h"

void FillList(HWND list, const TextList& texts) {
    for (const wchar_t* text : texts) ComboBox_AddString(list, text);
}

void EmptyList(HWND list) {
    const int count = ComboBox_GetCount(list);
    for (int i = 0; i < count; ++i) ComboBox_DeleteString(list, 0);
}

namespace {

void Apply(HWND control, const ControlChange& change) {
    if (change.enabled) EnableWindow(control, *change.enabled ? TRUE : FALSE);
    if (change.checked) Button_SetCheck(control, *change.checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

void ApplyControlChanges(HWND window, const ControlChanges& changes) {
    Apply(modeList, changes.modeList);
    Apply(ledOnButton, changes.ledOn);
    Apply(ledOffButton, changes.ledOff);
    Apply(cycleButton, changes.cycle);
    Apply(singleButton, changes.single);
    Apply(ShadeSlider(window), changes.shadeSlider);
    Apply(GetDlgItem(window, kApplyButtonId), changes.apply);
    Apply(GetDlgItem(window, kResetButtonId), changes.reset);
    Apply(intervalList, changes.intervalList);
    Apply(brightnessList, changes.brightnessList);
}

bool IsChecked(HWND button) {
    return Button_GetCheck(button) == BST_CHECKED;
}

int ReadColourEdit(HWND edit) {
    wchar_t text[kEditCharactersRead + 1] = {};
    GetWindowTextW(edit, text, kEditCharactersRead + 1);
    const EditReading reading = ReadColourText(text);
    if (reading.replacement != nullptr) SetWindowTextW(edit, reading.replacement);
    return reading.value;
}

HWND ShadeSlider(HWND window) {
    return GetDlgItem(window, kShadeSliderId);
}

int ShadePosition(HWND window) {
    return static_cast<int>(SendMessageW(ShadeSlider(window), TBM_GETPOS, 0, 0));
}
