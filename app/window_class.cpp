#include "app/window_class.h"

#include "app/app_state.h"
#include "panel/main_window_proc.h"
#include "resources/resource_ids.h"

void RegisterMainWindowClass(HINSTANCE instance) {
    LoadStringW(instance, kClassNameStringId, windowClassName, kClassNameLength);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconGroupId));
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(kIconGroupId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    // The program has no menu resource of this number, so the window has no menu bar.
    windowClass.lpszMenuName = MAKEINTRESOURCEW(kClassNameStringId);
    windowClass.lpszClassName = windowClassName;
    RegisterClassExW(&windowClass);
}
