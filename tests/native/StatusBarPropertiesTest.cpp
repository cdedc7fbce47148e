// The status bar's properties that follow something else: the image list's
// changes, the parent's and the system's font, the system's colours, the
// parent's reading order, and the flipping of its panels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/StatusBar.h"

namespace {

const TFont kSystemFont{"Segoe UI", -12, 0};
const TFont kFormFont{"MS Sans Serif", -11, 0};
const TFont kOwnFont{"Courier New", -13, 0};

// The platform control as the bar drives it; text is 6 pixels a character.
class PropertyBar : public TStatusBarPro {
public:
    PropertyBar() : TStatusBarPro(RGBColor(240, 240, 240)) {}
    int invalidated = 0;
    std::vector<std::vector<int>> parts;
    std::vector<std::string> simpleTexts;
    std::vector<unsigned> simpleFlags;
    TColor parentColor = clWhite;
    TFont parentFont = kFormFont;
    TBiDiMode parentBiDiMode = bdRightToLeft;
    bool rightToLeftLocale = true;

protected:
    bool HandleAllocated() const override { return true; }
    void SendSimpleText(const std::string& t, unsigned flags) override {
        simpleTexts.push_back(t);
        simpleFlags.push_back(flags);
    }
    void SendParts(const std::vector<int>& edges) override { parts.push_back(edges); }
    void Invalidate() override { ++invalidated; }
    int ClientWidth() const override { return 300; }
    int TextWidth(const TFont&, const std::string& t) const override {
        return 6 * static_cast<int>(t.size());
    }
    TColor ParentColorValue() const override { return parentColor; }
    TFont ParentFontValue() const override { return parentFont; }
    TBiDiMode ParentBiDiModeValue() const override { return parentBiDiMode; }
    TFont SystemStatusFont() const override { return kSystemFont; }
    bool ParentIsSizeableForm() const override { return false; }
    bool SysLocaleRightToLeft() const override { return rightToLeftLocale; }
};

class Images : public TImageList {
public:
    int width = 16;
    int count = 4;
    int Width() const override { return width; }
    int Height() const override { return 16; }
    int Count() const override { return count; }
};

}  // namespace

TEST(StatusBarImages, AChangeOfTheImageListLaysOutAndRepaintsTheBar) {
    PropertyBar bar;
    Images images, other;
    TStatusPanelPro& p = bar.Panels().Add();
    p.SetText("abc");  // 18 + 2
    p.SetImageIndex(0);
    p.SetAutoWidth(true);
    bar.SetImages(&images);
    EXPECT_EQ(bar.parts.back(), (std::vector<int>{-1}));
    EXPECT_EQ(p.Width(), 20 + 18);

    const int invalidated = bar.invalidated;
    const std::size_t laidOut = bar.parts.size();
    images.width = 32;
    images.Change();
    EXPECT_EQ(bar.invalidated, invalidated + 1);
    EXPECT_EQ(bar.parts.size(), laidOut + 1);
    EXPECT_EQ(p.Width(), 20 + 34);

    // A list the bar no longer uses is no longer heard.
    bar.SetImages(&other);
    const int afterSwitch = bar.invalidated;
    images.Change();
    EXPECT_EQ(bar.invalidated, afterSwitch);
    other.Change();
    EXPECT_EQ(bar.invalidated, afterSwitch + 1);
}

TEST(StatusBarImages, AListThatOutlivesTheBarChangesSafely) {
    Images images;
    {
        PropertyBar bar;
        bar.SetImages(&images);
    }
    images.Change();
    PropertyBar bar;
    {
        Images gone;
        bar.SetImages(&gone);
    }
    EXPECT_EQ(bar.Images(), nullptr);
}

TEST(StatusBarFont, EachWriteHasItsOwnEffectOnFontParentFontAndUseSystemFont) {
    struct Step {
        const char* write;
        TFont font;
        bool parentFont;
        bool useSystemFont;
    };
    // One bar, its font properties written one after another.
    const std::vector<Step> steps = {
        {"created", kSystemFont, false, true},
        {"Font", kOwnFont, false, true},
        {"system setting 42", kSystemFont, false, true},
        {"ParentFont true", kFormFont, true, false},
        {"parent font changes", kOwnFont, true, false},
        {"system setting 0", kOwnFont, true, false},
        {"UseSystemFont true", kSystemFont, false, true},
        {"parent font changes", kSystemFont, false, true},
        {"ParentFont true", kFormFont, true, false},
        {"Font", kOwnFont, false, false},
    };
    PropertyBar bar;
    bar.SyncToSystemFont();
    for (const Step& step : steps) {
        const std::string w = step.write;
        if (w == "Font") bar.SetFont(kOwnFont);
        if (w == "system setting 42") bar.SettingChanged(42);
        if (w == "system setting 0") bar.SettingChanged(0);
        if (w == "ParentFont true") bar.SetParentFont(true);
        if (w == "UseSystemFont true") bar.SetUseSystemFont(true);
        if (w == "parent font changes") {
            bar.parentFont = kOwnFont;
            bar.ParentFontChanged();
            bar.parentFont = kFormFont;
        }
        EXPECT_EQ(bar.Font(), step.font) << w;
        EXPECT_EQ(bar.ParentFont(), step.parentFont) << w;
        EXPECT_EQ(bar.UseSystemFont(), step.useSystemFont) << w;
    }
}

