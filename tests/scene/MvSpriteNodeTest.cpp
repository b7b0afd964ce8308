// Sprite nodes: the action and frame they show, stepping, cloning, bounds and hit tests.

#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvFailedCheck.h"
#include "MvResourceVault.h"
#include "MvSpriteNode.h"

#include <functional>
#include <memory>
#include <string>

using restest::ActionDraft;
using restest::FrameDraft;
using scenetest::StageOnScreen;

namespace {

// A 2 x 2 frame with its hot spot at the top-left pixel and the given delta.
FrameDraft Square(int deltaX, int deltaY) { return {{"RG", "BW"}, 0, 0, deltaX, deltaY}; }

// The hero-like sprite every test uses: actions of 4, 4, 1, 3 frames, rotated variants of
// "Walk.Right", and an action without frames.
class SpriteNodeTest : public testing::Test {
protected:
    SpriteNodeTest()
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        const FrameDraft plain = Square(0, 0);
        sprite.reset(restest::MakeSprite(
            "hero", 7,
            {{"Walk.Right", 1, {plain, plain, plain, plain}},
             {"Run.Right", 3, {plain, plain, plain, plain}},
             {"Stand.Right", 4, {plain}},
             // Frame deltas 1, 2 and 3 pixels to the right, 0, -1 and 5 down.
             {"Hop", 5, {Square(1, 0), Square(2, -1), Square(3, 5)}},
             {"Walk.Right.ROT000", 10, {plain}},
             {"Walk.Right.ROT045", 11, {plain}},
             {"Walk.Right.ROT270", 12, {plain}},
             {"Empty", 13, {}},
             // An L shape: a transparent pixel at (1, 0) from the hot spot (1, 1).
             {"Ell", 14, {{{"R.", "RR"}, 1, 1, 0, 0}}}}));
    }

    std::unique_ptr<MvSpriteResource> sprite;
};

TEST_F(SpriteNodeTest, NewNodeShowsFrameZeroOfTheFirstAction)
{
    MvSpriteNode node(sprite.get());
    EXPECT_STREQ(node.CurrentAction()->Name(), "Walk.Right");
    EXPECT_EQ(node.CurrentFrame(), 0);
    EXPECT_EQ(node.FrameCount(), 4);
    EXPECT_EQ(node.SpriteResource(), sprite.get());
    EXPECT_EQ(node.Resource(), sprite.get());
    EXPECT_EQ(node.AsSprite(), &node);
    EXPECT_EQ(node.AsDrawable(), &node);
}

TEST_F(SpriteNodeTest, ChangingTheActionKeepsTheFrameWhereTheNewActionHasIt)
{
    struct Case {
        const char* to;
        int expectedFrame;
    };
    // A walk at frame 2 switching to another 4-frame action stays at 2; a 1-frame stand
    // gives 0; an action without frames gives -1.
    const Case cases[] = {{"Run.Right", 2}, {"Stand.Right", 0}, {"Hop", 2}, {"Empty", -1}};
    for (const Case& c : cases) {
        MvSpriteNode node(sprite.get());
        node.SelectFrame(2);
        node.SelectAction(c.to);
        EXPECT_STREQ(node.CurrentAction()->Name(), c.to);
        EXPECT_EQ(node.CurrentFrame(), c.expectedFrame) << c.to;
    }
    // From an action without frames back to one with frames: frame 0.
    MvSpriteNode node(sprite.get());
    node.SelectAction("Empty");
    node.SelectAction("Hop");
    EXPECT_EQ(node.CurrentFrame(), 0);
}

TEST_F(SpriteNodeTest, SelectingByIdFindsTheActionOfThatId)
{
    MvSpriteNode node(sprite.get());
    node.SelectActionById(5);
    EXPECT_STREQ(node.CurrentAction()->Name(), "Hop");
    EXPECT_EQ(node.FrameCount(), 3);
}

