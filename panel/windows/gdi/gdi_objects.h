// Owning wrappers for drawing objects. Windows refuses to delete a bitmap, brush or font that is
// still selected into a context (the object leaks; Wine quietly defers the delete), so every
// wrapper puts back what it displaced before anything is deleted. The wrappers are movable, so
// objects made once at start-up can be kept in the program's state and released explicitly.
#pragma once

#include <windows.h>

#include <utility>

// Deletes a bitmap, brush, pen or font.
void ReleaseGdiObject(HGDIOBJ object);

template <typename Handle>
class OwnedGdiObject {
  public:
    explicit OwnedGdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~OwnedGdiObject() { Release(); }
    OwnedGdiObject(OwnedGdiObject&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr)) {}
    OwnedGdiObject& operator=(OwnedGdiObject&& other) noexcept {
        if (this != &other) {
            Release();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    OwnedGdiObject(const OwnedGdiObject&) = delete;
    OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;

    Handle get() const { return handle_; }
    void Release() {
        if (handle_) ReleaseGdiObject(std::exchange(handle_, nullptr));
    }

  private:
    Handle handle_;
};

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

// A memory context that owns the bitmap selected into it. Both go together: the context's first
// bitmap goes back, then the context is deleted, then the bitmap.
class MemorySurface {
  public:
    MemorySurface() = default;
    // A new 32-bit bitmap of the given size, compatible with `reference` and filled (WHITENESS
    // or BLACKNESS).
    MemorySurface(HDC reference, int width, int height, DWORD fill);
    // Takes over a memory context and a bitmap made for it, and selects the bitmap.
    MemorySurface(HDC context, HBITMAP bitmap);
    ~MemorySurface() { Release(); }
    MemorySurface(MemorySurface&& other) noexcept;
    MemorySurface& operator=(MemorySurface&& other) noexcept;
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;

    HDC dc() const { return dc_; }
    bool Valid() const { return dc_ != nullptr && bitmap_ != nullptr; }
    void Release();

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// A loaded picture: the memory context holding it with its bitmap of fixed size.
using SkinImage = MemorySurface;

// BeginPaint ... EndPaint for one paint message.
class PaintSession {
  public:
    explicit PaintSession(HWND window);
    ~PaintSession();
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC dc() const { return dc_; }
    // The bounding box of what this paint must draw.
    const RECT& Area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};
