#include "app/MainLayout.h"

#include <algorithm>

namespace {

constexpr int kStatusHeight = 19;
constexpr int kActionHeight = 34;
constexpr int kSplitterWidth = 5;
constexpr int kBevel = 1;  // the panels' lowered bevel

// A control's bounds at 96 DPI, on the screen of the given scale.
TBounds Scaled(const TBounds& b, int dpi) {
    return {ScaleForDpi(b.Left, dpi), ScaleForDpi(b.Top, dpi), ScaleForDpi(b.Width, dpi),
            ScaleForDpi(b.Height, dpi)};
}

}  // namespace

TMainLayout LayoutMainWindow(int clientWidth, int clientHeight, bool actionPanelVisible,
                             bool infoPanelVisible, int infoWidth, int dpi) {
    const auto s = [dpi](int value) { return ScaleForDpi(value, dpi); };
    const int statusHeight = s(kStatusHeight), actionHeight = s(kActionHeight);
    const int splitterWidth = s(kSplitterWidth), bevel = s(kBevel);
    TMainLayout l;
    // Aligned controls take their edge of what is left, in this order.
    int left = 0, top = 0, right = clientWidth, bottom = clientHeight;

    l.statusBar = {0, bottom - statusHeight, clientWidth, statusHeight};
    bottom -= statusHeight;
    if (actionPanelVisible) {
        l.actionPanel = {0, bottom - actionHeight, clientWidth, actionHeight};
        bottom -= actionHeight;
    }
    if (infoPanelVisible) {
        // The width the user dragged the panel to, as far as the window has
        // room for it beside the splitter; a wider window gives it back.
        infoWidth = std::clamp(infoWidth, 0, std::max(0, clientWidth - splitterWidth));
        l.infoPanel = {right - infoWidth, top, infoWidth, std::max(0, bottom - top)};
        right -= infoWidth;
        l.splitter = {right - splitterWidth, top, splitterWidth, std::max(0, bottom - top)};
        right -= splitterWidth;
    }
    l.tree = {left, top, std::max(0, right - left), std::max(0, bottom - top)};

    // Children of the panels, and the wait panel anchored left, top and
    // right: the right-anchored keep their distance to the right edge.
    l.actionButton = Scaled({4, 3, 237, 29}, dpi);
    l.aboutButton = Scaled({484, 7, 75, 21}, dpi);
    l.aboutButton.Left = clientWidth - s(kDesignClientWidth - 484);
    l.infoMemo = {bevel, bevel, std::max(0, l.infoPanel.Width - 2 * bevel),
                  std::max(0, l.infoPanel.Height - 2 * bevel)};
    l.waitPanel = Scaled({83, 32, 396, 69}, dpi);
    l.waitPanel.Width = std::max(0, clientWidth - s(kDesignClientWidth - 396));
    // Inside the wait panel's two bevels.
    l.waitLabel = {2 * bevel, 2 * bevel, std::max(0, l.waitPanel.Width - 4 * bevel), s(52)};
    return l;
}
