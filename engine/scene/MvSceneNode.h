#ifndef MV_SCENE_NODE_H
#define MV_SCENE_NODE_H

#include "MvAssert.h"
#include "MvChildCursor.h"
#include "MvChildLink.h"
#include "MvChildList.h"
#include "MvColorXform.h"
#include "MvFixed.h"
#include "MvGrowArray.h"
#include "MvIntRect.h"
#include "MvTransform.h"
#include "MvWindowCount.h"

#include <cstdint>
#include <string>

class MvCanvasNode;
class MvDrawableNode;
class MvSpriteNode;
class MvStage;
class MvTextEntry;
class MvTextNode;
class MvTileNode;
class MvWidget;

/// The largest distance from the parent's origin, in either direction, that MoveTo accepts:
/// the largest whole number a 16.16 position holds.
constexpr int MvMaxNodePosition = 32767;

/// A node of the scene tree: the base of everything the engine shows, and on its own a
/// grouping node whose children move with it (the game's layers are plain nodes). A node
/// is placed relative to its parent, once per window, since the same tree can be shown in
/// up to MvWindowCount windows; all per-window state sits in fixed arrays, so placing,
/// colouring and hiding never allocate. Setters compare before they store and only mark
/// the windows that changed invalid; the tree's recompute walk later turns the marks into
/// screen transforms, bounds and dirty rectangles, so repeating a setting every tick is
/// free. The tree that a node is inserted into owns it and destroys it.
class alignas(64) MvSceneNode {
public:
    /// A detached node at (0, 0), scale 1, identity colours, shown, depth 0, no name, id
    /// -1, invalid in every window.
    MvSceneNode();

    // Virtual operations, in slot order.

    /// Releases the node's own members only; neither parent nor children are touched.
    /// Asserts the node is in no child list and has no children left (the tree unlinks).
    virtual ~MvSceneNode();

    /// Stores xform in each addressed window (every window by default) where it differs
    /// (MvColorXform equality) and marks those windows invalid. Asserts -1 <= window <
    /// MvWindowCount.
    virtual void SetColorXform(const MvColorXform& xform, int window = -1);

    /// The node as a drawable node, or null when it draws nothing.
    virtual MvDrawableNode* AsDrawable();
    /// The node as a sprite node, or null.
    virtual MvSpriteNode* AsSprite();

    /// The node as a tile node, or null.
    virtual MvTileNode* AsTileNode();
    /// The node as a text node, or null.
    virtual MvTextNode* AsTextNode();
    /// The node as a GUI widget, or null (a query for node kinds outside the engine).
    virtual MvWidget* AsWidget();
    /// The node as a GUI text entry, or null (a query for node kinds outside the engine).
    virtual MvTextEntry* AsTextEntry();
    /// The node as a canvas node, or null.
    virtual MvCanvasNode* AsCanvasNode();
    /// The node's interface of kind, for node kinds outside the engine; the engine's own
    /// kinds have none and answer null whatever kind is.
    virtual void* AsInterface(int kind);

    /// When screen point (x, y) of window hits the node, appends the node to hits and
    /// returns true. A plain node is never hit.
    virtual bool TestPoint(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int window);

    /// Stores shown in each addressed window (every window by default) where it differs
    /// and marks those windows invalid. Asserts -1 <= window < MvWindowCount.
    virtual void SetShown(bool shown, int window = -1);

    /// A new node of this kind in its initial state; nothing is copied.
    virtual MvSceneNode* Clone();

protected:
    // The tree's hooks, which it calls during its walks and as nodes join and leave it;
    // node kinds override them. A program never calls them: the tree keeps the node's
    // transforms, bounds and dirty rectangles consistent only when it alone does.

    /// Hands the node's screen rectangle of window to that window's dirty list, before
    /// (before true) and after its transform is recomputed. The recompute walk calls it for
    /// a changed leaf whose ancestors are unchanged; a changed subtree is queued as a whole
    /// by its top node. A plain node has nothing to hand.
    virtual void QueueDirty(int window, bool before);

