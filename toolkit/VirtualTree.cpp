#include "toolkit/VirtualTree.h"

#include <cstddef>

TVirtualTreeBase::TVirtualTreeBase() : root_(std::make_unique<Node>()) {}

TVirtualTreeBase::~TVirtualTreeBase() = default;

TVirtualNode* TVirtualTreeBase::AddChildNode(Node* parent, std::unique_ptr<Node> child,
                                             bool hasChildrenMark) {
    parent = Resolve(parent);
    child->parent_ = parent;
    child->index_ = parent->children_.size();
    child->hasChildrenMark_ = hasChildrenMark;
    Node* added = child.get();
    const bool firstChild = parent->children_.empty();
    parent->children_.push_back(std::move(child));
    if (observer_) {
        observer_->NodeAdded(added);
        // A marked parent shows its button already.
        if (firstChild && parent != root_.get() && !parent->hasChildrenMark_)
            observer_->NodeChanged(parent);
    }
    return added;
}

void TVirtualTreeBase::SetHasChildren(Node* node, bool mark) {
    if (node->hasChildrenMark_ == mark) return;
    node->hasChildrenMark_ = mark;
    if (observer_) observer_->NodeChanged(node);
}

bool TVirtualTreeBase::HasChildren(const Node* node) const {
    return node->hasChildrenMark_ || !node->children_.empty();
}

bool TVirtualTreeBase::Contains(const Node* ancestor, const Node* node) const {
    for (; node != nullptr; node = node->parent_)
        if (node == ancestor) return true;
    return false;
}

void TVirtualTreeBase::DeleteNode(Node* node) {
    if (node == nullptr || node == root_.get()) return;
    if (focused_ && Contains(node, focused_)) SetFocusedNode(nullptr);
    if (observer_) observer_->NodeDeleting(node);
    Node* parent = node->parent_;
    auto& siblings = parent->children_;
    const std::size_t index = node->index_;
    // Move the subtree out first, so that nothing reaches it while it goes.
    std::unique_ptr<Node> doomed = std::move(siblings[index]);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < siblings.size(); ++i) siblings[i]->index_ = i;
    doomed.reset();
    if (observer_ && siblings.empty() && parent != root_.get()) observer_->NodeChanged(parent);
}

void TVirtualTreeBase::DeleteChildren(Node* node) {
    node = Resolve(node);
    auto& children = node->children_;
    if (!children.empty()) {
        if (focused_ && focused_ != node && Contains(node, focused_)) SetFocusedNode(nullptr);
        if (observer_) observer_->ChildrenDeleting(node);
        // Last to first, each taken off the end: no child is looked for and
        // none moves, however many there are.
        while (!children.empty()) {
            std::unique_ptr<Node> doomed = std::move(children.back());
            children.pop_back();
        }
        if (observer_ && node != root_.get()) observer_->NodeChanged(node);
    }
    if (node->expanded_) {
        node->expanded_ = false;
        if (observer_) observer_->NodeCollapsed(node);
    }
}

void TVirtualTreeBase::Clear() {
    DeleteChildren(root_.get());
    SetFocusedNode(nullptr);
}

void TVirtualTreeBase::SetFocusedNode(Node* node) {
    if (node == focused_) return;
    focused_ = node;
    if (observer_) observer_->FocusChanged(node);
}

void TVirtualTreeBase::ClearSelection() {
    if (observer_) observer_->SelectionCleared();
}

TVirtualNode* TVirtualTreeBase::GetFirst() const { return GetFirstChild(root_.get()); }

TVirtualNode* TVirtualTreeBase::GetFirstChild(const Node* node) const {
    return node->children_.empty() ? nullptr : node->children_.front().get();
}

TVirtualNode* TVirtualTreeBase::GetNextSibling(const Node* node) const {
    if (node == nullptr || node->parent_ == nullptr) return nullptr;
    const auto& siblings = node->parent_->children_;
    return node->index_ + 1 < siblings.size() ? siblings[node->index_ + 1].get() : nullptr;
}

TVirtualNode* TVirtualTreeBase::GetParent(const Node* node) const {
    if (node == nullptr || node->parent_ == root_.get()) return nullptr;
    return node->parent_;
}

std::size_t TVirtualTreeBase::ChildCount(const Node* node) const {
    return Resolve(const_cast<Node*>(node))->children_.size();
}

std::size_t TVirtualTreeBase::TotalCount() const {
    std::size_t n = 0;
    std::vector<const Node*> pending{root_.get()};
    while (!pending.empty()) {
        const Node* at = pending.back();
        pending.pop_back();
        for (const auto& c : at->children_) {
            ++n;
            pending.push_back(c.get());
        }
    }
    return n;
}

void TVirtualTreeBase::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (observer_) observer_->VisibleChanged(visible);
}

void TVirtualTreeBase::Expand(Node* node) {
    if (node == nullptr || node->expanded_) return;
    bool allowed = true;
    if (OnExpanding) OnExpanding(node, allowed);
    if (allowed) node->expanded_ = true;
}

void TVirtualTreeBase::Collapse(Node* node) {
    if (node != nullptr) node->expanded_ = false;
}

void TVirtualTreeBase::Click() {
    if (OnClick) OnClick();
}
