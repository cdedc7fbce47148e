#include <gtest/gtest.h>

#include <map>

#include "widgets/MenuPainter.h"

namespace {

constexpr TColor kFace = RGBColor(212, 208, 200);
constexpr TColor kHighlight = RGBColor(10, 36, 106);
constexpr TColor kShadow = RGBColor(128, 128, 128);
constexpr TColor kMenuText = RGBColor(0, 0, 0);
constexpr TColor kInactive = RGBColor(128, 128, 128);

// An owner form whose components the test lists, recording what the
// painter asks of it.
class FakeOwner : public TMenuPainterHost {
public:
    TColor SysColor(int index) const override {
        switch (index) {
            case 3: return kInactive;
            case 7: return kMenuText;
            case 13: return kHighlight;
            case 15: return kFace;
            case 16: return kShadow;
            default: return 0x123456;
        }
    }
    TFontInfo MenuFont() override { return {"Segoe UI", -12, 1, clBlack}; }
    TFormComponents Components() override { return form; }
    bool Designing() override { return designing; }
    void HookControl(const TComponentInfo& c) override { hooked.push_back(c.Handle); }
    void InvalidateControl(const TComponentInfo& c) override { invalidated.push_back(c.Handle); }
    void MenuChanged(TMenu&) override { ++menuChanges; }
    void RedrawMenuBar() override { ++menuBarRedraws; }
    void DrawMenuItem(TMenuPainter&, TMenuItem& item, TMenuCanvas&, const TRect&, bool) override {
        drawn.push_back(item.Caption);
    }

    // Adds a component owned by the form; returns its index.
    int Add(TComponentKind kind, std::string className, int parent = 0, int tag = 0,
            TMenu* menu = nullptr) {
        if (form.Items.empty()) {
            form.Items.emplace_back();
            form.Items.back().Kind = TComponentKind::Form;
            form.Items.back().ClassName = "TForm1";
        }
        TComponentInfo c{kind, std::move(className), tag, parent, {}, menu, form.Items.size()};
        form.Items.push_back(c);
        const int index = static_cast<int>(form.Items.size()) - 1;
        form.Items.front().Owned.push_back(index);
        return index;
    }

    TFormComponents form;
    bool designing = false;
    std::vector<std::uintptr_t> hooked;
    std::vector<std::uintptr_t> invalidated;
    int menuChanges = 0;
    int menuBarRedraws = 0;
    std::vector<std::string> drawn;
};

// Every character 6 pixels wide; text as high as the font says.
class FakeCanvas : public TMenuCanvas {
public:
    void SetFont(const TFontInfo& f) override { font = f; }
    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return font.Height < 0 ? -font.Height + 2 : font.Height; }
    TFontInfo font;
};

// ------------------------------------------------------------------ colour arithmetic

TEST(MenuPainterColors, ShadeLowersRedAndBlueAndGreenTwoLessClamped) {
    EXPECT_EQ(Shade(clWhite, 0), RGBColor(255, 255, 255));
    EXPECT_EQ(Shade(RGBColor(100, 100, 100), 30), RGBColor(70, 72, 70));
    EXPECT_EQ(Shade(RGBColor(10, 0, 20), 30), RGBColor(0, 0, 0));
    EXPECT_EQ(Shade(RGBColor(250, 100, 0), -40), RGBColor(255, 142, 40));
}

TEST(MenuPainterColors, LightenRoundsHalvesToEvenAndCapsAt100) {
    EXPECT_EQ(Lighten(RGBColor(0, 0, 0), 50), RGBColor(128, 128, 128));
    // 255 * 30 / 100 = 76.5 goes to 76; (255 - 1) * 50 / 100 = 127 exactly.
    EXPECT_EQ(Lighten(RGBColor(0, 1, 0), 30), RGBColor(76, 77, 76));
    EXPECT_EQ(Lighten(RGBColor(1, 1, 1), 50), RGBColor(128, 128, 128));
    EXPECT_EQ(Lighten(RGBColor(3, 90, 200), 150), RGBColor(255, 255, 255));
    EXPECT_EQ(Lighten(RGBColor(3, 90, 200), 0), RGBColor(3, 90, 200));
}

