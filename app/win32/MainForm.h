#pragma once
// The main window as a Win32 window: it creates the controls, places them,
// and hands every event to the window logic (Tnetworkviewer), which drives
// the controls back through TNetworkViewerForm, the status bar, the tree and
// the timers.
#include <windows.h>

#include <map>
#include <memory>

#include "app/fvelmora.h"
#include "toolkit/win32/Panel.h"
#include "toolkit/win32/SimpleStatusBar.h"
#include "toolkit/win32/TreeViewBinding.h"
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
    Tnetworkviewer& Logic() { return *logic_; }

    HWND WaitPanel() const { return pcolumninfo_.Handle(); }
    HWND WaitLabel() const { return label1_; }
    HWND Tree() const { return tree_.Handle(); }
    HWND StatusBar() const { return stbar_.Handle(); }
    HWND ActionPanel() const { return paction2_.Handle(); }
    HWND ActionButton() const { return bbaction2_; }
    HWND AboutButton() const { return bitbtn2_; }
    HWND InfoPanel() const { return pinfo_.Handle(); }
    HWND InfoMemo() const { return minfo_; }
    HWND Splitter() const { return splitter_.Handle(); }
    TMenuPainterWin32& MenuPainter1() { return *menuPainter1_; }

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

    // TimerBackend
    void StartTimer(TTimer& timer) override;
    void StopTimer(TTimer& timer) override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls();
    void CreateMenuPainter();
    void Layout();
    void OnCommand(int id, int code);
    void OnClose();
    void OnTimer(UINT_PTR id);
    // Runs an event that may let messages run; a close asked for meanwhile
    // is carried out afterwards.
    template <typename F>
    void RunEvent(F event);

    TSimpleStatusBarWin32 stbar_;
    std::unique_ptr<Tnetworkviewer> logic_;
    TTreeViewBinding tree_;
    TPanelWin32 pcolumninfo_;
    TPanelWin32 paction2_;
    TPanelWin32 pinfo_;
    TPanelWin32 splitter_;
    HWND hwnd_ = nullptr;
    HWND label1_ = nullptr;
    HWND bbaction2_ = nullptr;
    HWND bitbtn2_ = nullptr;
    HWND minfo_ = nullptr;
    HFONT font_ = nullptr;
    HBITMAP glyph_ = nullptr;
    TCursor screenCursor_ = crDefault;
    bool actionPanelVisible_ = false;
    bool infoPanelVisible_ = false;
    bool closeRequested_ = false;
    int eventDepth_ = 0;
    std::map<TTimer*, UINT_PTR> timerIds_;
    std::unique_ptr<TMenuPainterWin32> menuPainter1_;
    // The about box reaches the registry and the shell through it.
    TNetworkViewerPlatform platform_;
};
