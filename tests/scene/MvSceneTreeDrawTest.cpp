// The draw walk through the stage's Draw: recompute first, then each dirty rectangle is
// filled and the nodes meeting it are painted, clipped to it, in depth order.

#include "MvFailedCheck.h"
#include "SceneTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace scenetest;

namespace {

const Uint32 kUntouched = 0x00ABCDEF;
const Uint32 kBlack = 0x00000000;
const MvColor kBlackColor = Opaque(0, 0, 0);
const MvColor kRed = Opaque(255, 0, 0);
const MvColor kGreen = Opaque(0, 255, 0);
const MvColor kBlue = Opaque(0, 0, 255);

std::vector<MvIntRect> Rects(const MvGrowArray<MvIntRect>& list)
{
    std::vector<MvIntRect> rects;
    for (int i = 0; i < list.Count(); ++i)
        rects.push_back(list[i]);
    return rects;
}

SolidRectNode* Rect(StageOnScreen& s, MvSceneNode* parent, int x, int y, int w, int h, MvColor color, int depth)
{
    SolidRectNode* node = new SolidRectNode(w, h, color);
    node->MoveTo(x, y);
    node->SetDepth(depth);
    return s.Insert(parent, node);
}

// The colour of a pixel on the 40 x 30 screen when red (2..11, 2..11) at depth 1 and
// green (8..17, 8..17) at depth 2 are drawn over black, and blue under a layer at (20, 0)
// covers (24..33, 4..13) at depth 0.
Uint32 Scene(int x, int y, bool redOnTop)
{
    const bool red = x >= 2 && x <= 11 && y >= 2 && y <= 11;
    const bool green = x >= 8 && x <= 17 && y >= 8 && y <= 17;
    const bool blue = x >= 24 && x <= 33 && y >= 4 && y <= 13;
    if (red && (redOnTop || !green))
        return Raw(kRed);
    if (green)
        return Raw(kGreen);
    if (blue)
        return Raw(kBlue);
    return kBlack;
}

TEST(MvSceneTreeDraw, AnEmptyTreePaintsOnlyTheWindowFill)
{
    TestScreen screen(40, 30);
    screen.Fill(kUntouched);
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    MvStage stage(screen.Surface(), R(5, 5, 24, 19), nullptr);
    MvGrowArray<MvIntRect> list;
    stage.Draw(false, &list);
    EXPECT_EQ(Rects(list), std::vector<MvIntRect>{R(5, 5, 24, 19)});
    screen.ExpectPixels([](int x, int y) { return R(5, 5, 24, 19).Contains(x, y) ? kBlack : kUntouched; },
                        "first frame");
}

TEST(MvSceneTreeDraw, NodesArePaintedInDepthOrderParentsFirst)
{
    StageOnScreen s(40, 30);
    SolidRectNode* red = Rect(s, nullptr, 2, 2, 10, 10, kRed, 1);
    Rect(s, nullptr, 8, 8, 10, 10, kGreen, 2);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    layer->MoveTo(20, 0);
    SolidRectNode* blue = Rect(s, layer, 4, 4, 10, 10, kBlue, 0);
    s.stage->Draw(false);
    s.screen.ExpectPixels([](int x, int y) { return Scene(x, y, false); }, "green above red");

    red->SetDepth(3);
    s.stage->Draw(false);
    s.screen.ExpectPixels([](int x, int y) { return Scene(x, y, true); }, "red raised above green");

    // A child is drawn after its parent, whatever their depths.
    SolidRectNode* inner = Rect(s, blue, 2, 2, 2, 2, kRed, -100);
    s.stage->Draw(false);
    EXPECT_EQ(s.screen.Pixel(26, 6), Raw(kRed));
    EXPECT_EQ(s.screen.Pixel(24, 4), Raw(kBlue));
    EXPECT_EQ(inner->Bounds(0), R(26, 6, 27, 7));
}

// Only what a dirty rectangle touches is filled and painted, clipped to it; nodes whose
// subtree misses it are not asked to draw.
TEST(MvSceneTreeDraw, ADrawRepaintsOnlyTheDirtyRectanglesAndPrunesTheRest)
{
    StageOnScreen s(40, 30);
    SolidRectNode* mover = Rect(s, nullptr, 2, 2, 6, 6, kRed, 0);
    SolidRectNode* wide = Rect(s, nullptr, 0, 20, 40, 5, kBlue, 1);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    SolidRectNode* far = Rect(s, layer, 30, 2, 4, 4, kGreen, 0);
    s.stage->Draw(false);
    for (SolidRectNode* n : {mover, wide, far})
        n->clips.clear();

    // A 1-pixel move: the next frame fills and repaints the old and new rectangles only.
    s.screen.Fill(kUntouched);
    mover->MoveBy(1, 0, -1);
    MvGrowArray<MvIntRect> list;
    s.stage->Draw(false, &list);
    EXPECT_EQ(Rects(list), std::vector<MvIntRect>{R(2, 2, 8, 7)});
    s.screen.ExpectPixels(
        [](int x, int y) {
            if (R(3, 2, 8, 7).Contains(x, y))
                return Raw(kRed);
            return R(2, 2, 2, 7).Contains(x, y) ? kBlack : kUntouched;
        },
        "moved by one pixel");
    EXPECT_EQ(mover->clips, std::vector<MvIntRect>{R(2, 2, 8, 7)});
    EXPECT_TRUE(wide->clips.empty());
    EXPECT_TRUE(far->clips.empty()) << "its layer's subtree misses the rectangle";

    // A dirty rectangle across part of a node paints only that part.
    s.screen.Fill(kUntouched);
    s.stage->DirtyList(0).AddRect(R(10, 18, 14, 22));
    s.stage->Draw(false, &list);
    s.screen.ExpectPixels(
        [](int x, int y) {
            if (!R(10, 18, 14, 22).Contains(x, y))
                return kUntouched;
            return y >= 20 ? Raw(kBlue) : kBlack;
        },
        "clipped to the dirty rectangle");
    EXPECT_EQ(wide->clips, std::vector<MvIntRect>{R(10, 18, 14, 22)});
    EXPECT_EQ(s.stage->DirtyList(0).Count(), 0);

    // Nothing changed: nothing is painted.
    s.screen.Fill(kUntouched);
    s.stage->Draw(false, &list);
    EXPECT_EQ(list.Count(), 0);
    s.screen.ExpectPixels([](int, int) { return kUntouched; }, "an idle frame");
}

TEST(MvSceneTreeDraw, HiddenNodesAreErasedAndNotPainted)
{
    StageOnScreen s(40, 30);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    SolidRectNode* child = Rect(s, layer, 2, 2, 5, 5, kRed, 0);
    SolidRectNode* own = Rect(s, nullptr, 20, 2, 5, 5, kGreen, 0);
    s.stage->Draw(false);
    EXPECT_EQ(s.screen.Pixel(2, 2), Raw(kRed));

    layer->SetShown(false, -1);
    own->SetShown(false, 0);
    s.stage->Draw(false);
    s.screen.ExpectPixels([](int, int) { return kBlack; }, "both erased");

    // Repainting the whole window draws neither.
    child->clips.clear();
    s.stage->DirtyList(0).AddRect(s.stage->WindowRect(0));
    s.stage->Draw(false);
    s.screen.ExpectPixels([](int, int) { return kBlack; }, "whole window, both hidden");
    EXPECT_TRUE(child->clips.empty());

    layer->SetShown(true, -1);
    s.stage->Draw(false);
    s.screen.ExpectPixels([](int x, int y) { return R(2, 2, 6, 6).Contains(x, y) ? Raw(kRed) : kBlack; },
                          "the layer shown again");
}

// A moved layer queues what its shown nodes covered in the window before and cover after,
// one rectangle per cell of the window's 8 x 4 grid (25 x 25 here): neither a hidden child
// nor one outside the window adds to them.
TEST(MvSceneTreeDraw, AMovedLayerQueuesItsSubtreesOldAndNewAreasOncePerCell)
{
    StageOnScreen s(200, 100);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    Rect(s, layer, 2, 2, 5, 5, kRed, 0);
    Rect(s, layer, 12, 12, 5, 5, kGreen, 0);
    Rect(s, layer, 20, 30, 10, 10, kGreen, 0);
    Rect(s, layer, 5, 80, 10, 10, kBlue, 0)->SetShown(false, -1);
    Rect(s, layer, -150, 10, 10, 10, kBlue, 0);
    s.stage->Draw(false);

    layer->MoveBy(100, 0, -1);
    EXPECT_EQ(s.FrameRects(), (std::vector<MvIntRect>{R(2, 2, 16, 16), R(102, 2, 116, 16), R(20, 30, 24, 39),
                                                       R(25, 30, 29, 39), R(120, 30, 124, 39), R(125, 30, 129, 39)}));
}

// A layer that follows its moved parent back to where it was leaves its children in place
// on screen: they are not queued, while their moved siblings are.
TEST(MvSceneTreeDraw, ChildrenLeftInPlaceOnScreenAreNotQueued)
{
    StageOnScreen s(200, 100);
    MvSceneNode* level = s.Insert(nullptr, new MvSceneNode());
    Rect(s, level, 2, 2, 5, 5, kRed, 0);
    MvSceneNode* follower = s.Insert(level, new MvSceneNode());
    SolidRectNode* label = Rect(s, follower, 150, 60, 20, 8, kGreen, 0);
    s.stage->Draw(false);

    level->MoveBy(-3, 0, -1);
    follower->MoveBy(3, 0, -1);
    EXPECT_EQ(s.FrameRects(), (std::vector<MvIntRect>{R(0, 2, 6, 6)}));
    EXPECT_EQ(label->Bounds(0), R(150, 60, 169, 67));

    // The same move with a change of the label's own is queued.
    level->MoveBy(-3, 0, -1);
    follower->MoveBy(3, 0, -1);
    label->SetShown(false, -1);
    EXPECT_EQ(s.FrameRects(), (std::vector<MvIntRect>{R(0, 2, 3, 6), R(150, 60, 169, 67)}));
}

// Whatever changes below or beside a moved layer in the same frame, the screen ends as a
// full repaint of the window paints it.
TEST(MvSceneTreeDraw, ChangesInAMovedSubtreeRepaintAsAFullRepaint)
{
    struct Scene {
        StageOnScreen s{60, 40};
        MvSceneNode* layer;
        MvSceneNode* nested;
        SolidRectNode* red;
        SolidRectNode* green;
        SolidRectNode* hidden;
    };
    typedef std::function<void(Scene&)> Step;
    struct Case {
        const char* what;
        std::vector<Step> frames; // each is followed by a frame
    };
    const Step move = [](Scene& c) { c.layer->MoveBy(3, 2, -1); };
    const std::vector<Case> cases = {
        {"the layer moved", {move}},
        {"a child hidden as the layer moved", {[&](Scene& c) { move(c); c.red->SetShown(false, -1); }}},
        {"a hidden child shown as the layer moved", {[&](Scene& c) { move(c); c.hidden->SetShown(true, -1); }}},
        {"a child removed as the layer moved", {[&](Scene& c) { move(c); c.s.Tree().RemoveNode(c.green); }}},
        {"a child grown as the layer moved",
         {[&](Scene& c) { move(c); c.red->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2), -1); }}},
        {"a nested layer moved back as the layer moved",
         {[&](Scene& c) { move(c); c.nested->MoveBy(-3, -2, -1); }}},
        {"the layer hidden", {[](Scene& c) { c.layer->SetShown(false, -1); }}},
        {"the layer hidden, then moved and shown",
         {[](Scene& c) { c.layer->SetShown(false, -1); },
          [&](Scene& c) { move(c); c.layer->SetShown(true, -1); }}},
        {"the layer moved while hidden, then shown",
         {[&](Scene& c) { c.layer->SetShown(false, -1); move(c); }, [](Scene& c) { c.layer->SetShown(true, -1); }}},
        {"the scene root scrolled", {[](Scene& c) { c.s.Tree().SceneRoot()->MoveBy(-5, 1, -1); }}},
        {"the layer moved out of the window and back", {[](Scene& c) { c.layer->MoveBy(70, 0, -1); },
                                                        [](Scene& c) { c.layer->MoveBy(-70, 0, -1); }}},
    };
    for (const Case& k : cases) {
        Scene c;
        c.layer = c.s.Insert(nullptr, new MvSceneNode());
        c.red = Rect(c.s, c.layer, 2, 2, 8, 8, kRed, 0);
        c.green = Rect(c.s, c.layer, 6, 6, 8, 8, kGreen, 1);
        c.nested = c.s.Insert(c.layer, new MvSceneNode());
        c.nested->MoveTo(30, 10);
        Rect(c.s, c.nested, 0, 0, 6, 6, kBlue, 0);
        c.hidden = Rect(c.s, c.layer, 40, 2, 6, 6, kBlue, 2);
        c.hidden->SetShown(false, -1);
        Rect(c.s, nullptr, 2, 25, 10, 6, kRed, 0);
        c.s.stage->Draw(false);
        for (const Step& step : k.frames) {
            step(c);
            c.s.stage->Draw(false);
        }
        std::vector<Uint32> incremental;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                incremental.push_back(c.s.screen.Pixel(x, y));
        c.s.stage->DirtyList(0).AddRect(c.s.stage->WindowRect(0));
        c.s.stage->Draw(false);
        c.s.screen.ExpectPixels([&](int x, int y) { return incremental[static_cast<size_t>(y * 60 + x)]; },
                                k.what);
    }
}

