// Numbers of the program's resources, shared by the resource script and the code.
// Plain #defines for the resource compiler; C++ names for the program.
#pragma once

#define LUMIVAR_CLASS_NAME_STRING 109
#define LUMIVAR_ACCELERATOR_TABLE 109
#define LUMIVAR_ACCELERATOR_COMMAND 104
#define LUMIVAR_ICON_GROUP 144
#define LUMIVAR_SKIN1 150
#define LUMIVAR_SKIN2 145
#define LUMIVAR_HELP_DIALOG 149
#define LUMIVAR_VERSION_INFO 1
#define LUMIVAR_MANIFEST 1

#ifndef RC_INVOKED
constexpr int kClassNameStringId = LUMIVAR_CLASS_NAME_STRING;
constexpr int kAcceleratorTableId = LUMIVAR_ACCELERATOR_TABLE;
constexpr int kCommandAccelerator = LUMIVAR_ACCELERATOR_COMMAND;
constexpr int kIconGroupId = LUMIVAR_ICON_GROUP;
constexpr int kSkin1Id = LUMIVAR_SKIN1;
constexpr int kSkin2Id = LUMIVAR_SKIN2;
constexpr int kHelpDialogId = LUMIVAR_HELP_DIALOG;
constexpr int kVersionInfoId = LUMIVAR_VERSION_INFO;
constexpr int kManifestId = LUMIVAR_MANIFEST;
#endif
