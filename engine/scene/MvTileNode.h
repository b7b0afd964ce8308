#ifndef MV_TILE_NODE_H
#define MV_TILE_NODE_H

#include "MvDrawableNode.h"

#include <cstdint>

class MvResource;
class MvTileResource;

/// The node that shows a tile: the square of a tile resource with its top-left corner at
/// the node's position, in one of the tile's eight orientations, scaled and tinted like any
/// node. Drawing, bounds and hit tests are the tile's; the node supplies the orientation,
/// the scaling quality and its per-window composite transforms. Tiles have no collision
/// bit maps, so a tile node never collides (Collide answers false). The resource is not
/// owned and must outlive the node.
class MvTileNode : public MvDrawableNode {
public:
    /// A detached node showing tile in orientation, scaled with MvPixelBlock::QualityBest.
    /// Asserts tile is not null (naming the vault's last failed lookup) and 0 <=
    /// orientation <= 7.
    explicit MvTileNode(MvTileResource* tile, int orientation = 0);

    /// Releases nothing of its own: the tile stays its owner's.
    ~MvTileNode() override;

    /// The node itself.
    MvTileNode* AsTileNode() override;

    /// Shows the tile in orientation (MvTileResource::Draw: quarter turns clockwise, mirrored
    /// for 4 to 7), invalidating every window when it differs. Asserts 0 <= orientation <= 7.
    void SetOrientation(int orientation);

    /// Samples the tile by quality (MvPixelBlock::QualityNearest, QualityBilinear or
    /// QualityBest) where it is drawn scaled, invalidating every window when it differs.
    /// Asserts quality is one of the three.
    void SetQuality(int quality);

    /// A new detached tile node on the same tile with the same orientation and quality;
    /// placement, colours, depth, shown flags, name, id and user data are not copied.
    MvSceneNode* Clone() override;

    /// True, with the node appended to hits, when the tile in its orientation has a pixel
    /// that is not fully transparent under screen point (x, y) of window (the point taken
    /// back through the screen transform). A node that is hidden there, covers nothing
    /// there (empty bounds) or whose composite alpha is 0 is never hit. flags has no effect
    /// here. Asserts hits is not null.
    bool TestPoint(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int window) override;

    /// The rectangle the tile covers under the window's screen transform. Asserts out is
    /// not null and 0 <= window < MvWindowCount.
    void QueryBoundingBox(MvIntRect* out, int window) override;

    /// The tile resource, as a resource.
    MvResource* Resource() override;

    /// The orientation shown, 0 to 7.
    int Orientation() const;
    /// The scaling quality, MvPixelBlock::QualityNearest to QualityBest.
    int Quality() const;
    /// The tile resource shown (not owned).
    MvTileResource* TileResource() const;

protected:
    /// The base transform, then bounds[window]: the rectangle the tile covers under the
    /// screen transform.
    void ComputeTransform(int window) override;

    /// Paints the tile in its orientation, clipped to clip, under the window's screen
    /// transform and composite colour transform. Asserts paintInfo is not null.
    void Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window) override;

private:
    MvTileResource* tile_;
    int32_t orientation_;
    int32_t quality_;
};

inline int MvTileNode::Orientation() const { return orientation_; }
inline int MvTileNode::Quality() const { return quality_; }
inline MvTileResource* MvTileNode::TileResource() const { return tile_; }

#endif
