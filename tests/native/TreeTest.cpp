#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/VirtualTree.h"

namespace {

struct Rec {
    std::string text;
    int number = 0;
};
using Tree = TVirtualTree<Rec>;

// Records what a showing window is told.
struct Recorder : TreeObserver {
    std::vector<std::string> events;
    void NodeAdded(TVirtualNode* n) override { events.push_back("add " + Tree::GetNodeData(n).text); }
    void NodeDeleting(TVirtualNode* n) override {
        events.push_back("delete " + Tree::GetNodeData(n).text);
    }
    void ChildrenDeleting(TVirtualNode* n) override {
        events.push_back("delete children of " + (n->Parent() ? Tree::GetNodeData(n).text : "root"));
    }
    void NodeChanged(TVirtualNode* n) override { events.push_back("change " + Tree::GetNodeData(n).text); }
    void NodeCollapsed(TVirtualNode* n) override {
        events.push_back("collapse " + Tree::GetNodeData(n).text);
    }
    void FocusChanged(TVirtualNode* n) override {
        events.push_back("focus " + (n ? Tree::GetNodeData(n).text : std::string("none")));
    }
    void SelectionCleared() override { events.push_back("unselect"); }
    void VisibleChanged(bool v) override { events.push_back(v ? "show" : "hide"); }
};

TVirtualNode* Add(Tree& t, TVirtualNode* parent, const std::string& text) {
    TVirtualNode* n = t.AddChild(parent);
    Tree::GetNodeData(n).text = text;
    return n;
}

}  // namespace

TEST(VirtualTree, RecordsStartClearedAndChildrenKeepTheirOrder) {
    Tree t;
    TVirtualNode* a = t.AddChild(nullptr);
    EXPECT_EQ(Tree::GetNodeData(a).text, "");
    EXPECT_EQ(Tree::GetNodeData(a).number, 0);
    Tree::GetNodeData(a).text = "a";
    TVirtualNode* b = Add(t, nullptr, "b");
    TVirtualNode* a1 = Add(t, a, "a1");
    TVirtualNode* a2 = Add(t, a, "a2");

    EXPECT_EQ(t.GetFirst(), a);
    EXPECT_EQ(t.GetNextSibling(a), b);
    EXPECT_EQ(t.GetNextSibling(b), nullptr);
    EXPECT_EQ(t.GetFirstChild(a), a1);
    EXPECT_EQ(t.GetNextSibling(a1), a2);
    EXPECT_EQ(t.GetParent(a1), a);
    EXPECT_EQ(t.GetParent(a), nullptr);
    EXPECT_TRUE(t.IsTopLevel(b));
    EXPECT_EQ(t.ChildCount(a), 2u);
    EXPECT_EQ(t.ChildCount(nullptr), 2u);
    EXPECT_EQ(t.TotalCount(), 4u);
}

TEST(VirtualTree, NodeAddedWithItsMarkIsAnnouncedOnce) {
    Tree t;
    Recorder r;
    t.SetObserver(&r);
    TVirtualNode* marked = t.AddChild(nullptr, true);
    EXPECT_TRUE(marked->HasChildrenMark());
    Tree::GetNodeData(marked).text = "marked";
    t.AddChild(marked);  // its button shows already: nothing changes
    TVirtualNode* plain = Add(t, nullptr, "plain");
    Add(t, plain, "child");
    EXPECT_EQ(r.events, (std::vector<std::string>{"add ", "add ", "add ", "add ", "change plain"}));
}

TEST(VirtualTree, HasChildrenMarkShowsAButtonBeforeAnyChild) {
    Tree t;
    TVirtualNode* n = Add(t, nullptr, "n");
    EXPECT_FALSE(t.HasChildren(n));
    t.SetHasChildren(n, true);
    EXPECT_TRUE(t.HasChildren(n));
    TVirtualNode* plain = Add(t, nullptr, "plain");
    Add(t, plain, "child");
    EXPECT_TRUE(t.HasChildren(plain));
    EXPECT_FALSE(plain->HasChildrenMark());
}

TEST(VirtualTree, DeletingTheFocusedNodeOrItsAncestorClearsTheFocus) {
    Tree t;
    TVirtualNode* a = Add(t, nullptr, "a");
    TVirtualNode* a1 = Add(t, a, "a1");
    TVirtualNode* b = Add(t, nullptr, "b");
    t.SetFocusedNode(a1);
    t.DeleteNode(b);
    EXPECT_EQ(t.FocusedNode(), a1);
    t.DeleteNode(a);
    EXPECT_EQ(t.FocusedNode(), nullptr);
    EXPECT_EQ(t.TotalCount(), 0u);
}