TEST(MenuPainterColors, GreyTakesTheMeanPlusLevelCappedAt240) {
    EXPECT_EQ(Grey(RGBColor(250, 250, 250), 10), RGBColor(240, 240, 240));
    EXPECT_EQ(Grey(RGBColor(10, 20, 31), 5), RGBColor(25, 25, 25));
}

TEST(MenuPainterColors, SystemColoursResolveOthersPass) {
    FakeOwner owner;
    EXPECT_EQ(ColorToRGB(clBtnFace, owner), kFace);
    EXPECT_EQ(ColorToRGB(clHighlight, owner), kHighlight);
    EXPECT_EQ(ColorToRGB(RGBColor(1, 2, 3), owner), RGBColor(1, 2, 3));
}

// ------------------------------------------------------------------ creation and the derived set

TEST(MenuPainter, ValuesAtCreation) {
    FakeOwner owner;
    TMenuPainter p(owner);
    EXPECT_EQ(p.DimLevel, 30);
    EXPECT_EQ(p.GrayLevel, 10);
    EXPECT_EQ(p.Font().Name, "Segoe UI");
    EXPECT_EQ(p.Font().Color, clMenuText);
    EXPECT_EQ(p.Color, clBtnFace);
    EXPECT_FALSE(p.DrawMenuBar);
    EXPECT_EQ(p.IconBackColor, clBtnFace);
    EXPECT_EQ(p.MenuBarColor(), clBtnFace);
    EXPECT_EQ(p.SelectColor, clHighlight);
    EXPECT_EQ(p.SelectBorderColor, clHighlight);
    EXPECT_EQ(p.SelectFontColor, clMenuText);
    EXPECT_EQ(p.DisabledColor, clInactiveCaption);
    EXPECT_EQ(p.SeparatorColor, clBtnFace);
    EXPECT_EQ(p.CheckedColor, clHighlight);
    EXPECT_EQ(p.IconWidth, 24);
    EXPECT_TRUE(p.DrawSelect);
    EXPECT_TRUE(p.UseSystemColors());
    EXPECT_FALSE(p.UseDimColor);
    EXPECT_FALSE(p.OverrideOwnerDraw());
    EXPECT_FALSE(p.Gradient);
    EXPECT_FALSE(p.FlatMenu);
    EXPECT_FALSE(p.AutoDetect);
    EXPECT_EQ(p.PaintContainers().Bits(), 0x3FFu);
    EXPECT_TRUE(p.PaintControls().Contains(xcMainMenu));
    EXPECT_TRUE(p.PaintControls().Contains(xcGroupBox));
    EXPECT_FALSE(p.PaintControls().Contains(xcSpinEdit));
    EXPECT_FALSE(p.Active());
    EXPECT_TRUE(p.StrngContrast.Empty());
}

TEST(MenuPainter, DerivedColoursFromTheSystemWithHighColour) {
    FakeOwner owner;
    TMenuPainter p(owner);
    p.SelectColor = RGBColor(255, 0, 0);  // no effect with system colours
    const TMenuColors c = p.Colors(32);
    EXPECT_TRUE(c.HighColor);
    EXPECT_EQ(c.Face, Lighten(kFace, 86));
    EXPECT_EQ(c.IconBack, Lighten(kFace, 16));
    EXPECT_EQ(c.SelectFill, Lighten(kHighlight, 68));
    EXPECT_EQ(c.SelectBorder, kHighlight);
    EXPECT_EQ(c.SelectFont, kMenuText);
    EXPECT_EQ(c.MenuBar, kFace);
    EXPECT_EQ(c.Disabled, Lighten(kShadow, 10));
    EXPECT_EQ(c.Separator, Lighten(kShadow, 25));
    EXPECT_EQ(c.CheckedBorder, kHighlight);
    EXPECT_EQ(c.CheckedFill, Lighten(kHighlight, 80));
    EXPECT_EQ(c.CheckedSelectedFill, Lighten(kHighlight, 50));
    EXPECT_EQ(c.MenuBorder, Shade(kFace, 90));
    EXPECT_EQ(c.MenuShadow, Shade(kFace, 76));
    EXPECT_EQ(c.ButtonLevelLow, 16);
    EXPECT_EQ(c.ButtonLevelHigh, 40);
}

