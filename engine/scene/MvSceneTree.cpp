#include "MvSceneTree.h"

#include "MvDirtyList.h"
#include "MvDrawableNode.h"
#include "MvLog.h"
#include "MvPaintTarget.h"
#include "MvStage.h"

#include <cstdint>

namespace {

// Both maps start with room for this many entries and grow past a 60 percent fill.
const size_t InitialMapEntries = 64;
const float MapFillLimit = 0.6f;

// True when both rectangles are valid and overlap: a rectangle of nothing meets nothing.
inline bool Meet(const MvIntRect& a, const MvIntRect& b) { return a.IsValid() && b.IsValid() && a.Overlaps(b); }

// Grows into to cover r; r is valid.
inline void MergeValid(MvIntRect* into, const MvIntRect& r)
{
    if (into->IsValid())
        into->Merge(r);
    else
        *into = r;
}

// The low 32 bits of an address, for the construction log line.
unsigned AddressBits(const void* p) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)); }

} // namespace

MvSceneTree::MvSceneTree(MvStage* engine)
    : originNode_(nullptr), sceneRoot_(nullptr), engine_(engine), walkCounter_(0)
{
    MvAssert(engine != nullptr);
    idMap_.max_load_factor(MapFillLimit);
    idMap_.reserve(InitialMapEntries);
    nameMap_.max_load_factor(MapFillLimit);
    nameMap_.reserve(InitialMapEntries);

    originNode_ = new MvSceneNode();
    sceneRoot_ = new MvSceneNode();
    InsertNode(originNode_, sceneRoot_);
    for (int w = 0; w < engine_->WindowCount(); ++w) {
        const MvIntRect& window = engine_->WindowRect(w);
        originNode_->MoveTo(window.left, window.top, w);
        originNode_->ComputeTransform(w);
    }
    MvLog("Root: %x  Offset: %x\n", AddressBits(originNode_), AddressBits(sceneRoot_));
}

MvSceneTree::~MvSceneTree() { DestroySubtree(originNode_); }

void MvSceneTree::DestroySubtree(MvSceneNode* node)
{
    MvChildCursor c = node->Children();
    while (!c.Done()) {
        MvSceneNode* child = c.Node();
        c.Next();
        node->children_.Remove(&child->siblingLink_);
        DestroySubtree(child);
    }
    delete node;
}

void MvSceneTree::InsertNode(MvSceneNode* parent, MvSceneNode* node)
{
    MvAssert(node != nullptr && node != originNode_);
    MvAssert(node->engine_ == nullptr && !node->siblingLink_.IsLinked());
    if (parent == nullptr)
        parent = sceneRoot_;
    MvAssert(parent == originNode_ || parent->engine_ == engine_);

    node->parent_ = parent;
    node->engine_ = engine_;
    MvChildCursor c = parent->Children();
    while (!c.Done() && c.Node()->depth_ <= node->depth_)
        c.Next();
    parent->children_.InsertBefore(&node->siblingLink_, c.Link());
    node->Invalidate(-1);

    if (node->id_ >= 0) {
        const bool idIsNew = AddId(node);
        MvAssert(idIsNew);
        MvLog("Node id=%d added\n", node->id_);
    }
    if (!node->name_.empty())
        AddName(node);
    node->OnAddedToTree();
}

void MvSceneTree::RemoveNode(MvSceneNode* node)
{
    MvAssert(node != nullptr && node->engine_ == engine_);
    MvAssert(node != sceneRoot_);

    MvChildCursor c = node->Children();
    while (!c.Done()) {
        MvSceneNode* child = c.Node();
        c.Next();
        RemoveNode(child);
    }
    node->parent_->children_.Remove(&node->siblingLink_);
    node->OnRemovingFromTree();
    if (node->id_ >= 0)
        RemoveId(node);
    if (!node->name_.empty())
        RemoveName(node);
    delete node;
}

MvSceneNode* MvSceneTree::FindByName(const char* name) const
{
    MvAssert(name != nullptr);
    auto it = nameMap_.find(std::string_view(name));
    return it == nameMap_.end() ? nullptr : it->second;
}

MvSceneNode* MvSceneTree::FindById(int id) const
{
    auto it = idMap_.find(id);
    return it == idMap_.end() ? nullptr : it->second;
}

void MvSceneTree::AddName(MvSceneNode* node)
{
    const bool nameIsNew = nameMap_.emplace(std::string_view(node->name_), node).second;
    MvAssert(nameIsNew);
}

