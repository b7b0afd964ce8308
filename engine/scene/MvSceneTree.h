#ifndef MV_SCENE_TREE_H
#define MV_SCENE_TREE_H

#include "MvGrowArray.h"
#include "MvIntRect.h"
#include "MvSceneNode.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

class MvPaintTarget;
class MvStage;

/// @file
/// The scene tree MvSceneTree and the constants of its walks.

/// Pick flag: collect every node under the point, topmost first, instead of stopping at
/// the topmost one.
constexpr int MvPickAll = 4;

/// Walk numbers stay below this; the OpenGL path draws with them as depths.
constexpr int MvWalkNumberLimit = 50000;

/// The tree of scene nodes that a stage shows. An origin node carries each window's
/// screen offset and has one child of its own, the scene root, below which every
/// application node hangs, so moving the scene root scrolls everything. The tree owns its
/// nodes, finds them by name or id through hash maps, and runs the walks of a frame: the
/// recompute walk turns the nodes' change marks into screen transforms, bounds and dirty
/// rectangles; the draw walk paints the nodes under one rectangle; the pick walk finds the
/// nodes under a point. Every node is visited by every recompute, which keeps subtree
/// bounds exact at the cost of one visit and one merge per untouched node; the draw and
/// pick walks use those bounds to skip whole subtrees.
class MvSceneTree {
public:
    MvSceneTree(const MvSceneTree&) = delete;
    MvSceneTree& operator=(const MvSceneTree&) = delete;

    /// Parent of every node inserted without a parent; moving it scrolls the scene.
    MvSceneNode* SceneRoot() const;
    /// The top node, holding only the window offsets.
    MvSceneNode* OriginNode() const;
    /// The stage the tree belongs to, given at construction.
    MvStage* Stage() const;

    /// Makes node a child of parent (of the scene root when parent is null), after its
    /// siblings of lower or equal depth; the tree owns it from now on. Enters its id and
    /// name and logs "Node id=<id> added" when it has an id. Asserts node is a new detached
    /// node, parent belongs to this tree, and neither id nor name is taken.
    void InsertNode(MvSceneNode* parent, MvSceneNode* node);

    /// Removes node and everything below it, deepest first: each leaves its parent's list,
    /// is notified, leaves the maps and is destroyed. Asserts node is an application node
    /// of this tree (not the origin node or the scene root).
    void RemoveNode(MvSceneNode* node);

    /// The node with that name, or null. Asserts name is not null.
    MvSceneNode* FindByName(const char* name) const;
    /// The node with that id, or null.
    MvSceneNode* FindById(int id) const;

    /// The recompute walk of every window: changed nodes and everything below them get
    /// new transforms and bounds; a changed leaf queues its old and new rectangles, and the
    /// topmost changed node of a larger subtree queues, once for all of it and per cell of
    /// the dirty list's block grid (MvDirtyGridColumns x MvDirtyGridRows) over the window,
    /// what its shown nodes covered and now cover; every node gets a walk number and every
    /// subtree its bounds. Asserts every walk number stays below MvWalkNumberLimit (at most
    /// 49998 nodes, the origin node included).
    void Recompute();

    /// Finds the window containing screen point (x, y) (the lowest index wins; -1 when
    /// none) and fills hits with the nodes whose own test accepts the point there: the
    /// topmost only, or all of them topmost first when flags has MvPickAll. Asserts hits
    /// and window are not null.
    void PickAt(int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int* window);

    /// @name Collision queries
    /// Each empties hits, then appends every drawable node that collides pixel for pixel
    /// with node as shown in window (MvDrawableNode::Collide), in the order found, and
    /// returns true when it found any. node itself is never a candidate, and a node that is
    /// not drawable finds nothing. All assert node and hits are not null and
    /// 0 <= window < stage window count.
    ///@{

    /// Tests the children of parent (asserted not null), in ascending depth; none of them
    /// when parent's subtree bounds miss node's bounds.
    bool CollideWithChildrenOf(MvSceneNode* node, MvSceneNode* parent, MvGrowArray<MvDrawableNode*>* hits,
                               int window);
    /// Tests the other children of node's parent; a node without a parent finds nothing.
    bool CollideWithSiblings(MvSceneNode* node, MvGrowArray<MvDrawableNode*>* hits, int window);
    /// Tests every node below the scene root, node's own descendants included, descending
    /// only into subtrees whose bounds meet node's bounds.
    bool CollideWithAll(MvSceneNode* node, MvGrowArray<MvDrawableNode*>* hits, int window);
    ///@}

private:
    // The stage makes, draws and destroys its tree; nodes keep its maps up to date as their
    // names and ids change; the tests reach the drawing walks (tests/support).
    friend class MvStage;
    friend class MvSceneNode;
    friend class MvTestAccess;

    /// A tree for engine (not owned, not null) with the origin node placed at each
    /// window's top-left corner; logs the origin node's and the scene root's addresses.
    explicit MvSceneTree(MvStage* engine);