TEST(MenuPainter, DerivedColoursFromTheSystemWithFewColours) {
    FakeOwner owner;
    TMenuPainter p(owner);
    const TMenuColors c = p.Colors(8);
    EXPECT_FALSE(c.HighColor);
    EXPECT_EQ(c.Face, clWhite);
    EXPECT_EQ(c.IconBack, kFace);
    EXPECT_EQ(c.SelectFill, clWhite);
    EXPECT_EQ(c.Disabled, kShadow);
    EXPECT_EQ(c.Separator, kShadow);
    EXPECT_EQ(c.CheckedFill, clWhite);
    EXPECT_EQ(c.CheckedSelectedFill, clWhite);
    EXPECT_EQ(c.MenuBorder, kShadow);
    EXPECT_EQ(c.MenuShadow, kShadow);
}

TEST(MenuPainter, DerivedColoursFromTheSettings) {
    FakeOwner owner;
    TMenuPainter p(owner);
    p.SetUseSystemColors(false);
    p.Color = RGBColor(1, 1, 1);
    p.IconBackColor = RGBColor(2, 2, 2);
    p.SelectColor = RGBColor(200, 0, 0);
    p.SelectBorderColor = RGBColor(3, 3, 3);
    p.SelectFontColor = RGBColor(4, 4, 4);
    p.DisabledColor = RGBColor(5, 5, 5);
    p.CheckedColor = RGBColor(6, 6, 6);
    p.SeparatorColor = RGBColor(7, 7, 7);
    p.SetMenuBarColor(RGBColor(8, 8, 8));

    TMenuColors c = p.Colors(24);
    EXPECT_EQ(c.Face, RGBColor(1, 1, 1));
    EXPECT_EQ(c.IconBack, RGBColor(2, 2, 2));
    EXPECT_EQ(c.SelectFill, RGBColor(200, 0, 0));
    EXPECT_EQ(c.CheckedFill, RGBColor(200, 0, 0));
    EXPECT_EQ(c.CheckedSelectedFill, RGBColor(200, 0, 0));
    EXPECT_EQ(c.SelectBorder, RGBColor(3, 3, 3));
    EXPECT_EQ(c.SelectFont, RGBColor(4, 4, 4));
    EXPECT_EQ(c.Disabled, RGBColor(5, 5, 5));
    EXPECT_EQ(c.CheckedBorder, RGBColor(6, 6, 6));
    EXPECT_EQ(c.Separator, RGBColor(7, 7, 7));
    EXPECT_EQ(c.MenuBar, RGBColor(8, 8, 8));

    p.UseDimColor = true;
    c = p.Colors(24);
    EXPECT_EQ(c.SelectFill, Lighten(RGBColor(200, 0, 0), 68));
    EXPECT_EQ(c.CheckedFill, Lighten(RGBColor(200, 0, 0), 80));
    EXPECT_EQ(c.CheckedSelectedFill, Lighten(RGBColor(200, 0, 0), 50));

    c = p.Colors(8);
    EXPECT_EQ(c.SelectFill, RGBColor(200, 0, 0));
    EXPECT_EQ(c.CheckedFill, clWhite);
    EXPECT_EQ(c.CheckedSelectedFill, clSilver);
    EXPECT_EQ(owner.menuBarRedraws, 2);
}

// ------------------------------------------------------------------ which controls are hooked

class MenuPainterSelection : public ::testing::Test {
protected:
    FakeOwner owner;
};

TEST_F(MenuPainterSelection, HandledKindsOnHandledContainers) {
    const int panel = owner.Add(TComponentKind::Panel, "TPanel");
    const int edit = owner.Add(TComponentKind::Edit, "TEdit", panel);
    const int memo = owner.Add(TComponentKind::Memo, "TMemo", panel);
    const int button = owner.Add(TComponentKind::Button, "TButton");
    const int bitbtn = owner.Add(TComponentKind::Button, "TBitBtn", panel);
    owner.Add(TComponentKind::Other, "TTreeView");
    owner.Add(TComponentKind::Other, "TStatusBarPro");
    const int spin = owner.Add(TComponentKind::Other, "TBetterSpinEdit");
    const int mask = owner.Add(TComponentKind::Edit, "TMaskEdit");
    const int splitter = owner.Add(TComponentKind::Panel, "TBetterSplitter");
    // A kind matches by class name only where the table names one.
    owner.Add(TComponentKind::Button, "TMyButton");
    // A control on a container that is not handled.
    const int group = owner.Add(TComponentKind::Other, "TGroupBox");
    owner.Add(TComponentKind::Edit, "TEdit", group);

    TMenuPainter p(owner);
    p.SetActive(true);
    const std::vector<std::uintptr_t> expected{
        std::uintptr_t(panel),  std::uintptr_t(edit), std::uintptr_t(memo),
        std::uintptr_t(button), std::uintptr_t(bitbtn), std::uintptr_t(spin),
        std::uintptr_t(mask),   std::uintptr_t(splitter)};
    EXPECT_EQ(owner.hooked, expected);
    EXPECT_EQ(owner.invalidated, expected);
}

