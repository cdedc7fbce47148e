#pragma once
// A tree of nodes, each carrying a record that is created cleared with its
// node and lives as long as it. Children are made on demand: a node may carry
// a has-children mark before it has any, and the tree asks its owner, through
// OnExpanding, to fill a node each time it expands. A window that shows the
// tree follows it through a TreeObserver.
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class TVirtualNode {
public:
    virtual ~TVirtualNode() = default;
    TVirtualNode* Parent() const { return parent_; }  // the invisible root for top-level nodes
    const std::vector<std::unique_ptr<TVirtualNode>>& Children() const { return children_; }
    bool HasChildrenMark() const { return hasChildrenMark_; }
    bool Expanded() const { return expanded_; }
    void* ViewItem = nullptr;  // the showing window's item for this node

private:
    friend class TVirtualTreeBase;
    TVirtualNode* parent_ = nullptr;
    // The node's place among its parent's children, so that its next sibling
    // and its removal are found without walking the list.
    std::size_t index_ = 0;
    std::vector<std::unique_ptr<TVirtualNode>> children_;
    bool hasChildrenMark_ = false;
    bool expanded_ = false;
};

class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void NodeAdded(TVirtualNode* node) = 0;
    // Before the node and its subtree go.
    virtual void NodeDeleting(TVirtualNode* node) = 0;
    // Before all children of the node go at once (the invisible root's: the
    // whole tree), instead of one NodeDeleting per child.
    virtual void ChildrenDeleting(TVirtualNode* node) = 0;
    // The node's has-children mark changed, or it lost its last child.
    virtual void NodeChanged(TVirtualNode* node) = 0;
    // The tree collapsed a node on its own (its children were deleted).
    virtual void NodeCollapsed(TVirtualNode* node) = 0;
    virtual void FocusChanged(TVirtualNode* node) = 0;
    virtual void SelectionCleared() = 0;
    virtual void VisibleChanged(bool visible) = 0;
};

class TVirtualTreeBase {
public:
    using Node = TVirtualNode;

    TVirtualTreeBase();
    virtual ~TVirtualTreeBase();
    TVirtualTreeBase(const TVirtualTreeBase&) = delete;
    TVirtualTreeBase& operator=(const TVirtualTreeBase&) = delete;

    void SetObserver(TreeObserver* observer) { observer_ = observer; }

    void SetHasChildren(Node* node, bool mark);
    // The node shows an expand button: it is marked or has children.
    bool HasChildren(const Node* node) const;

    void DeleteNode(Node* node);
    // Deletes the children; the node keeps its mark and is collapsed.
    void DeleteChildren(Node* node);
    void Clear();

    Node* FocusedNode() const { return focused_; }
    void SetFocusedNode(Node* node);
    void ClearSelection();

    Node* GetFirst() const;  // the first top-level node
    Node* GetFirstChild(const Node* node) const;
    Node* GetNextSibling(const Node* node) const;
    // The parent; nullptr for a top-level node.
    Node* GetParent(const Node* node) const;
    std::size_t ChildCount(const Node* node) const;
    std::size_t TotalCount() const;
    bool IsTopLevel(const Node* node) const { return node->Parent() == root_.get(); }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // The user expands or collapses a node. Expanding a collapsed node runs
    // OnExpanding first (each time); expansion is then carried out unless the
    // handler refused it.
    void Expand(Node* node);
    void Collapse(Node* node);
    // A mouse click in the tree, after the focus moved to the clicked node.
    void Click();

    std::function<void(Node*, bool& allowed)> OnExpanding;
    std::function<void()> OnClick;

protected:
    Node* AddChildNode(Node* parent, std::unique_ptr<Node> child, bool hasChildrenMark);

private:
    bool Contains(const Node* ancestor, const Node* node) const;
    Node* Resolve(Node* parent) const { return parent ? parent : root_.get(); }

    std::unique_ptr<Node> root_;
    Node* focused_ = nullptr;
    bool visible_ = true;
    TreeObserver* observer_ = nullptr;
};

template <typename Record>
class TVirtualTree : public TVirtualTreeBase {
public:
    // Adds a node with a cleared record as the last child of parent (nullptr:
    // the invisible root), with the has-children mark as given: a window that
    // shows the tree learns of the node and its mark at once.
    Node* AddChild(Node* parent, bool hasChildrenMark = false) {
        return AddChildNode(parent, std::make_unique<RecordNode>(), hasChildrenMark);
    }
    static Record& GetNodeData(Node* node) { return static_cast<RecordNode*>(node)->data; }

private:
    struct RecordNode : TVirtualNode {
        Record data{};
    };
};