void MvSceneTree::RemoveName(MvSceneNode* node)
{
    auto it = nameMap_.find(std::string_view(node->name_));
    MvAssert(it != nameMap_.end() && it->second == node);
    nameMap_.erase(it);
}

bool MvSceneTree::AddId(MvSceneNode* node) { return idMap_.emplace(node->id_, node).second; }

void MvSceneTree::RemoveId(MvSceneNode* node)
{
    auto it = idMap_.find(node->id_);
    if (it != idMap_.end() && it->second == node)
        idMap_.erase(it);
}

// The screen area a changed subtree covered before and covers after the walk: the bounds
// of its nodes that were on screen when last queued, and of those shown now, gathered per
// cell of the dirty list's block grid over the window as one rectangle each. The subtree's
// top node queues the cells once, so a scrolled layer adds at most one rectangle per cell
// instead of two per node, and the empty parts of the window between its nodes stay
// unpainted.
struct MvSceneTree::DirtyCover {
    MvIntRect window;
    int cellWidth;
    int cellHeight;
    MvIntRect cells[MvDirtyGridColumns * MvDirtyGridRows];

    explicit DirtyCover(const MvIntRect& w)
        : window(w),
          cellWidth((w.Width() + MvDirtyGridColumns - 1) / MvDirtyGridColumns),
          cellHeight((w.Height() + MvDirtyGridRows - 1) / MvDirtyGridRows)
    {
        for (MvIntRect& cell : cells)
            cell.SetEmpty();
    }

    // Merges the part of r inside each cell it meets into that cell's rectangle.
    void Add(const MvIntRect& r)
    {
        if (!Meet(r, window))
            return;
        MvIntRect inside = r;
        inside.ClipTo(window);
        const int firstColumn = (inside.left - window.left) / cellWidth;
        const int lastColumn = (inside.right - window.left) / cellWidth;
        const int firstRow = (inside.top - window.top) / cellHeight;
        const int lastRow = (inside.bottom - window.top) / cellHeight;
        if (firstColumn == lastColumn && firstRow == lastRow) {
            // Most nodes are far smaller than a cell and lie in one.
            MergeValid(&cells[firstRow * MvDirtyGridColumns + firstColumn], inside);
            return;
        }
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int column = firstColumn; column <= lastColumn; ++column) {
                const int left = window.left + column * cellWidth;
                const int top = window.top + row * cellHeight;
                MvIntRect piece = inside;
                piece.ClipTo(MvMakeRect(left, top, left + cellWidth - 1, top + cellHeight - 1));
                MergeValid(&cells[row * MvDirtyGridColumns + column], piece);
            }
        }
    }

    void Queue(MvDirtyList* list) const
    {
        for (const MvIntRect& cell : cells)
            if (cell.IsValid())
                list->AddRect(cell);
    }
};

inline MvIntRect& MvSceneTree::Visit(MvSceneNode* node, bool compute, int window)
{
    ++walkCounter_;
    MvAssert(walkCounter_ < MvWalkNumberLimit);
    node->walkNumber_ = walkCounter_;
    MvIntRect& subtree = node->subtreeBounds_[window];
    if (compute)
        subtree = node->bounds_[window];
    return subtree;
}

void MvSceneTree::Recompute()
{
    for (int w = 0; w < engine_->WindowCount(); ++w) {
        walkCounter_ = 1;
        // The origin node's window-0 flag decides for every window: a hidden origin node
        // stops all computing.
        Walk(originNode_, originNode_->shown_[0], w);
    }
}

void MvSceneTree::Walk(MvSceneNode* node, bool compute, int window)
{
    if (node->invalid_[window]) {
        WalkChanged(node, compute, window);
        return;
    }

    MvIntRect& subtree = Visit(node, compute, window);
    for (MvChildCursor c = node->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        // Most nodes are unchanged leaves: they are done here, without a call each.
        if (child->children_.IsEmpty() && !child->invalid_[window])
            Visit(child, compute, window);
        else
            Walk(child, compute, window);
        const MvIntRect& childBounds = child->subtreeBounds_[window];
        if (compute && childBounds.IsValid())
            MergeValid(&subtree, childBounds);
    }
}

void MvSceneTree::WalkChanged(MvSceneNode* node, bool compute, int window)
{
    if (!compute || node->children_.IsEmpty()) {
        WalkQueued(node, compute, window);
        return;
    }
    DirtyCover cover(engine_->WindowRect(window));
    WalkCovered(node, node->IsShownInTree(window), &cover, window);
    cover.Queue(&engine_->DirtyList(window));
}