    /// Recomputes the screen transform and composite colour transform of window from the
    /// node's own and its parent's current ones. Drawable kinds call this first and then
    /// compute their bounds. Asserts 0 <= window < MvWindowCount.
    virtual void ComputeTransform(int window);

    /// Called by the tree once the node is in it: computes the transform of every window of
    /// the stage and marks them invalid. Asserts the node is in a tree.
    virtual void OnAddedToTree();

    /// Called by the tree when the node is about to leave it, already out of its parent's
    /// child list. A plain node has nothing to do.
    virtual void OnRemovingFromTree();

public:
    // Setters. A window argument of -1, the default of every setter, addresses windows 0
    // to N-1, N being the stage's window count while the node is in a tree and
    // MvWindowCount otherwise.

    /// Moves the node to (x, y) relative to its parent in each addressed window where it is
    /// elsewhere. Asserts |x| and |y| <= MvMaxNodePosition and -1 <= window < MvWindowCount.
    void MoveTo(int x, int y, int window = -1);

    /// MoveTo(PosX(0) + dx, PosY(0) + dy, window): window 0's position is always the start.
    void MoveBy(int dx, int dy, int window = -1);

    /// Stores both scales in each addressed window where either differs. Asserts both are
    /// greater than 0 and -1 <= window < MvWindowCount.
    void SetScaling(MvFixed xScale, MvFixed yScale, int window = -1);

    /// Changes the drawing order among siblings (higher depth is drawn later, on top): when
    /// it differs, stores it, marks every window invalid and lets the parent re-sort the node.
    void SetDepth(int depth);

    /// Marks the addressed windows invalid unconditionally. Asserts -1 <= window <
    /// MvWindowCount.
    void Invalidate(int window = -1);

    /// Renames the node; while it is in a tree the tree's name map follows. An empty name
    /// means none. Asserts name is not null and, in a tree, that no other node has it.
    void SetName(const char* name);

    /// Changes the id (-1: none); while the node is in a tree the id map follows, except
    /// that an id another node of the tree already has is not entered there.
    void SetId(int id);

    /// Application data, not owned.
    void SetUserData(void* data);

    // Queries. A window argument must lie in 0..MvWindowCount-1 (asserted).

    /// The own position in window, relative to the parent. Also asserts the stored
    /// position is whole.
    ///@{
    int PosX(int window) const;
    int PosY(int window) const;
    ///@}
    /// The drawing order among siblings: higher is drawn later, on top.
    int Depth() const;
    /// The name; "" when it has none.
    const char* Name() const;
    /// The id; -1 when it has none.
    int Id() const;
    /// The application data set with SetUserData; null by default.
    void* UserData() const;
    /// The parent node; null for a detached node and the origin node.
    MvSceneNode* Parent() const;
    /// The stage of the tree the node is in; null while detached.
    MvStage* Stage() const;
    /// Order number from the last recompute walk (2 for the origin node, then depth first).
    int WalkNumber() const;
    /// The own placement of window.
    const MvTransform& Xform(int window) const;
    /// The own colour transform of window.
    const MvColorXform& ColorXform(int window) const;
    /// Own placement combined with every ancestor's, as of the last recompute.
    const MvTransform& ScreenXform(int window) const;
    /// Own colour transform combined with every ancestor's, as of the last recompute.
    const MvColorXform& ScreenColorXform(int window) const;
    /// Screen rectangle of the node's own image; empty for nodes that draw nothing.
    const MvIntRect& Bounds(int window) const;
    /// Union of the valid bounds of the node and all its descendants, as of the last recompute.
    const MvIntRect& SubtreeBounds(int window) const;
    /// The node's own shown flag.
    bool IsShown(int window) const;
    /// True when the node changed in window since the last recompute walk.
    bool IsInvalid(int window) const;
    /// True when the node and every ancestor are shown in window.
    bool IsShownInTree(int window) const;

    /// A cursor on the first (lowest depth) child.
    MvChildCursor Children();

