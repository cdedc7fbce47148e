// The tree shown in a real common-controls tree view: children deleted all at
// once leave their parent with its expand button, collapsed, and expandable
// again; clearing the tree empties the view.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/VirtualTree.h"
#include "toolkit/win32/TreeViewBinding.h"

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
    TTreeViewBinding binding_{tree_, [](TVirtualNode* n) { return Tree::GetNodeData(n); }};
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
