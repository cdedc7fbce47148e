#pragma once
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
    TBounds stbar;
    TBounds paction2;
    TBounds bbaction2;  // in paction2
    TBounds BitBtn2;    // in paction2
    TBounds pinfo;
    TBounds minfo;      // in pinfo
    TBounds splitter;
    TBounds ntreeview;
    TBounds pcolumninfo;
    TBounds Label1;     // in pcolumninfo
};

inline constexpr int kDesignClientWidth = 562;
inline constexpr int kDesignClientHeight = 466;
inline constexpr int kDesignInfoWidth = 185;

// infoWidth: the detail panel's width, narrowed when the window is too
// narrow for it.
TMainLayout LayoutMainWindow(int clientWidth, int clientHeight, bool actionPanelVisible,
                             bool infoPanelVisible, int infoWidth);
