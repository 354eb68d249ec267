#include "panel/windows/gdi/gdi_objects.h"

#include "panel/windows/gdi/dib_format.h"

#ifdef LUMIVAR_CHECK_GDI
#include "panel/windows/gdi/gdi_checks.h"
#endif

namespace {

#ifdef LUMIVAR_CHECK_GDI
long releaseFailures = 0;
unsigned long paintSessions = 0;
unsigned long nestedPaintSessions = 0;
unsigned long openPaintSessions = 0;

void ReportFailure(const char* what) {
    ++releaseFailures;
    OutputDebugStringA(what);
}
#endif

void DeleteContext(HDC dc) {
#ifdef LUMIVAR_CHECK_GDI
    // A handle that is really gone has no object type any more.
    if (!DeleteDC(dc) || GetObjectType(dc) != 0) ReportFailure("lumivar: DeleteDC failed\n");
#else
    DeleteDC(dc);
#endif
}

void RestoreSelection(HDC dc, HGDIOBJ previous) {
#ifdef LUMIVAR_CHECK_GDI
    if (!SelectObject(dc, previous)) ReportFailure("lumivar: selection not restored\n");
#else
    SelectObject(dc, previous);
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

#ifdef LUMIVAR_CHECK_GDI
long GdiReleaseFailures() {
    return releaseFailures;
}

unsigned long PaintSessionCount() {
    return paintSessions;
}

unsigned long NestedPaintSessionCount() {
    return nestedPaintSessions;
}
#endif

void ReleaseGdiObject(HGDIOBJ object) {
#ifdef LUMIVAR_CHECK_GDI
    if (!DeleteObject(object) || GetObjectType(object) != 0) {
        ReportFailure("lumivar: DeleteObject failed or the object lives on\n");
    }
#else
    DeleteObject(object);
#endif
}

ScopedSelection::ScopedSelection(HDC dc, HGDIOBJ object)
    : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}

ScopedSelection::~ScopedSelection() {
    if (previous_) RestoreSelection(dc_, previous_);
}

MemorySurface::MemorySurface(HDC reference, int width, int height, DWORD fill)
    : MemorySurface(CreateCompatibleDC(reference), CreateSurfaceBitmap(reference, width, height)) {
    if (Valid()) PatBlt(dc_, 0, 0, width, height, fill);
}

MemorySurface::MemorySurface(HDC context, HBITMAP bitmap) : dc_(context), bitmap_(bitmap) {
    if (Valid()) previous_ = SelectObject(dc_, bitmap_);
}

MemorySurface::MemorySurface(MemorySurface&& other) noexcept
    : dc_(std::exchange(other.dc_, nullptr)),
      bitmap_(std::exchange(other.bitmap_, nullptr)),
      previous_(std::exchange(other.previous_, nullptr)) {}

MemorySurface& MemorySurface::operator=(MemorySurface&& other) noexcept {
    if (this != &other) {
        Release();
        dc_ = std::exchange(other.dc_, nullptr);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
}

void MemorySurface::Release() {
    if (previous_) RestoreSelection(dc_, previous_);
    if (dc_) DeleteContext(dc_);
    if (bitmap_) ReleaseGdiObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
}

PaintSession::PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {
#ifdef LUMIVAR_CHECK_GDI
    ++paintSessions;
    if (openPaintSessions > 0) ++nestedPaintSessions;
    ++openPaintSessions;
#endif
}

PaintSession::~PaintSession() {
    EndPaint(window_, &paint_);
#ifdef LUMIVAR_CHECK_GDI
    --openPaintSessions;
#endif
}
