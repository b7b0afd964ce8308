#ifndef MV_FONT_RESOURCE_H
#define MV_FONT_RESOURCE_H

#include "MvSpriteResource.h"

#include <cstdint>
#include <string>

class MvAction;
class MvColorXform;
class MvPaintTarget;
class MvSurfacePen;
class MvTransform;
struct MvIntRect;

/// A font: a sprite resource whose first action holds one frame per character, frame i
/// being the glyph of character code (start index + i) with its delta x as the advance.
/// Reusing the sprite's frames gives glyphs the run-length drawing, scale cache and file
/// form of sprites for free; the price is that a font covers one contiguous range of codes,
/// so a sparse character set stores empty frames for the gaps. One code, the space, is
/// measured by the average advance and never drawn.
class MvFontResource : public MvSpriteResource {
public:
    /// How an image is cut into glyphs.
    enum FontType {
        FixedCells = 0, ///< length cells of equal width side by side, over all rows
        MarkedCells = 1 ///< cells are the transparent runs between markers in the top row
    };

    /// Builds a font (id 0) from image for the encoder: one action "NONE" whose frames are
    /// the glyph cells of fontType; length is the glyph count of a fixed font (unused for
    /// marked cells). The picture is untrusted: a cell that an image cannot store (too
    /// large, a run too long, too many runs in a row) is logged and left empty, and an
    /// image without glyph rows or, for marked cells, without cells is logged; either
    /// leaves the font incomplete (IsComplete false). Asserts name is not null,
    /// fontType is 0 or 1, and length >= 1 for a fixed font.
    MvFontResource(const char* name, const MvPaintTarget& image, int startIndex, int spaceCode, uint16_t fontType,
                   int length);

    int Type() const override;
    const std::string& TypeName() const override;
    MvFontResource* AsFontResource() override;

    /// Sum of GlyphWidth over the characters up to the terminating zero; 0 for null.
    int TextWidth(const uint16_t* text) const;
    /// As above over at most count characters (fewer when a zero comes first); 0 for
    /// null. Asserts count >= 0.
    int TextWidth(const uint16_t* text, int count) const;

    /// The space width for the space code, the glyph's advance (delta x) for a code inside
    /// the font, 0 for any other code.
    int GlyphWidth(uint16_t code) const;
    /// True when code - start index names a glyph; the space code is not special here.
    bool HasGlyph(uint16_t code) const;
    /// code - start index. Asserts HasGlyph(code).
    int GlyphIndex(uint16_t code) const;

    /// Paints the glyph of code with its hot spot (the cell's top-left corner) at xform's
    /// position, as MvAction::Draw does; nothing for the space code or a code outside the
    /// font.
    void DrawGlyph(const MvPaintTarget& paintInfo, uint16_t code, const MvTransform& xform, const MvColorXform& cform,
                   const MvIntRect& clip, int openGLZ) const;

    /// Number of glyphs: the frame count of the first action (0 without actions).
    int GlyphCount() const;
    /// Character code of glyph 0.
    int StartIndex() const;
    /// The character code drawn as empty space, SpaceWidth() wide.
    int SpaceCode() const;
    /// The average advance of the glyphs, at least 1.
    int SpaceWidth() const;
    /// FixedCells or MarkedCells: how the glyphs were cut from their picture.
    uint16_t FontType() const;
    /// False when building from an image left a glyph out or found no glyphs; always true
    /// for fonts read from a file (a malformed record sets the reader's error instead).
    bool IsComplete() const;

    /// @name Engine internals
    /// For the engine's loader, the resource encoder and the collision test, never for a
    /// program: the reader, the writer and the collision bit map are the engine's own
    /// types, not installed.
    ///@{

    /// Reads a font record's payload (size bytes, not used: the payload is read field by
    /// field): the sprite payload, then start index, font type and space code. A malformed
    /// payload, a font type other than 0 or 1 among them, leaves the reader's error set;
    /// the font is then incomplete and its owner deletes it.
    MvFontResource(uint32_t size, MvResourceReader& reader);

    /// Writes one font record: what a sprite record holds, then start index, font type
    /// and space code.
    void Save(MvResourceWriter& writer) const override;
    /// For a text node showing this font, the node's map of its whole text at scale 1
    /// (MvTextNode::CollisionMask); a text node scaled in window has none: one line is
    /// logged and the answer is null. Any other node is answered as by a sprite resource.
    /// Asserts a text node shows this font.
    MvCollisionMask* GetCollisionMask(MvSceneNode* node, int window) override;
    ///@}

private:
    /// The first action, which holds the glyphs, or null when there is none.
    const MvAction* Glyphs() const;
    /// The glyph index of code, or -1 when code lies outside the font. Wide arithmetic:
    /// a start index from a file may be any 32-bit value.
    int64_t IndexOf(uint16_t code) const;
    void ComputeSpaceWidth();
    /// Appends a frame to glyphs and encodes the cell (x, y, width, height) of image into
    /// it, hot spot at the cell's top-left corner and delta (width, height), unless the
    /// cell cannot be stored as an image (then logs why and clears complete_).
    void AddGlyph(MvAction* glyphs, const MvPaintTarget& image, const MvSurfacePen& pen, int x, int y, int width,
                  int height);

    int startIndex_;
    int spaceCode_;
    int spaceWidth_;
    uint16_t fontType_;
    bool complete_;
};

inline int MvFontResource::StartIndex() const { return startIndex_; }
inline int MvFontResource::SpaceCode() const { return spaceCode_; }
inline int MvFontResource::SpaceWidth() const { return spaceWidth_; }
inline uint16_t MvFontResource::FontType() const { return fontType_; }
inline bool MvFontResource::IsComplete() const { return complete_; }

#endif
