// Loads a stored picture from the program's resources into a memory drawing context that holds
// a bitmap of the picture's fixed size, compatible with the main window.
#pragma once

#include <windows.h>

#include "panel/windows/window/startup_messages.h"
#include "panel/windows/gdi/gdi_objects.h"

constexpr const wchar_t* kSkinNotFoundText = L"リソースが見つかりません";
constexpr const wchar_t* kSkinUnreadableText = L"リソースを読み込めません";

// Finds resource `number` of `type` in `module`, unscrambles it over `steps` 4-byte steps and
// paints it into a width x height bitmap. On failure shows "リソースが見つかりません" (no such
// resource) or "リソースを読み込めません" (it cannot be loaded, decoded or drawn) with the
// program's caption, leaves `out` empty and returns false.
bool LoadSkin(HMODULE module, HWND window, const wchar_t* type, int number, int width, int height,
              int steps, StartupMessages& messages, SkinImage& out);
