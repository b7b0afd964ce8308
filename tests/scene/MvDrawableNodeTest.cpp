#include "SceneTestSupport.h"

#include "MvFailedCheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace scenetest;

namespace {

const MvColor kGreen = Opaque(0, 255, 0);

// A 10 x 10 solid rectangle at (20, 30) on a 100 x 80 stage, recomputed once, with the
// stage's dirty lists emptied: every test starts from a settled frame.
class DrawableFixture : public testing::Test {
protected:
    DrawableFixture() : s(100, 80)
    {
        node = new SolidRectNode(10, 10, kGreen);
        node->MoveTo(20, 30);
        s.Insert(nullptr, node);
        Settle();
    }

    // Recomputes and returns the entries the walk added to window 0's dirty list.
    std::vector<MvIntRect> Recompute()
    {
        s.Tree().Recompute();
        std::vector<MvIntRect> queued = Entries(s.stage->DirtyList(0));
        s.stage->DirtyList(0).Clear();
        return queued;
    }

    void Settle()
    {
        s.Tree().Recompute();
        s.stage->DirtyList(0).Clear();
    }

    // What window 0's dirty list holds after rects are added to an empty one.
    std::vector<MvIntRect> AsQueued(const std::vector<MvIntRect>& rects)
    {
        MvDirtyList list;
        list.SetClipRect(s.stage->WindowRect(0));
        for (const MvIntRect& r : rects)
            list.AddRect(r);
        return Entries(list);
    }

