#pragma once
// Solid fills and one-pixel lines in a colour, with the brush or pen made for
// the one call and deleted after it.
#include <windows.h>

#include <initializer_list>

#include "toolkit/Controls.h"

inline void Fill(HDC dc, const RECT& r, TColor c) {
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A line through the points, the last one not drawn.
inline void Line(HDC dc, TColor c, std::initializer_list<POINT> points) {
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points.begin(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
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