TEST_F(MenuPainterSelection, Tag999OnTheControlOrItsParentLeavesItAlone) {
    const int panel = owner.Add(TComponentKind::Panel, "TPanel", 0, 999);
    owner.Add(TComponentKind::Edit, "TEdit", panel);
    owner.Add(TComponentKind::Button, "TButton", 0, 999);
    const int plain = owner.Add(TComponentKind::Button, "TButton", 0, 1000);
    TMenuPainter p(owner);
    p.SetActive(true);
    EXPECT_EQ(owner.hooked, std::vector<std::uintptr_t>{std::uintptr_t(plain)});
    // Repainted all the same: an inactive painter's hooks go at their next message.
    EXPECT_EQ(owner.invalidated.size(), 4u);
}

TEST_F(MenuPainterSelection, OnlyTheChosenKindsAndContainers) {
    const int panel = owner.Add(TComponentKind::Panel, "TPanel");
    const int edit = owner.Add(TComponentKind::Edit, "TEdit", panel);
    const int button = owner.Add(TComponentKind::Button, "TButton");
    TMenuPainter p(owner);
    // Panels themselves are not among the chosen kinds.
    p.SetPaintControls({xcEdit, xcButton});
    p.SetPaintContainers({xccPanel});
    p.SetActive(true);
    EXPECT_EQ(owner.hooked, std::vector<std::uintptr_t>{std::uintptr_t(edit)});

    // A change while active unpaints with the old choice and paints with the new.
    owner.hooked.clear();
    owner.invalidated.clear();
    p.SetPaintContainers({xccForm});
    EXPECT_EQ(owner.hooked, std::vector<std::uintptr_t>{std::uintptr_t(button)});
    EXPECT_EQ(owner.invalidated,
              (std::vector<std::uintptr_t>{std::uintptr_t(edit), std::uintptr_t(button)}));
}

TEST_F(MenuPainterSelection, DeactivatingHooksNothingButRepaints) {
    owner.Add(TComponentKind::Button, "TButton");
    TMenuPainter p(owner);
    p.SetActive(true);
    owner.hooked.clear();
    owner.invalidated.clear();
    p.SetActive(false);
    EXPECT_TRUE(owner.hooked.empty());
    EXPECT_EQ(owner.invalidated.size(), 1u);
    EXPECT_EQ(owner.menuBarRedraws, 2);
}

TEST_F(MenuPainterSelection, WhileDesignedOnlyMenusAreTakenOver) {
    TMenu menu(true, "MainMenu1");
    menu.Items.Add("File");
    owner.Add(TComponentKind::MainMenu, "TMainMenu", -1, 0, &menu);
    owner.Add(TComponentKind::Button, "TButton");
    owner.designing = true;
    TMenuPainter p(owner);
    p.SetActive(true);
    EXPECT_TRUE(owner.hooked.empty());
    EXPECT_TRUE(menu.OwnerDraw);
    EXPECT_EQ(menu.Items.Items()[0]->OnDrawItem.Owner, &p);
}

TEST_F(MenuPainterSelection, LoadedActivePainterTakesOverWithoutRepaint) {
    owner.Add(TComponentKind::Button, "TButton");
    {
        TMenuPainter p(owner);
        p.Loaded();
        EXPECT_TRUE(owner.hooked.empty());
    }
    TMenuPainter p(owner);
    p.SetActive(true);
    owner.hooked.clear();
    owner.invalidated.clear();
    p.Loaded();
    EXPECT_EQ(owner.hooked.size(), 1u);
    EXPECT_TRUE(owner.invalidated.empty());
}