// Each window shows the tree from its own corner with its own node positions, and
// nothing is painted outside a window.
TEST(MvSceneTreeDraw, EachWindowShowsItsOwnPlacementClippedToTheWindow)
{
    const MvIntRect windows[] = {R(0, 0, 19, 19), R(24, 0, 39, 19)};
    StageOnScreen s(40, 20, 2, windows);
    s.screen.Fill(kUntouched);
    SolidRectNode* node = Rect(s, nullptr, 2, 3, 4, 4, kRed, 0);
    node->MoveTo(17, 10, 0); // sticks out of window 0 to the right
    node->MoveTo(1, 1, 1);
    s.stage->SetBackgroundColor(&kBlackColor); // repaints both windows whole
    s.stage->Draw(false);
    s.screen.ExpectPixels(
        [&](int x, int y) {
            if (R(17, 10, 19, 13).Contains(x, y) || R(25, 1, 28, 4).Contains(x, y))
                return Raw(kRed);
            for (const MvIntRect& w : windows)
                if (w.Contains(x, y))
                    return kBlack;
            return kUntouched;
        },
        "two windows");
}

// The composite colour transform reaches the blitters: a layer's transform tints what
// lies below it.
TEST(MvSceneTreeDraw, ALayersColourTransformTintsItsChildren)
{
    StageOnScreen s(20, 10);
    MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
    const MvColor orange = Opaque(240, 120, 16);
    Rect(s, layer, 0, 0, 4, 4, orange, 0);
    MvColorXform dark;
    dark.Darken(100);
    layer->SetColorXform(dark, -1);
    s.stage->Draw(false);
    EXPECT_EQ(s.screen.Pixel(1, 1), Raw(dark.Apply(orange)));
    EXPECT_NE(Raw(dark.Apply(orange)), Raw(orange));
}