TEST(StatusBarFont, PanelsThatFollowTheBarTakeTheParentsFont) {
    PropertyBar bar;
    TStatusPanelPro& following = bar.Panels().Add();
    TStatusPanelPro& own = bar.Panels().Add();
    own.SetFont(kOwnFont);
    bar.SetParentFont(true);
    EXPECT_EQ(following.Font(), kFormFont);
    EXPECT_EQ(own.Font(), kOwnFont);
}

TEST(StatusBarColor, ASystemColourChangeReachesOnlyADefaultOrParentColouredBar) {
    const TColor newFace = RGBColor(200, 210, 220);
    struct Case {
        const char* bar;
        TColor expected;
    };
    for (const Case& c : std::vector<Case>{{"default", newFace},
                                           {"own colour", clRed},
                                           {"parent colour", RGBColor(1, 2, 3)},
                                           {"own, then parent's no more", clWhite}}) {
        PropertyBar bar;
        const std::string kind = c.bar;
        if (kind == "own colour") bar.SetColor(clRed);
        if (kind == "parent colour") bar.SetParentColor(true);
        if (kind == "own, then parent's no more") {
            bar.SetParentColor(true);
            bar.SetParentColor(false);
        }
        TStatusPanelPro& panel = bar.Panels().Add();
        bar.parentColor = RGBColor(1, 2, 3);
        bar.SystemColorsChanged(newFace);
        EXPECT_EQ(bar.Color(), c.expected) << kind;
        EXPECT_EQ(panel.Color(), c.expected) << kind;
    }
}

TEST(StatusBarBiDi, TheBarFollowsItsParentsReadingOrderUntilItIsGivenItsOwn) {
    PropertyBar bar;
    bar.SetSimplePanel(true);
    bar.SetSimpleText("Ready");
    EXPECT_TRUE(bar.ParentBiDiMode());
    bar.ParentBiDiModeChanged(bdRightToLeft);
    EXPECT_EQ(bar.BiDiMode(), bdRightToLeft);
    // Right to left: the text right-aligned by two tabs, read right to left.
    EXPECT_EQ(bar.simpleTexts.back(), "\t\tReady");
    EXPECT_EQ(bar.simpleFlags.back(), static_cast<unsigned>(kSimplePart) | kSbtRtlReading);
    EXPECT_EQ(bar.SimpleText(), "Ready");

    bar.SetBiDiMode(bdRightToLeftReadingOnly);
    EXPECT_FALSE(bar.ParentBiDiMode());
    EXPECT_EQ(bar.simpleTexts.back(), "Ready");
    EXPECT_EQ(bar.simpleFlags.back(), static_cast<unsigned>(kSimplePart) | kSbtRtlReading);
    bar.ParentBiDiModeChanged(bdLeftToRight);
    EXPECT_EQ(bar.BiDiMode(), bdRightToLeftReadingOnly);

    bar.SetParentBiDiMode(true);
    EXPECT_EQ(bar.BiDiMode(), bdRightToLeft);
    EXPECT_EQ(bar.simpleTexts.back(), "\t\tReady");
}

TEST(StatusBarBiDi, FlippingReversesThePanelsAndGivesTheFirstWhatTheOthersLeave) {
    PropertyBar bar;
    for (const char* text : {"a", "b", "c"}) bar.Panels().Add().SetText(text);
    bar.Panels()[0].SetWidth(50);
    bar.Panels()[1].SetWidth(60);
    bar.Panels()[2].SetWidth(70);
    bar.FlipChildren();
    EXPECT_EQ(bar.Panels()[0].Text(), "c");
    EXPECT_EQ(bar.Panels()[1].Text(), "b");
    EXPECT_EQ(bar.Panels()[2].Text(), "a");
    // The old first panel's width goes to the new last one; the new first
    // panel gets the client width less all old panels but the last.
    EXPECT_EQ(bar.Panels()[0].Width(), 300 - 50 - 60);
    EXPECT_EQ(bar.Panels()[2].Width(), 50);
    EXPECT_EQ(bar.parts.back(), (std::vector<int>{190, 250, -1}));

    // Simple mode shows no panels: nothing to flip.
    bar.SetSimplePanel(true);
    bar.FlipChildren();
    EXPECT_EQ(bar.Panels()[0].Text(), "c");
}
