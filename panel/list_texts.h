// The texts of the panel's drop-down lists, in list order: a list position is an index here.
#pragma once

#include <vector>

using TextList = std::vector<const wchar_t*>;

// The mode list of a board family; any family but 2000 gets the 3000 list, the default family.
const TextList& ModeTexts(int family);
// The blink-interval list; the two families differ in the wording of the long interval.
const TextList& IntervalTexts(int family);
const TextList& BrightnessTexts();

// The length of the second mode text tells which family's list is in place ("STROBING" / "FLASH").
int SecondModeTextLength(int family);