TEST_F(MenuPainterSelection, AutoDetectTakesOverAComponentAddedLater) {
    TMenuPainter p(owner);
    p.SetActive(true);
    const int late = owner.Add(TComponentKind::Button, "TButton");
    p.ComponentInserted(owner.form.Items[std::size_t(late)]);
    EXPECT_TRUE(owner.hooked.empty());
    p.AutoDetect = true;
    p.ComponentInserted(owner.form.Items[std::size_t(late)]);
    EXPECT_EQ(owner.hooked.size(), 1u);
}

// ------------------------------------------------------------------ menu item hooks

class MenuPainterItems : public ::testing::Test {
protected:
    MenuPainterItems() : main(true, "MainMenu1"), popup(false, "PopupMenu1") {
        file = &main.Items.Add("File");
        open = &file->Add("Open");
        own = &file->Add("Own");
        own->OnDrawItem = {[this](TMenuItem&, TMenuCanvas&, const TRect&, bool) { ++ownDraws; }, nullptr};
        kept = &file->Add("Kept");
        kept->Tag = 999;
        popupItem = &popup.Items.Add("Copy");
        owner.Add(TComponentKind::MainMenu, "TMainMenu", -1, 0, &main);
        owner.Add(TComponentKind::PopupMenu, "TPopupMenu", -1, 0, &popup);
    }
    FakeOwner owner;
    TMenu main;
    TMenu popup;
    TMenuItem* file;
    TMenuItem* open;
    TMenuItem* own;
    TMenuItem* kept;
    TMenuItem* popupItem;
    int ownDraws = 0;
};

TEST_F(MenuPainterItems, ActivationTakesOverItemsWithoutHandlersOnly) {
    TMenuPainter p(owner);
    p.SetActive(true);
    EXPECT_TRUE(main.OwnerDraw);
    EXPECT_TRUE(popup.OwnerDraw);
    EXPECT_EQ(file->OnDrawItem.Owner, &p);
    EXPECT_EQ(open->OnDrawItem.Owner, &p);
    EXPECT_EQ(popupItem->OnDrawItem.Owner, &p);
    EXPECT_EQ(own->OnDrawItem.Owner, nullptr);
    // Its own drawing stays, but it is measured by the painter.
    EXPECT_EQ(own->OnMeasureItem.Owner, &p);
    EXPECT_FALSE(kept->OnDrawItem);
    EXPECT_FALSE(kept->OnMeasureItem);
}

TEST_F(MenuPainterItems, OverrideOwnerDrawReplacesOwnHandlersAtOnceButNotTag999) {
    TMenuPainter p(owner);
    p.SetActive(true);
    const int changes = owner.menuChanges;
    p.SetOverrideOwnerDraw(true);
    EXPECT_EQ(own->OnDrawItem.Owner, &p);
    EXPECT_FALSE(kept->OnDrawItem);
    EXPECT_GT(owner.menuChanges, changes);
}

TEST_F(MenuPainterItems, DeactivationRemovesOnlyThePaintersHandlers) {
    TMenuPainter p(owner);
    p.SetActive(true);
    p.SetActive(false);
    EXPECT_FALSE(main.OwnerDraw);
    EXPECT_FALSE(open->OnDrawItem);
    EXPECT_FALSE(open->OnMeasureItem);
    EXPECT_FALSE(own->OnMeasureItem);
    ASSERT_TRUE(own->OnDrawItem);
    struct : TMenuCanvas {
        void SetFont(const TFontInfo&) override {}
        int TextWidth(const std::string&) override { return 0; }
        int TextHeight(const std::string&) override { return 0; }
    } canvas;
    own->OnDrawItem.Handler(*own, canvas, {}, false);
    EXPECT_EQ(ownDraws, 1);
}

TEST_F(MenuPainterItems, MainMenuWithTag999IsLeftAloneThePopupTagIsNotLookedAt) {
    main.Tag = 999;
    popup.Tag = 999;
    TMenuPainter p(owner);
    p.SetActive(true);
    EXPECT_FALSE(main.OwnerDraw);
    EXPECT_FALSE(open->OnDrawItem);
    EXPECT_EQ(popupItem->OnDrawItem.Owner, &p);
}