void MvSceneTree::WalkQueued(MvSceneNode* node, bool compute, int window)
{
    node->QueueDirty(window, true);
    if (compute) {
        node->ComputeTransform(window);
        node->QueueDirty(window, false);
        CheckBounds(node, window);
    }

    MvIntRect& subtree = Visit(node, compute, window);
    for (MvChildCursor c = node->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        WalkQueued(child, compute, window);
        const MvIntRect& childBounds = child->subtreeBounds_[window];
        if (compute && childBounds.IsValid())
            MergeValid(&subtree, childBounds);
    }
    node->invalid_[window] = false;
}

void MvSceneTree::WalkCovered(MvSceneNode* node, bool shown, DirtyCover* cover, int window)
{
    const MvTransform oldXform = node->screenXform_[window];
    const MvColorXform oldColor = node->screenColorXform_[window];
    const MvIntRect oldBounds = node->bounds_[window];
    const int oldWalkNumber = node->walkNumber_;
    const bool wasOnScreen = node->wasOnScreen_[window];
    node->ComputeTransform(window);
    CheckBounds(node, window);
    MvIntRect& subtree = Visit(node, true, window);
    // A node that did not change itself and comes out of its ancestors' change in the same
    // place, colours, visibility and drawing order looks as it did, so it needs no
    // repainting on its own account (labels on a layer that follows the view stay put while
    // the level scrolls under them). A layer raised or lowered renumbers all below it.
    const bool unchanged = !node->invalid_[window] && wasOnScreen == shown && oldWalkNumber == node->walkNumber_ &&
                           oldBounds == node->bounds_[window] && oldXform == node->screenXform_[window] &&
                           oldColor == node->screenColorXform_[window];
    if (!unchanged) {
        if (wasOnScreen)
            cover->Add(oldBounds);
        if (shown)
            cover->Add(node->bounds_[window]);
    }
    node->wasOnScreen_[window] = shown;

    for (MvChildCursor c = node->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        WalkCovered(child, shown && child->shown_[window], cover, window);
        const MvIntRect& childBounds = child->subtreeBounds_[window];
        if (childBounds.IsValid())
            MergeValid(&subtree, childBounds);
    }
    node->invalid_[window] = false;
}

void MvSceneTree::CheckBounds(MvSceneNode* node, int window)
{
    // Bounds change only in ComputeTransform, so this is where a node that draws nothing
    // could have gained some.
    MvAssert(!node->bounds_[window].IsValid() || node->AsDrawable() != nullptr);
}

void MvSceneTree::DrawRect(const MvIntRect& clip, MvPaintTarget* paintInfo, int window)
{
    MvAssert(paintInfo != nullptr);
    MvAssert(window >= 0 && window < engine_->WindowCount());
    // The OpenGL path always redraws whole windows.
    if (paintInfo->IsOpenGL())
        MvAssert(clip == engine_->WindowRect(window));
    if (Meet(originNode_->subtreeBounds_[window], clip) && originNode_->shown_[window])
        DrawNode(clip, originNode_, paintInfo, window);
}

void MvSceneTree::DrawNode(const MvIntRect& clip, MvSceneNode* node, MvPaintTarget* paintInfo, int window)
{
    const MvIntRect& subtree = node->subtreeBounds_[window];
    MvAssert(subtree.IsValid() && subtree.Overlaps(clip));

    const MvIntRect& own = node->bounds_[window];
    if (own.IsValid() && own.Overlaps(clip)) {
        MvDrawableNode* drawable = node->AsDrawable();
        MvAssert(drawable != nullptr);
        drawable->Paint(paintInfo, clip, window);
    }
    for (MvChildCursor c = node->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        if (child->shown_[window] && Meet(child->subtreeBounds_[window], clip))
            DrawNode(clip, child, paintInfo, window);
    }
}

void MvSceneTree::DrawRects(const MvIntRect* clips, int count, MvPaintTarget* paintInfo, int window)
{
    MvAssert(paintInfo != nullptr && !paintInfo->IsOpenGL());
    MvAssert(window >= 0 && window < engine_->WindowCount());
    MvAssert(clips != nullptr || count <= 0);
    if (count <= 0)
        return;
    MvIntRect all = clips[0];
    for (int k = 1; k < count; ++k)
        all.Merge(clips[k]);
    if (originNode_->shown_[window] && Meet(originNode_->subtreeBounds_[window], all))
        DrawNodeInRects(clips, count, all, originNode_, paintInfo, window);
}

