#include "app/MainLayout.h"

#include <algorithm>

namespace {

constexpr int kStatusHeight = 19;
constexpr int kActionHeight = 34;
constexpr int kSplitterWidth = 5;
constexpr int kBevel = 1;  // the panels' lowered bevel

}  // namespace

TMainLayout LayoutMainWindow(int clientWidth, int clientHeight, bool actionPanelVisible,
                             bool infoPanelVisible, int infoWidth) {
    TMainLayout l;
    // Aligned controls take their edge of what is left, in this order.
    int left = 0, top = 0, right = clientWidth, bottom = clientHeight;

    l.statusBar = {0, bottom - kStatusHeight, clientWidth, kStatusHeight};
    bottom -= kStatusHeight;
    if (actionPanelVisible) {
        l.actionPanel = {0, bottom - kActionHeight, clientWidth, kActionHeight};
        bottom -= kActionHeight;
    }
    if (infoPanelVisible) {
        // The width the user dragged the panel to, as far as the window has
        // room for it beside the splitter; a wider window gives it back.
        infoWidth = std::clamp(infoWidth, 0, std::max(0, clientWidth - kSplitterWidth));
        l.infoPanel = {right - infoWidth, top, infoWidth, std::max(0, bottom - top)};
        right -= infoWidth;
        l.splitter = {right - kSplitterWidth, top, kSplitterWidth, std::max(0, bottom - top)};
        right -= kSplitterWidth;
    }
    l.tree = {left, top, std::max(0, right - left), std::max(0, bottom - top)};

    // Children of the panels, and the wait panel anchored left, top and right.
    l.actionButton = {4, 3, 237, 29};
    l.aboutButton = {clientWidth - (kDesignClientWidth - 484), 7, 75, 21};
    l.infoMemo = {kBevel, kBevel, std::max(0, l.infoPanel.Width - 2 * kBevel),
               std::max(0, l.infoPanel.Height - 2 * kBevel)};
    l.waitPanel = {83, 32, std::max(0, clientWidth - (kDesignClientWidth - 396)), 69};
    l.waitLabel = {2, 2, std::max(0, l.waitPanel.Width - 4), 52};
    return l;
}