TEST_F(MenuPainterItems, DestructionRemovesTheHandlers) {
    {
        TMenuPainter p(owner);
        p.SetActive(true);
    }
    EXPECT_FALSE(open->OnDrawItem);
    EXPECT_FALSE(main.OwnerDraw);
}

TEST_F(MenuPainterItems, DrawingRunsOnlyWhileActiveAndHooksSubItemsAddedLater) {
    TMenuPainter p(owner);
    FakeCanvas canvas;
    p.DrawItem(*open, canvas, {}, false);
    EXPECT_TRUE(owner.drawn.empty());
    p.SetActive(true);
    TMenuItem& later = file->Add("Later");
    file->OnDrawItem.Handler(*file, canvas, {0, 0, 40, 20}, true);
    EXPECT_EQ(owner.drawn, std::vector<std::string>{"File"});
    EXPECT_EQ(later.OnDrawItem.Owner, &p);
}

// ------------------------------------------------------------------ measuring

TEST_F(MenuPainterItems, SeparatorIsFourHighWhateverItsFont) {
    TMenuPainter p(owner);
    p.SetActive(true);
    TMenuItem& sep = file->Add("-");
    FakeCanvas canvas;
    for (int height : {-8, -11, -30}) {
        TFontInfo font = p.Font();
        font.Height = height;
        p.SetFont(font);
        int w = 0, h = 50;
        p.MeasureItem(sep, canvas, w, h);
        EXPECT_EQ(h, 4) << height;
        EXPECT_EQ(w, 5 + 24);
    }
}

TEST_F(MenuPainterItems, ItemWidthAndHeight) {
    TMenuPainter p(owner);
    p.SetActive(true);
    FakeCanvas canvas;
    TFontInfo font = p.Font();
    font.Height = -11;  // text 13 high: 13 + round(9.75) = 23
    p.SetFont(font);

    int w = 0, h = 0;
    p.MeasureItem(*open, canvas, w, h);
    EXPECT_EQ(w, 6 * 4 + 5 + 24);
    EXPECT_EQ(h, 23);

    // The shortcut and room for it; the "&" does not count.
    TMenuItem& save = file->Add("&Save");
    save.ShortCutText = "Ctrl+S";
    w = h = 0;
    p.MeasureItem(save, canvas, w, h);
    EXPECT_EQ(w, 6 * std::string("&SaveCtrl+SWWW").size() + 5 - 6 + 24);

    // A proposal already larger stays.
    w = 500;
    h = 40;
    p.MeasureItem(*open, canvas, w, h);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 40);

    // A tall picture sets the height, a wide one the width.
    TMenuItem& pic = file->Add("Pic");
    int bitmap = 0;
    pic.Bitmap = &bitmap;
    pic.BitmapSize = {40, 30};
    w = h = 0;
    p.MeasureItem(pic, canvas, w, h);
    EXPECT_EQ(h, 36);
    EXPECT_EQ(w, 18 + 5 + 40);

    // Halves of 0.75 x height round to even: 14 + 10.5 -> 24, 10 + 7.5 -> 18.
    font.Height = -12;
    p.SetFont(font);
    w = h = 0;
    p.MeasureItem(*open, canvas, w, h);
    EXPECT_EQ(h, 24);
    font.Height = -8;
    p.SetFont(font);
    w = h = 0;
    p.MeasureItem(*open, canvas, w, h);
    EXPECT_EQ(h, 18);
}

TEST_F(MenuPainterItems, MenuBarItemsHaveNoIconColumnButNTRoom) {
    TMenuPainter p(owner);
    p.SetActive(true);
    FakeCanvas canvas;
    int w = 0, h = 0;
    p.MeasureItem(*file, canvas, w, h);
    EXPECT_EQ(w, 6 * 4 + 5 + 8);
    // A pop-up menu's top level has the icon column.
    w = h = 0;
    p.MeasureItem(*popupItem, canvas, w, h);
    EXPECT_EQ(w, 6 * 4 + 5 + 24);
}

// At 150 percent the margins grow: 5 -> 8, the NT room 8 -> 12, a separator
// 4 -> 6; the icon column is the form's.
TEST_F(MenuPainterItems, MarginsFollowTheScale) {
    TMenuPainter p(owner);
    p.SetActive(true);
    p.Dpi = 144;
    p.IconWidth = 36;
    FakeCanvas canvas;
    int w = 0, h = 0;
    p.MeasureItem(*file, canvas, w, h);
    EXPECT_EQ(w, 6 * 4 + 8 + 12);
    w = 0;
    p.MeasureItem(file->Add("-"), canvas, w, h);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(w, 8 + 36);
}

