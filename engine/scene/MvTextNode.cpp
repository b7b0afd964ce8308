#include "MvTextNode.h"

#include "MvAction.h"
#include "MvCollisionMask.h"
#include "MvFontResource.h"
#include "MvPixelBlock.h"
#include "MvResourceVault.h"
#include "MvRle.h"

#include <climits>

MvTextNode::MvTextNode(MvFontResource* font, const char* text)
    : font_(font), textWidth_(0), collisionMask_(nullptr)
{
    MvAssertWith(font != nullptr, "the last lookup that found nothing: %s", MvResourceVault::LastFailedLookup());
    MvAssert(text != nullptr);
    text_ = text;
    Layout();
}

MvTextNode::~MvTextNode() { delete collisionMask_; }

MvTextNode* MvTextNode::AsTextNode() { return this; }

void MvTextNode::SetText(const char* text)
{
    MvAssert(text != nullptr);
    if (text_ == text)
        return;
    // Copied first: text may point into the text being replaced.
    std::string newText(text);
    text_.swap(newText);
    Layout();
    delete collisionMask_;
    collisionMask_ = nullptr;
    Invalidate(-1);
}

void MvTextNode::Layout()
{
    glyphs_.clear();
    extent_.SetEmpty();
    const MvAction* glyphAction = font_->ActionCount() > 0 ? font_->ActionAt(0) : nullptr;
    // Advances from a file may be any 32-bit values: the pen moves in 64 bits, and a glyph
    // whose pen lies farther out than a node may be placed is left out.
    int64_t pen = 0;
    for (const char byte : text_) {
        const uint16_t code = static_cast<unsigned char>(byte);
        if (code != font_->SpaceCode() && font_->HasGlyph(code) && pen >= -MvMaxNodePosition &&
            pen <= MvMaxNodePosition) {
            const int frame = font_->GlyphIndex(code);
            const MvRle* image = glyphAction->FrameAt(frame);
            if (image->Width() > 0 && image->Height() > 0) {
                const int x = static_cast<int>(pen);
                glyphs_.push_back(Glyph{frame, x});
                const MvIntRect cover = MvMakeRect(x + image->OffsetX(), image->OffsetY(),
                                                   x + image->OffsetX() + image->Width() - 1,
                                                   image->OffsetY() + image->Height() - 1);
                if (extent_.IsValid())
                    extent_.Merge(cover);
                else
                    extent_ = cover;
            }
        }
        pen += font_->GlyphWidth(code);
    }
    textWidth_ = static_cast<int32_t>(pen > INT_MAX ? INT_MAX : pen < INT_MIN ? INT_MIN : pen);
}

MvTransform MvTextNode::GlyphXform(const Glyph& glyph, int window) const
{
    MvTransform xform = screenXform_[window];
    xform.x += xform.xScale * MvFixed::FromInt(glyph.x);
    return xform;
}

MvSceneNode* MvTextNode::Clone() { return new MvTextNode(font_, text_.c_str()); }

void MvTextNode::ComputeTransform(int window)
{
    MvSceneNode::ComputeTransform(window);
    QueryBoundingBox(&bounds_[window], window);
}

void MvTextNode::Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window)
{
    MvAssert(paintInfo != nullptr);
    if (glyphs_.empty())
        return;
    const MvAction* glyphAction = font_->ActionAt(0);
    for (const Glyph& glyph : glyphs_)
        glyphAction->Draw(*paintInfo, glyph.frame, GlyphXform(glyph, window), screenColorXform_[window], clip,
                          walkNumber_);
}

bool MvTextNode::TestPoint(int x, int y, int /*flags*/, MvGrowArray<MvSceneNode*>* hits, int window)
{
    MvAssert(hits != nullptr);
    if (glyphs_.empty() || !bounds_[window].IsValid() || !IsShownInTree(window) ||
        screenColorXform_[window].Alpha() == 0)
        return false;
    MvFixed local[2];
    ScreenToLocal(x, y, local, window);
    const int localX = local[0].RoundToInt();
    const int localY = local[1].RoundToInt();
    const MvAction* glyphAction = font_->ActionAt(0);
    for (const Glyph& glyph : glyphs_) {
        if (glyphAction->HitTest(glyph.frame, localX - glyph.x, localY)) {
            hits->Append(this);
            return true;
        }
    }
    return false;
}

void MvTextNode::QueryBoundingBox(MvIntRect* out, int window)
{
    MvAssert(out != nullptr);
    MvAssert(window >= 0 && window < MvWindowCount);
    out->SetEmpty();
    if (glyphs_.empty())
        return;
    const MvAction* glyphAction = font_->ActionAt(0);
    for (const Glyph& glyph : glyphs_) {
        MvIntRect cover;
        glyphAction->ComputeBounds(glyph.frame, GlyphXform(glyph, window), &cover);
        if (!cover.IsValid())
            continue;
        if (out->IsValid())
            out->Merge(cover);
        else
            *out = cover;
    }
}

MvResource* MvTextNode::Resource() { return font_; }

MvCollisionMask* MvTextNode::CollisionMask(int window)
{
    MvAssert(window >= 0 && window < MvWindowCount);
    if (screenXform_[window].HasScale() || !extent_.IsValid())
        return nullptr;
    if (extent_.Width() > MvPixelBlock::MaxSize || extent_.Height() > MvPixelBlock::MaxSize)
        return nullptr;
    const MvIntRect& shown = bounds_[window];
    if (shown.Width() != extent_.Width() || shown.Height() != extent_.Height())
        return nullptr;
    if (collisionMask_ != nullptr)
        return collisionMask_;

    const MvFixed one = MvFixed::FromRaw(MvFixedOne);
    collisionMask_ = new MvCollisionMask(extent_.Width(), extent_.Height(), one, one);
    const MvAction* glyphAction = font_->ActionAt(0);
    for (const Glyph& glyph : glyphs_) {
        const MvRle* image = glyphAction->FrameAt(glyph.frame);
        const int left = glyph.x + image->OffsetX() - extent_.left;
        const int top = image->OffsetY() - extent_.top;
        for (int k = 0; k < image->Height(); ++k) {
            const MvRleLine& line = image->Row(k);
            for (int s = 0; s < line.segmentCount; ++s)
                collisionMask_->SetSpan(top + k, left + line.segments[s].start, left + line.segments[s].end);
        }
    }
    return collisionMask_;
}
