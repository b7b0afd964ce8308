#ifndef MV_TILE_RESOURCE_H
#define MV_TILE_RESOURCE_H

#include "MvGrowArray.h"
#include "MvPixelBlock.h"
#include "MvResource.h"

#include <cstdint>
#include <string>

class MvPaintTarget;

/// A square picture meant to be repeated over an area, drawn in eight orientations: turned
/// clockwise by (orientation mod 4) quarter turns, then mirrored top to bottom for
/// orientations 4 to 7. Each quarter turn, of the tile and of each cached scaled copy, is
/// made once on first need as a pixel block of its own, so drawing in any orientation is a
/// plain row blit (the mirror walks rows upwards) at the price of up to four times the
/// tile's memory.
class MvTileResource : public MvResource {
public:
    /// A tile (id 0) made from the size x size square at (x, y) of source, for the encoder
    /// and program code. Asserts name is not null and the square lies inside the source.
    MvTileResource(const char* name, const MvPaintTarget& source, int x, int y, int size);

    /// Frees the scale cache, then the tile and its turned copies.
    ~MvTileResource() override;

    int Type() const override;
    const std::string& TypeName() const override;
    MvTileResource* AsTileResource() override;

    /// The side of the square, in pixels.
    int Size() const;

    /// The screen rectangle of the tile drawn with xform, in any orientation.
    void ComputeBounds(const MvTransform& xform, MvIntRect* bounds) const;

    /// Paints the tile in orientation with its top-left corner at xform's position, scaled
    /// by xform's scales, through cform, inside clip (quality as MvPixelBlock::Draw). At a
    /// cached scale the cached copy is drawn unscaled. Makes the turned copy the
    /// orientation needs on first use. On an OpenGL target the tile as read is drawn as one
    /// textured quad, turned by its texture coordinates, with no copies made
    /// (MvPixelBlock::DrawOpenGL). Asserts 0 <= orientation <= 7 and what
    /// MvPixelBlock::Draw asserts.
    void Draw(const MvPaintTarget& paintInfo, const MvTransform& xform, int orientation, const MvColorXform& cform,
              const MvIntRect& clip, int quality, int openGLZ) const;

    /// True when (x, y) lies on the tile drawn in orientation and the pixel there is not
    /// fully transparent (a tile without alpha is solid). Asserts 0 <= orientation <= 7.
    bool HitTest(int orientation, int x, int y) const;

    /// Makes a copy of the tile scaled by the pair with the best quality, unless one
    /// exists (then logs that and changes nothing). Asserts the two scales are equal and
    /// above 0, and the scaled size is at most MvPixelBlock::MaxSize.
    void AddScaleCache(MvFixed xScale, MvFixed yScale) override;
    /// True when a copy for exactly this scale pair exists.
    bool HasScaleCache(MvFixed xScale, MvFixed yScale) const override;
    /// Deletes every cached copy; the turned copies of the tile itself stay.
    void ClearScaleCache() override;

    /// The tile's block in slot: 0 the tile as read (never null), 1 to 3 the tile turned by
    /// 90, 180 and 270 degrees clockwise, null until first needed. Asserts 0 <= slot <= 3.
    const MvPixelBlock* Block(int slot) const;
    /// Number of cached scale pairs.
    int ScaleCacheCount() const;

    /// @name Engine internals
    /// For the engine's loader and the resource encoder, never for a program: the reader
    /// and the writer are the engine's own types, not installed.
    ///@{

    /// Reads a tile record's payload (size bytes, not used: the payload is read field by
    /// field). A malformed payload, a tile that is not square among them, leaves the
    /// reader's error set; the tile is then empty (size 0) and its owner deletes it.
    MvTileResource(uint32_t size, MvResourceReader& reader);

    /// Writes one tile record: name, id and the pixel block, and adds the block's pixels
    /// to the writer's tallies.
    void Save(MvResourceWriter& writer) const override;
    ///@}

private:
    /// A copy of the tile at one scale pair: slot 0 made by AddScaleCache, slots 1 to 3
    /// its quarter turns, made on first need.
    struct ScaleCacheEntry {
        MvFixed xScale;
        MvFixed yScale;
        MvPixelBlock* blocks[4];
    };

    /// The block of slots[turn], made from slots[0] when still missing.
    static const MvPixelBlock* Turned(MvPixelBlock** slots, int turn);
    static void DeleteBlocks(MvPixelBlock** slots);
    ScaleCacheEntry* FindScaleCache(MvFixed xScale, MvFixed yScale) const;

    /// Turned copies are caches filled while drawing, which leaves the tile itself as it
    /// was: hence mutable.
    mutable MvGrowArray<ScaleCacheEntry> scaleCache_;
    mutable MvPixelBlock* blocks_[4];
};

inline int MvTileResource::Size() const { return blocks_[0]->Width(); }
inline int MvTileResource::ScaleCacheCount() const { return scaleCache_.Count(); }

inline const MvPixelBlock* MvTileResource::Block(int slot) const
{
    MvAssert(slot >= 0 && slot <= 3);
    return blocks_[slot];
}

#endif
