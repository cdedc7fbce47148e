// The menu painter's pictures, and its colours as a surface shows them.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "widgets/MenuPainter.h"

namespace {

class Images : public TImageList {
public:
    explicit Images(int size) : size_(size) {}
    int Width() const override { return size_; }
    int Height() const override { return size_; }
    int Count() const override { return 4; }

private:
    int size_;
};

// A surface of 4 bits a part.
TColor Coarse(TColor c) { return c & 0xF0F0F0; }

}  // namespace

TEST(MenuPainterPictures, AnImageIndexTakesTheParentsListThenTheMenusElseTheBitmap) {
    Images parentList(32), menuList(20);
    int bitmap = 0;
    // Lists given (parent's, menu's), image index, bitmap: where it comes from.
    const std::vector<std::tuple<bool, bool, int, bool, TPictureSource, int>> cases = {
        {true, true, 2, true, TPictureSource::SubMenuImages, 32},
        {false, true, 2, true, TPictureSource::MenuImages, 20},
        {true, true, -1, true, TPictureSource::Bitmap, 40},
        {false, false, 2, true, TPictureSource::Bitmap, 40},
        {true, true, -1, false, TPictureSource::None, 0},
    };
    for (const auto& [parent, menu, index, hasBitmap, source, size] : cases) {
        TMenu m(false);
        m.Images = menu ? &menuList : nullptr;
        TMenuItem& p = m.Items.Add("Parent");
        p.SubMenuImages = parent ? &parentList : nullptr;
        TMenuItem& item = p.Add("Item");
        item.ImageIndex = index;
        item.Bitmap = hasBitmap ? &bitmap : nullptr;
        item.BitmapSize = {40, 40};
        EXPECT_EQ(ItemPicture(item).Source, source) << index << parent << menu;
        EXPECT_EQ(ItemPicture(item).Size, (TSize{size, size})) << index << parent << menu;
    }
}

TEST(MenuPainterPictures, BitmapsAreLightenedByTheRuleOfTheirDepth) {
    // 24 and 32 bits: integer division; others: halves to even, then the
    // nearest colour the bitmap shows.
    const std::vector<std::tuple<int, int, TColor, TColor>> cases = {
        {32, 50, clBlack, RGBColor(127, 127, 127)},
        {24, 50, clBlack, RGBColor(127, 127, 127)},
        {16, 50, clBlack, RGBColor(128, 128, 128)},
        {8, 30, RGBColor(0, 160, 0), RGBColor(64, 176, 64)},
    };
    for (const auto& [depth, percent, pixel, expected] : cases) {
        std::vector<TColor> pixels{pixel, pixel};
        int asked = 0;
        const bool coarse = depth == 8;
        const TNearestColor nearest = [&](TColor c) { return ++asked, coarse ? Coarse(c) : c; };
        LightenPixels(pixels, depth, percent, nearest);
        EXPECT_EQ(pixels, (std::vector<TColor>{expected, expected})) << depth;
        // A run of equal pixels is worked out once.
        EXPECT_EQ(asked, depth >= 24 ? 0 : 1) << depth;
    }
}

TEST(MenuPainterPictures, LightenedColoursAreThoseTheSurfaceShows) {
    struct Owner : TMenuPainterHost {
        TColor SysColor(int) const override { return RGBColor(200, 200, 200); }
        TFontInfo MenuFont() override { return {}; }
        TFormComponents Components() override { return {}; }
        void HookControl(const TComponentInfo&) override {}
        void InvalidateControl(const TComponentInfo&) override {}
        void MenuChanged(TMenu&) override {}
        void RedrawMenuBar() override {}
        void DrawMenuItem(TMenuPainter&, TMenuItem&, TMenuCanvas&, const TRect&, bool) override {}
    } owner;
    const TMenuPainter painter(owner);
    // Lighten(200, 86) is 247, shown as 240; the border is a shade: as it is.
    EXPECT_EQ(painter.Colors(16, Coarse).Face, RGBColor(240, 240, 240));
    EXPECT_EQ(painter.Colors(16, Coarse).MenuBorder, RGBColor(110, 112, 110));
}