// One walk for several disjoint rectangles paints what one walk per rectangle paints:
// every node meeting a rectangle is asked to draw into it, in depth order, parents before
// children, and nothing below a hidden layer or outside every rectangle is asked at all.
TEST(MvSceneTreeDraw, OneWalkForSeveralRectanglesPaintsAsOneWalkEach)
{
    struct Scene {
        StageOnScreen s{40, 30};
        SolidRectNode* wide;
        SolidRectNode* over;
        SolidRectNode* child;
        SolidRectNode* hidden;
        SolidRectNode* outside;
        Scene()
        {
            wide = Rect(s, nullptr, 0, 10, 40, 10, kBlue, 0); // meets every rectangle
            over = Rect(s, nullptr, 4, 4, 20, 20, kGreen, 1); // above wide where both are
            MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
            layer->MoveTo(1, 1);
            child = Rect(s, layer, 25, 12, 6, 6, Rgba(255, 0, 0, 128), 0); // translucent, over wide
            MvSceneNode* shut = s.Insert(nullptr, new MvSceneNode());
            hidden = Rect(s, shut, 0, 0, 40, 30, kRed, 0);
            shut->SetShown(false, -1);
            outside = Rect(s, nullptr, 0, 27, 3, 2, kRed, 0);
            s.stage->Draw(false);
            s.screen.Fill(kUntouched);
            for (SolidRectNode* n : {wide, over, child, hidden, outside})
                n->clips.clear();
        }
    };
    const MvIntRect rects[] = {R(2, 2, 9, 14), R(10, 2, 29, 5), R(20, 12, 35, 25), R(36, 0, 39, 29)};

    Scene one;
    MvTestAccess::DrawRects(&one.s.Tree(), rects, 4, &MvTestAccess::PaintTarget(one.s.stage.get()), 0);
    Scene each;
    for (const MvIntRect& r : rects)
        MvTestAccess::DrawRect(&each.s.Tree(), r, &MvTestAccess::PaintTarget(each.s.stage.get()), 0);

    each.s.screen.ExpectPixels([&](int x, int y) { return one.s.screen.Pixel(x, y); }, "one walk against four");
    EXPECT_EQ(one.wide->clips, each.wide->clips);
    EXPECT_EQ(one.over->clips, each.over->clips);
    EXPECT_EQ(one.child->clips, std::vector<MvIntRect>{R(20, 12, 35, 25)});
    EXPECT_EQ(one.child->clips, each.child->clips);
    EXPECT_TRUE(one.hidden->clips.empty());
    EXPECT_TRUE(one.outside->clips.empty());
    EXPECT_EQ(one.s.screen.Pixel(0, 0), kUntouched);

    // No rectangle: nothing is asked to draw.
    one.wide->clips.clear();
    MvTestAccess::DrawRects(&one.s.Tree(), nullptr, 0, &MvTestAccess::PaintTarget(one.s.stage.get()), 0);
    EXPECT_TRUE(one.wide->clips.empty());
}

