#include "MvCanvasNode.h"

#include "MvCanvasResource.h"
#include "MvPixelBlock.h"

MvCanvasNode::MvCanvasNode(MvCanvasResource* canvas) : canvas_(canvas), quality_(MvPixelBlock::QualityNearest)
{
    MvAssert(canvas != nullptr);
    canvas_->AddUser(this);
}

MvCanvasNode::~MvCanvasNode() { canvas_->RemoveUser(this); }

MvCanvasNode* MvCanvasNode::AsCanvasNode() { return this; }

void MvCanvasNode::SetQuality(int quality)
{
    MvAssert(quality >= MvPixelBlock::QualityNearest && quality <= MvPixelBlock::QualityBest);
    if (quality == quality_)
        return;
    Invalidate(-1);
    quality_ = quality;
}

MvSceneNode* MvCanvasNode::Clone()
{
    MvCanvasNode* clone = new MvCanvasNode(canvas_);
    clone->SetQuality(quality_);
    return clone;
}

void MvCanvasNode::ComputeTransform(int window)
{
    MvSceneNode::ComputeTransform(window);
    canvas_->ComputeBounds(screenXform_[window], &bounds_[window]);
}

void MvCanvasNode::Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window)
{
    MvAssert(paintInfo != nullptr);
    canvas_->Draw(*paintInfo, screenXform_[window], screenColorXform_[window], clip, quality_, walkNumber_);
}

bool MvCanvasNode::TestPoint(int x, int y, int /*flags*/, MvGrowArray<MvSceneNode*>* hits, int window)
{
    MvAssert(hits != nullptr);
    if (!bounds_[window].IsValid() || !IsShownInTree(window) || screenColorXform_[window].Alpha() == 0)
        return false;
    MvFixed local[2];
    ScreenToLocal(x, y, local, window);
    if (!canvas_->HitTest(local[0].RoundToInt(), local[1].RoundToInt()))
        return false;
    hits->Append(this);
    return true;
}

void MvCanvasNode::QueryBoundingBox(MvIntRect* out, int window)
{
    MvAssert(out != nullptr);
    MvAssert(window >= 0 && window < MvWindowCount);
    canvas_->ComputeBounds(screenXform_[window], out);
}

MvResource* MvCanvasNode::Resource() { return canvas_; }

bool MvCanvasNode::CollisionMaskFits(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    // The canvas makes the map by drawing itself at the node's own scale at the origin;
    // nearest sampling gives the same picture whenever the size is the same.
    MvTransform own = MvTransform::Identity();
    own.xScale = xform_[window].xScale;
    own.yScale = xform_[window].yScale;
    MvIntRect mapped;
    canvas_->ComputeBounds(own, &mapped);
    const MvIntRect& shown = bounds_[window];
    return mapped.Width() == shown.Width() && mapped.Height() == shown.Height();
}
