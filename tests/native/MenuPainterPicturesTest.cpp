// The menu painter's pictures and right-to-left rules: where an item's
// picture comes from and how big it measures, how pictures are lightened
// by their depth, colours as the surface shows them, the gradient's zone
// and the selected menu-bar item's outline.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widgets/MenuPainter.h"

namespace {

constexpr TColor kFace = RGBColor(200, 200, 200);
constexpr TColor kHighlight = RGBColor(0, 0, 0);
constexpr TColor kShadow = RGBColor(100, 100, 100);

class Owner : public TMenuPainterHost {
public:
    TColor SysColor(int index) const override {
        switch (index) {
            case 13: return kHighlight;
            case 15: return kFace;
            case 16: return kShadow;
            default: return 0;
        }
    }
    TFontInfo MenuFont() override { return {"Tahoma", -11, 0, clBlack}; }
    TFormComponents Components() override { return {}; }
    void HookControl(const TComponentInfo&) override {}
    void InvalidateControl(const TComponentInfo&) override {}
    void MenuChanged(TMenu&) override {}
    void RedrawMenuBar() override {}
    void DrawMenuItem(TMenuPainter&, TMenuItem&, TMenuCanvas&, const TRect&, bool) override {}
};

// Every character 6 pixels wide, 13 high.
class Canvas : public TMenuCanvas {
public:
    void SetFont(const TFontInfo&) override {}
    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 13; }
};

class Images : public TImageList {
public:
    Images(int w, int h) : width(w), height(h) {}
    int width, height;
    int Width() const override { return width; }
    int Height() const override { return height; }
    int Count() const override { return 10; }
};

// A surface of 4 bits a part: each part comes down to a multiple of 16.
TColor Coarse(TColor c) {
    return RGBColor(static_cast<std::uint8_t>(RedOf(c) & 0xF0),
                    static_cast<std::uint8_t>(GreenOf(c) & 0xF0),
                    static_cast<std::uint8_t>(BlueOf(c) & 0xF0));
}

}  // namespace

TEST(MenuItemPicture, AnImageIndexTakesTheParentsListThenTheMenusElseTheBitmap) {
    Images subImages(32, 32), menuImages(20, 18);
    int bitmap = 0;
    struct Case {
        const char* item;
        bool parentList, menuList, hasBitmap;
        int imageIndex;
        TPictureSource source;
        TSize size;
    };
    const std::vector<Case> cases = {
        {"both lists", true, true, true, 2, TPictureSource::SubMenuImages, {32, 32}},
        {"menu list only", false, true, true, 2, TPictureSource::MenuImages, {20, 18}},
        {"no index", true, true, true, -1, TPictureSource::Bitmap, {40, 30}},
        {"index, no list", false, false, true, 2, TPictureSource::Bitmap, {40, 30}},
        {"nothing", true, true, false, -1, TPictureSource::None, {0, 0}},
    };
    for (const Case& c : cases) {
        TMenu menu(false, "PopupMenu1");
        menu.Images = c.menuList ? &menuImages : nullptr;
        TMenuItem& parent = menu.Items.Add("Parent");
        parent.SubMenuImages = c.parentList ? &subImages : nullptr;
        TMenuItem& item = parent.Add("Item");
        item.ImageIndex = c.imageIndex;
        item.Bitmap = c.hasBitmap ? &bitmap : nullptr;
        item.BitmapSize = {40, 30};
        const TItemPicture picture = ItemPicture(item);
        EXPECT_EQ(picture.Source, c.source) << c.item;
        EXPECT_EQ(picture.Size, c.size) << c.item;
    }
}

TEST(MenuItemPicture, TheListsImageSizeDecidesTheExtentAndTheMeasure) {
    Owner owner;
    TMenuPainter painter(owner);
    painter.SetActive(true);
    Images images(40, 32);
    TMenu menu(false, "PopupMenu1");
    menu.Images = &images;
    TMenuItem& item = menu.Items.Add("Open");
    item.ImageIndex = 0;
    EXPECT_EQ(painter.ImageExtent(item), (TSize{40, 32}));
    Canvas canvas;
    int w = 0, h = 0;
    painter.MeasureItem(item, canvas, w, h);
    EXPECT_EQ(w, 6 * 4 + 5 + 40);
    EXPECT_EQ(h, 32 + 6);
    // A small image still leaves the icon column its width.
    images.width = images.height = 8;
    EXPECT_EQ(painter.ImageExtent(item), (TSize{24, 8}));
}

