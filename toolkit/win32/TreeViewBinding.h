#pragma once
// Shows a TVirtualTreeBase in a common-controls tree view. Items carry a
// pointer to a cell that names their node; their text and expand button come
// from the node, the text through a callback each time the item is painted.
// The view's expansion, selection and clicks go back to the tree.
//
// A node that refills its children as it expands (deletes them all and adds
// new ones) keeps its items: the new children take over the old items in
// order through their cells; a few surplus items are deleted and a few items
// whose text changed are told so, and when there are many of either, all are
// inserted again. The view is spared deleting and inserting every item again,
// which under Wine costs a search of all its items per deleted item.
#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/VirtualTree.h"

class TTreeViewBinding : public TreeObserver {
public:
    // The node's text, kept by the node: the view asks for it whenever it lays
    // out or paints the item.
    using TextCallback = std::function<const std::string&(TVirtualNode*)>;

    TTreeViewBinding(TVirtualTreeBase& tree, TextCallback text);
    ~TTreeViewBinding() override;
    TTreeViewBinding(const TTreeViewBinding&) = delete;
    TTreeViewBinding& operator=(const TTreeViewBinding&) = delete;

    // Creates the tree view as a child of parent; it starts as the tree's
    // visibility says.
    HWND Create(HWND parent, int id);
    HWND Handle() const { return hwnd_; }

    // The parent passes on WM_NOTIFY from the tree view; returns true when the
    // notification was handled, with its result.
    bool HandleNotify(const NMHDR& header, LRESULT& result);

    // The item of a node, and the node of an item.
    static HTREEITEM ItemOf(const TVirtualNode* node);
    static TVirtualNode* NodeOf(HWND tree, HTREEITEM item);

    // TreeObserver
    void NodeAdded(TVirtualNode* node) override;
    void NodeDeleting(TVirtualNode* node) override;
    void ChildrenDeleting(TVirtualNode* node) override;
    void NodeChanged(TVirtualNode* node) override;
    void NodeCollapsed(TVirtualNode* node) override;
    void FocusChanged(TVirtualNode* node) override;
    void SelectionCleared() override;
    void VisibleChanged(bool visible) override;

private:
    // The tree view's selection changes that the tree itself made are not
    // reported back to it.
    class TUpdating {
    public:
        explicit TUpdating(int& depth) : depth_(depth) { ++depth_; }
        ~TUpdating() { --depth_; }
        TUpdating(const TUpdating&) = delete;
        TUpdating& operator=(const TUpdating&) = delete;

    private:
        int& depth_;
    };

    // What an item's lParam points to.
    struct TItemCell {
        HTREEITEM item = nullptr;
        TVirtualNode* node = nullptr;  // nullptr while the item waits to be reused
        bool hasChildren = false;      // the expand button the view was told of
    };
    static TItemCell* CellOf(const TVirtualNode* node);
    TItemCell* NewCell(TVirtualNode* node);
    // The items of the node's children wait to be reused, when none of the
    // children has children of its own.
    bool KeepChildItems(TVirtualNode* node);
    // After the refill: the items not reused go, changed texts are told.
    void FinishRefill(TVirtualNode* node);
    void DeleteAllChildItems(TVirtualNode* node);

    void OnGetDispInfo(NMTVDISPINFOW& info);
    void OnDeleteItem(const NMTREEVIEWW& info);
    LRESULT OnItemExpanding(const NMTREEVIEWW& info);
    void OnSelChanged(const NMTREEVIEWW& info);
    void OnClick();
    void Select(HTREEITEM item);

    TVirtualTreeBase& tree_;
    TextCallback text_;
    HWND hwnd_ = nullptr;
    int updating_ = 0;
    std::u16string textBuffer_;

    std::deque<TItemCell> cells_;  // never moves a cell
    std::vector<TItemCell*> freeCells_;
    TVirtualNode* expanding_ = nullptr;
    TVirtualNode* spareParent_ = nullptr;
    std::vector<TItemCell*> spares_;  // of spareParent_'s old children, in order
    std::vector<std::string> spareTexts_;  // the texts they showed
    std::size_t reused_ = 0;
};
