#ifndef MV_CANVAS_NODE_H
#define MV_CANVAS_NODE_H

#include "MvDrawableNode.h"

#include <cstdint>

class MvCanvasResource;
class MvResource;

/// The node that shows a canvas, the picture program code paints at run time, with its
/// top-left corner at the node's position, scaled and tinted like any node. The node is
/// registered as the canvas's user for its whole life, so MvCanvasResource::NotifyChanged
/// redraws it. It collides pixel for pixel through the canvas's collision map, which the
/// canvas makes at the node's own scale: that map fits the node's bounds (and then shows
/// exactly the pixels that nearest sampling draws) unless a scaled ancestor gives the
/// node's picture another size, and a node whose map does not fit takes no part in
/// collision. The canvas is not owned and must outlive the node.
class MvCanvasNode : public MvDrawableNode {
public:
    /// A detached node showing canvas, scaled with MvPixelBlock::QualityNearest, and
    /// registered as its user. Asserts canvas is not null.
    explicit MvCanvasNode(MvCanvasResource* canvas);

    /// Unregisters the node from the canvas (MvCanvasResource::RemoveUser asserts it is
    /// registered).
    ~MvCanvasNode() override;

    /// The node itself.
    MvCanvasNode* AsCanvasNode() override;

    /// Samples the canvas by quality (MvPixelBlock::QualityNearest, QualityBilinear or
    /// QualityBest) where it is drawn scaled, invalidating every window when it differs.
    /// Collision maps are sampled by nearest neighbour whatever the quality. Asserts
    /// quality is one of the three.
    void SetQuality(int quality);

    /// A new detached canvas node, registered with the same canvas, with the same quality;
    /// placement, colours, depth, shown flags, name, id and user data are not copied.
    MvSceneNode* Clone() override;

    /// True, with the node appended to hits, when the canvas has a pixel under screen point
    /// (x, y) of window (the point taken back through the screen transform) that is not
    /// fully transparent (MvCanvasResource::HitTest). A node that is hidden there, covers
    /// nothing there (empty bounds) or whose composite alpha is 0 is never hit. flags has
    /// no effect here. Asserts hits is not null.
    bool TestPoint(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int window) override;

    /// The rectangle the canvas covers under the window's screen transform. Asserts out is
    /// not null and 0 <= window < MvWindowCount.
    void QueryBoundingBox(MvIntRect* out, int window) override;

    /// The canvas, as a resource.
    MvResource* Resource() override;

    /// True when the canvas's collision map for this node in window (made at the node's
    /// own scale) has the size of the node's bounds there, so that Collide can lay it on
    /// them: always when no ancestor is scaled, and under a scaled ancestor only when the
    /// picture's size happens to come out the same. Asserts 0 <= window < MvWindowCount.
    bool CollisionMaskFits(int window) const;

    /// The scaling quality, MvPixelBlock::QualityNearest to QualityBest.
    int Quality() const;
    /// The canvas shown (not owned).
    MvCanvasResource* CanvasResource() const;

protected:
    /// The base transform, then bounds[window]: the rectangle the canvas covers under the
    /// screen transform.
    void ComputeTransform(int window) override;

    /// Paints the canvas, clipped to clip, under the window's screen transform and
    /// composite colour transform. Asserts paintInfo is not null.
    void Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window) override;

private:
    MvCanvasResource* canvas_;
    int32_t quality_;
};

inline int MvCanvasNode::Quality() const { return quality_; }
inline MvCanvasResource* MvCanvasNode::CanvasResource() const { return canvas_; }

#endif
