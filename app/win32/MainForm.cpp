#include "app/win32/MainForm.h"

#include <commctrl.h>

#include <algorithm>

#include "app/MainLayout.h"
#include "app/win32/InputDialog.h"
#include "app/win32/LogonDialog.h"
#include "app/win32/resource.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Dpi.h"
#include "toolkit/win32/WindowClass.h"
#include "widgets/win32/AboutBoxWin32.h"

using platform::win32::Narrow;
using platform::win32::Wide;

namespace {

constexpr wchar_t kClassName[] = L"TMainWindow";
constexpr TColor kWaitPanelColor = RGBColor(247, 247, 247);
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The window's font, "MS Sans Serif" of 8 points at 96 DPI.
constexpr int kFontHeight = -11;

enum ControlId {
    idWaitPanel = 100,
    idWaitLabel,
    idStatusBar,
    idTree,
    idActionPanel,
    idActionButton,
    idAboutButton,
    idInfoPanel,
    idInfoMemo,
    idSplitter,
};

void Place(HWND hwnd, const TBounds& b) {
    if (hwnd) MoveWindow(hwnd, b.Left, b.Top, b.Width, b.Height, TRUE);
}

HWND CreateChild(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0,
                           0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                           nullptr);
}

// The window's outer rectangle for its design client size at the scale,
// centred on the screen.
RECT CentredWindowRect(int dpi) {
    RECT r{0, 0, ScaleForDpi(kDesignClientWidth, dpi), ScaleForDpi(kDesignClientHeight, dpi)};
    AdjustWindowRectForDpi(r, kWindowStyle, 0, dpi);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return {x, y, x + width, y + height};
}

// The height of a control's text in its font, wrapped at the width.
int WrappedTextHeight(HWND control, int width) {
    const std::wstring text = ReadWindowText(control);
    const TWindowDC dc = ClientDC(control);
    const TSelection font(dc.get(),
                          reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return r.bottom;
}

// The action button's glyph drawn for the largest scale that is not larger
// than the screen's: it is shown at its own size, never enlarged.
TOwnedBitmap LoadActionGlyph(int dpi) {
    const int scale = PictureScaleAtMost(dpi);
    const int id = scale >= 200 ? IDB_ACTION_200 : scale >= 150 ? IDB_ACTION_150 : IDB_ACTION;
    return TOwnedBitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
}

}  // namespace

TNetworkViewerWin32::TNetworkViewerWin32(TNetworkViewerPlatform platform)
    : logic_(std::make_unique<TMainWindow>(platform, *this, statusBar_)),
      tree_(logic_->Tree,
            [this](TVirtualNode* node) -> const std::string& { return logic_->TreeGetText(node); }),
      waitPanel_({kWaitPanelColor, TBevel::Lowered, TBevel::Raised}),
      actionPanel_({static_cast<TColor>(GetSysColor(COLOR_BTNFACE)), TBevel::Lowered, TBevel::None}),
      infoPanel_({static_cast<TColor>(GetSysColor(COLOR_BTNFACE)), TBevel::Lowered, TBevel::None,
              static_cast<TColor>(GetSysColor(COLOR_WINDOW)), true}),
      infoWidth_(kDesignInfoWidth),
      platform_(platform) {}

