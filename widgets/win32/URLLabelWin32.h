#pragma once
// The link label as a Win32 control: a child window that draws its caption in
// the font the label asks for, placed and wrapped as the label's alignment
// says, over its parent's picture when transparent or on its colour, greyed
// while disabled. It shows the pointing hand while live, carries its hint in
// a tooltip, turns the mouse's actions into the label's events and shows its
// menu for a right click. An aligned label follows its parent's size.
#include <windows.h>

#include "toolkit/Dpi.h"
#include "toolkit/win32/GdiOwners.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/URLLabel.h"

class TURLLabelWin32 : public TURLLabel {
public:
    TURLLabelWin32(platform::Registry& registry, platform::Shell& shell, TLabelFont font = {});
    ~TURLLabelWin32() override;

    HWND Create(HWND parent, int id, int left, int top, int width, int height);
    HWND Handle() const { return hwnd_; }
    HWND Tooltip() const { return tooltip_; }
    // The cursor the label shows while live: resource 8888 of the program.
    HCURSOR HandCursor() const { return hand_; }
    // The screen's scale: the label's fonts, whose heights are given at 96
    // DPI, are made at it.
    void SetDpi(int dpi);

protected:
    void Changed() override;
    void HintChanged() override;
    void ShowLaunchFailure(const std::string& message) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleParentMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleMouse(UINT msg, WPARAM wp, LPARAM lp);
    void ShowContextMenu(LPARAM lp);
    void Paint(HDC dc);
    void PaintParentBackground(HDC dc);
    void UpdateFont();
    UINT TextFormat() const;
    void Place();
    void StopFollowingParent();

    HWND hwnd_ = nullptr;
    HWND parent_ = nullptr;
    HWND tooltip_ = nullptr;
    HCURSOR hand_ = nullptr;
    TOwnedFont font_;
    TLabelFont fontMade_;
    int dpi_ = kDesignDpi;
    TClickTracker click_;
};
