#include "toolkit/win32/TreeViewBinding.h"

#include "platform/Text.h"

TTreeViewBinding::TTreeViewBinding(TVirtualTreeBase& tree, TextCallback text)
    : tree_(tree), text_(std::move(text)) {}

TTreeViewBinding::~TTreeViewBinding() { tree_.SetObserver(nullptr); }

HWND TTreeViewBinding::Create(HWND parent, int id) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                  TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    if (tree_.Visible()) style |= WS_VISIBLE;
    hwnd_ = CreateWindowExW(0, WC_TREEVIEWW, L"", style, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                            nullptr);
    tree_.SetObserver(this);
    return hwnd_;
}

TTreeViewBinding::TItemCell* TTreeViewBinding::CellOf(const TVirtualNode* node) {
    return node ? static_cast<TItemCell*>(node->ViewItem) : nullptr;
}

HTREEITEM TTreeViewBinding::ItemOf(const TVirtualNode* node) {
    const TItemCell* cell = CellOf(node);
    return cell ? cell->item : nullptr;
}

TVirtualNode* TTreeViewBinding::NodeOf(HWND tree, HTREEITEM item) {
    if (item == nullptr) return nullptr;
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM;
    tvi.hItem = item;
    if (!TreeView_GetItem(tree, &tvi) || tvi.lParam == 0) return nullptr;
    return reinterpret_cast<TItemCell*>(tvi.lParam)->node;
}

TTreeViewBinding::TItemCell* TTreeViewBinding::NewCell(TVirtualNode* node) {
    TItemCell* cell;
    if (freeCells_.empty()) {
        cell = &cells_.emplace_back();
    } else {
        cell = freeCells_.back();
        freeCells_.pop_back();
    }
    *cell = TItemCell{nullptr, node, tree_.HasChildren(node)};
    node->ViewItem = cell;
    return cell;
}

void TTreeViewBinding::NodeAdded(TVirtualNode* node) {
    TUpdating updating(updating_);
    if (node->Parent() == spareParent_ && reused_ < spares_.size()) {
        // The next old item shows the new node; only a changed expand
        // button needs a message.
        TItemCell* cell = spares_[reused_++];
        cell->node = node;
        node->ViewItem = cell;
        const bool mark = tree_.HasChildren(node);
        if (mark != cell->hasChildren) {
            cell->hasChildren = mark;
            TVITEMW tvi{};
            tvi.mask = TVIF_CHILDREN;
            tvi.hItem = cell->item;
            tvi.cChildren = mark ? 1 : 0;
            TreeView_SetItem(hwnd_, &tvi);
        }
        return;
    }
    TItemCell* cell = NewCell(node);
    TVINSERTSTRUCTW ins{};
    ins.hParent = tree_.IsTopLevel(node) ? TVI_ROOT : ItemOf(node->Parent());
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
    ins.item.pszText = LPSTR_TEXTCALLBACKW;
    ins.item.cChildren = cell->hasChildren ? 1 : 0;
    ins.item.lParam = reinterpret_cast<LPARAM>(cell);
    cell->item = TreeView_InsertItem(hwnd_, &ins);
}

void TTreeViewBinding::NodeDeleting(TVirtualNode* node) {
    TUpdating updating(updating_);
    TreeView_DeleteItem(hwnd_, ItemOf(node));
}

bool TTreeViewBinding::KeepChildItems(TVirtualNode* node) {
    if (node != expanding_ || !spares_.empty()) return false;
    for (const auto& child : node->Children())
        if (!child->Children().empty() || CellOf(child.get()) == nullptr) return false;
    for (const auto& child : node->Children()) {
        TItemCell* cell = CellOf(child.get());
        spareTexts_.push_back(text_(child.get()));
        cell->node = nullptr;
        child->ViewItem = nullptr;
        spares_.push_back(cell);
    }
    spareParent_ = node;
    reused_ = 0;
    return true;
}

void TTreeViewBinding::ChildrenDeleting(TVirtualNode* node) {
    TUpdating updating(updating_);
    // The node expands and fills itself again: its items are kept for the
    // new children (the item is collapsed, so they are not shown meanwhile).
    if (KeepChildItems(node)) return;
    DeleteAllChildItems(node);
}

void TTreeViewBinding::DeleteAllChildItems(TVirtualNode* node) {
    // Deleting items one by one costs the tree view a search of all its items
    // for each (under Wine), and many children make that quadratic; these
    // two take them all in one go.
    const HTREEITEM item = ItemOf(node);
    if (item == nullptr) {
        TreeView_DeleteAllItems(hwnd_);
        return;
    }
    TreeView_Expand(hwnd_, item, TVE_COLLAPSE | TVE_COLLAPSERESET);
}

void TTreeViewBinding::FinishRefill(TVirtualNode* node) {
    if (spares_.empty() || spareParent_ != node) return;
    spareParent_ = nullptr;
    std::vector<TItemCell*> spares;
    spares.swap(spares_);
    std::vector<std::string> texts;
    texts.swap(spareTexts_);
    const std::size_t reused = reused_;
    // The view keeps an item's width from the text it last showed: an item
    // whose text changed has to be told so.
    std::vector<HTREEITEM> changed;
    for (std::size_t i = 0; i < reused; ++i)
        if (text_(spares[i]->node) != texts[i]) changed.push_back(spares[i]->item);
    const std::size_t left = spares.size() - reused;
    if (left == 0 && changed.empty()) return;
    TUpdating updating(updating_);
    // A few items go or are told one by one (last first), each costing the
    // view a search of its items; when there are many, all children go in
    // one go and the new ones are inserted again.
    constexpr std::size_t kFewItems = 64;
    if (reused > 0 && left <= kFewItems && changed.size() <= kFewItems) {
        for (std::size_t i = spares.size(); i-- > reused;) TreeView_DeleteItem(hwnd_, spares[i]->item);
        for (HTREEITEM item : changed) {
            TVITEMW tvi{};
            tvi.mask = TVIF_TEXT;
            tvi.hItem = item;
            tvi.pszText = LPSTR_TEXTCALLBACKW;
            TreeView_SetItem(hwnd_, &tvi);
        }
        return;
    }
    DeleteAllChildItems(node);
    NodeChanged(node);
    for (const auto& child : node->Children()) NodeAdded(child.get());
}