TNetworkViewerWin32::~TNetworkViewerWin32() {
    logic_->StartupTimer.SetBackend(nullptr);
    logic_->FlashTimer.SetBackend(nullptr);
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND TNetworkViewerWin32::Create(HINSTANCE instance) {
    EnsureWindowClass(instance, kClassName,
                      ObjectWindowProc<TNetworkViewerWin32, &TNetworkViewerWin32::hwnd_,
                                       &TNetworkViewerWin32::HandleMessage>,
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // The client area is 562 x 466 at 96 DPI, the window centred on the
    // screen: on the screen it comes up on, at that screen's scale.
    const int screenDpi = WindowDpi(nullptr);
    const RECT r = CentredWindowRect(screenDpi);
    CreateWindowExW(0, kClassName, L"Network View", kWindowStyle, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return nullptr;
    dpi_ = WindowDpi(hwnd_);
    infoWidth_ = ScaleForDpi(kDesignInfoWidth, dpi_);
    if (dpi_ != screenDpi) {
        const RECT onItsScreen = CentredWindowRect(dpi_);
        SetWindowPos(hwnd_, nullptr, onItsScreen.left, onItsScreen.top,
                     onItsScreen.right - onItsScreen.left, onItsScreen.bottom - onItsScreen.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    CreateControls();
    CreateMenuPainter();
    ApplyDpi();
    Layout();
    logic_->FormCreate();
    logic_->StartupTimer.SetBackend(this);
    logic_->FlashTimer.SetBackend(this);
    return hwnd_;
}

void TNetworkViewerWin32::CreateControls() {
    waitPanel_.Create(hwnd_, idWaitPanel, true);
    waitLabel_ = CreateChild(L"STATIC", L"\r\nFetching net infos...\r\n\r\nPlease wait.",
                          SS_CENTER | SS_NOPREFIX, waitPanel_.Handle(), idWaitLabel);

    // Single-text mode, in the form's colour (the form is white).
    statusBar_.SetSimplePanel(true);
    statusBar_.Create(hwnd_, idStatusBar);
    statusBar_.SetParentColor(true);
    statusBarAlign_.SetHandle(statusBar_.Handle());

    tree_.Create(hwnd_, idTree);
    treeAlign_.SetHandle(tree_.Handle());

    CreateActionPanel();

    infoPanel_.Create(hwnd_, idInfoPanel, false);
    infoPanelAlign_.SetHandle(infoPanel_.Handle());
    // The splitter gives the panel its new bounds at the end of a drag: the
    // width is kept, and the window laid out around it.
    infoPanelAlign_.OnBoundsSet = [this](const TRect& bounds) {
        infoWidth_ = bounds.Width();
        Layout();
    };
    infoMemo_ = CreateChild(L"EDIT", L"",
                         ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_TABSTOP,
                         infoPanel_.Handle(), idInfoMemo);

    splitter_.Create(hwnd_, idSplitter, false);
    splitter_.MinSize = 0;
    splitter_.MinLeft = 0;
    splitter_.SetResizingControl(&infoPanelAlign_);

    // The wait panel lies below every other control (a new child window goes
    // below its elder siblings): the tree covers it once it is shown, and so
    // do the panels beside the tree.
    SetWindowPos(waitPanel_.Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The action button with its glyph and the About button, on a panel of
// their own.
void TNetworkViewerWin32::CreateActionPanel() {
    actionPanel_.Create(hwnd_, idActionPanel, false);
    actionPanelAlign_.SetHandle(actionPanel_.Handle());
    actionButton_ = CreateChild(L"BUTTON", L"", BS_PUSHBUTTON | WS_TABSTOP, actionPanel_.Handle(),
                             idActionButton);
    aboutButton_ = CreateChild(L"BUTTON", L"About", BS_PUSHBUTTON | WS_TABSTOP, actionPanel_.Handle(),
                           idAboutButton);
}

// The font, the glyph, the bevels, the status bar and the flat painting's
// measures, all given at 96 DPI, at the window's scale. The controls are
// handed the new font and glyph before the old ones go.
void TNetworkViewerWin32::ApplyDpi() {
    TOwnedFont font(CreateFontW(ScaleForDpi(kFontHeight, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
    for (HWND control : {waitLabel_, tree_.Handle(), actionButton_, aboutButton_, infoMemo_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    TOwnedBitmap glyph = LoadActionGlyph(dpi_);
    SendMessageW(actionButton_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph.get()));
    glyph_ = std::move(glyph);
    for (TPanelWin32* panel : {&waitPanel_, &actionPanel_, &infoPanel_}) panel->SetDpi(dpi_);
    splitter_.SetDpi(dpi_);
    statusBar_.SetDpi(dpi_);
    DescribeButtons();
}

// The bit buttons' glyphs and spacing, and the painter's font and icon
// column, at the window's scale.
void TNetworkViewerWin32::DescribeButtons() {
    TBitBtnStyle actionGlyph;
    actionGlyph.Glyph = glyph_.get();
    actionGlyph.Spacing = ScaleForDpi(actionGlyph.Spacing, dpi_);
    menuPainter_->DescribeBitBtn(actionButton_, actionGlyph);
    TBitBtnStyle about;
    about.Spacing = ScaleForDpi(about.Spacing, dpi_);
    menuPainter_->DescribeBitBtn(aboutButton_, about);
    TMenuPainter& p = menuPainter_->Painter();
    p.SetFont({"Tahoma", ScaleForDpi(-11, dpi_), ANSI_CHARSET, clMenuText});
    p.IconWidth = ScaleForDpi(24, dpi_);
    p.Dpi = dpi_;
}

void TNetworkViewerWin32::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    // The width the user dragged the detail panel to, as large on the new
    // screen as it was on the old one.
    infoWidth_ = MulDiv(infoWidth_, dpi, dpi_);
    dpi_ = dpi;
    ApplyDpi();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window has no menus: the painter paints its panels, memo and buttons
// flat (the splitter counts as a panel; the status bar and the tree stay).
void TNetworkViewerWin32::CreateMenuPainter() {
    menuPainter_ = std::make_unique<TMenuPainterWin32>(hwnd_);
    menuPainter_->Describe(splitter_.Handle(), TComponentKind::Panel, "TBetterSplitter");
    DescribeButtons();

    TMenuPainter& p = menuPainter_->Painter();
    p.DimLevel = 30;
    p.GrayLevel = 10;
    p.Color = clBtnFace;
    p.DrawMenuBar = false;
    p.IconBackColor = clBtnFace;
    p.SetMenuBarColor(clBtnFace);
    p.SelectColor = clHighlight;
    p.SelectBorderColor = clHighlight;
    p.SelectFontColor = clMenuText;
    p.DisabledColor = clInactiveCaption;
    p.SeparatorColor = clBtnFace;
    p.CheckedColor = clHighlight;
    p.DrawSelect = true;
    p.SetUseSystemColors(true);
    p.UseDimColor = false;
    p.SetOverrideOwnerDraw(false);
    p.Gradient = false;
    p.FlatMenu = false;
    p.AutoDetect = true;
    p.StrngContrast = {};
    p.SetActive(true);
}

void TNetworkViewerWin32::Layout() {
    RECT client;
    GetClientRect(hwnd_, &client);
    auto l = LayoutMainWindow(client.right, client.bottom, actionPanelVisible_, infoPanelVisible_,
                              infoWidth_, dpi_);
    // A font's lines do not grow exactly with the scale: the wait message
    // takes the height its lines need, as far as its panel has room.
    const int room = l.waitPanel.Height - 2 * l.waitLabel.Top;
    l.waitLabel.Height =
        std::clamp(WrappedTextHeight(waitLabel_, l.waitLabel.Width), l.waitLabel.Height,
                   std::max(l.waitLabel.Height, room));
    Place(statusBar_.Handle(), l.statusBar);
    Place(actionPanel_.Handle(), l.actionPanel);
    Place(actionButton_, l.actionButton);
    Place(aboutButton_, l.aboutButton);
    Place(infoPanel_.Handle(), l.infoPanel);
    Place(infoMemo_, l.infoMemo);
    Place(splitter_.Handle(), l.splitter);
    Place(tree_.Handle(), l.tree);
    Place(waitPanel_.Handle(), l.waitPanel);
    Place(waitLabel_, l.waitLabel);
}

void TNetworkViewerWin32::SetBiDiMode(TBiDiMode mode) {
    const DWORD ex = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)) & ~kBiDiExStyles;
    SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(ex | ExStyleOfBiDiMode(mode)));
    statusBar_.ParentBiDiModeChanged(mode);
}

void TNetworkViewerWin32::FlipChildren() { statusBar_.FlipChildren(); }

bool TNetworkViewerWin32::ShowApplicationHint(const std::string& hint) {
    return statusBar_.ShowApplicationHint(hint);
}

// ---------------------------------------------------------------- TNetworkViewerForm

std::string TNetworkViewerWin32::Caption() { return Narrow(ReadWindowText(hwnd_)); }

void TNetworkViewerWin32::SetCaption(const std::string& caption) {
    SetWindowTextW(hwnd_, Wide(caption).c_str());
}

void TNetworkViewerWin32::SetInfoText(const std::string& text) {
    SetWindowTextW(infoMemo_, Wide(text).c_str());
}

void TNetworkViewerWin32::SetInfoPanelVisible(bool visible) {
    if (infoPanelVisible_ == visible) return;
    infoPanelVisible_ = visible;
    Layout();
    ShowWindow(infoPanel_.Handle(), visible ? SW_SHOW : SW_HIDE);
    ShowWindow(splitter_.Handle(), visible ? SW_SHOW : SW_HIDE);
}

void TNetworkViewerWin32::SetActionPanelVisible(bool visible) {
    if (actionPanelVisible_ == visible) return;
    actionPanelVisible_ = visible;
    Layout();
    ShowWindow(actionPanel_.Handle(), visible ? SW_SHOW : SW_HIDE);
}

void TNetworkViewerWin32::SetActionCaption(const std::string& text) {
    SetWindowTextW(actionButton_, Wide(text).c_str());
}

bool TNetworkViewerWin32::InputQuery(const std::string& caption, const std::string& prompt,
                                     std::string& value) {
    return RunInputDialog(hwnd_, caption, prompt, value, 255);
}

void TNetworkViewerWin32::SetScreenCursor(TCursor cursor) {
    screenCursor_ = cursor;
    SetCursor(LoadCursorW(nullptr, cursor == crHourGlass ? IDC_WAIT : IDC_ARROW));
}

void TNetworkViewerWin32::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void TNetworkViewerWin32::ShowError(const std::string& text) {
    MessageBoxW(hwnd_, Wide(text).c_str(), L"Network View", MB_OK | MB_ICONERROR);
}

bool TNetworkViewerWin32::AskYesNo(const std::string& text) {
    return MessageBoxW(hwnd_, Wide(text).c_str(), L"Network View", MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

std::optional<TLogon> TNetworkViewerWin32::PromptLogon(const std::string& machine,
                                                       const std::string& user,
                                                       const std::string& failure) {
    return RunLogonDialog(hwnd_, machine, user, failure);
}

void TNetworkViewerWin32::ShowAboutBox() {
    // A fresh box each time: nothing of an earlier showing remains.
    TaboutformularWin32 box(platform_.Registry, platform_.Shell);
    if (box.Create(hwnd_)) box.ShowModal();
}

// ---------------------------------------------------------------- timers

void TNetworkViewerWin32::StartTimer(TTimer& timer) {
    auto it = timerIds_.find(&timer);
    const UINT_PTR id = it != timerIds_.end() ? it->second : timerIds_.size() + 1;
    timerIds_[&timer] = id;
    SetTimer(hwnd_, id, timer.Interval(), nullptr);
}

void TNetworkViewerWin32::StopTimer(TTimer& timer) {
    auto it = timerIds_.find(&timer);
    if (it != timerIds_.end() && hwnd_) KillTimer(hwnd_, it->second);
}

void TNetworkViewerWin32::OnTimer(UINT_PTR id) {
    for (auto& [timer, timerId] : timerIds_)
        if (timerId == id) {
            RunEvent([timer = timer] { timer->Fire(); });
            return;
        }
}

// ---------------------------------------------------------------- messages

template <typename F>
void TNetworkViewerWin32::RunEvent(F event) {
    ++eventDepth_;
    try {
        event();
    } catch (...) {
        // The window logic shows the failures of its own events; this is
        // whatever else an event of the window throws.
        try {
            logic_->FlashStatusMessage(CurrentExceptionMessage());
        } catch (...) {
        }
    }
    --eventDepth_;
    if (eventDepth_ == 0 && closeRequested_) {
        closeRequested_ = false;
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

void TNetworkViewerWin32::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == idActionButton) RunEvent([this] { logic_->ActionButtonClick(); });
    if (id == idAboutButton) RunEvent([this] { logic_->AboutButtonClick(); });
}

void TNetworkViewerWin32::OnClose() {
    // An event is still running (it lets messages run): close when it ends.
    if (eventDepth_ > 0) {
        closeRequested_ = true;
        return;
    }
    if (!sessionEnded_) logic_->FormClose();
    DestroyWindow(hwnd_);
}

// A logoff or shutdown ends the program without a close: the host list is
// written as at close, once the session ends for certain, and only then
// (another program may still cancel the end after the query). A cancelled
// end leaves the window as it was. Whatever runs meanwhile, the list is
// written at once: the process may go as soon as this returns.
void TNetworkViewerWin32::OnEndSession(bool ending) {
    if (!ending || sessionEnded_) return;
    sessionEnded_ = true;
    logic_->FormClose();
}

LRESULT TNetworkViewerWin32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            Layout();
            return 0;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_SETTINGCHANGE:
        case WM_FONTCHANGE:
        case WM_SYSCOLORCHANGE:
            // Only top-level windows hear of these; the status bar follows
            // the system's font and colours.
            SendMessageW(statusBar_.Handle(), msg, wp, lp);
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_.get());
        case WM_NOTIFY: {
            LRESULT result = 0;
            const auto& header = *reinterpret_cast<const NMHDR*>(lp);
            bool handled = false;
            RunEvent([&] { handled = tree_.HandleNotify(header, result); });
            if (handled) return result;
            break;
        }
        case WM_SETCURSOR:
            // SetCursor alone lasts only to the next mouse move.
            if (screenCursor_ == crHourGlass) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(wp != FALSE);
            return 0;
        case WM_DESTROY:
            for (auto& [timer, id] : timerIds_) KillTimer(hwnd_, id);
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}