    /// Destroys every node, children before parents, without notifying them.
    ~MvSceneTree();

    /// Paints, in depth order, every shown node of window whose bounds meet clip, clipped
    /// to clip. Asserts 0 <= window < stage window count, and on an OpenGL target that clip
    /// is the whole window.
    void DrawRect(const MvIntRect& clip, MvPaintTarget* paintInfo, int window);

    /// Paints window's nodes into count rectangles at once: every shown node meeting one of
    /// them is painted, clipped to each one it meets, in depth order. The rectangles must not
    /// overlap one another (a dirty list's never do); the pixels are then exactly those of
    /// DrawRect called for each rectangle in turn, for one walk of the tree instead of
    /// count. Asserts clips is not null when count > 0, 0 <= window < stage window count and
    /// a software paint target.
    void DrawRects(const MvIntRect* clips, int count, MvPaintTarget* paintInfo, int window);

    // Map upkeep, for nodes of this tree whose name or id changes.

    /// Enters node under its name. Asserts no node of the tree has that name.
    void AddName(MvSceneNode* node);
    /// Removes node's name. Asserts the name is entered for node.
    void RemoveName(MvSceneNode* node);
    /// Enters node under its id and returns true, or returns false when another node holds it.
    bool AddId(MvSceneNode* node);
    /// Removes node's id when it is entered for node; an id that was not entered because
    /// another node holds it stays with that node.
    void RemoveId(MvSceneNode* node);

    struct DirtyCover;

    /// Numbers node, whose ancestors are unchanged, and rebuilds its subtree bounds when
    /// compute is set, walking on into its children; a changed node goes to WalkChanged.
    void Walk(MvSceneNode* node, bool compute, int window);
    /// Walks the subtree of node, which changed while its ancestors did not: WalkCovered
    /// with a cover it then queues when computing and node has children, else WalkQueued.
    /// Kept out of line so that the walk over unchanged nodes stays small.
    [[gnu::noinline]] void WalkChanged(MvSceneNode* node, bool compute, int window);
    /// As Walk for a node whose subtree all changed, each node queuing its own rectangles;
    /// transforms and bounds are recomputed when compute is set.
    void WalkQueued(MvSceneNode* node, bool compute, int window);
    /// As Walk for a node whose subtree all changed and is queued as a whole: recomputes
    /// each node and merges what it covered and covers into cover instead of queuing.
    /// shown tells whether node is shown in the tree.
    void WalkCovered(MvSceneNode* node, bool shown, DirtyCover* cover, int window);
    /// Gives node the next walk number and, when compute is set, starts its subtree bounds
    /// with its own bounds; returns the subtree bounds. Asserts the number stays below
    /// MvWalkNumberLimit.
    MvIntRect& Visit(MvSceneNode* node, bool compute, int window);
    /// Asserts that node has no valid bounds unless it is drawable.
    static void CheckBounds(MvSceneNode* node, int window);
    /// Paints node and then its shown children that can reach clip. Called only for nodes
    /// shown in the tree; asserts node's subtree bounds meet clip.
    void DrawNode(const MvIntRect& clip, MvSceneNode* node, MvPaintTarget* paintInfo, int window);
    /// Paints node (shown, as are its ancestors) into each of the rectangles it meets, then
    /// its shown children whose subtrees meet all, the bounding box of the rectangles.
    void DrawNodeInRects(const MvIntRect* clips, int count, const MvIntRect& all, MvSceneNode* node,
                         MvPaintTarget* paintInfo, int window);
    /// Tests node's children from the topmost down, then node itself; true means stop.
    bool PickNode(MvSceneNode* node, int x, int y, int flags, MvGrowArray<MvSceneNode*>* hits, int window);
    /// Appends to hits every child of parent other than node that collides with it; true
    /// when there was one.
    static bool CollideChildren(MvDrawableNode* node, MvSceneNode* parent, MvGrowArray<MvDrawableNode*>* hits,
                                int window);
    /// CollideChildren of parent, then the same below every child whose subtree bounds
    /// meet node's bounds.
    static bool CollideSubtree(MvDrawableNode* node, MvSceneNode* parent, MvGrowArray<MvDrawableNode*>* hits,
                               int window);
    /// Deletes node and everything below it, children first, without notification.
    static void DestroySubtree(MvSceneNode* node);

    MvSceneNode* originNode_;
    MvSceneNode* sceneRoot_;
    MvStage* engine_;
    std::unordered_map<int32_t, MvSceneNode*> idMap_;
    /// Keys view the names stored in the nodes; a node's entry leaves before its name changes.
    std::unordered_map<std::string_view, MvSceneNode*> nameMap_;
    int32_t walkCounter_;
};

inline MvSceneNode* MvSceneTree::SceneRoot() const { return sceneRoot_; }
inline MvSceneNode* MvSceneTree::OriginNode() const { return originNode_; }
inline MvStage* MvSceneTree::Stage() const { return engine_; }

#endif
