#pragma once
// The main window as a Win32 window: it creates the controls, places them,
// and hands every event to the window logic (TMainWindow), which drives
// the controls back through TNetworkViewerForm, the status bar, the tree and
// the timers.
#include <windows.h>

#include <map>
#include <memory>

#include "app/MainWindow.h"
#include "toolkit/win32/GdiOwners.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/TreeViewBinding.h"
#include "toolkit/win32/WinControl.h"
#include "widgets/win32/StatusBarWin32.h"
#include "widgets/win32/SplitterWin32.h"
#include "widgets/win32/MenuPainterWin32.h"

class TNetworkViewerWin32 : public TNetworkViewerForm, public TimerBackend {
public:
    explicit TNetworkViewerWin32(TNetworkViewerPlatform platform);
    ~TNetworkViewerWin32() override;
    TNetworkViewerWin32(const TNetworkViewerWin32&) = delete;
    TNetworkViewerWin32& operator=(const TNetworkViewerWin32&) = delete;

    // Creates the window and its controls (not yet shown) and runs FormCreate.
    HWND Create(HINSTANCE instance);
    HWND Handle() const { return hwnd_; }
    TMainWindow& Logic() { return *logic_; }

    HWND WaitPanel() const { return waitPanel_.Handle(); }
    HWND WaitLabel() const { return waitLabel_; }
    HWND Tree() const { return tree_.Handle(); }
    HWND StatusBar() const { return statusBar_.Handle(); }
    HWND ActionPanel() const { return actionPanel_.Handle(); }
    HWND ActionButton() const { return actionButton_; }
    HWND AboutButton() const { return aboutButton_; }
    HWND InfoPanel() const { return infoPanel_.Handle(); }
    HWND InfoMemo() const { return infoMemo_; }
    HWND Splitter() const { return splitter_.Handle(); }
    TMenuPainterWin32& MenuPainter() { return *menuPainter_; }
    // The screen's scale the window is laid out for.
    int Dpi() const { return dpi_; }

    // The window's reading order: its own extended style, and the status
    // bar's while the bar follows its parent's.
    void SetBiDiMode(TBiDiMode mode);
    // Mirrors the window's children for a right-to-left layout: the status
    // bar reverses its panels.
    void FlipChildren();
    // The application offers a hint: the status bar shows it when it takes
    // hints. True when the bar took it.
    bool ShowApplicationHint(const std::string& hint);

    // TNetworkViewerForm
    std::string Caption() override;
    void SetCaption(const std::string& caption) override;
    void SetInfoText(const std::string& text) override;
    void SetInfoPanelVisible(bool visible) override;
    void SetActionPanelVisible(bool visible) override;
    void SetActionCaption(const std::string& text) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    TCursor ScreenCursor() override { return screenCursor_; }
    void SetScreenCursor(TCursor cursor) override;
    void ProcessMessages() override;
    void ShowError(const std::string& text) override;
    void ShowAboutBox() override;
    bool AskYesNo(const std::string& text) override;
    std::optional<TLogon> PromptLogon(const std::string& machine, const std::string& user,
                                      const std::string& failure) override;

    // TimerBackend
    void StartTimer(TTimer& timer) override;
    void StopTimer(TTimer& timer) override;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void CreateActionPanel();
    void CreateMenuPainter();
    // The window's measures, fonts and pictures for the screen's scale.
    void ApplyDpi();
    void DescribeButtons();
    // The window moved to a screen of another scale: it takes the rectangle
    // the system suggests and keeps its tree and the detail width.
    void OnDpiChanged(int dpi, const RECT& suggested);
    void Layout();
    void OnCommand(int id, int code);
    void OnClose();
    void OnEndSession(bool ending);
    void OnTimer(UINT_PTR id);
    // Runs an event that may let messages run; a close asked for meanwhile
    // is carried out afterwards.
    template <typename F>
    void RunEvent(F event);

    TStatusBarProWin32 statusBar_;
    std::unique_ptr<TMainWindow> logic_;
    TTreeViewBinding tree_;
    TPanelWin32 waitPanel_;
    TPanelWin32 actionPanel_;
    TPanelWin32 infoPanel_;
    TBetterSplitterWin32 splitter_;
    // The aligned controls as the splitter sees them beside it.
    TWinControl treeAlign_{alClient};
    TWinControl infoPanelAlign_{alRight};
    TWinControl actionPanelAlign_{alBottom};
    TWinControl statusBarAlign_{alBottom};
    HWND hwnd_ = nullptr;
    HWND waitLabel_ = nullptr;
    HWND actionButton_ = nullptr;
    HWND aboutButton_ = nullptr;
    HWND infoMemo_ = nullptr;
    TOwnedFont font_;
    TOwnedBitmap glyph_;
    TCursor screenCursor_ = crDefault;
    bool actionPanelVisible_ = false;
    bool infoPanelVisible_ = false;
    // The screen's scale the window is shown at.
    int dpi_ = kDesignDpi;
    // The detail panel's width as the user last dragged it, at dpi_.
    int infoWidth_;
    bool closeRequested_ = false;
    // The session ended with the window open: the host list was written then.
    bool sessionEnded_ = false;
    int eventDepth_ = 0;
    std::map<TTimer*, UINT_PTR> timerIds_;
    std::unique_ptr<TMenuPainterWin32> menuPainter_;
    // The about box reaches the registry and the shell through it.
    TNetworkViewerPlatform platform_;
};