    StageOnScreen s;
    SolidRectNode* node;
};

TEST_F(DrawableFixture, ADrawableNodeIsItsOwnDrawableAndStartsOnScreen)
{
    EXPECT_EQ(node->AsDrawable(), node);
    EXPECT_EQ(node->AsSprite(), nullptr);
    SolidRectNode detached(1, 1, kGreen);
    for (int w = 0; w < MvWindowCount; ++w)
        EXPECT_TRUE(detached.WasOnScreen(w));
}

TEST_F(DrawableFixture, TheFirstWalkQueuesANewNodesRectangle)
{
    SolidRectNode* fresh = new SolidRectNode(4, 3, kGreen);
    fresh->MoveTo(50, 50);
    s.Insert(nullptr, fresh);
    EXPECT_EQ(fresh->Bounds(0), R(50, 50, 53, 52)) << "computed on insertion";
    EXPECT_EQ(Recompute(), AsQueued({R(50, 50, 53, 52)}));
    EXPECT_EQ(Recompute(), std::vector<MvIntRect>{});
}

// A move queues the old and the new rectangle once, merged as the dirty list merges
// them, and the walk after that queues nothing.
TEST_F(DrawableFixture, AMoveQueuesTheOldAndNewRectanglesOnce)
{
    const MvIntRect before = R(20, 30, 29, 39);
    struct Case {
        const char* what;
        int dx, dy;
        MvIntRect after;
    } cases[] = {
        {"one pixel right", 1, 0, R(21, 30, 30, 39)},
        {"one pixel left", -1, 0, R(19, 30, 28, 39)},
        {"one pixel down", 0, 1, R(20, 31, 29, 40)},
        {"one pixel up and right", 1, -1, R(21, 29, 30, 38)},
        {"far away", 50, 20, R(70, 50, 79, 59)},
    };
    for (const Case& c : cases) {
        node->MoveTo(20, 30);
        Settle();
        node->MoveBy(c.dx, c.dy, -1);
        const std::vector<MvIntRect> queued = Recompute();
        EXPECT_EQ(node->Bounds(0), c.after) << c.what;
        EXPECT_EQ(queued, AsQueued({before, c.after})) << c.what;
        EXPECT_EQ(Recompute(), std::vector<MvIntRect>{}) << c.what << ": nothing at the walk after";
    }
    EXPECT_EQ(AsQueued({before, R(21, 30, 30, 39)}), std::vector<MvIntRect>{R(20, 30, 30, 39)});
    EXPECT_EQ(AsQueued({before, R(70, 50, 79, 59)}), (std::vector<MvIntRect>{before, R(70, 50, 79, 59)}));
}

// Hiding queues the covered rectangle once to erase it; a hidden node then queues
// nothing, whether it moves or not, until it is shown again.
TEST_F(DrawableFixture, HidingErasesOnceAndThenQueuesNothing)
{
    node->SetShown(false, 0);
    EXPECT_EQ(Recompute(), std::vector<MvIntRect>{R(20, 30, 29, 39)});
    EXPECT_FALSE(node->WasOnScreen(0));
    EXPECT_EQ(Recompute(), std::vector<MvIntRect>{});
    node->MoveTo(60, 60);
    EXPECT_EQ(Recompute(), std::vector<MvIntRect>{}) << "a hidden node moves unseen";
    node->SetShown(true, -1);
    EXPECT_EQ(Recompute(), std::vector<MvIntRect>{R(60, 60, 69, 69)});
    EXPECT_TRUE(node->WasOnScreen(0));
}

TEST_F(DrawableFixture, AHiddenParentErasesItsDrawableChildren)
{
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    SolidRectNode* a = s.Insert(layer, new SolidRectNode(2, 2, kGreen));
    SolidRectNode* b = s.Insert(layer, new SolidRectNode(3, 3, kGreen));
    b->MoveTo(70, 0);
    Settle();
    layer->SetShown(false, -1);
    EXPECT_EQ(Recompute(), AsQueued({R(0, 0, 1, 1), R(70, 0, 72, 2)}));
    EXPECT_FALSE(a->WasOnScreen(0));
    layer->MoveTo(5, 5);
    EXPECT_EQ(Recompute(), std::vector<MvIntRect>{});
    layer->SetShown(true, -1);
    EXPECT_EQ(Recompute(), AsQueued({R(5, 5, 6, 6), R(75, 5, 77, 7)}));
}

TEST_F(DrawableFixture, RemovalQueuesWhatTheNodeCoveredWhereItWasOnScreen)
{
    SolidRectNode* hidden = s.Insert(nullptr, new SolidRectNode(5, 5, kGreen));
    hidden->MoveTo(60, 0);
    hidden->SetShown(false, -1);
    Settle();
    s.Tree().RemoveNode(hidden);
    EXPECT_EQ(Entries(s.stage->DirtyList(0)), std::vector<MvIntRect>{});
    s.Tree().RemoveNode(node);
    EXPECT_EQ(Entries(s.stage->DirtyList(0)), std::vector<MvIntRect>{R(20, 30, 29, 39)});
}

// Each window has its own dirty list; a change in one window queues only there.
TEST(MvDrawableNode, EachWindowQueuesIntoItsOwnList)
{
    const MvIntRect windows[] = {R(0, 0, 49, 49), R(50, 0, 99, 49)};
    StageOnScreen s(100, 50, 2, windows);
    SolidRectNode* node = s.Insert(nullptr, new SolidRectNode(4, 4, kGreen));
    node->MoveTo(10, 10, -1);
    s.Tree().Recompute();
    EXPECT_EQ(node->Bounds(0), R(10, 10, 13, 13));
    EXPECT_EQ(node->Bounds(1), R(60, 10, 63, 13)) << "placed from window 1's corner";
    s.stage->DirtyList(0).Clear();
    s.stage->DirtyList(1).Clear();

    node->MoveTo(11, 10, 1);
    s.Tree().Recompute();
    EXPECT_EQ(Entries(s.stage->DirtyList(0)), std::vector<MvIntRect>{});
    EXPECT_EQ(Entries(s.stage->DirtyList(1)), std::vector<MvIntRect>{R(60, 10, 64, 13)});
}

// A node kind whose size can change after insertion, and whose bounds can lose track of
// what it covers: its bounding box always says width x 1 pixels.
class ResizableNode : public SolidRectNode {
public:
    ResizableNode() : SolidRectNode(1, 1, kGreen), width_(1), forgetful_(false) {}
    void SetWidth(int width)
    {
        width_ = width;
        Invalidate(-1);
    }
    // From now on the bounds stay empty, whatever the node covers.
    void ForgetBounds()
    {
        forgetful_ = true;
        Invalidate(-1);
    }
    void ComputeTransform(int window) override
    {
        SolidRectNode::ComputeTransform(window);
        bounds_[window].right = bounds_[window].left + width_ - 1;
        if (forgetful_)
            bounds_[window].SetEmpty();
    }
    void QueryBoundingBox(MvIntRect* out, int window) override
    {
        *out = MvMakeRect(0, 0, width_ - 1, 0);
        out->Transform(screenXform_[window]);
    }

private:
    int width_;
    bool forgetful_;
};

// A shown drawable node has bounds, or covers nothing: one that covers nothing is taken
// into the tree and queues nothing, one whose empty bounds hide a picture is caught.
TEST(MvDrawableNodeDeathTest, EmptyBoundsMeanTheNodeCoversNothing)
{
    StageOnScreen s(40, 30);
    SolidRectNode* flat = s.Insert(nullptr, new SolidRectNode(0, 4, kGreen));
    s.Tree().Recompute();
    EXPECT_FALSE(flat->Bounds(0).IsValid());
    EXPECT_EQ(Entries(s.stage->DirtyList(0)), std::vector<MvIntRect>{});

    ResizableNode* node = s.Insert(nullptr, new ResizableNode());
    node->MoveTo(5, 6);
    s.Tree().Recompute();
    s.stage->DirtyList(0).Clear();
    node->SetWidth(0);
    s.Tree().Recompute();
    EXPECT_EQ(Entries(s.stage->DirtyList(0)), std::vector<MvIntRect>{R(5, 6, 5, 6)}) << "its pixel is erased";
    s.stage->DirtyList(0).Clear();
    node->SetWidth(2);
    s.Tree().Recompute();
    EXPECT_EQ(Entries(s.stage->DirtyList(0)), std::vector<MvIntRect>{R(5, 6, 6, 6)});

    node->ForgetBounds();
    EXPECT_DEATH(s.Tree().Recompute(), MvFailedCheck("bounds_[window].IsValid() || CoversNothing(window)"));
    node->SetShown(false, -1);
    s.Tree().Recompute(); // a hidden node's bounds are not asked about
    ResizableNode* forgetful = new ResizableNode();
    forgetful->ForgetBounds();
    EXPECT_DEATH(s.Tree().InsertNode(nullptr, forgetful), MvFailedCheck("bounds_[0].IsValid() || CoversNothing(0)"));
    delete forgetful;
}

} // namespace
