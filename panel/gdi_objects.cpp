#include "panel/gdi_objects.h"

#include "app/dib_format.h"

namespace {

#ifdef LUMIVAR_CHECK_GDI
long releaseFailures = 0;

void ReportFailure(const char* what) {
    ++releaseFailures;
    OutputDebugStringA(what);
}
#endif

void ReleaseMemoryContext(HDC dc) {
#ifdef LUMIVAR_CHECK_GDI
    // A handle that is really gone has no object type any more.
    if (!DeleteDC(dc) || GetObjectType(dc) != 0) ReportFailure("lumivar: DeleteDC failed\n");
#else
    DeleteDC(dc);
#endif
}

// A 32-bit device-independent bitmap: exact colours whatever the display's depth, and under
// Wine many times cheaper to select into a fresh context than a device-dependent one.
HBITMAP CreateSurfaceBitmap(HDC reference, int width, int height) {
    const BITMAPINFO format = TopDown32BitFormat(width, height);
    void* bits = nullptr;
    return CreateDIBSection(reference, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

void ReleaseGdiObject(HGDIOBJ object) {
#ifdef LUMIVAR_CHECK_GDI
    if (!DeleteObject(object) || GetObjectType(object) != 0) {
        ReportFailure("lumivar: DeleteObject failed or the object lives on\n");
    }
#else
    DeleteObject(object);
#endif
}

long GdiReleaseFailures() {
#ifdef LUMIVAR_CHECK_GDI
    return releaseFailures;
#else
    return 0;
#endif
}

ScopedSelection::ScopedSelection(HDC dc, HGDIOBJ object)
    : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}

ScopedSelection::~ScopedSelection() {
    if (!previous_) return;
#ifdef LUMIVAR_CHECK_GDI
    if (!SelectObject(dc_, previous_)) ReportFailure("lumivar: selection not restored\n");
#else
    SelectObject(dc_, previous_);
#endif
}

MemorySurface::MemorySurface(HDC reference, int width, int height, DWORD fill)
    : dc_(CreateCompatibleDC(reference)),
      bitmap_(CreateSurfaceBitmap(reference, width, height)),
      previous_(nullptr) {
    if (dc_ && bitmap_) {
        previous_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, fill);
    }
}

MemorySurface::~MemorySurface() {
    if (previous_) {
#ifdef LUMIVAR_CHECK_GDI
        if (!SelectObject(dc_, previous_))
            ReportFailure("lumivar: surface bitmap not deselected\n");
#else
        SelectObject(dc_, previous_);
#endif
    }
    if (dc_) ReleaseMemoryContext(dc_);
    if (bitmap_) ReleaseGdiObject(bitmap_);
}