TEST_F(MenuPainterItems, MeasuringOnlyWhileActive) {
    TMenuPainter p(owner);
    FakeCanvas canvas;
    int w = 7, h = 9;
    p.MeasureItem(*open, canvas, w, h);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 9);
}

// ------------------------------------------------------------------ layout

TEST(MenuItemLayout, IconColumnBoxAndTextLeftToRight) {
    const TRect r{0, 0, 120, 23};
    auto l = LayoutMenuItem(r, 24, nullptr, false, false);
    EXPECT_EQ(l.IconColumn, (TRect{0, 0, 24, 23}));
    EXPECT_EQ(l.IconBox, (TRect{7, 6, 17, 16}));
    EXPECT_EQ(l.TextBox, (TRect{24, 0, 120, 23}));

    const TSize icon{16, 16};
    l = LayoutMenuItem(r, 24, &icon, false, false);
    EXPECT_EQ(l.IconBox, (TRect{1, 2, 21, 21}));
    EXPECT_EQ(l.TextBox.Left, 24);

    const TSize wide{30, 16};
    l = LayoutMenuItem(r, 24, &wide, false, false);
    EXPECT_EQ(l.IconBox, (TRect{1, 2, 31, 21}));
    EXPECT_EQ(l.TextBox.Left, 35);
}

TEST(MenuItemLayout, MirroredRightToLeft) {
    const TRect r{0, 0, 120, 23};
    auto l = LayoutMenuItem(r, 24, nullptr, false, true);
    EXPECT_EQ(l.IconColumn, (TRect{96, 0, 120, 23}));
    EXPECT_EQ(l.TextBox, (TRect{0, 0, 96, 23}));
    const TSize wide{30, 16};
    l = LayoutMenuItem(r, 24, &wide, false, true);
    EXPECT_EQ(l.IconBox, (TRect{87, 2, 117, 21}));
    EXPECT_EQ(l.TextBox.Right, 79);
}

TEST(MenuItemLayout, TopItems) {
    const TRect r{10, 0, 50, 19};
    auto l = LayoutMenuItem(r, 24, nullptr, true, false);
    EXPECT_EQ(l.TextBox, r);
    const TSize icon{16, 16};
    l = LayoutMenuItem(r, 24, &icon, true, false);
    EXPECT_EQ(l.IconBox.Top, 1);
    EXPECT_EQ(l.TextBox.Left, 10 + 21 + 4 - 5);
}

TEST(MenuItemLayout, GradientGrowsFastOverTheIconColumnAndStopsAt96) {
    const auto levels = GradientLevels(80, 24);
    EXPECT_EQ(levels[0], 1);
    EXPECT_EQ(levels[1], 4);
    EXPECT_EQ(levels[28], 1 + 28 * 3);
    EXPECT_EQ(levels[29], 86);
    EXPECT_EQ(levels[39], 96);
    EXPECT_EQ(levels[79], 96);
}

