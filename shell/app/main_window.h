// The main window and its fifteen controls: the start-up stages that build them and set them
// going. Each stage that can fail shows its message and returns false.
#pragma once

#include <windows.h>

#include "shell/app/startup_messages.h"

constexpr const wchar_t* kMainWindowTitle = L"VOXA LED Lumivar";
constexpr const wchar_t* kWindowFailureText = L"ウィンドウを作成できません";
constexpr const wchar_t* kFontFailureText = L"フォント作成エラー";
constexpr int kMainWindowWidth = 480;
constexpr int kMainWindowHeight = 440;

// Stage 2: the window, at (0, 0), not yet shown.
bool CreateMainWindow(StartupMessages& messages);
// Stage 5: centre it, make it fixed-size, create the controls.
bool PlaceWindowAndCreateControls(StartupMessages& messages);
// Stage 6: the slider's settings and the control font.
bool SetUpSliderAndFont(StartupMessages& messages);
// Stage 7: the panel's starting values and the LED defaults.
void WriteStartValues();
// Stage 9: the lists and the enabled and checked states, by the selected slot.
void FillListsAndSetStates();
// Stage 10.
void ShowMainWindow(int showCommand);
