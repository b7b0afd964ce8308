#include "MvTileNode.h"

#include "MvPixelBlock.h"
#include "MvResourceVault.h"
#include "MvTileResource.h"

MvTileNode::MvTileNode(MvTileResource* tile, int orientation)
    : tile_(tile), orientation_(orientation), quality_(MvPixelBlock::QualityBest)
{
    MvAssertWith(tile != nullptr, "the last lookup that found nothing: %s", MvResourceVault::LastFailedLookup());
    MvAssert(orientation >= 0 && orientation <= 7);
}

MvTileNode::~MvTileNode() {}

MvTileNode* MvTileNode::AsTileNode() { return this; }

void MvTileNode::SetOrientation(int orientation)
{
    MvAssert(orientation >= 0 && orientation <= 7);
    if (orientation == orientation_)
        return;
    Invalidate(-1);
    orientation_ = orientation;
}

void MvTileNode::SetQuality(int quality)
{
    MvAssert(quality >= MvPixelBlock::QualityNearest && quality <= MvPixelBlock::QualityBest);
    if (quality == quality_)
        return;
    Invalidate(-1);
    quality_ = quality;
}

MvSceneNode* MvTileNode::Clone()
{
    MvTileNode* clone = new MvTileNode(tile_, orientation_);
    clone->SetQuality(quality_);
    return clone;
}

void MvTileNode::ComputeTransform(int window)
{
    MvSceneNode::ComputeTransform(window);
    tile_->ComputeBounds(screenXform_[window], &bounds_[window]);
}

void MvTileNode::Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window)
{
    MvAssert(paintInfo != nullptr);
    tile_->Draw(*paintInfo, screenXform_[window], orientation_, screenColorXform_[window], clip, quality_,
                walkNumber_);
}

bool MvTileNode::TestPoint(int x, int y, int /*flags*/, MvGrowArray<MvSceneNode*>* hits, int window)
{
    MvAssert(hits != nullptr);
    if (!bounds_[window].IsValid() || !IsShownInTree(window) || screenColorXform_[window].Alpha() == 0)
        return false;
    MvFixed local[2];
    ScreenToLocal(x, y, local, window);
    if (!tile_->HitTest(orientation_, local[0].RoundToInt(), local[1].RoundToInt()))
        return false;
    hits->Append(this);
    return true;
}

void MvTileNode::QueryBoundingBox(MvIntRect* out, int window)
{
    MvAssert(out != nullptr);
    MvAssert(window >= 0 && window < MvWindowCount);
    tile_->ComputeBounds(screenXform_[window], out);
}

MvResource* MvTileNode::Resource() { return tile_; }
