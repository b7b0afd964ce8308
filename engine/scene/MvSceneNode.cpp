#include "MvSceneNode.h"

#include "MvSceneTree.h"
#include "MvStage.h"

MvSceneNode::MvSceneNode()
    : siblingLink_(this), walkNumber_(0), parent_(nullptr), depth_(0), id_(-1), engine_(nullptr), userData_(nullptr)
{
    for (int w = 0; w < MvWindowCount; ++w) {
        bounds_[w].SetEmpty();
        xform_[w] = MvTransform::Identity();
        screenXform_[w] = MvTransform::Identity();
        subtreeBounds_[w].SetEmpty();
        invalid_[w] = true;
        shown_[w] = true;
        wasOnScreen_[w] = true;
    }
}

MvSceneNode::~MvSceneNode()
{
    MvAssert(!siblingLink_.IsLinked());
}

void MvSceneNode::SetColorXform(const MvColorXform& xform, int window)
{
    int first, end;
    AddressedWindows(window, &first, &end);
    for (int w = first; w < end; ++w) {
        if (colorXform_[w] != xform) {
            colorXform_[w] = xform;
            invalid_[w] = true;
        }
    }
}

MvDrawableNode* MvSceneNode::AsDrawable() { return nullptr; }
MvSpriteNode* MvSceneNode::AsSprite() { return nullptr; }
MvTileNode* MvSceneNode::AsTileNode() { return nullptr; }
MvTextNode* MvSceneNode::AsTextNode() { return nullptr; }
MvWidget* MvSceneNode::AsWidget() { return nullptr; }
MvTextEntry* MvSceneNode::AsTextEntry() { return nullptr; }
MvCanvasNode* MvSceneNode::AsCanvasNode() { return nullptr; }
void* MvSceneNode::AsInterface(int /*kind*/) { return nullptr; }

bool MvSceneNode::TestPoint(int /*x*/, int /*y*/, int /*flags*/, MvGrowArray<MvSceneNode*>* /*hits*/,
                            int /*window*/)
{
    return false;
}

void MvSceneNode::SetShown(bool shown, int window)
{
    int first, end;
    AddressedWindows(window, &first, &end);
    for (int w = first; w < end; ++w) {
        if (shown_[w] != shown) {
            shown_[w] = shown;
            invalid_[w] = true;
        }
    }
}

MvSceneNode* MvSceneNode::Clone() { return new MvSceneNode(); }

void MvSceneNode::QueueDirty(int /*window*/, bool /*before*/) {}

void MvSceneNode::ComputeTransform(int window)
{
    MvAssert(window >= 0 && window < MvWindowCount);
    screenXform_[window] = xform_[window];
    screenColorXform_[window] = colorXform_[window];
    if (parent_) {
        screenXform_[window].Combine(parent_->screenXform_[window]);
        const MvColorXform& parentColor = parent_->screenColorXform_[window];
        if (!parentColor.IsIdentity())
            screenColorXform_[window].Combine(parentColor);
    }
}

void MvSceneNode::OnAddedToTree()
{
    MvAssert(engine_ != nullptr);
    for (int w = 0; w < engine_->WindowCount(); ++w) {
        ComputeTransform(w);
        Invalidate(w);
    }
}

void MvSceneNode::OnRemovingFromTree() {}

void MvSceneNode::MoveTo(int x, int y, int window)
{
    MvAssert(x >= -MvMaxNodePosition && x <= MvMaxNodePosition);
    MvAssert(y >= -MvMaxNodePosition && y <= MvMaxNodePosition);
    int first, end;
    AddressedWindows(window, &first, &end);
    const MvFixed fx = MvFixed::FromInt(x);
    const MvFixed fy = MvFixed::FromInt(y);
    for (int w = first; w < end; ++w) {
        MvTransform& t = xform_[w];
        if (t.x != fx || t.y != fy) {
            t.x = fx;
            t.y = fy;
            invalid_[w] = true;
        }
    }
}

