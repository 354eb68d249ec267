// Owning wrappers for the drawing objects of one paint. Windows refuses to delete a bitmap, brush
// or font that is still selected into a context (the object leaks; Wine quietly defers the
// delete), so every wrapper puts back what it displaced before anything is deleted. Builds with
// LUMIVAR_CHECK_GDI check every release and count the failures.
#pragma once

#include <windows.h>

// Deletes a bitmap, brush, pen or font.
void ReleaseGdiObject(HGDIOBJ object);
// Releases seen to fail so far (checked builds; always 0 otherwise).
long GdiReleaseFailures();

template <typename Handle>
class OwnedGdiObject {
  public:
    explicit OwnedGdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~OwnedGdiObject() {
        if (handle_) ReleaseGdiObject(handle_);
    }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
    Handle get() const { return handle_; }

  private:
    Handle handle_;
};

using OwnedBitmap = OwnedGdiObject<HBITMAP>;
using OwnedBrush = OwnedGdiObject<HBRUSH>;
using OwnedPen = OwnedGdiObject<HPEN>;
using OwnedFont = OwnedGdiObject<HFONT>;

// An object selected into a context for one scope; the object it displaced goes back at the end.
// Declare it after the owner of the object, so that it is deselected before it is deleted.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object);
    ~ScopedSelection();
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory context compatible with another context, owning a bitmap of the given size that is
// selected into it and filled (WHITENESS or BLACKNESS). Both go together: the context's first
// bitmap goes back, then the context is deleted, then the bitmap.
class MemorySurface {
  public:
    MemorySurface(HDC reference, int width, int height, DWORD fill);
    ~MemorySurface();
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

// BeginPaint ... EndPaint for one paint message.
class PaintSession {
  public:
    explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};
