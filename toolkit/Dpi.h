#pragma once
// The program's measures are given for a screen of 96 dots per inch; a window
// on a screen of another scale takes each of them times its DPI over 96,
// rounded as the system rounds (MulDiv: to the nearest whole pixel, halves
// away from zero), so that at 96 DPI every measure stays as it is.
#include <cstdint>

inline constexpr int kDesignDpi = 96;

constexpr int ScaleForDpi(int value, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                         : (product - half) / kDesignDpi);
}

// The program's pictures come drawn for 100, 150 and 200 percent. A picture
// shown at its own size takes the largest drawing not larger than the
// screen's scale (it is never enlarged); one that must fill a scaled area
// takes the smallest drawing at least as large, and is only ever shrunk
// (above 200 percent the largest is all there is).
constexpr int PictureScaleAtMost(int dpi) {
    return dpi >= 2 * kDesignDpi ? 200 : 2 * dpi >= 3 * kDesignDpi ? 150 : 100;
}
constexpr int PictureScaleAtLeast(int dpi) {
    return dpi <= kDesignDpi ? 100 : 2 * dpi <= 3 * kDesignDpi ? 150 : 200;
}