TEST(MenuPictureLightening, TheRuleFollowsTheBitmapsDepth) {
    struct Case {
        int bitsPerPixel;
        int percent;
        TColor pixel;
        TColor expected;
    };
    // 24 and 32 bits: (x * (100 - p) + 255 p) / 100 rounded down; other
    // depths: halves to even, then the nearest colour the bitmap shows.
    const std::vector<Case> cases = {
        {32, 50, RGBColor(0, 0, 0), RGBColor(127, 127, 127)},
        {24, 30, RGBColor(0, 160, 0), RGBColor(76, 188, 76)},
        {32, 100, RGBColor(1, 2, 3), RGBColor(255, 255, 255)},
        {16, 50, RGBColor(0, 0, 0), RGBColor(128, 128, 128)},
        {8, 30, RGBColor(0, 160, 0), RGBColor(64, 176, 64)},
        {1, 50, RGBColor(2, 0, 0), RGBColor(128, 128, 128)},
    };
    for (const Case& c : cases) {
        std::vector<TColor> pixels{c.pixel};
        const TNearestColor nearest = c.bitsPerPixel == 8 ? TNearestColor(Coarse) : TNearestColor{};
        LightenPixels(pixels, c.bitsPerPixel, c.percent, nearest);
        EXPECT_EQ(pixels[0], c.expected) << c.bitsPerPixel << " bits, " << c.percent;
    }
}

TEST(MenuPictureLightening, ARunOfEqualPixelsIsWorkedOutOnce) {
    std::vector<TColor> pixels{clWhite, clWhite, clWhite, clBlack, clBlack, clWhite};
    int asked = 0;
    const TNearestColor counting = [&](TColor c) {
        ++asked;
        return c;
    };
    LightenPixels(pixels, 8, 50, counting);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(pixels, (std::vector<TColor>{clWhite, clWhite, clWhite, RGBColor(128, 128, 128),
                                           RGBColor(128, 128, 128), clWhite}));
    GreyPixels(pixels, 10);
    EXPECT_EQ(pixels[0], RGBColor(240, 240, 240));
    EXPECT_EQ(pixels[3], RGBColor(138, 138, 138));
}

TEST(MenuPainterSurface, LightenedColoursAreThoseTheSurfaceShows) {
    Owner owner;
    TMenuPainter painter(owner);
    const TMenuColors exact = painter.Colors(32);
    const TMenuColors shown = painter.Colors(16, Coarse);
    // lighten(face, 86): 200 + round(47.3) = 247, shown as 240.
    EXPECT_EQ(exact.Face, RGBColor(247, 247, 247));
    EXPECT_EQ(shown.Face, RGBColor(240, 240, 240));
    // lighten(highlight, 68): 173, shown as 160; lighten(face, 16): 209 -> 208.
    EXPECT_EQ(shown.SelectFill, RGBColor(160, 160, 160));
    EXPECT_EQ(shown.IconBack, RGBColor(208, 208, 208));
    // Colours taken as they are stay: the highlight frame, the menu bar.
    EXPECT_EQ(shown.SelectBorder, kHighlight);
    EXPECT_EQ(shown.MenuBar, kFace);
    // The menu border is a shade, not a lightening.
    EXPECT_EQ(shown.MenuBorder, RGBColor(110, 112, 110));
}

TEST(MenuGradient, RightToLeftTheIconColumnsZoneIsItsOwn) {
    struct Case {
        bool rightToLeft;
        int lastFast;  // the last column that grows by 3
    };
    for (const Case& c : std::vector<Case>{{false, 28}, {true, 17}}) {
        const auto levels = GradientLevels(60, 24, c.rightToLeft);
        EXPECT_EQ(levels[0], 1) << c.rightToLeft;
        EXPECT_EQ(levels[c.lastFast], 1 + 3 * c.lastFast) << c.rightToLeft;
        EXPECT_EQ(levels[c.lastFast + 1], 2 + 3 * c.lastFast) << c.rightToLeft;
    }
}

TEST(MenuBarTab, TheOutlineAndItsShadowStandAtTheTrailingEdge) {
    const TRect r{10, 0, 60, 19};
    const TTabOutline ltr = TopItemTabOutline(r, false);
    EXPECT_EQ(ltr.Frame, (TRect{10, 0, 57, 19}));
    EXPECT_EQ(ltr.Shadow, (TRect{57, 0, 59, 19}));
    EXPECT_EQ(ltr.Cap, (TRect{57, 0, 59, 2}));
    const TTabOutline rtl = TopItemTabOutline(r, true);
    EXPECT_EQ(rtl.Frame, (TRect{13, 0, 60, 19}));
    EXPECT_EQ(rtl.Shadow, (TRect{11, 0, 13, 19}));
    EXPECT_EQ(rtl.Cap, (TRect{11, 0, 13, 2}));
}