TEST_F(SpriteNodeTest, RotatedNamesCarryThreeDigitsOfDegreesBetween0And359)
{
    struct Case {
        int degrees;
        const char* expected;
    };
    const Case cases[] = {{0, "Walk.Right.ROT000"},   {360, "Walk.Right.ROT000"}, {720, "Walk.Right.ROT000"},
                          {45, "Walk.Right.ROT045"},  {-90, "Walk.Right.ROT270"}, {-450, "Walk.Right.ROT270"},
                          {270, "Walk.Right.ROT270"}, {405, "Walk.Right.ROT045"}};
    for (const Case& c : cases) {
        MvSpriteNode node(sprite.get());
        node.SelectActionRotated("Walk.Right", c.degrees);
        EXPECT_STREQ(node.CurrentAction()->Name(), c.expected) << c.degrees;
    }
}

TEST_F(SpriteNodeTest, SelectingWhatIsShownMarksNothingInvalid)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectAction("Stand.Right");
    s.stage->Draw(false);
    ASSERT_FALSE(node->IsInvalid(0));

    node->SelectAction("Stand.Right");
    node->SelectActionById(4);
    node->SelectFrame(0);
    EXPECT_FALSE(node->IsInvalid(0));

    node->SelectAction("Walk.Right");
    EXPECT_TRUE(node->IsInvalid(0));
    s.stage->Draw(false);
    node->SelectFrame(3);
    EXPECT_TRUE(node->IsInvalid(0));
}

TEST_F(SpriteNodeTest, StepMovesByTheShownFrameDeltaThenShowsTheNextFrame)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectAction("Hop");
    node->MoveTo(10, 10);
    node->SelectFrame(2);

    node->Step();
    EXPECT_EQ(node->PosX(0), 13);
    EXPECT_EQ(node->PosY(0), 15);
    EXPECT_EQ(node->CurrentFrame(), 0);

    node->Step();
    EXPECT_EQ(node->PosX(0), 14);
    EXPECT_EQ(node->PosY(0), 15);
    EXPECT_EQ(node->CurrentFrame(), 1);
}

TEST_F(SpriteNodeTest, StepScalesTheDeltaByTheNodesOwnScaleOnly)
{
    struct Case {
        double scale;
        int expectedMove; // of a delta of 3
    };
    // 1.5 * 3 = 4.5 rounds down: RoundToInt adds only 1/32.
    const Case cases[] = {{1.0, 3}, {2.0, 6}, {1.5, 4}, {0.5, 1}};
    for (const Case& c : cases) {
        StageOnScreen s(40, 30);
        // The layer's scale must not count: only the node's own scale does.
        MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
        layer->SetScaling(MvFixed::FromInt(3), MvFixed::FromInt(3), -1);
        MvSpriteNode* node = s.Insert(layer, new MvSpriteNode(sprite.get()));
        node->SelectAction("Hop");
        node->SelectFrame(2);
        const MvFixed scale = MvFixed::FromDouble(c.scale);
        node->SetScaling(scale, scale, -1);
        node->Step();
        EXPECT_EQ(node->PosX(0), c.expectedMove) << c.scale;
    }
}

TEST_F(SpriteNodeTest, StepMovesEveryWindowFromItsOwnPosition)
{
    const MvIntRect windows[2] = {R(0, 0, 19, 29), R(20, 0, 39, 29)};
    StageOnScreen s(40, 30, 2, windows);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectAction("Hop");
    node->MoveTo(2, 3, 0);
    node->MoveTo(7, 1, 1);
    node->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2), 1);
    node->Step(); // delta (1, 0)
    EXPECT_EQ(node->PosX(0), 3);
    EXPECT_EQ(node->PosY(0), 3);
    EXPECT_EQ(node->PosX(1), 9);
    EXPECT_EQ(node->PosY(1), 1);
}

