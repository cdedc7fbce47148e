#pragma once
// The main window's status bar in single-text mode: the platform's status bar
// control, whose background and text the program paints itself, since the
// control ignores a background colour in simple mode (and whenever visual
// styles are on).
#include <windows.h>

#include <string>

#include "toolkit/Controls.h"

class TSimpleStatusBarWin32 : public TSimpleStatusBar {
public:
    explicit TSimpleStatusBarWin32(TColor parentColor);
    ~TSimpleStatusBarWin32() override;
    TSimpleStatusBarWin32(const TSimpleStatusBarWin32&) = delete;
    TSimpleStatusBarWin32& operator=(const TSimpleStatusBarWin32&) = delete;

    HWND Create(HWND parent, int id);
    HWND Handle() const { return hwnd_; }

    const std::string& SimpleText() const override { return text_; }
    void SetSimpleText(const std::string& text) override;
    TColor Color() const override { return parentColor_ ? formColor_ : color_; }
    void SetColor(TColor color) override;
    bool ParentColor() const override { return parentColor_; }
    void SetParentColor(bool parentColor) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                         UINT_PTR id, DWORD_PTR self);
    void Paint(HDC dc);
    void Repaint();

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    std::string text_;
    TColor formColor_;
    TColor color_ = 0;
    bool parentColor_ = true;
};
