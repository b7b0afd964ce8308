#include "MvSpriteNode.h"

#include "MvAction.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvStage.h"

#include <cstdio>
#include <string>

MvSpriteNode::MvSpriteNode(MvSpriteResource* resource) : resource_(resource), action_(nullptr), frame_(0)
{
    MvAssertWith(resource != nullptr, "the last lookup that found nothing: %s", MvResourceVault::LastFailedLookup());
    MvAssert(resource->ActionCount() > 0);
    action_ = resource->ActionAt(0);
    if (action_->FrameCount() == 0)
        frame_ = -1;
}

MvSpriteNode::~MvSpriteNode() {}

MvSpriteNode* MvSpriteNode::AsSprite() { return this; }

int MvSpriteNode::FrameCount() const { return action_ ? action_->FrameCount() : 0; }

void MvSpriteNode::ShowAction(MvAction* action)
{
    MvAssert(action != nullptr);
    if (action == action_)
        return;
    Invalidate(-1);
    action_ = action;
    const int count = action->FrameCount();
    if (count == 0)
        frame_ = -1;
    else if (frame_ < 0)
        frame_ = 0;
    else if (frame_ >= count)
        frame_ = count - 1;
}

void MvSpriteNode::SelectAction(const char* name)
{
    MvAssert(name != nullptr);
    MvAction* action = resource_->FindAction(name);
    MvAssertWith(action != nullptr, "sprite resource \"%s\" has no action \"%s\"", resource_->Name(), name);
    if (action)
        ShowAction(action);
}

void MvSpriteNode::SelectActionRotated(const char* name, int degrees)
{
    MvAssert(name != nullptr);
    degrees %= 360;
    if (degrees < 0)
        degrees += 360;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".ROT%03d", degrees);
    std::string rotated(name);
    rotated += suffix;
    SelectAction(rotated.c_str());
}

void MvSpriteNode::SelectActionById(int id)
{
    MvAction* action = resource_->FindAction(static_cast<int32_t>(id));
    MvAssertWith(action != nullptr, "sprite resource \"%s\" has no action id %d", resource_->Name(), id);
    if (action)
        ShowAction(action);
}

void MvSpriteNode::SelectFrame(int i)
{
    MvAssert(action_ != nullptr);
    MvAssert(i >= 0 && i < action_->FrameCount());
    if (i == frame_)
        return;
    Invalidate(-1);
    frame_ = i;
}

void MvSpriteNode::Step()
{
    MvAssert(action_ != nullptr);
    MvAssert(engine_ != nullptr);
    MvAssert(action_->FrameCount() > 0);

    const MvRle* image = action_->FrameAt(frame_);
    const int dx = image->DeltaX();
    const int dy = image->DeltaY();
    for (int w = 0; w < engine_->WindowCount(); ++w) {
        const MvTransform& own = xform_[w];
        int x;
        int y;
        if (own.HasScale()) {
            x = PosX(w) + (own.xScale * MvFixed::FromInt(dx)).RoundToInt();
            y = PosY(w) + (own.yScale * MvFixed::FromInt(dy)).RoundToInt();
        } else {
            x = PosX(w) + dx;
            y = PosY(w) + dy;
        }
        MoveTo(x, y, w);
    }
    SelectFrame((frame_ + 1) % action_->FrameCount());
}

MvSceneNode* MvSpriteNode::Clone()
{
    MvSpriteNode* clone = new MvSpriteNode(resource_);
    clone->SelectActionById(action_->Id());
    if (frame_ >= 0)
        clone->SelectFrame(frame_);
    return clone;
}

void MvSpriteNode::ComputeTransform(int window)
{
    MvSceneNode::ComputeTransform(window);
    action_->ComputeBounds(frame_, screenXform_[window], &bounds_[window]);
}

void MvSpriteNode::Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window)
{
    MvAssert(paintInfo != nullptr);
    MvAssert(action_ != nullptr);
    if (action_->FrameCount() == 0)
        return;
    action_->Draw(*paintInfo, frame_, screenXform_[window], screenColorXform_[window], clip, walkNumber_);
}

bool MvSpriteNode::TestPoint(int x, int y, int /*flags*/, MvGrowArray<MvSceneNode*>* hits, int window)
{
    MvAssert(hits != nullptr);
    if (!action_ || action_->FrameCount() == 0 || !bounds_[window].IsValid() || !IsShownInTree(window) ||
        screenColorXform_[window].Alpha() == 0)
        return false;
    MvFixed local[2];
    ScreenToLocal(x, y, local, window);
    if (!action_->HitTest(frame_, local[0].RoundToInt(), local[1].RoundToInt()))
        return false;
    hits->Append(this);
    return true;
}

void MvSpriteNode::QueryBoundingBox(MvIntRect* out, int window)
{
    MvAssert(out != nullptr);
    MvAssert(window >= 0 && window < MvWindowCount);
    out->SetEmpty();
    if (action_ && action_->FrameCount() > 0)
        action_->FrameAt(frame_)->ComputeBounds(screenXform_[window], out);
}

bool MvSpriteNode::CoversNothing(int window)
{
    MvAssert(window >= 0 && window < MvWindowCount);
    MvIntRect cover;
    action_->ComputeBounds(frame_, screenXform_[window], &cover);
    return !cover.IsValid();
}

MvResource* MvSpriteNode::Resource() { return resource_; }
