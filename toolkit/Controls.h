#pragma once
// What the window logic knows of the controls it drives.
#include <cstdint>
#include <string>

// A colour as the system stores it: 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

enum TCursor { crDefault, crHourGlass };

// A status bar in single-text mode.
class TSimpleStatusBar {
public:
    virtual ~TSimpleStatusBar() = default;
    virtual const std::string& SimpleText() const = 0;
    virtual void SetSimpleText(const std::string& text) = 0;
    virtual TColor Color() const = 0;
    // Paints the bar in this colour at once; ParentColor becomes false.
    virtual void SetColor(TColor color) = 0;
    virtual bool ParentColor() const = 0;
    // True gives the bar its parent's colour again.
    virtual void SetParentColor(bool parentColor) = 0;
};