    /// Screen point (x, y) of window in the node's own coordinates: out[0] and out[1] are
    /// (x - screen x) / x scale and (y - screen y) / y scale in fixed point.
    void ScreenToLocal(int x, int y, MvFixed out[2], int window) const;

    MvSceneNode(const MvSceneNode&) = delete;
    MvSceneNode& operator=(const MvSceneNode&) = delete;

protected:
    /// The range [*first, *end) of windows a setter's window argument addresses. Asserts
    /// -1 <= window < MvWindowCount.
    void AddressedWindows(int window, int* first, int* end) const;

    /// The tree keeps the links, walk numbers, subtree bounds and invalid flags; drawable
    /// kinds compute bounds in ComputeTransform.
    friend class MvSceneTree;

    // The fields the recompute, draw and collision walks read for one window come first:
    // with the node aligned to a cache line, a visit in window 0 touches the first three
    // lines, one after the other. The rest is read only when a node is recomputed or drawn.
    MvChildLink siblingLink_;                        ///< the node's place in its parent's child list
    MvChildList children_;                           ///< the children, in ascending depth
    int32_t walkNumber_;                             ///< see WalkNumber()
    bool invalid_[MvWindowCount];                    ///< see IsInvalid()
    bool shown_[MvWindowCount];                      ///< see IsShown()
    /// Per window, whether the node was shown in the tree when its bounds were last queued
    /// (by itself or by a changed ancestor for its subtree); only drawable kinds draw.
    bool wasOnScreen_[MvWindowCount];
    MvIntRect bounds_[MvWindowCount];                ///< the own image's screen rectangle per window
    MvIntRect subtreeBounds_[MvWindowCount];         ///< see SubtreeBounds()
    MvTransform screenXform_[MvWindowCount];         ///< see ScreenXform()
    MvTransform xform_[MvWindowCount];               ///< see Xform()
    MvSceneNode* parent_;                            ///< see Parent()
    MvColorXform colorXform_[MvWindowCount];         ///< see ColorXform()
    MvColorXform screenColorXform_[MvWindowCount];   ///< see ScreenColorXform()
    int32_t depth_;                                  ///< see Depth()
    int32_t id_;                                     ///< see Id()
    MvStage* engine_;                                ///< the stage of the node's tree; null while detached
    std::string name_;                               ///< see Name()
    void* userData_;                                 ///< see UserData()

private:
    // The tests' access to the tree's hooks (tests/support).
    friend class MvTestAccess;

    /// Puts child back in ascending depth order after its depth changed: moving towards the
    /// end it lands before siblings of equal depth, towards the front after them. Asserts
    /// child and every sibling it passes are children of this node.
    void ResortChild(MvSceneNode* child);
};

inline void MvSceneNode::SetUserData(void* data) { userData_ = data; }

inline int MvSceneNode::Depth() const { return depth_; }
inline const char* MvSceneNode::Name() const { return name_.c_str(); }
inline int MvSceneNode::Id() const { return id_; }
inline void* MvSceneNode::UserData() const { return userData_; }
inline MvSceneNode* MvSceneNode::Parent() const { return parent_; }
inline MvStage* MvSceneNode::Stage() const { return engine_; }
inline int MvSceneNode::WalkNumber() const { return walkNumber_; }

inline const MvTransform& MvSceneNode::Xform(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return xform_[window];
}

inline const MvColorXform& MvSceneNode::ColorXform(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return colorXform_[window];
}

inline const MvTransform& MvSceneNode::ScreenXform(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return screenXform_[window];
}

inline const MvColorXform& MvSceneNode::ScreenColorXform(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return screenColorXform_[window];
}

inline const MvIntRect& MvSceneNode::Bounds(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return bounds_[window];
}

inline const MvIntRect& MvSceneNode::SubtreeBounds(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return subtreeBounds_[window];
}

inline bool MvSceneNode::IsShown(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return shown_[window];
}

inline bool MvSceneNode::IsInvalid(int window) const
{
    MvAssert(window >= 0 && window < MvWindowCount);
    return invalid_[window];
}

inline MvChildCursor MvSceneNode::Children() { return MvChildCursor(&children_); }

#endif
