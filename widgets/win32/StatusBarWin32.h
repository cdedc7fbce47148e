#pragma once
// The status bar as a Win32 window: the platform's status bar control
// ("msctls_statusbar32"), subclassed so that the program paints the whole
// bar itself. The control ignores a background colour in simple mode and
// whenever visual styles are on, so its background, the simple text, the
// panels and the size grip are all drawn here; the control keeps the texts
// and the part layout.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/win32/GdiOwners.h"
#include "widgets/StatusBar.h"
#include "widgets/win32/PropertyTypesWin32.h"

class TStatusBarProWin32 : public TStatusBarPro {
public:
    TStatusBarProWin32();
    ~TStatusBarProWin32() override;

    // The parent places the bar (19 pixels high, along its bottom edge).
    HWND Create(HWND parent, int id);
    HWND Handle() const { return hwnd_; }
    // The drawing surface while a panel is drawn (OnDrawPanel), else none.
    HDC Canvas() const { return canvas_; }

protected:
    bool HandleAllocated() const override { return hwnd_ != nullptr; }
    void SendSimpleText(const std::string& text, unsigned flags) override;
    void SendSimple(bool simple) override;
    void SendParts(const std::vector<int>& edges) override;
    void SendPanelText(int index, unsigned flags, const std::string& text) override;
    void InvalidatePanel(int index) override;
    void Invalidate() override;
    TRect PanelRect(int index) const override;
    void Borders(int& spacing, int& vertical) const override;
    int ClientWidth() const override;
    int TextWidth(const TFont& font, const std::string& text) const override;
    int TextHeight(const TFont& font) const override;
    void ColorChanged() override;
    void FontChanged() override;
    void RecreateWnd() override;
    TColor ParentColorValue() const override;
    TFont ParentFontValue() const override;
    TBiDiMode ParentBiDiModeValue() const override;
    TFont SystemStatusFont() const override;
    bool ParentIsSizeableForm() const override;
    bool SysLocaleRightToLeft() const override;
    void AdoptControl(TControl& control) override;
    void CancelHint() override;
    void PaintPanel(TStatusPanelPro& panel, const TRect& rect,
                    const TPanelContentPlacement& placement) override;

private:
    static SUBCLASSPROC SubclassProc();
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleMouse(UINT msg, WPARAM wp, LPARAM lp);
    bool HandleTooltipNotify(NMHDR& header);
    SIZE TextExtent(const TFont& font, const std::wstring& text) const;
    DWORD GripStyle() const;
    void Paint(HDC dc);
    void PaintSimpleText(HDC dc, const RECT& client);
    void PaintPanels(HDC dc);
    void PaintSizeGrip(HDC dc, const RECT& client);
    void EnsureTooltip();
    void UpdateToolRect();

    HWND hwnd_ = nullptr;
    HWND tip_ = nullptr;
    TOwnedFont font_;
    HDC canvas_ = nullptr;
    std::wstring hintText_;
    // The part edges the control was given last.
    std::vector<int> sentParts_;
    bool pressed_ = false;
};
