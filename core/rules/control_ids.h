// Child-control identifiers of the main window.
#pragma once

constexpr int kApplyButtonId = 1001;
constexpr int kResetButtonId = 1002;
constexpr int kGpuListId = 1003;
constexpr int kModeListId = 1004;
constexpr int kShadeSliderId = 1005;
constexpr int kLedOnButtonId = 1006;
constexpr int kLedOffButtonId = 1007;
constexpr int kIntervalListId = 1008;
constexpr int kCycleButtonId = 1009;
constexpr int kSingleButtonId = 1010;
constexpr int kBrightnessListId = 1011;
constexpr int kHelpButtonId = 1014;
constexpr int kRedEditId = 2000;
constexpr int kGreenEditId = 2001;
constexpr int kBlueEditId = 2002;