void MvSceneNode::MoveBy(int dx, int dy, int window) { MoveTo(PosX(0) + dx, PosY(0) + dy, window); }

void MvSceneNode::SetScaling(MvFixed xScale, MvFixed yScale, int window)
{
    MvAssert(xScale > 0 && yScale > 0);
    int first, end;
    AddressedWindows(window, &first, &end);
    for (int w = first; w < end; ++w) {
        MvTransform& t = xform_[w];
        if (t.xScale != xScale || t.yScale != yScale) {
            t.xScale = xScale;
            t.yScale = yScale;
            invalid_[w] = true;
        }
    }
}

void MvSceneNode::SetDepth(int depth)
{
    if (depth == depth_)
        return;
    depth_ = depth;
    Invalidate(-1);
    if (parent_)
        parent_->ResortChild(this);
}

void MvSceneNode::Invalidate(int window)
{
    int first, end;
    AddressedWindows(window, &first, &end);
    for (int w = first; w < end; ++w)
        invalid_[w] = true;
}

void MvSceneNode::SetName(const char* name)
{
    MvAssert(name != nullptr);
    // Copied first: name may point into the name being replaced.
    std::string newName(name);
    // The tree's name map refers to the stored name, so the old entry goes before the
    // name changes and the new one comes after. The scene root gets its stage before the
    // stage has its tree, but it never has a name.
    MvSceneTree* tree = engine_ ? engine_->SceneTree() : nullptr;
    if (tree && !name_.empty())
        tree->RemoveName(this);
    name_.swap(newName);
    if (tree && !name_.empty())
        tree->AddName(this);
}

void MvSceneNode::SetId(int id)
{
    MvSceneTree* tree = engine_ ? engine_->SceneTree() : nullptr;
    if (tree && id_ >= 0)
        tree->RemoveId(this);
    id_ = id;
    if (tree && id_ >= 0)
        tree->AddId(this);
}

int MvSceneNode::PosX(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    const MvFixed x = xform_[window].x;
    MvAssert((x.Raw() & 0xFFFF) == 0);
    return x.ToInt();
}

int MvSceneNode::PosY(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    const MvFixed y = xform_[window].y;
    MvAssert((y.Raw() & 0xFFFF) == 0);
    return y.ToInt();
}

bool MvSceneNode::IsShownInTree(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    for (const MvSceneNode* n = this; n != nullptr; n = n->parent_)
        if (!n->shown_[window])
            return false;
    return true;
}

void MvSceneNode::ResortChild(MvSceneNode* child)
{
    MvAssert(child != nullptr && child->parent_ == this);
    const int d = child->depth_;
    MvChildLink* link = &child->siblingLink_;
    MvChildLink* next = link->Next();
    MvChildLink* prev = link->Prev();
    if (next->Node() != nullptr && next->Node()->depth_ < d) {
        MvChildCursor at(&children_, next);
        children_.Remove(link);
        while (!at.Done() && at.Node()->depth_ < d) {
            MvAssert(at.Node()->parent_ == this);
            at.Next();
        }
        children_.InsertBefore(link, at.Link());
    } else if (prev->Node() != nullptr && prev->Node()->depth_ > d) {
        MvChildCursor at(&children_, prev);
        children_.Remove(link);
        while (!at.Done() && at.Node()->depth_ > d) {
            MvAssert(at.Node()->parent_ == this);
            at.Prev();
        }
        children_.InsertAfter(link, at.Link());
    }
}

void MvSceneNode::ScreenToLocal(int x, int y, MvFixed out[2], int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    const MvTransform& t = screenXform_[window];
    out[0] = (MvFixed::FromInt(x) - t.x) / t.xScale;
    out[1] = (MvFixed::FromInt(y) - t.y) / t.yScale;
}

void MvSceneNode::AddressedWindows(int window, int* first, int* end) const
{
    MvAssert(window >= -1 && window < MvWindowCount);
    if (window == -1) {
        *first = 0;
        *end = engine_ ? engine_->WindowCount() : MvWindowCount;
    } else {
        *first = window;
        *end = window + 1;
    }
}
