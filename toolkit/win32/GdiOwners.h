#pragma once
// Owners of the GDI handles the program's windows make or borrow while they
// draw: each gives back what it holds when it goes, on every way out of the
// code that made it. Declared in the order they are needed (the object, the
// context, the selection), they go in the right order too: the selection is
// undone before the context is released and the object deleted.
#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

// A pen, brush, font, bitmap or region of the program's own, deleted with its
// owner. A moved owner leaves nothing behind to delete.
struct TGdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using TGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, TGdiObjectDeleter>;
using TOwnedBrush = TGdiObject<HBRUSH>;
using TOwnedFont = TGdiObject<HFONT>;
using TOwnedBitmap = TGdiObject<HBITMAP>;
using TOwnedRegion = TGdiObject<HRGN>;

// A memory device context, deleted with its owner.
struct TMemoryDCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using TMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, TMemoryDCDeleter>;
inline TMemoryDC CreateMemoryDC(HDC like) { return TMemoryDC(CreateCompatibleDC(like)); }

// A window's device context, given back to the window with its owner.
struct TWindowDCReleaser {
    HWND window = nullptr;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
using TWindowDC = std::unique_ptr<std::remove_pointer_t<HDC>, TWindowDCReleaser>;
// The client area's context (GetDC; null: the screen's).
inline TWindowDC ClientDC(HWND window) { return TWindowDC(GetDC(window), {window}); }
// The whole window's context, its border included (GetWindowDC).
inline TWindowDC WholeWindowDC(HWND window) { return TWindowDC(GetWindowDC(window), {window}); }

// A window's painting, from BeginPaint to EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~TPaintDC() { EndPaint(window_, &paint_); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A pen, brush, font or bitmap selected into a context while the owner
// lives; the object it replaced is selected again when the owner goes.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TSelection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An object made for one drawing: selected while the owner lives, then
// deselected and deleted.
template <typename Handle>
class TSelected {
public:
    TSelected(HDC dc, Handle object) : TSelected(dc, TGdiObject<Handle>(object)) {}
    TSelected(HDC dc, TGdiObject<Handle> object)
        : object_(std::move(object)), selection_(dc, object_.get()) {}

    Handle Get() const { return object_.get(); }

private:
    TGdiObject<Handle> object_;
    TSelection selection_;
};

// The context's state (selections, colours, modes, clipping, origins) as it
// was, restored when the owner goes.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~TSavedDC() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int saved_;
};
