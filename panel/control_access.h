// The few Win32 steps by which the panel reads its controls and applies what its rules decide.
#pragma once

#include <windows.h>

#include "panel/control_changes.h"
#include "panel/list_texts.h"

// Adds the texts in order, so a list position is an index into `texts`.
void FillList(HWND list, const TextList& texts);
// Deletes the first entry as often as the list has entries.
void EmptyList(HWND list);
void ApplyControlChanges(HWND window, const ControlChanges& changes);
bool IsChecked(HWND button);
// Reads an R, G or B edit by the edit rule, putting its text right when the rule says so.
int ReadColourEdit(HWND edit);
HWND ShadeSlider(HWND window);
int ShadePosition(HWND window);
