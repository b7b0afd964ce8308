#ifndef MV_CANVAS_RESOURCE_H
#define MV_CANVAS_RESOURCE_H

#include "MvGrowArray.h"
#include "MvPixelBlock.h"
#include "MvResource.h"

#include <string>

class MvPaintTarget;

/// A true-colour picture made at run time whose pixels program code may change: a pixel
/// block drawn like a tile at orientation 0, hit-tested and collided pixel for pixel. The
/// engine also uses canvases as a working surface when it scales sprite frames. Collision
/// maps are made once per node scale and kept; a canvas with alpha drops them when told
/// that its pixels changed, a canvas without alpha keeps them, since a solid picture's map
/// depends on its size only. Canvases never come from resource files, are not saved and
/// keep no scale cache (the base's answers stand).
class MvCanvasResource : public MvResource {
public:
    /// A canvas of width x height pixels, all transparent black with alpha, opaque black
    /// without; its id is the next value of the process-wide canvas counter (the first
    /// canvas gets 1). Asserts name is not null and 0 <= width, height <=
    /// MvPixelBlock::MaxSize.
    MvCanvasResource(const char* name, int width, int height, bool hasAlpha);

    /// Deletes every collision map, then the pixels. Asserts no user is registered.
    ~MvCanvasResource() override;

    int Type() const override;
    const std::string& TypeName() const override;
    MvCanvasResource* AsCanvasResource() override;

    /// Paints the canvas with its top-left corner at xform's position, scaled by xform's
    /// scales, through cform, inside clip, as MvPixelBlock::Draw does without a flip (its
    /// assertions apply).
    void Draw(const MvPaintTarget& paintInfo, const MvTransform& xform, const MvColorXform& cform,
              const MvIntRect& clip, int quality, int openGLZ) const;

    /// The screen rectangle of the canvas drawn with xform.
    void ComputeBounds(const MvTransform& xform, MvIntRect* bounds) const;

    /// True when (x, y) lies on the canvas and, for a canvas with alpha, the pixel there
    /// is not fully transparent.
    bool HitTest(int x, int y) const;

    /// To be called after program code changed the pixels: every registered user is
    /// invalidated in all windows so that it is redrawn, the OpenGL texture (when the
    /// canvas has been drawn on an OpenGL screen) is loaded again from the pixels, and a
    /// canvas with alpha deletes its collision maps so that the next request maps the new
    /// pixels.
    void NotifyChanged();

    /// Width in pixels.
    int Width() const;
    /// Height in pixels.
    int Height() const;
    /// True for a canvas made with alpha: its transparent pixels show what lies below.
    bool HasAlpha() const;
    /// The pixels, row after row, for program code to change (then NotifyChanged); pixel
    /// (x, y) is at y * Width() + x. Null for a canvas of no pixels.
    ///@{
    MvColor* Pixels();
    const MvColor* Pixels() const;
    ///@}
    /// The pixel block that holds the pixels.
    const MvPixelBlock& Block() const;

    /// Number of registered users.
    int UserCount() const;
    /// Registered user index, in registration order. Asserts 0 <= index < UserCount().
    MvSceneNode* User(int index) const;
    /// Number of collision maps made and kept so far.
    int CollisionMaskCount() const;

    /// @name Engine internals
    /// For the engine's collision test, never for a program: the collision bit map is the
    /// engine's own type, not installed.
    ///@{

    /// The collision bit map of the canvas as node shows it in window, at the node's own
    /// scale there: made on the first request for that scale pair and kept. Set bits are
    /// the pixels whose alpha is not 0 (sampled by nearest neighbour when scaled), or all
    /// pixels for a canvas without alpha. Asserts node is not null, 0 <= window <
    /// MvWindowCount and the scaled size is at most MvPixelBlock::MaxSize.
    MvCollisionMask* GetCollisionMask(MvSceneNode* node, int window) override;
    ///@}

private:
    // A canvas node registers itself for its life; the tests reach the registry
    // (tests/support).
    friend class MvCanvasNode;
    friend class MvTestAccess;

    /// Registers node (asserted not null) as showing the canvas.
    void AddUser(MvSceneNode* node);
    /// Unregisters node; the others keep their order. Asserts node is registered and the
    /// user count agrees with the list.
    void RemoveUser(MvSceneNode* node);

    void DeleteCollisionMasks();
    /// A new map of the canvas at (xScale, yScale); the caller keeps it.
    MvCollisionMask* MakeCollisionMask(MvFixed xScale, MvFixed yScale) const;

    MvPixelBlock block_;
    int userCount_;
    MvGrowArray<MvSceneNode*> users_; ///< not owned
    MvGrowArray<MvCollisionMask*> collisionMasks_; ///< owned
};

inline int MvCanvasResource::Width() const { return block_.Width(); }
inline int MvCanvasResource::Height() const { return block_.Height(); }
inline bool MvCanvasResource::HasAlpha() const { return block_.HasAlpha(); }
inline MvColor* MvCanvasResource::Pixels() { return block_.Pixels(); }
inline const MvColor* MvCanvasResource::Pixels() const { return block_.Pixels(); }
inline const MvPixelBlock& MvCanvasResource::Block() const { return block_; }
inline int MvCanvasResource::UserCount() const { return userCount_; }
inline MvSceneNode* MvCanvasResource::User(int index) const { return users_[index]; }
inline int MvCanvasResource::CollisionMaskCount() const { return collisionMasks_.Count(); }

#endif