TEST_F(SpriteNodeTest, CloneCopiesActionAndFrameOnly)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectActionById(3);
    node->SelectFrame(1);
    node->MoveTo(12, 9);
    node->SetName("original");
    node->SetId(40);
    node->SetDepth(6);

    std::unique_ptr<MvSceneNode> copy(node->Clone());
    MvSpriteNode* clone = copy->AsSprite();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->SpriteResource(), sprite.get());
    EXPECT_EQ(clone->CurrentAction()->Id(), 3);
    EXPECT_EQ(clone->CurrentFrame(), 1);
    EXPECT_EQ(clone->PosX(0), 0);
    EXPECT_EQ(clone->PosY(0), 0);
    EXPECT_STREQ(clone->Name(), "");
    EXPECT_EQ(clone->Id(), -1);
    EXPECT_EQ(clone->Depth(), 0);
    EXPECT_EQ(clone->Stage(), nullptr);
}

TEST_F(SpriteNodeTest, BoundsFollowTheFrameUnderTheScreenTransform)
{
    StageOnScreen s(40, 30);
    s.Tree().SceneRoot()->MoveTo(5, 1);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectAction("Ell"); // hot spot (1, 1) of a 2 x 2 frame
    node->MoveTo(10, 20);
    s.stage->Draw(false);
    EXPECT_EQ(node->Bounds(0), R(14, 20, 15, 21));

    MvIntRect box;
    node->QueryBoundingBox(&box, 0);
    EXPECT_EQ(box, R(14, 20, 15, 21));

    node->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2), -1);
    s.stage->Draw(false);
    EXPECT_EQ(node->Bounds(0), R(13, 19, 16, 22));
    node->QueryBoundingBox(&box, 0);
    EXPECT_EQ(box, R(13, 19, 16, 22));
}

TEST_F(SpriteNodeTest, PickingHitsOnlyVisiblePixelsOfShownOpaqueSprites)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectAction("Ell"); // covers (9, 9), (9, 10), (10, 10); (10, 9) is transparent
    node->MoveTo(10, 10);
    s.stage->Draw(false);

    struct Case {
        int x, y;
        bool hit;
    };
    const Case points[] = {{9, 9, true}, {9, 10, true}, {10, 10, true}, {10, 9, false}, {11, 10, false}};
    MvGrowArray<MvSceneNode*> hits;
    int window = -1;
    for (const Case& p : points) {
        s.Tree().PickAt(p.x, p.y, 0, &hits, &window);
        EXPECT_EQ(hits.Count(), p.hit ? 1 : 0) << p.x << "," << p.y;
        if (p.hit && hits.Count() == 1) {
            EXPECT_EQ(hits[0], node);
        }
    }

    // Composite alpha 0 (from the parent) hides the sprite from picking, though it is drawn.
    MvColorXform invisible;
    invisible.SetAlpha(0);
    s.Tree().SceneRoot()->SetColorXform(invisible, -1);
    s.stage->Draw(false);
    s.Tree().PickAt(9, 9, 0, &hits, &window);
    EXPECT_EQ(hits.Count(), 0);

    s.Tree().SceneRoot()->SetColorXform(MvColorXform(), -1);
    node->SetShown(false, -1);
    s.stage->Draw(false);
    s.Tree().PickAt(9, 9, 0, &hits, &window);
    EXPECT_EQ(hits.Count(), 0);
}

TEST_F(SpriteNodeTest, PickingAScaledSpriteMapsThePointBackToTheFrame)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->SelectAction("Ell");
    node->MoveTo(10, 10);
    node->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2), -1);
    s.stage->Draw(false);
    MvGrowArray<MvSceneNode*> hits;
    int window = -1;
    // Local (x - 10) / 2 rounded: 8 -> -1 (visible column), 11 -> 0.5 -> 0 (transparent at row -1).
    s.Tree().PickAt(8, 8, 0, &hits, &window);
    EXPECT_EQ(hits.Count(), 1);
    s.Tree().PickAt(11, 8, 0, &hits, &window);
    EXPECT_EQ(hits.Count(), 0);
}

