// The main window and its fifteen controls: the start-up steps that build them and set them going.
// Each step that can fail shows its message and returns false.
#pragma once

#include <windows.h>

#include "panel/windows/window/startup_messages.h"

constexpr const wchar_t* kMainWindowTitle = L"VOXA LED Lumivar";
constexpr const wchar_t* kWindowFailureText = L"ウィンドウを作成できません";
constexpr const wchar_t* kFontFailureText = L"フォント作成エラー";
constexpr int kMainWindowWidth = 480;
constexpr int kMainWindowHeight = 440;

// Creates the window, at (0, 0), not yet shown, and keeps its handle.
bool CreateMainWindow(StartupMessages& messages);
// Centres the window, makes it fixed-size and creates the controls.
bool PlaceWindowAndCreateControls(StartupMessages& messages);
// Sets up the slider and gives the controls their font.
bool SetUpSliderAndFont(StartupMessages& messages);
// Writes the window's starting values and the LED defaults.
void WriteStartValues();
// Fills the lists and sets the enabled and checked states, by the selected slot.
void FillListsAndSetStates();
// Shows the window with the entry's show command and paints it.
void ShowMainWindow(int showCommand);
