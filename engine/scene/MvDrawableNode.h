#ifndef MV_DRAWABLE_NODE_H
#define MV_DRAWABLE_NODE_H

#include "MvSceneNode.h"

class MvPaintTarget;
class MvResource;

/// The base of nodes that show a resource on screen. A drawable node covers a screen
/// rectangle in each window (its bounds, computed by each kind after the base transform)
/// and hands that rectangle to the window's dirty list whenever it changes, once as it was
/// and once as it became, so both the vacated and the newly covered pixels are repainted;
/// inside a changed subtree the subtree's top node queues for all of it instead. It
/// remembers per window whether it was on screen when last queued, which lets a node that
/// is hidden erase itself exactly once and then cost nothing. A node whose picture covers
/// no pixel of a window (scaled below one pixel, an empty frame or text) has empty bounds
/// there: it queues, draws, hits and collides with nothing until it covers a pixel again.
class MvDrawableNode : public MvSceneNode {
public:
    /// A detached drawable node, counted as on screen in every window.
    MvDrawableNode();

    /// The node itself.
    MvDrawableNode* AsDrawable() override;

protected:
    // The tree's hooks (MvSceneNode).

    /// Adds the window's bounds to the stage's dirty list of window when the node is shown
    /// there now or was when it last queued, and remembers which. Once the bounds are
    /// recomputed (before false), asserts a shown node has valid bounds or covers nothing.
    void QueueDirty(int window, bool before) override;

    /// Every kind computes its bounds here after calling MvSceneNode::ComputeTransform.
    void ComputeTransform(int window) override = 0;

    /// As MvSceneNode::OnAddedToTree; then asserts the node has valid bounds in window 0 or
    /// covers nothing there.
    void OnAddedToTree() override;

    /// Queues the bounds of every window where the node was on screen, so the area it
    /// covered is repainted without it.
    void OnRemovingFromTree() override;

public:
    /// Paints the node's pixels of window that lie inside clip into paintInfo. Asserts
    /// paintInfo is not null and the node is shown in the tree in window.
    void Draw(MvPaintTarget* paintInfo, const MvIntRect& clip, int window);

    /// The node's bounding box in window.
    virtual void QueryBoundingBox(MvIntRect* out, int window) = 0;

    /// True when the node's picture, as it now stands in window, covers no pixel there: its
    /// bounds are rightly empty. By default the bounding box (QueryBoundingBox) is empty.
    /// Asserts 0 <= window < MvWindowCount.
    virtual bool CoversNothing(int window);

    /// The resource the node shows (not owned).
    virtual MvResource* Resource() = 0;

    /// True when this node and other share a non-transparent pixel as shown in window. The
    /// cheap tests come first and the first that decides ends the test: their bounds must
    /// overlap, both must be sprite, text or canvas nodes (tile nodes never collide), both
    /// must be shown in the tree and have a composite alpha above 0, and a canvas
    /// node's map must fit its bounds (MvCanvasNode::CollisionMaskFits; a line is logged
    /// when it does not); only then are the collision bit maps of their current images
    /// compared. A pair without a bit map (a scaled sprite whose scale is not cached, a
    /// scaled text) does not collide. Asserts other is not null and 0 <= window <
    /// MvWindowCount.
    bool Collide(MvDrawableNode* other, int window);

    /// Whether the node was shown when it last queued its bounds in window. Asserts
    /// 0 <= window < MvWindowCount.
    bool WasOnScreen(int window) const;

protected:
    /// What Draw does once the node is known to be shown in the tree; the tree's draw walk,
    /// which only descends through shown nodes, calls it directly.
    virtual void Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window) = 0;

    friend class MvSceneTree;
};

inline bool MvDrawableNode::WasOnScreen(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return wasOnScreen_[window];
}

#endif
