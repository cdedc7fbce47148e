#pragma once
#include "toolkit/Dpi.h"

// Where the main window's controls go for a given client size: the status bar
// and the action panel along the bottom, the detail panel with its splitter
// along the right, the tree in the rest, the wait panel stretched with the
// window's width.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

struct TMainLayout {
    TBounds statusBar;
    TBounds actionPanel;
    TBounds actionButton;  // in actionPanel
    TBounds aboutButton;   // in actionPanel
    TBounds infoPanel;
    TBounds infoMemo;      // in infoPanel
    TBounds splitter;
    TBounds tree;
    TBounds waitPanel;
    TBounds waitLabel;     // in waitPanel
};

inline constexpr int kDesignClientWidth = 562;
inline constexpr int kDesignClientHeight = 466;
inline constexpr int kDesignInfoWidth = 185;

// infoWidth: the detail panel's width on the screen, narrowed when the
// window is too narrow for it. dpi: the window's scale; every other measure
// is given at 96 DPI and scaled to it.
TMainLayout LayoutMainWindow(int clientWidth, int clientHeight, bool actionPanelVisible,
                             bool infoPanelVisible, int infoWidth, int dpi = kDesignDpi);
