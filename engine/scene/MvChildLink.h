#ifndef MV_CHILD_LINK_H
#define MV_CHILD_LINK_H

class MvSceneNode;

/// One node's place in its parent's child list: the neighbours on either side and the node
/// that owns the link. The link lives inside the node, so joining or leaving a list never
/// allocates, and a walk over links reaches the nodes without a lookup. Only MvChildList
/// changes the neighbours.
class MvChildLink {
public:
    /// An unlinked link belonging to node (null only for a list's end marker).
    explicit MvChildLink(MvSceneNode* node);

    MvChildLink(const MvChildLink&) = delete;
    MvChildLink& operator=(const MvChildLink&) = delete;

    /// The node this link belongs to; null for a list's end marker.
    MvSceneNode* Node() const;
    /// The neighbours; a list's end marker stands beyond either end.
    ///@{
    MvChildLink* Next() const;
    MvChildLink* Prev() const;
    ///@}
    /// True while the link is in a list.
    bool IsLinked() const;

private:
    friend class MvChildList;

    MvChildLink* prev_;
    MvChildLink* next_;
    MvSceneNode* node_;
};

inline MvChildLink::MvChildLink(MvSceneNode* node) : prev_(nullptr), next_(nullptr), node_(node) {}
inline MvSceneNode* MvChildLink::Node() const { return node_; }
inline MvChildLink* MvChildLink::Next() const { return next_; }
inline MvChildLink* MvChildLink::Prev() const { return prev_; }
inline bool MvChildLink::IsLinked() const { return next_ != nullptr; }

#endif
