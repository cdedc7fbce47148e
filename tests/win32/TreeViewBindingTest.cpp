// The tree shown in a real common-controls tree view: children deleted all at
// once leave their parent with its expand button, collapsed, and expandable
// again; clearing the tree empties the view.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "toolkit/VirtualTree.h"
#include "toolkit/win32/TreeViewBinding.h"
#include "tests/win32/MainFormFixture.h"

namespace {

using Tree = TVirtualTree<std::string>;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        auto* binding = reinterpret_cast<TTreeViewBinding*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        LRESULT result = 0;
        if (binding && binding->HandleNotify(*reinterpret_cast<NMHDR*>(lp), result)) return result;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class TreeViewBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TreeViewBindingTestHost";
        RegisterClassW(&wc);
        host_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                300, 300, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&binding_));
        view_ = binding_.Create(host_, 1);
        MoveWindow(view_, 0, 0, 300, 300, TRUE);
    }
    void TearDown() override {
        SetWindowLongPtrW(host_, GWLP_USERDATA, 0);
        DestroyWindow(host_);
    }
    HTREEITEM Item(TVirtualNode* n) { return TTreeViewBinding::ItemOf(n); }
    // The texts of the item's children as the view shows them, and checks
    // that each child item names its node.
    std::vector<std::string> ChildTexts(TVirtualNode* parent) {
        std::vector<std::string> texts;
        std::size_t i = 0;
        for (HTREEITEM c = TreeView_GetChild(view_, Item(parent)); c; c = TreeView_GetNextSibling(view_, c), ++i) {
            texts.push_back(ItemText(view_, c));
            EXPECT_LT(i, parent->Children().size());
            if (i < parent->Children().size()) {
                EXPECT_EQ(TTreeViewBinding::NodeOf(view_, c), parent->Children()[i].get());
            }
        }
        return texts;
    }
    // The keyboard's "-" and "+" on the selected item: the view tells its
    // owner of each (a program's own expand message only of the first).
    void CollapseAndExpandAsTheUserDoes(HTREEITEM item) {
        TreeView_SelectItem(view_, item);
        SendMessageW(view_, WM_KEYDOWN, VK_SUBTRACT, 0);
        SendMessageW(view_, WM_KEYDOWN, VK_ADD, 0);
    }
    static std::vector<std::string> Texts(const std::string& prefix, int count) {
        std::vector<std::string> texts;
        for (int i = 0; i < count; ++i) texts.push_back(prefix + std::to_string(i));
        return texts;
    }
    int ChildrenMark(HTREEITEM item) {
        TVITEMW tvi{};
        tvi.mask = TVIF_CHILDREN | TVIF_STATE;
        tvi.hItem = item;
        tvi.stateMask = TVIS_EXPANDED;
        TreeView_GetItem(view_, &tvi);
        state_ = tvi.state;
        return tvi.cChildren;
    }

    Tree tree_;
    TTreeViewBinding binding_{tree_,
                              [](TVirtualNode* n) -> const std::string& { return Tree::GetNodeData(n); }};
    HWND host_ = nullptr;
    HWND view_ = nullptr;
    UINT state_ = 0;
};

}  // namespace

TEST_F(TreeViewBindingTest, ChildrenDeletedAtOnceLeaveAnExpandableParentWithItsButton) {
    TVirtualNode* parent = tree_.AddChild(nullptr, true);
    TVirtualNode* other = tree_.AddChild(nullptr);
    int fills = 0;
    tree_.OnExpanding = [&](TVirtualNode* node, bool&) {
        ++fills;
        tree_.DeleteChildren(node);
        for (int i = 0; i < 1000; ++i) tree_.AddChild(node);
    };
    TreeView_Expand(view_, Item(parent), TVE_EXPAND);
    ASSERT_EQ(fills, 1);
    EXPECT_EQ(TreeView_GetCount(view_), 1002u);
    EXPECT_TRUE(parent->Expanded());

    tree_.DeleteChildren(parent);
    EXPECT_EQ(TreeView_GetCount(view_), 2u);
    EXPECT_EQ(TreeView_GetChild(view_, Item(parent)), nullptr);
    EXPECT_EQ(ChildrenMark(Item(parent)), 1);  // the button stays
    EXPECT_EQ(state_ & TVIS_EXPANDED, 0u);
    EXPECT_EQ(TreeView_GetNextSibling(view_, Item(parent)), Item(other));

    // The user's next click on the button fills it again.
    const HTREEITEM item = Item(parent);
    SendMessageW(view_, WM_KEYDOWN, VK_ADD, 0);  // nothing selected: no effect
    TreeView_SelectItem(view_, item);
    SendMessageW(view_, WM_KEYDOWN, VK_ADD, 0);
    EXPECT_EQ(fills, 2);
    EXPECT_EQ(TreeView_GetCount(view_), 1002u);
}