// Each measure of an item's drawing, given at 96 DPI, at the screen's scale,
// rounded as MulDiv rounds (at 120 DPI 2.5 -> 3 and 12.5 -> 13; at 144 DPI
// 1.5 -> 2, 4.5 -> 5 and 10.5 -> 11). The icon column comes scaled from the form.
TEST(MenuItemLayout, DrawingPositionsFollowTheScale) {
    struct Row {
        int dpi;
        int iconWidth;
        TRect checkSquare;     // no icon: centred in the icon column
        int textBesideWideIcon;
        int topIconTop;
        TRect caption;         // in the text box, for a "W" 20 high
        int shortCutRight;
        TPoint embossSecond;
        TPoint separatorFrom;
        TTabOutline tab;       // of a top item at 10..60, 20 high
        int fastGradientColumns;  // right to left, a column of 24
    };
    const Row rows[] = {
        {120, 30, {8, 11, 21, 24}, 56, 2, {34, 8, 200, 28}, 187, {1, 3}, {39, 18},
         {{10, 0, 56, 20}, {56, 0, 59, 20}, {56, 0, 59, 3}}, 17},
        {144, 36, {10, 10, 25, 25}, 58, 1, {41, 8, 200, 28}, 185, {2, 3}, {47, 18},
         {{10, 0, 55, 20}, {55, 0, 58, 20}, {55, 0, 58, 3}}, 15},
        {192, 48, {14, 8, 34, 28}, 60, 2, {54, 8, 200, 28}, 180, {2, 4}, {62, 18},
         {{10, 0, 54, 20}, {54, 0, 58, 20}, {54, 0, 58, 4}}, 13},
    };
    const TRect r{0, 0, 200, 36};
    const TSize icon{16, 16}, wide{50, 16};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dpi);
        const auto plain = LayoutMenuItem(r, row.iconWidth, nullptr, false, false, row.dpi);
        EXPECT_EQ(plain.IconBox, row.checkSquare);
        EXPECT_EQ(LayoutMenuItem(r, row.iconWidth, &wide, false, false, row.dpi).TextBox.Left,
                  row.textBesideWideIcon);
        EXPECT_EQ(LayoutMenuItem(r, row.iconWidth, &icon, true, false, row.dpi).IconBox.Top,
                  row.topIconTop);
        const TRect caption = CaptionBox(plain.TextBox, 20, false, row.dpi);
        EXPECT_EQ(caption, row.caption);
        EXPECT_EQ(ShortCutBox(caption, false, row.dpi).Right, row.shortCutRight);
        EXPECT_EQ(EmbossOffsets(row.dpi)[1], row.embossSecond);
        EXPECT_EQ(SeparatorLine(plain.TextBox, false, row.dpi).From, row.separatorFrom);
        const TTabOutline tab = TopItemTabOutline({10, 0, 60, 20}, false, row.dpi);
        EXPECT_EQ(tab.Frame, row.tab.Frame);
        EXPECT_EQ(tab.Shadow, row.tab.Shadow);
        EXPECT_EQ(tab.Cap, row.tab.Cap);
        const auto levels = GradientLevels(40, 24, true, row.dpi);
        const int fast = row.fastGradientColumns;
        EXPECT_EQ(levels[fast - 1] - levels[fast - 2], 3);
        EXPECT_EQ(levels[fast] - levels[fast - 1], 1);
    }
}

// ------------------------------------------------------------------ bit button glyphs

TEST(BitButtonGlyph, FourPositions) {
    const TSize client{100, 30}, glyph{16, 16}, text{40, 13};
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphLeft, client, glyph, text, 4, -1),
              (TGlyphPlacement{{20, 7}, {40, 8}}));
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphLeft, client, glyph, text, 4, 5),
              (TGlyphPlacement{{5, 7}, {25, 8}}));
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphRight, client, glyph, text, 4, -1),
              (TGlyphPlacement{{64, 7}, {20, 8}}));
    const TSize tall{100, 60};
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphTop, tall, glyph, text, 4, -1),
              (TGlyphPlacement{{42, 13}, {30, 33}}));
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphBottom, tall, glyph, text, 4, -1),
              (TGlyphPlacement{{42, 30}, {30, 13}}));
}

TEST(BitButtonGlyph, BlankCaptionCentresTheGlyphAloneNoGlyphShiftsTheCaption) {
    EXPECT_EQ(GlyphSpacing(4, "  "), 0);
    EXPECT_EQ(GlyphSpacing(4, ""), 0);
    EXPECT_EQ(GlyphSpacing(4, "About"), 4);
    const TSize client{100, 30};
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphLeft, client, {16, 16}, {0, 13},
                          GlyphSpacing(4, " "), -1).Glyph,
              (TPoint{42, 7}));
    // No glyph: the caption sits two pixels right of the middle.
    EXPECT_EQ(LayoutGlyph(TButtonLayout::GlyphLeft, client, {0, 0}, {40, 13}, 4, -1).Text,
              (TPoint{32, 8}));
}

TEST(BitButtonGlyph, CellOfTheStrip) {
    EXPECT_EQ(GlyphCell(1, false, true), 1);
    EXPECT_EQ(GlyphCell(2, false, false), 2);
    EXPECT_EQ(GlyphCell(2, true, true), 1);
    EXPECT_EQ(GlyphCell(3, true, true), 3);
    EXPECT_EQ(GlyphCell(4, true, false), 1);
}

}  // namespace
