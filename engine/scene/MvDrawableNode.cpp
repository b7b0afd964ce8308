#include "MvDrawableNode.h"

#include "MvCanvasNode.h"
#include "MvCollisionMask.h"
#include "MvLog.h"
#include "MvResource.h"
#include "MvStage.h"

namespace {

// The kinds whose resources make collision bit maps: sprite nodes, text nodes (whose font
// maps their text) and canvas nodes. Tiles have none.
bool HasPixels(MvDrawableNode* node)
{
    return node->AsSprite() != nullptr || node->AsTextNode() != nullptr || node->AsCanvasNode() != nullptr;
}

// A canvas makes its map at the node's own scale; under a scaled ancestor the node's
// picture can have another size, and such a map cannot be laid on the node's bounds.
bool MapFitsBounds(MvDrawableNode* node, int window)
{
    MvCanvasNode* canvas = node->AsCanvasNode();
    if (canvas == nullptr || canvas->CollisionMaskFits(window))
        return true;
    MvLogError("Canvas node '%s': a scaled ancestor gives it another size than its canvas's collision map, so it "
               "does not collide\n",
               node->Name());
    return false;
}

} // namespace

MvDrawableNode::MvDrawableNode() {}

MvDrawableNode* MvDrawableNode::AsDrawable() { return this; }

void MvDrawableNode::Draw(MvPaintTarget* paintInfo, const MvIntRect& clip, int window)
{
    MvAssert(paintInfo != nullptr);
    MvAssert(IsShownInTree(window));
    Paint(paintInfo, clip, window);
}

void MvDrawableNode::QueueDirty(int window, bool before)
{
    MvAssert(engine_ != nullptr);
    const bool shownNow = IsShownInTree(window);
    // Before the recompute the bounds are those of the picture last computed, which may
    // have changed since; after it they must be the current picture's. Empty bounds hand
    // nothing to the list: the node painted nothing there.
    if (shownNow && !before)
        MvAssert(bounds_[window].IsValid() || CoversNothing(window));
    if ((wasOnScreen_[window] || shownNow) && bounds_[window].IsValid())
        engine_->DirtyList(window).AddRect(bounds_[window]);
    wasOnScreen_[window] = shownNow;
}

void MvDrawableNode::OnAddedToTree()
{
    MvSceneNode::OnAddedToTree();
    MvAssert(bounds_[0].IsValid() || CoversNothing(0));
}

bool MvDrawableNode::CoversNothing(int window)
{
    MvAssert(window >= 0 && window < MvWindowCount);
    MvIntRect box;
    QueryBoundingBox(&box, window);
    return !box.IsValid();
}

void MvDrawableNode::OnRemovingFromTree()
{
    MvAssert(engine_ != nullptr);
    for (int w = 0; w < engine_->WindowCount(); ++w)
        if (wasOnScreen_[w] && bounds_[w].IsValid())
            engine_->DirtyList(w).AddRect(bounds_[w]);
}

bool MvDrawableNode::Collide(MvDrawableNode* other, int window)
{
    MvAssert(other != nullptr);
    MvAssert(window >= 0 && window < MvWindowCount);
    const MvIntRect& mine = bounds_[window];
    const MvIntRect& theirs = other->bounds_[window];
    // A node that covers nothing (an empty frame, or never placed) meets nothing.
    if (!mine.IsValid() || !theirs.IsValid() || !mine.Overlaps(theirs))
        return false;
    if (!HasPixels(this) || !HasPixels(other))
        return false;
    if (!IsShownInTree(window) || !other->IsShownInTree(window))
        return false;
    if (screenColorXform_[window].Alpha() == 0 || other->screenColorXform_[window].Alpha() == 0)
        return false;
    if (!MapFitsBounds(this, window) || !MapFitsBounds(other, window))
        return false;

    // The bit-map comparison runs from the left image's columns; on equal left edges the
    // receiver is the right one.
    MvDrawableNode* left = other;
    MvDrawableNode* right = this;
    if (mine.left < theirs.left) {
        left = this;
        right = other;
    }
    MvResource* leftResource = left->Resource();
    MvResource* rightResource = right->Resource();
    if (leftResource == nullptr || rightResource == nullptr)
        return false;
    MvCollisionMask* leftMap = leftResource->GetCollisionMask(left, window);
    MvCollisionMask* rightMap = rightResource->GetCollisionMask(right, window);
    if (leftMap == nullptr || rightMap == nullptr)
        return false;
    const MvIntRect& l = left->bounds_[window];
    const MvIntRect& r = right->bounds_[window];
    MvIntRect overlap = l;
    overlap.ClipTo(r);
    return leftMap->Collide(r.left - l.left, r.top - l.top, overlap, rightMap);
}
