#include <windows.h>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "panel/control_access.h"
#include "panel/panel_commands.h"
#include "panel/picker_view.h"

namespace {

struct ColourEdit {
    HWND edit;
    bool* focus;
    int* component;
};

// The edit behind a control ID, or none for any other control.
bool FindColourEdit(int controlId, ColourEdit& found) {
    switch (controlId) {
        case kRedEditId:
            found = {redEdit, &panelState.editFocusRed, &panelState.red};
            return true;
        case kGreenEditId:
            found = {greenEdit, &panelState.editFocusGreen, &panelState.green};
            return true;
        case kBlueEditId:
            found = {blueEdit, &panelState.editFocusBlue, &panelState.blue};
            return true;
    }
    return false;
}

}  // namespace

void RunEditNotification(HWND window, int controlId, int notificationCode) {
    ColourEdit colour;
    if (!FindColourEdit(controlId, colour)) return;
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
