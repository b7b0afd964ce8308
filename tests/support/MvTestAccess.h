#ifndef MV_TEST_ACCESS_H
#define MV_TEST_ACCESS_H

// The tests' way to engine members that a program may not call: the tree's hooks on a
// node, the tree's draw walks, the stage's paint target, a canvas's registry of users. The
// engine's classes name MvTestAccess a friend; only the tests define it, here.

#include "MvCanvasResource.h"
#include "MvIntRect.h"
#include "MvPaintTarget.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvStage.h"

class MvTestAccess {
public:
    // MvSceneNode::ComputeTransform of node, as the recompute walk calls it.
    static void ComputeTransform(MvSceneNode* node, int window) { node->ComputeTransform(window); }
    // MvSceneNode::OnAddedToTree of node, as InsertNode calls it.
    static void OnAddedToTree(MvSceneNode* node) { node->OnAddedToTree(); }

    // MvSceneTree::DrawRect, the draw walk of one rectangle.
    static void DrawRect(MvSceneTree* tree, const MvIntRect& clip, MvPaintTarget* target, int window)
    {
        tree->DrawRect(clip, target, window);
    }
    // MvSceneTree::DrawRects, the draw walk of a dirty list's rectangles.
    static void DrawRects(MvSceneTree* tree, const MvIntRect* clips, int count, MvPaintTarget* target, int window)
    {
        tree->DrawRects(clips, count, target, window);
    }

    // The paint target over the stage's screen.
    static MvPaintTarget& PaintTarget(MvStage* stage) { return stage->PaintTarget(); }

    // MvCanvasResource::AddUser and RemoveUser, which a canvas node calls for its life.
    static void AddUser(MvCanvasResource* canvas, MvSceneNode* node) { canvas->AddUser(node); }
    static void RemoveUser(MvCanvasResource* canvas, MvSceneNode* node) { canvas->RemoveUser(node); }
};

#endif