TEST_F(TreeViewBindingTest, ClearingTheTreeEmptiesTheView) {
    for (int i = 0; i < 100; ++i) tree_.AddChild(tree_.AddChild(nullptr, true));
    EXPECT_EQ(TreeView_GetCount(view_), 200u);
    tree_.Clear();
    EXPECT_EQ(TreeView_GetCount(view_), 0u);
    EXPECT_EQ(TreeView_GetRoot(view_), nullptr);
}

// A node that refills its children each time it expands (as "Sessions" does)
// keeps its items for the new children: the view shows the new texts in
// order, every item names its new node, and the surplus goes.
TEST_F(TreeViewBindingTest, ARefillShowsTheNewChildrenInTheOldItems) {
    TVirtualNode* parent = tree_.AddChild(nullptr, true);
    tree_.AddChild(nullptr);
    std::vector<std::string> next;
    tree_.OnExpanding = [&](TVirtualNode* node, bool&) {
        tree_.DeleteChildren(node);
        for (const auto& text : next) Tree::GetNodeData(tree_.AddChild(node)) = text;
    };
    const auto refill = [&](std::vector<std::string> texts) {
        next = std::move(texts);
        CollapseAndExpandAsTheUserDoes(Item(parent));
    };

    refill(Texts("a", 1000));
    const HTREEITEM first = TreeView_GetChild(view_, Item(parent));
    RECT shortText{};
    TreeView_GetItemRect(view_, first, &shortText, TRUE);

    // The same children again: the same items.
    refill(Texts("a", 1000));
    EXPECT_EQ(TreeView_GetChild(view_, Item(parent)), first);
    EXPECT_EQ(ChildTexts(parent), Texts("a", 1000));

    // A few with another text: still the same items, and the changed one's
    // width follows its new text.
    auto some = Texts("a", 1000);
    some[0] = some[500] = "a longer text for the session";
    refill(some);
    EXPECT_EQ(TreeView_GetChild(view_, Item(parent)), first);
    EXPECT_EQ(ChildTexts(parent), some);
    RECT longText{};
    TreeView_GetItemRect(view_, first, &longText, TRUE);
    EXPECT_GT(longText.right - longText.left, 2 * (shortText.right - shortText.left));

    // Every text another one.
    refill(Texts("a longer text for the session ", 1000));
    EXPECT_EQ(ChildTexts(parent), Texts("a longer text for the session ", 1000));
    EXPECT_EQ(TreeView_GetCount(view_), 1002u);

    refill(Texts("b", 1500));  // more
    EXPECT_EQ(ChildTexts(parent), Texts("b", 1500));
    refill(Texts("c", 1490));  // a few fewer
    EXPECT_EQ(ChildTexts(parent), Texts("c", 1490));
    EXPECT_EQ(TreeView_GetCount(view_), 1492u);
    refill(Texts("d", 10));  // many fewer
    EXPECT_EQ(ChildTexts(parent), Texts("d", 10));
    EXPECT_EQ(TreeView_GetCount(view_), 12u);
    refill({});  // none
    EXPECT_EQ(TreeView_GetCount(view_), 2u);
    EXPECT_EQ(ChildrenMark(Item(parent)), 1);  // the button stays
    refill(Texts("e", 3));
    EXPECT_EQ(ChildTexts(parent), Texts("e", 3));
    EXPECT_EQ(ChildrenMark(Item(parent)), 1);
    EXPECT_NE(state_ & TVIS_EXPANDED, 0u);
}

// Children that have children of their own, or a refill whose listing fails
// after the old children went: nothing is reused, nothing is left behind.
TEST_F(TreeViewBindingTest, ARefillOfChildrenWithChildrenOrOneThatFailsLeavesNoStaleItem) {
    TVirtualNode* parent = tree_.AddChild(nullptr, true);
    int fills = 0;
    tree_.OnExpanding = [&](TVirtualNode* node, bool& allowed) {
        ++fills;
        tree_.DeleteChildren(node);
        if (fills == 3) {
            allowed = false;  // the listing failed
            return;
        }
        for (int i = 0; i < 5; ++i) {
            TVirtualNode* child = tree_.AddChild(node, true);
            Tree::GetNodeData(child) = "f" + std::to_string(fills) + "-" + std::to_string(i);
            Tree::GetNodeData(tree_.AddChild(child)) = "grandchild";
        }
    };
    for (int round = 1; round <= 3; ++round) CollapseAndExpandAsTheUserDoes(Item(parent));
    EXPECT_EQ(fills, 3);
    EXPECT_EQ(TreeView_GetCount(view_), 1u);
    EXPECT_EQ(TreeView_GetChild(view_, Item(parent)), nullptr);
    EXPECT_FALSE(parent->Expanded());

    CollapseAndExpandAsTheUserDoes(Item(parent));
    EXPECT_EQ(fills, 4);
    EXPECT_EQ(TreeView_GetCount(view_), 11u);
    EXPECT_EQ(ChildTexts(parent), (std::vector<std::string>{"f4-0", "f4-1", "f4-2", "f4-3", "f4-4"}));
}
