// The status bar's properties that follow something else: the image list,
// the parent's and the system's font and colours, the parent's reading order.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "widgets/StatusBar.h"

namespace {

const TFont kSystemFont{"Segoe UI", -12, 0}, kFormFont{"Tahoma", -11, 0}, kOwnFont{"Arial", -13, 0};

struct Images : TImageList {
    int Width() const override { return 16; }
    int Height() const override { return 16; }
    int Count() const override { return 1; }
};

struct Bar : TStatusBarPro {
    bool HandleAllocated() const override { return true; }
    void SendSimpleText(const std::string& t, unsigned) override { simpleTexts.push_back(t); }
    void Invalidate() override { ++invalidated; }
    TColor ParentColorValue() const override { return clWhite; }
    TFont ParentFontValue() const override { return kFormFont; }
    TBiDiMode ParentBiDiModeValue() const override { return bdRightToLeft; }
    TFont SystemStatusFont() const override { return kSystemFont; }
    bool SysLocaleRightToLeft() const override { return true; }
    int invalidated = 0;
    std::vector<std::string> simpleTexts;
};

}  // namespace

TEST(StatusBarProperties, FontImagesColourAndReadingOrderEachHaveTheirOwnEffect) {
    Bar bar;
    Images images;
    bar.SetImages(&images);
    images.Change();
    EXPECT_EQ(bar.invalidated, 2);  // set, changed
    bar.SyncToSystemFont();
    // Each step, and the Font, ParentFont and UseSystemFont it leaves.
    const std::vector<std::pair<std::function<void()>, std::tuple<TFont, bool, bool>>> steps = {
        {[&] { bar.SetFont(kOwnFont); }, {kOwnFont, false, true}},
        {[&] { bar.SettingChanged(42); }, {kSystemFont, false, true}},
        {[&] { bar.SetParentFont(true); }, {kFormFont, true, false}},
        {[&] { bar.SettingChanged(0); }, {kFormFont, true, false}},
        {[&] { bar.SetUseSystemFont(true); }, {kSystemFont, false, true}},
    };
    for (const auto& [step, after] : steps) {
        step();
        EXPECT_EQ(std::make_tuple(bar.Font(), bar.ParentFont(), bar.UseSystemFont()), after);
    }
    // The default colour follows the system's; a colour of the bar's own stays.
    bar.SystemColorsChanged(RGBColor(1, 2, 3));
    EXPECT_EQ(bar.Color(), RGBColor(1, 2, 3));
    bar.SetColor(clRed);
    bar.SystemColorsChanged(RGBColor(4, 5, 6));
    EXPECT_EQ(bar.Color(), clRed);
    // Right to left the simple text is right-aligned by two tabs.
    bar.SetSimplePanel(true);
    bar.SetSimpleText("Ready");
    bar.ParentBiDiModeChanged(bdRightToLeft);
    bar.SetBiDiMode(bdRightToLeftReadingOnly);
    bar.ParentBiDiModeChanged(bdLeftToRight);
    bar.SetParentBiDiMode(true);
    EXPECT_EQ(bar.simpleTexts, (std::vector<std::string>{"Ready", "\t\tReady", "Ready", "\t\tReady"}));
}
