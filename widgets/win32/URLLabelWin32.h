#pragma once
// The link label as a Win32 control: a child window that draws its caption in
// the font the label asks for, over its parent's picture when transparent,
// shows the pointing hand while live, carries its hint in a tooltip and
// turns a click of the left button into the label's click.
#include <windows.h>

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

protected:
    void Changed() override;
    void HintChanged() override;
    void ShowLaunchFailure(const std::string& message) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Paint(HDC dc);
    void PaintParentBackground(HDC dc);
    void UpdateFont();
    void FitToCaption();

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    HCURSOR hand_ = nullptr;
    TOwnedFont font_;
    TLabelFont fontMade_;
    TClickTracker click_;
};