TEST(MvSceneTreeDrawDeathTest, BrokenDrawCallsAreCaught)
{
    StageOnScreen s(40, 30);
    volatile int one = 1;
    MvPaintTarget* target = &MvTestAccess::PaintTarget(s.stage.get());
    EXPECT_DEATH(MvTestAccess::DrawRect(&s.Tree(), R(0, 0, 5, 5), target, one), "window < engine_->WindowCount");
    EXPECT_DEATH(MvTestAccess::DrawRect(&s.Tree(), R(0, 0, 5, 5), nullptr, 0), "paintInfo != nullptr");
    const MvIntRect rects[] = {R(0, 0, 5, 5)};
    EXPECT_DEATH(MvTestAccess::DrawRects(&s.Tree(), rects, 1, target, one),
                 MvFailedCheck("window >= 0 && window < engine_->WindowCount()"));
    EXPECT_DEATH(MvTestAccess::DrawRects(&s.Tree(), rects, 1, nullptr, 0),
                 MvFailedCheck("paintInfo != nullptr && !paintInfo->IsOpenGL()"));
    EXPECT_DEATH(MvTestAccess::DrawRects(&s.Tree(), nullptr, 1, target, 0),
                 MvFailedCheck("clips != nullptr || count <= 0"));
}

} // namespace