TEST(VirtualTree, ExpandingAsksForChildrenEachTime) {
    Tree t;
    TVirtualNode* n = Add(t, nullptr, "n");
    t.SetHasChildren(n, true);
    int asked = 0;
    t.OnExpanding = [&](TVirtualNode* node, bool& allowed) {
        EXPECT_EQ(node, n);
        EXPECT_TRUE(allowed);
        ++asked;
        Add(t, node, "child" + std::to_string(asked));
    };
    t.Expand(n);
    t.Expand(n);  // already expanded: nothing
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(n->Expanded());
    t.Collapse(n);
    t.Expand(n);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(t.ChildCount(n), 2u);
}

TEST(VirtualTree, RefusedExpansionStaysCollapsed) {
    Tree t;
    TVirtualNode* n = Add(t, nullptr, "n");
    t.OnExpanding = [](TVirtualNode*, bool& allowed) { allowed = false; };
    t.Expand(n);
    EXPECT_FALSE(n->Expanded());
}

TEST(VirtualTree, DeletingChildrenKeepsTheMarkAndCollapses) {
    Tree t;
    Recorder r;
    t.SetObserver(&r);
    TVirtualNode* n = Add(t, nullptr, "n");
    t.SetHasChildren(n, true);
    Add(t, n, "c1");
    Add(t, n, "c2");
    t.Expand(n);
    r.events.clear();
    t.DeleteChildren(n);
    EXPECT_EQ(t.ChildCount(n), 0u);
    EXPECT_TRUE(t.HasChildren(n));
    EXPECT_FALSE(n->Expanded());
    EXPECT_EQ(r.events, (std::vector<std::string>{"delete children of n", "change n", "collapse n"}));
}

TEST(VirtualTree, ObserverFollowsEveryChange) {
    Tree t;
    Recorder r;
    t.SetObserver(&r);
    // A node is announced before its record is filled: the window asks for
    // the text when it paints.
    TVirtualNode* a = Add(t, nullptr, "a");
    TVirtualNode* a1 = Add(t, a, "a1");
    t.SetHasChildren(a1, true);
    t.SetHasChildren(a1, true);  // unchanged: no event
    t.SetFocusedNode(a1);
    t.SetFocusedNode(a1);
    t.ClearSelection();
    t.SetVisible(false);
    t.Clear();
    EXPECT_EQ(r.events, (std::vector<std::string>{"add ", "add ", "change a", "change a1",
                                                   "focus a1", "unselect", "hide", "focus none",
                                                   "delete children of root"}));
}

TEST(VirtualTree, ClickRunsTheClickEvent) {
    Tree t;
    int clicks = 0;
    t.OnClick = [&] { ++clicks; };
    t.Click();
    EXPECT_EQ(clicks, 1);
}

TEST(VirtualTree, SiblingsKeepTheirOrderThroughDeletes) {
    Tree t;
    std::vector<TVirtualNode*> nodes;
    for (int i = 0; i < 6; ++i) nodes.push_back(Add(t, nullptr, std::to_string(i)));
    t.DeleteNode(nodes[2]);
    t.DeleteNode(nodes[0]);
    t.DeleteNode(nodes[5]);
    std::vector<std::string> left;
    for (auto* n = t.GetFirst(); n; n = t.GetNextSibling(n)) left.push_back(Tree::GetNodeData(n).text);
    EXPECT_EQ(left, (std::vector<std::string>{"1", "3", "4"}));
    TVirtualNode* added = Add(t, nullptr, "6");
    EXPECT_EQ(t.GetNextSibling(nodes[4]), added);
    EXPECT_EQ(t.GetNextSibling(added), nullptr);
}

TEST(VirtualTree, DeletingManyChildrenTellsAtOnceAndClearsAFocusAmongThem) {
    Tree t;
    Recorder r;
    t.SetObserver(&r);
    TVirtualNode* n = Add(t, nullptr, "n");
    TVirtualNode* keep = Add(t, nullptr, "keep");
    TVirtualNode* c = nullptr;
    for (int i = 0; i < 20000; ++i) c = t.AddChild(n);
    Tree::GetNodeData(c).text = "last";
    Add(t, c, "grandchild");
    t.SetFocusedNode(c);
    r.events.clear();
    t.DeleteChildren(n);
    EXPECT_EQ(t.FocusedNode(), nullptr);
    EXPECT_EQ(t.ChildCount(n), 0u);
    EXPECT_EQ(t.TotalCount(), 2u);
    // One word for all of them, after the focus left them.
    EXPECT_EQ(r.events, (std::vector<std::string>{"focus none", "delete children of n", "change n"}));
    EXPECT_EQ(t.GetNextSibling(n), keep);
}