TEST_F(SpriteNodeTest, AnActionWithoutFramesDrawsAndHitsNothing)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    node->MoveTo(3, 3);
    s.stage->Draw(false);
    node->SelectAction("Empty");
    MvIntRect box;
    node->QueryBoundingBox(&box, 0);
    EXPECT_FALSE(box.IsValid());
    MvGrowArray<MvSceneNode*> hits;
    EXPECT_FALSE(node->TestPoint(3, 3, 0, &hits, 0));
    node->Draw(&MvTestAccess::PaintTarget(s.stage.get()), R(0, 0, 39, 29), 0);
    EXPECT_EQ(hits.Count(), 0);
}

typedef SpriteNodeTest SpriteNodeDeathTest;

TEST_F(SpriteNodeDeathTest, BrokenPreconditionsAreCaught)
{
    std::unique_ptr<MvSpriteResource> empty(new MvSpriteResource("bare"));
    MvSpriteNode node(sprite.get());
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"a resource without actions", [&] { MvSpriteNode bare(empty.get()); }, "resource->ActionCount\\(\\) > 0"},
        {"an unknown action", [&] { node.SelectAction("Fly"); },
         "action != nullptr \\(sprite resource \"hero\" has no action \"Fly\"\\)"},
        {"names are exact", [&] { node.SelectAction("walk.right"); }, "has no action \"walk.right\""},
        {"an unknown action id", [&] { node.SelectActionById(99); }, "has no action id 99"},
        {"an unknown rotation", [&] { node.SelectActionRotated("Walk.Right", 90); },
         "has no action \"Walk.Right.ROT090\""},
        {"a frame past the end", [&] { node.SelectFrame(4); }, "i >= 0 && i < action_->FrameCount\\(\\)"},
        {"a negative frame", [&] { node.SelectFrame(-1); }, "i >= 0 && i < action_->FrameCount\\(\\)"},
        // Outside a tree there is no window to move in.
        {"a step outside a tree", [&] { node.Step(); }, "engine_ != nullptr"},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(c.call(), c.message) << c.what;
}

// A program that goes on with a failed lookup learns from the assertion which lookup it
// was, whichever vault and whichever kind of lookup failed last.
TEST_F(SpriteNodeDeathTest, ANullResourceNamesTheLastFailedLookup)
{
    MvResourceVault vault;
    vault.AppendResource(new MvSpriteResource("hero"));
    struct Case {
        const char* what;
        std::function<MvSpriteResource*()> lookup;
        const char* message;
    } cases[] = {
        {"by name", [&] { return vault.FindSpriteResource("villain"); },
         "resource != nullptr \\(the last lookup that found nothing: sprite resource \"villain\"\\)"},
        {"by id", [&] { return vault.FindSpriteResource(13); }, "nothing: sprite resource id 13"},
        {"another kind before", [&] {
             vault.FindTileResource("grass");
             return nullptr;
         }, "nothing: tile resource \"grass\""},
    };
    for (const Case& c : cases)
        EXPECT_DEATH(MvSpriteNode node(c.lookup()), c.message) << c.what;
}

TEST_F(SpriteNodeDeathTest, StepOnAnActionWithoutFramesAndDrawingAHiddenNodeAreCaught)
{
    StageOnScreen s(40, 30);
    MvSpriteNode* node = s.Insert(nullptr, new MvSpriteNode(sprite.get()));
    s.stage->Draw(false);
    node->SetShown(false, -1);
    EXPECT_DEATH(node->Draw(&MvTestAccess::PaintTarget(s.stage.get()), R(0, 0, 39, 29), 0),
                 MvFailedCheck("IsShownInTree(window)"));
    node->SelectAction("Empty");
    EXPECT_DEATH(node->Step(), MvFailedCheck("action_->FrameCount() > 0"));
}

} // namespace
