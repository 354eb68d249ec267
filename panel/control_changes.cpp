#include "panel/control_changes.h"

void SetBoardControlsEnabled(ControlChanges& changes, bool enabled) {
    for (ControlChange* control :
         {&changes.modeList, &changes.ledOn, &changes.ledOff, &changes.shadeSlider, &changes.apply,
          &changes.reset, &changes.intervalList, &changes.brightnessList}) {
        control->enabled = enabled;
    }
}
