#pragma once
// Solid fills, frames and one-pixel lines in a colour, with the brush or pen
// made for the one call and deleted after it.
#include <windows.h>

#include <initializer_list>

#include "toolkit/Controls.h"
#include "toolkit/Rect.h"
#include "toolkit/win32/GdiOwners.h"

inline RECT ToRECT(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

inline void Fill(HDC dc, const RECT& r, TColor c) {
    const TOwnedBrush brush(CreateSolidBrush(c));
    FillRect(dc, &r, brush.get());
}

// A one-pixel frame just inside the rectangle.
inline void Frame(HDC dc, const RECT& r, TColor c) {
    const TOwnedBrush brush(CreateSolidBrush(c));
    FrameRect(dc, &r, brush.get());
}

// A line through the points, the last one not drawn.
inline void Line(HDC dc, TColor c, std::initializer_list<POINT> points) {
    const TSelected<HPEN> pen(dc, CreatePen(PS_SOLID, 1, c));
    Polyline(dc, points.begin(), static_cast<int>(points.size()));
}

// A shape filled in one colour and outlined in another: draw draws it with
// the context's brush and pen.
template <typename F>
void Shape(HDC dc, TColor fill, TColor outline, F draw) {
    const TSelected<HBRUSH> brush(dc, CreateSolidBrush(fill));
    const TSelected<HPEN> pen(dc, CreatePen(PS_SOLID, 1, outline));
    draw();
}

// A one-pixel 3-D frame along the rectangle's edge: topLeft along the top and
// left, bottomRight along the bottom and right. The rectangle then narrows by
// one on every side.
inline void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight) {
    Line(dc, topLeft, {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}});
    Line(dc, bottomRight,
         {{r.right - 1, r.top + 1}, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1}});
    InflateRect(&r, -1, -1);
}
