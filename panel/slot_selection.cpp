#include "panel/slot_selection.h"

int SlotFromListSelection(int listSelection, int gpuCount, int currentSlot) {
    if (listSelection < 0 || listSelection >= gpuCount) return currentSlot;
    return listSelection;
}