void MvSceneTree::DrawNodeInRects(const MvIntRect* clips, int count, const MvIntRect& all, MvSceneNode* node,
                                  MvPaintTarget* paintInfo, int window)
{
    const MvIntRect& own = node->bounds_[window];
    if (Meet(own, all)) {
        MvDrawableNode* drawable = node->AsDrawable();
        MvAssert(drawable != nullptr);
        for (int k = 0; k < count; ++k) {
            if (own.Overlaps(clips[k]))
                drawable->Paint(paintInfo, clips[k], window);
        }
    }
    for (MvChildCursor c = node->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        if (child->shown_[window] && Meet(child->subtreeBounds_[window], all))
            DrawNodeInRects(clips, count, all, child, paintInfo, window);
    }
}

void MvSceneTree::PickAt(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int* window)
{
    MvAssert(hits != nullptr && window != nullptr);
    hits->Empty();
    *window = -1;
    for (int i = 0; i < engine_->WindowCount(); ++i) {
        if (engine_->WindowRect(i).Contains(x, y)) {
            *window = i;
            break;
        }
    }
    if (*window >= 0)
        PickNode(sceneRoot_, x, y, flags, hits, *window);
}

bool MvSceneTree::PickNode(MvSceneNode* node, int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits,
                           int window)
{
    if (!node->subtreeBounds_[window].Contains(x, y))
        return false;
    MvChildCursor c = node->Children();
    for (c.Last(); !c.Done(); c.Prev())
        if (PickNode(c.Node(), x, y, flags, hits, window))
            return true;
    if (node->AsDrawable() != nullptr && node->TestPoint(x, y, flags, hits, window))
        return (flags & MvPickAll) == 0;
    return false;
}

bool MvSceneTree::CollideWithChildrenOf(MvSceneNode* node, MvSceneNode* parent, MvGrowArray<MvDrawableNode*>* hits,
                                        int window)
{
    MvAssert(node != nullptr && parent != nullptr && hits != nullptr);
    MvAssert(window >= 0 && window < engine_->WindowCount());
    hits->Empty();
    MvDrawableNode* drawable = node->AsDrawable();
    if (drawable == nullptr)
        return false;
    // One rectangle test rejects a whole layer.
    if (!Meet(parent->subtreeBounds_[window], drawable->bounds_[window]))
        return false;
    return CollideChildren(drawable, parent, hits, window);
}

bool MvSceneTree::CollideWithSiblings(MvSceneNode* node, MvGrowArray<MvDrawableNode*>* hits, int window)
{
    MvAssert(node != nullptr && hits != nullptr);
    MvAssert(window >= 0 && window < engine_->WindowCount());
    hits->Empty();
    MvDrawableNode* drawable = node->AsDrawable();
    if (drawable == nullptr || node->parent_ == nullptr)
        return false;
    return CollideChildren(drawable, node->parent_, hits, window);
}

bool MvSceneTree::CollideWithAll(MvSceneNode* node, MvGrowArray<MvDrawableNode*>* hits, int window)
{
    MvAssert(node != nullptr && hits != nullptr);
    MvAssert(window >= 0 && window < engine_->WindowCount());
    hits->Empty();
    MvDrawableNode* drawable = node->AsDrawable();
    if (drawable == nullptr)
        return false;
    return CollideSubtree(drawable, sceneRoot_, hits, window);
}

bool MvSceneTree::CollideChildren(MvDrawableNode* node, MvSceneNode* parent, MvGrowArray<MvDrawableNode*>* hits,
                                  int window)
{
    // A node that covers nothing meets nothing. Only drawable nodes have bounds, so the
    // rectangle test comes before any type check; most candidates fail its first compare.
    const MvIntRect mine = node->bounds_[window];
    if (!mine.IsValid())
        return false;
    bool found = false;
    for (MvChildCursor c = parent->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        const MvIntRect& theirs = child->bounds_[window];
        if (!mine.Overlaps(theirs) || !theirs.IsValid() || child == node)
            continue;
        MvDrawableNode* candidate = child->AsDrawable();
        if (candidate != nullptr && node->Collide(candidate, window)) {
            found = true;
            hits->Append(candidate);
        }
    }
    return found;
}

bool MvSceneTree::CollideSubtree(MvDrawableNode* node, MvSceneNode* parent, MvGrowArray<MvDrawableNode*>* hits,
                                 int window)
{
    bool found = CollideChildren(node, parent, hits, window);
    // node's own children are candidates too, so node's subtree is descended like any other.
    for (MvChildCursor c = parent->Children(); !c.Done(); c.Next()) {
        MvSceneNode* child = c.Node();
        if (Meet(child->subtreeBounds_[window], node->bounds_[window]) && CollideSubtree(node, child, hits, window))
            found = true;
    }
    return found;
}
