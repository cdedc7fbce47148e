// The owners of GDI handles: what they hold is given back when they go, and
// once only.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <utility>

#include "toolkit/win32/GdiOwners.h"

namespace {

struct ObjectKind {
    const char* name;
    DWORD type;  // as GetObjectType and GetCurrentObject name it
    bool selectable;  // a region is selected as a clip region, not an object
    std::function<HGDIOBJ()> make;
};

const ObjectKind kKinds[] = {
    {"pen", OBJ_PEN, true, [] { return HGDIOBJ(CreatePen(PS_SOLID, 1, RGB(10, 20, 30))); }},
    {"brush", OBJ_BRUSH, true, [] { return HGDIOBJ(CreateSolidBrush(RGB(10, 20, 30))); }},
    {"font", OBJ_FONT, true,
     [] { return HGDIOBJ(CreateFontW(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                     L"Tahoma")); }},
    {"bitmap", OBJ_BITMAP, true, [] { return HGDIOBJ(CreateBitmap(4, 4, 1, 1, nullptr)); }},
    {"region", OBJ_REGION, false, [] { return HGDIOBJ(CreateRectRgn(0, 0, 5, 5)); }},
};

TEST(GdiOwners, AnOwnedObjectIsDeletedWithItsOwner) {
    for (const ObjectKind& kind : kKinds) {
        HGDIOBJ object;
        {
            const TGdiObject<HGDIOBJ> owner(kind.make());
            object = owner.get();
            ASSERT_EQ(GetObjectType(object), kind.type) << kind.name;
        }
        EXPECT_EQ(GetObjectType(object), 0u) << kind.name;
    }
}

TEST(GdiOwners, ASelectionIsUndoneWhenItsOwnerGoes) {
    const TMemoryDC dc = CreateMemoryDC(nullptr);
    for (const ObjectKind& kind : kKinds) {
        if (!kind.selectable) continue;
        const HGDIOBJ before = GetCurrentObject(dc.get(), kind.type);
        const TGdiObject<HGDIOBJ> object(kind.make());
        {
            const TSelection selected(dc.get(), object.get());
            ASSERT_EQ(GetCurrentObject(dc.get(), kind.type), object.get()) << kind.name;
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), kind.type), before) << kind.name;
    }
}

// A selected object cannot be deleted: the selection has to be undone first.
TEST(GdiOwners, AnObjectMadeForOneDrawingIsDeselectedAndDeleted) {
    const TMemoryDC dc = CreateMemoryDC(nullptr);
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_PEN);
    HPEN pen;
    {
        const TSelected<HPEN> selected(dc.get(), CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        pen = selected.Get();
        ASSERT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen);
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), before);
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(GdiOwners, ASavedContextIsRestoredWhenItsOwnerGoes) {
    const TMemoryDC dc = CreateMemoryDC(nullptr);
    SetTextColor(dc.get(), RGB(1, 2, 3));
    const HGDIOBJ font = GetCurrentObject(dc.get(), OBJ_FONT);
    {
        const TSavedDC saved(dc.get());
        SetTextColor(dc.get(), RGB(200, 100, 0));
        SelectObject(dc.get(), GetStockObject(ANSI_FIXED_FONT));
    }
    EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font);
}

// Moved from one owner to another, the handle outlives the first owner and
// goes with the second.
template <typename Owner>
void ExpectMovedOwnerDeletesOnce(Owner first, DWORD type) {
    const auto handle = first.get();
    ASSERT_EQ(GetObjectType(handle), type);
    Owner second;
    {
        Owner moved = std::move(first);
        second = std::move(moved);
    }
    EXPECT_EQ(GetObjectType(handle), type);
    second.reset();
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(GdiOwners, AMovedOwnerLeavesNothingToDeleteTwice) {
    ExpectMovedOwnerDeletesOnce(TOwnedBrush(CreateSolidBrush(RGB(1, 2, 3))), OBJ_BRUSH);
    ExpectMovedOwnerDeletesOnce(CreateMemoryDC(nullptr), OBJ_MEMDC);
}

}  // namespace
