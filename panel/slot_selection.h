// The slot the GPU list points at. A list with no selection (or any position outside the slot
// table) keeps the slot in use rather than reach outside the table.
#pragma once

int SlotFromListSelection(int listSelection, int gpuCount, int currentSlot);