void TTreeViewBinding::NodeChanged(TVirtualNode* node) {
    TVITEMW tvi{};
    tvi.mask = TVIF_CHILDREN;
    tvi.hItem = ItemOf(node);
    tvi.cChildren = tree_.HasChildren(node) ? 1 : 0;
    TreeView_SetItem(hwnd_, &tvi);
}

void TTreeViewBinding::NodeCollapsed(TVirtualNode* node) {
    TUpdating updating(updating_);
    TreeView_Expand(hwnd_, ItemOf(node), TVE_COLLAPSE);
    // An item without children may keep its expanded state through the
    // message above; clear it, so that the next click on its button expands.
    TVITEMW tvi{};
    tvi.mask = TVIF_STATE;
    tvi.hItem = ItemOf(node);
    tvi.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    tvi.state = 0;
    TreeView_SetItem(hwnd_, &tvi);
}

void TTreeViewBinding::Select(HTREEITEM item) {
    TUpdating updating(updating_);
    TreeView_SelectItem(hwnd_, item);
}

void TTreeViewBinding::FocusChanged(TVirtualNode* node) { Select(ItemOf(node)); }

void TTreeViewBinding::SelectionCleared() { Select(nullptr); }

void TTreeViewBinding::VisibleChanged(bool visible) {
    if (visible) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool TTreeViewBinding::HandleNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != hwnd_) return false;
    result = 0;
    switch (header.code) {
        case TVN_GETDISPINFOW:
            OnGetDispInfo(*reinterpret_cast<NMTVDISPINFOW*>(const_cast<NMHDR*>(&header)));
            return true;
        case TVN_ITEMEXPANDINGW:
            result = OnItemExpanding(reinterpret_cast<const NMTREEVIEWW&>(header));
            return true;
        case TVN_DELETEITEMW:
            OnDeleteItem(reinterpret_cast<const NMTREEVIEWW&>(header));
            return true;
        case TVN_SELCHANGEDW:
            OnSelChanged(reinterpret_cast<const NMTREEVIEWW&>(header));
            return true;
        case NM_CLICK:
            OnClick();
            return true;
        default:
            return false;
    }
}

void TTreeViewBinding::OnGetDispInfo(NMTVDISPINFOW& info) {
    const auto* cell = reinterpret_cast<TItemCell*>(info.item.lParam);
    TVirtualNode* node = cell ? cell->node : nullptr;
    if (node == nullptr) return;
    if (info.item.mask & TVIF_TEXT) {
        // The view copies the text from here before it asks again.
        textBuffer_.clear();
        platform::AppendUtf16(textBuffer_, text_(node));
        info.item.pszText = reinterpret_cast<wchar_t*>(textBuffer_.data());
    }
    if (info.item.mask & TVIF_CHILDREN) info.item.cChildren = tree_.HasChildren(node) ? 1 : 0;
}

void TTreeViewBinding::OnDeleteItem(const NMTREEVIEWW& info) {
    auto* cell = reinterpret_cast<TItemCell*>(info.itemOld.lParam);
    if (cell == nullptr) return;
    // The node may be gone already; it is not looked at.
    *cell = TItemCell{};
    freeCells_.push_back(cell);
}

LRESULT TTreeViewBinding::OnItemExpanding(const NMTREEVIEWW& info) {
    const auto* cell = reinterpret_cast<TItemCell*>(info.itemNew.lParam);
    TVirtualNode* node = cell ? cell->node : nullptr;
    if (node == nullptr) return FALSE;
    if (info.action & TVE_EXPAND) {
        TVirtualNode* outer = expanding_;
        expanding_ = node;
        tree_.Expand(node);
        FinishRefill(node);
        expanding_ = outer;
        // The tree refused: keep the item collapsed.
        return node->Expanded() ? FALSE : TRUE;
    }
    if (info.action & TVE_COLLAPSE) tree_.Collapse(node);
    return FALSE;
}

void TTreeViewBinding::OnSelChanged(const NMTREEVIEWW& info) {
    // The view also selects an item of its own accord (its first one when it
    // gets the keyboard focus with nothing selected, as after the focused
    // node was deleted); only the user's moves focus a node.
    if (updating_ != 0 || info.action == TVC_UNKNOWN) return;
    const auto* cell = reinterpret_cast<TItemCell*>(info.itemNew.lParam);
    tree_.SetFocusedNode(cell ? cell->node : nullptr);
}

void TTreeViewBinding::OnClick() {
    // The view moves its selection only after this notification: find the
    // clicked item where the mouse is. A click on an expand button expands;
    // it is not a click on the item.
    const DWORD pos = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ScreenToClient(hwnd_, &hit.pt);
    const HTREEITEM item = TreeView_HitTest(hwnd_, &hit);
    if (hit.flags & TVHT_ONITEMBUTTON) return;
    if (item != nullptr && (hit.flags & TVHT_ONITEM)) {
        Select(item);
        tree_.SetFocusedNode(NodeOf(hwnd_, item));
    }
    tree_.Click();
}
