#include "app/app_state.h"

wchar_t windowClassName[kClassNameLength] = {};
HANDLE instanceMutex = nullptr;

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
GpuTable gpuTable;
PanelState panelState;
SkinImage skin1;
SkinImage skin2;
HFONT controlFont = nullptr;

HWND gpuList = nullptr;
HWND modeList = nullptr;
HWND intervalList = nullptr;
HWND brightnessList = nullptr;
HWND ledOnButton = nullptr;
HWND ledOffButton = nullptr;
HWND cycleButton = nullptr;
HWND singleButton = nullptr;
HWND redEdit = nullptr;
HWND greenEdit = nullptr;
HWND blueEdit = nullptr;
