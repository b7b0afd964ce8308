#ifndef SCENE_TEST_SUPPORT_H
#define SCENE_TEST_SUPPORT_H

// Helpers shared by the scene tree tests: a 32-bit screen surface, a stage on it built with
// its log captured, a stage on a surface of any screen format, a solid-colour drawable node,
// nodes that record their removal and destruction.

#include "ResourceTestSupport.h"

#include "MvDebugOutput.h"
#include "MvLogCapture.h"
#include "MvDrawableNode.h"
#include "MvPaintTarget.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvStage.h"
#include "MvTestAccess.h"
#include "RectHelpers.h"
#include "TestScreen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace scenetest {

// The raw value of c on the 32-bit test screen (red in bits 16-23, green 8-15, blue 0-7).
inline Uint32 Raw(const MvColor& c) { return (Uint32(c.red) << 16) | (Uint32(c.green) << 8) | c.blue; }

// Construction and destruction events of test nodes, in order: "remove <name>" when a
// node is told it leaves the tree, "delete <name>" when it is destroyed.
typedef std::vector<std::string> EventLog;

// A drawable node for tests: a width x height rectangle of one colour whose top-left
// corner sits at the node's screen position, painted through the paint target's blitters.
// It is hit wherever it covers while shown, and records every clip it was drawn with.
class SolidRectNode : public MvDrawableNode {
public:
    SolidRectNode(int width, int height, MvColor color, EventLog* events = nullptr)
        : width_(width), height_(height), color_(color), events_(events)
    {
    }

    ~SolidRectNode() override
    {
        if (events_)
            events_->push_back(std::string("delete ") + Name());
    }

    void ComputeTransform(int window) override
    {
        MvSceneNode::ComputeTransform(window);
        bounds_[window] = MvMakeRect(0, 0, width_ - 1, height_ - 1);
        bounds_[window].Transform(screenXform_[window]);
    }

    void Paint(MvPaintTarget* target, const MvIntRect& clip, int window) override
    {
        clips.push_back(clip);
        MvIntRect r = bounds_[window];
        r.ClipTo(clip);
        r.ClipTo(MvMakeRect(0, 0, target->Width() - 1, target->Height() - 1));
        if (!r.IsValid())
            return;
        row_.assign(static_cast<size_t>(r.Width()), color_);
        const MvColorXform& xform = screenColorXform_[window];
        MvRunBlitter blit = target->PickBlitter(color_.alpha != 255, xform);
        for (int y = r.top; y <= r.bottom; ++y)
            blit(*target, target->PixelAddress(r.left, y), row_.data(), r.Width(), xform);
    }

    void QueryBoundingBox(MvIntRect* out, int window) override { *out = bounds_[window]; }

    MvResource* Resource() override { return nullptr; }

    bool TestPoint(int x, int y, int /*flags*/, MvGrowArray<MvSceneNode*>* hits, int window) override
    {
        if (!IsShownInTree(window) || !bounds_[window].Contains(x, y))
            return false;
        hits->Append(this);
        return true;
    }

    void OnRemovingFromTree() override
    {
        if (events_)
            events_->push_back(std::string("remove ") + Name());
        MvDrawableNode::OnRemovingFromTree();
    }

    // Every clip the node was painted with, in order.
    std::vector<MvIntRect> clips;

private:
    int width_;
    int height_;
    MvColor color_;
    EventLog* events_;
    std::vector<MvColor> row_;
};

// A plain grouping node that records its removal and destruction like SolidRectNode.
class TrackedNode : public MvSceneNode {
public:
    explicit TrackedNode(EventLog* events) : events_(events) {}
    ~TrackedNode() override { events_->push_back(std::string("delete ") + Name()); }
    void OnRemovingFromTree() override { events_->push_back(std::string("remove ") + Name()); }

private:
    EventLog* events_;
};

// A stage on a 32-bit test screen, with the construction log kept out of the test output.
// The first frame (which fills every window) has been drawn, so the dirty lists start empty.
class StageOnScreen {
public:
    StageOnScreen(int width, int height) : screen(width, height)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        stage.reset(new MvStage(screen.Surface()));
        stage->Draw(false);
    }

    StageOnScreen(int width, int height, int nWindows, const MvIntRect* windows) : screen(width, height)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        stage.reset(new MvStage(screen.Surface(), nWindows, windows, nullptr));
        stage->Draw(false);
    }

    MvSceneTree& Tree() const { return *stage->SceneTree(); }

    // Inserts node under parent (the scene root when null) and returns it.
    template <typename Node>
    Node* Insert(MvSceneNode* parent, Node* node)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        Tree().InsertNode(parent, node);
        return node;
    }

    // Draws a frame and returns the screen rectangles it repainted.
    std::vector<MvIntRect> FrameRects()
    {
        MvGrowArray<MvIntRect> list;
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        stage->Draw(false, &list);
        return std::vector<MvIntRect>(list.Items(), list.Items() + list.Count());
    }

    // The topmost node that picking finds at screen point (x, y), or null for none.
    MvSceneNode* PickedAt(int x, int y) const
    {
        MvGrowArray<MvSceneNode*> hits;
        int window = -1;
        Tree().PickAt(x, y, 0, &hits, &window);
        EXPECT_LE(hits.Count(), 1) << "picking without MvPickAll finds one node at most";
        return hits.Count() > 0 ? hits[0] : nullptr;
    }

    TestScreen screen;
    std::unique_ptr<MvStage> stage;
};

// A stage on a surface of one screen format (restest::kScreenFormats), its first frame
// drawn so that the dirty lists start empty.
class StageOnFormat {
    SurfacePtr surface_; // first, so that the stage goes before its screen

public:
    StageOnFormat(const ScreenFormat& format, int width, int height)
        : surface_(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, format.bits, format.redMask, format.greenMask,
                                        format.blueMask, 0))
    {
        EXPECT_NE(surface_, nullptr);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        stage.reset(new MvStage(surface_.get()));
        stage->Draw(false);
    }

    MvSceneTree& Tree() const { return *stage->SceneTree(); }

    // Inserts node under parent (the scene root when null) and returns it.
    template <typename Node>
    Node* Insert(MvSceneNode* parent, Node* node)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        Tree().InsertNode(parent, node);
        return node;
    }

    // Draws a frame and returns what the surface then shows (restest::ShowSurface).
    std::string DrawAndShow(const std::string& palette)
    {
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            stage->Draw(false);
        }
        return restest::ShowSurface(surface_.get(), palette);
    }

    std::unique_ptr<MvStage> stage;
};

} // namespace scenetest

#endif
