// The owning wrappers under the checks of a test build: what they release is really gone, and a
// release that Windows would refuse is reported.
#include "shell/panel/gdi_checks.h"
#include "shell/panel/gdi_objects.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(GdiObjects, WrappersLeaveNothingBehind) {
    const long failures = GdiReleaseFailures();
    const HDC screen = GetDC(nullptr);
    HDC surfaceDc = nullptr;
    HBITMAP surfaceBitmap = nullptr;
    HBRUSH brushHandle = nullptr;
    {
        MemorySurface surface(screen, 40, 30, WHITENESS);
        surfaceDc = surface.dc();
        surfaceBitmap = static_cast<HBITMAP>(GetCurrentObject(surfaceDc, OBJ_BITMAP));
        EXPECT_EQ(GetPixel(surfaceDc, 39, 29), RGB(255, 255, 255));
        OwnedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        brushHandle = brush.get();
        const HGDIOBJ defaultBrush = GetCurrentObject(surfaceDc, OBJ_BRUSH);
        {
            ScopedSelection selected(surfaceDc, brush.get());
            EXPECT_EQ(GetCurrentObject(surfaceDc, OBJ_BRUSH), brush.get());
        }
        EXPECT_EQ(GetCurrentObject(surfaceDc, OBJ_BRUSH), defaultBrush);
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetObjectType(surfaceDc), 0u);
    EXPECT_EQ(GetObjectType(surfaceBitmap), 0u);
    EXPECT_EQ(GetObjectType(brushHandle), 0u);
    EXPECT_EQ(GdiReleaseFailures(), failures);
}

TEST(GdiObjects, DeletingAnObjectStillSelectedIsReported) {
    const long failures = GdiReleaseFailures();
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    ReleaseGdiObject(bitmap);  // Windows refuses this and the bitmap leaks
    EXPECT_EQ(GdiReleaseFailures(), failures + 1);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

}  // namespace
