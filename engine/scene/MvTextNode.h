#ifndef MV_TEXT_NODE_H
#define MV_TEXT_NODE_H

#include "MvDrawableNode.h"

#include <cstdint>
#include <string>
#include <vector>

class MvCollisionMask;
class MvFontResource;
class MvResource;

/// The node that shows one line of text in a font: each byte of the text is a character
/// code, drawn as the font's glyph with the cell's top-left corner at the pen, which then
/// moves right by the glyph's advance (the space code moves it by the space width and draws
/// nothing; a code outside the font neither draws nor moves). The first glyph's cell starts
/// at the node's position. The glyphs' places are laid out once per text, so drawing,
/// bounds and hit tests only walk them. A text that shows no pixel (empty, or spaces only)
/// covers nothing: it is never drawn, hit or collided, and may be in a tree and shown. The
/// node collides at scale 1 through a map of its whole text, which it keeps until the text
/// changes; a scaled text node does not collide. The font is not owned and must outlive
/// the node.
class MvTextNode : public MvDrawableNode {
public:
    /// A detached node showing text in font. Asserts font (naming the vault's last failed
    /// lookup) and text are not null.
    MvTextNode(MvFontResource* font, const char* text);

    /// Deletes the kept collision map; the font stays its owner's.
    ~MvTextNode() override;

    /// The node itself.
    MvTextNode* AsTextNode() override;

    /// Shows text instead, invalidating every window and dropping the collision map when it
    /// differs. Asserts text is not null.
    void SetText(const char* text);

    /// A new detached text node on the same font with the same text; placement, colours,
    /// depth, shown flags, name, id and user data are not copied.
    MvSceneNode* Clone() override;

    /// True, with the node appended to hits, when a visible pixel of an unscaled glyph lies
    /// under screen point (x, y) of window (the point taken back through the screen
    /// transform). A node that is hidden there, covers nothing there (empty bounds) or whose
    /// composite alpha is 0 is never hit. flags has no effect here. Asserts hits is not
    /// null.
    bool TestPoint(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int window) override;

    /// The rectangle the glyphs cover under the window's screen transform, as the bounds.
    /// Asserts out is not null and 0 <= window < MvWindowCount.
    void QueryBoundingBox(MvIntRect* out, int window) override;

    /// The font, as a resource.
    MvResource* Resource() override;

    /// The text shown.
    const char* Text() const;
    /// The sum of the advances of the text's codes (the pen's travel), held to int's range.
    int TextWidth() const;
    /// The font the text is shown in (not owned).
    MvFontResource* FontResource() const;

    /// @name Engine internals
    /// For the engine's collision test, never for a program: the collision bit map is the
    /// engine's own type, not installed.
    ///@{

    /// The collision bit map of the whole text at scale 1, its column 0 and row 0 at the
    /// text's bounds' top-left corner: made from the glyphs on first request and kept until
    /// the text changes. Null when the node's screen transform has a scale in window, when
    /// the text shows no pixel, when the map would be more than MvPixelBlock::MaxSize
    /// pixels on a side, or when it does not fit the bounds of window (the text changed
    /// since the last recompute). The font's GetCollisionMask answers with it. Asserts 0 <=
    /// window < MvWindowCount.
    MvCollisionMask* CollisionMask(int window);
    ///@}

protected:
    /// The base transform, then bounds[window]: the union of the rectangles the glyphs cover
    /// under the screen transform (through the font's scale cache where it applies); empty
    /// when the text shows no pixel.
    void ComputeTransform(int window) override;

    /// Paints the glyphs, clipped to clip, under the window's screen transform and composite
    /// colour transform. Asserts paintInfo is not null.
    void Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window) override;

private:
    /// A glyph to draw: the frame of the font's glyph action and the pen's x before it.
    struct Glyph {
        int32_t frame;
        int32_t x;
    };

    /// Lays out text_ into glyphs_, textWidth_ and extent_.
    void Layout();
    /// The transform glyph is drawn with in window.
    MvTransform GlyphXform(const Glyph& glyph, int window) const;

    MvFontResource* font_;
    std::string text_;
    std::vector<Glyph> glyphs_;
    int32_t textWidth_;
    MvIntRect extent_;               ///< the glyphs' union at the origin, unscaled; empty for no pixels
    MvCollisionMask* collisionMask_; ///< owned; null until first requested for this text
};

inline const char* MvTextNode::Text() const { return text_.c_str(); }
inline int MvTextNode::TextWidth() const { return textWidth_; }
inline MvFontResource* MvTextNode::FontResource() const { return font_; }

#endif
