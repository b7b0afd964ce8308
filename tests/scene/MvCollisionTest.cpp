// Pixel-exact collision of sprite nodes: the node test with its early rejections, the
// tree's three queries, and scaled sprites with and without cached copies.

#include "SceneTestSupport.h"

#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvCollisionMask.h"
#include "MvFailedCheck.h"
#include "MvRle.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using scenetest::StageOnScreen;

typedef std::vector<std::string> Picture;

const MvFixed kOne = MvFixed::FromInt(1);
const MvFixed kTwo = MvFixed::FromInt(2);
const MvFixed kHalf = MvFixed::FromRaw(MvFixedOne / 2);

// A picture of width x height, transparent but for the opaque dots (column, row).
Picture Dots(int width, int height, const std::vector<std::pair<int, int>>& dots)
{
    Picture rows(height, std::string(width, '.'));
    for (const auto& d : dots)
        rows[d.second][d.first] = 'R';
    return rows;
}

// An 800 x 600 stage with one layer, "platforms", under the scene root. Sprites show a
// one-frame action "Stand" of their own resource, the hot spot at the picture's top-left
// corner, so a sprite at (x, y) covers its picture's opaque pixels from (x, y) on.
class CollisionFixture : public testing::Test {
protected:
    CollisionFixture() : s(800, 600) { layer = Plain(nullptr, "platforms"); }

    MvSceneNode* Plain(MvSceneNode* parent, const char* name, int depth = 0)
    {
        MvSceneNode* node = new MvSceneNode();
        node->SetName(name);
        node->SetDepth(depth);
        return s.Insert(parent, node);
    }

    MvSpriteResource* Resource(const Picture& picture)
    {
        const std::string name = "sprite" + std::to_string(resources.size());
        resources.emplace_back(restest::MakeSprite(name.c_str(), 0, {{"Stand", 1, {{picture, 0, 0, 0, 0}}}}));
        return resources.back().get();
    }

    MvSpriteNode* Sprite(MvSceneNode* parent, const Picture& picture, int x, int y, int depth = 0)
    {
        return Sprite(parent, Resource(picture), x, y, depth);
    }

    MvSpriteNode* Sprite(MvSceneNode* parent, MvSpriteResource* resource, int x, int y, int depth = 0)
    {
        MvSpriteNode* node = new MvSpriteNode(resource);
        node->MoveTo(x, y);
        node->SetDepth(depth);
        return s.Insert(parent, node);
    }

    void Recompute() { s.Tree().Recompute(); }

    std::vector<MvDrawableNode*> Hits() const
    {
        return std::vector<MvDrawableNode*>(hits.Items(), hits.Items() + hits.Count());
    }

    // Declared before the stage so that the nodes go before the resources they show.
    std::vector<std::unique_ptr<MvSpriteResource>> resources;
    StageOnScreen s;
    MvSceneNode* layer;
    MvGrowArray<MvDrawableNode*> hits;
};

// Each case places A and then B; the answer must be the same whichever node asks, and
// the layer query from B must report A exactly when they collide.
TEST_F(CollisionFixture, SpritesCollideExactlyWhenAnOpaquePixelIsShared)
{
    struct Case {
        const char* what;
        Picture a;
        int ax, ay;
        Picture b;
        int bx, by;
        bool collide;
    };
    // B's left edge lies `offset` columns right of A's. A is opaque only in its row 1, at
    // its columns 0 and aColumn; B, 40 columns (two words) wide, has in that row only its
    // column 35.
    auto columns = [](const char* what, int offset, int aColumn, bool collide) {
        return Case{what, Dots(aColumn + 1, 2, {{0, 1}, {aColumn, 1}}), 100, 100,
                    Dots(40, 2, {{35, 1}, {0, 0}, {39, 0}}), 100 + offset, 100, collide};
    };
    const Case cases[] = {
        {"rectangles touch at one column, transparent in each other's row", {"RRR", "RR."}, 10, 10, {".R", "RR"}, 12,
         10, false},
        {"rectangles touch at one column and share its top pixel", {"RRR", "RR."}, 10, 10, {"RR", "RR"}, 12, 10, true},
        columns("left edges 0 apart", 0, 35, true),
        columns("left edges 31 apart", 31, 66, true),
        columns("left edges 32 apart", 32, 67, true),
        columns("left edges 33 apart", 33, 68, true),
        columns("left edges 33 apart, A one column short", 33, 67, false),
        {"left edges 32 apart, B opaque only at its column 0, A at 64 but not 32", Dots(65, 2, {{0, 1}, {64, 0}}), 100,
         100, {"R"}, 132, 100, false},
        {"B above A sharing A's top row", Dots(6, 2, {{0, 0}, {5, 1}}), 10, 50, Dots(6, 3, {{5, 0}, {0, 2}}), 10, 48,
         true},
        {"B above A, its pixels above A's rectangle", Dots(6, 2, {{0, 0}, {5, 1}}), 10, 50, Dots(6, 3, {{0, 0}, {1, 2}}),
         10, 48, false},
        {"B below A sharing A's bottom row", Dots(6, 3, {{0, 0}, {3, 2}}), 10, 60, Dots(4, 3, {{3, 0}, {0, 2}}), 10, 62,
         true},
        {"B below A, its pixels below A's rectangle", Dots(6, 3, {{0, 0}, {3, 2}}), 10, 60, Dots(4, 3, {{0, 0}, {3, 2}}),
         10, 62, false},
        {"equal left edges", Dots(3, 3, {{0, 0}, {2, 2}}), 10, 80, Dots(3, 3, {{0, 2}, {2, 1}, {1, 1}}), 10, 80, false},
        {"equal left edges sharing a pixel", Dots(3, 3, {{0, 0}, {2, 2}}), 10, 80, Dots(3, 2, {{0, 1}, {2, 1}, {1, 0}}),
         10, 81, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvSpriteNode* a = Sprite(layer, c.a, c.ax, c.ay);
        MvSpriteNode* b = Sprite(layer, c.b, c.bx, c.by);
        Recompute();
        ASSERT_TRUE(a->Bounds(0).Overlaps(b->Bounds(0))) << "every case reaches the bit maps";
        EXPECT_EQ(a->Collide(b, 0), c.collide);
        EXPECT_EQ(b->Collide(a, 0), c.collide);
        EXPECT_EQ(s.Tree().CollideWithChildrenOf(b, layer, &hits, 0), c.collide);
        EXPECT_EQ(Hits(), c.collide ? std::vector<MvDrawableNode*>{a} : std::vector<MvDrawableNode*>{});
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.Tree().RemoveNode(a);
        s.Tree().RemoveNode(b);
    }
}

// A and B share opaque pixels, so only the setting in each case keeps them apart.
TEST_F(CollisionFixture, HiddenAndFadedOutSpritesNeverCollide)
{
    struct Case {
        const char* what;
        std::function<void(MvSceneNode* group, MvSpriteNode* b)> setUp;
    };
    MvColorXform faded;
    faded.SetAlpha(0);
    MvColorXform faint;
    faint.SetAlpha(1);
    const Case cases[] = {
        {"B hidden in window 0", [](MvSceneNode*, MvSpriteNode* b) { b->SetShown(false, 0); }},
        {"B's group hidden", [](MvSceneNode* group, MvSpriteNode*) { group->SetShown(false, 0); }},
        {"B's own alpha 0", [&](MvSceneNode*, MvSpriteNode* b) { b->SetColorXform(faded, 0); }},
        {"B's group alpha 0", [&](MvSceneNode* group, MvSpriteNode*) { group->SetColorXform(faded, 0); }},
    };
    MvSpriteNode* a = Sprite(layer, {"RRRR", "RRRR"}, 200, 200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvSceneNode* group = Plain(layer, "group");
        MvSpriteNode* b = Sprite(group, {"RR", "RR"}, 201, 201);
        Recompute();
        ASSERT_TRUE(a->Collide(b, 0)) << "shown and opaque, they collide";
        c.setUp(group, b);
        Recompute();
        EXPECT_TRUE(a->Bounds(0).Overlaps(b->Bounds(0)));
        EXPECT_FALSE(a->Collide(b, 0));
        EXPECT_FALSE(b->Collide(a, 0));
        EXPECT_FALSE(s.Tree().CollideWithChildrenOf(a, group, &hits, 0));
        EXPECT_FALSE(s.Tree().CollideWithAll(a, &hits, 0));
        EXPECT_EQ(hits.Count(), 0);
        EXPECT_FALSE(s.Tree().CollideWithAll(b, &hits, 0)) << "nor does it find anything itself";
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.Tree().RemoveNode(group);
    }
    MvSpriteNode* b = Sprite(layer, {"RR"}, 201, 201);
    b->SetColorXform(faint, 0);
    Recompute();
    EXPECT_TRUE(a->Collide(b, 0)) << "alpha 1 is still there";
}

TEST_F(CollisionFixture, ChildrenOfALayerAreTestedInDepthOrderSkippingTheNodeAndPlainNodes)
{
    MvSpriteNode* hero = Sprite(layer, {"RRRR", "RRRR", "RRRR"}, 300, 300, 5);
    MvSpriteNode* high = Sprite(layer, {"RR"}, 302, 301, 9);
    MvSpriteNode* low = Sprite(layer, {"R"}, 303, 302, 1);
    MvSpriteNode* apart = Sprite(layer, {"R"}, 310, 300, 2);
    MvSceneNode* plain = Plain(layer, "plain", 3);
    MvSpriteNode* inPlain = Sprite(plain, {"R"}, 300, 300);
    Recompute();

    hits.Append(apart); // every query starts by emptying hits
    EXPECT_TRUE(s.Tree().CollideWithChildrenOf(hero, layer, &hits, 0));
    EXPECT_EQ(Hits(), (std::vector<MvDrawableNode*>{low, high}));

    EXPECT_TRUE(s.Tree().CollideWithSiblings(hero, &hits, 0));
    EXPECT_EQ(Hits(), (std::vector<MvDrawableNode*>{low, high}));

    EXPECT_FALSE(s.Tree().CollideWithSiblings(inPlain, &hits, 0)) << "its only sibling is itself";
    EXPECT_FALSE(s.Tree().CollideWithChildrenOf(inPlain, plain, &hits, 0));

    EXPECT_TRUE(s.Tree().CollideWithChildrenOf(low, layer, &hits, 0));
    EXPECT_EQ(Hits(), (std::vector<MvDrawableNode*>{hero})) << "high does not reach low's pixel";

    // A plain node asking finds nothing, though its subtree overlaps.
    hits.Append(hero);
    EXPECT_FALSE(s.Tree().CollideWithChildrenOf(plain, layer, &hits, 0));
    EXPECT_EQ(hits.Count(), 0);
    EXPECT_FALSE(s.Tree().CollideWithSiblings(plain, &hits, 0));
    EXPECT_FALSE(s.Tree().CollideWithAll(plain, &hits, 0));
    EXPECT_FALSE(s.Tree().CollideWithSiblings(s.Tree().OriginNode(), &hits, 0)) << "no parent, not drawable";
}

TEST_F(CollisionFixture, ALayerWhoseSubtreeMissesTheNodeFindsNothing)
{
    MvSpriteNode* hero = Sprite(layer, {"RR", "RR"}, 50, 50);
    MvSceneNode* far = Plain(nullptr, "far");
    MvSpriteNode* farSprite = Sprite(far, {"R"}, 400, 400);
    MvSceneNode* empty = Plain(nullptr, "empty");
    Recompute();

    hits.Append(farSprite);
    EXPECT_FALSE(s.Tree().CollideWithChildrenOf(hero, far, &hits, 0));
    EXPECT_EQ(hits.Count(), 0);
    EXPECT_FALSE(s.Tree().CollideWithChildrenOf(hero, empty, &hits, 0)) << "an empty layer covers nothing";

    // Moving the layer under the hero brings its sprite into reach.
    far->MoveTo(-350, -350);
    Recompute();
    EXPECT_TRUE(s.Tree().CollideWithChildrenOf(hero, far, &hits, 0));
    EXPECT_EQ(Hits(), (std::vector<MvDrawableNode*>{farSprite}));
}

// CollideWithAll reaches every layer and the node's own children, layer by layer in
// depth order, and descends only where subtree bounds meet the node.
TEST_F(CollisionFixture, CollideWithAllSearchesTheWholeSceneButTheNode)
{
    MvSceneNode* enemies = Plain(nullptr, "enemies", 2);
    MvSceneNode* items = Plain(nullptr, "items", 1);
    MvSpriteNode* hero = Sprite(layer, {"RRRRRR", "RRRRRR"}, 100, 100);
    MvSpriteNode* platform = Sprite(layer, {"RRRRRRRRRR"}, 95, 101);
    MvSpriteNode* enemy = Sprite(enemies, {"RR", "RR"}, 104, 99);
    MvSpriteNode* item = Sprite(items, {"R"}, 100, 100);
    Sprite(items, {"R"}, 500, 100);
    MvSpriteNode* badge = Sprite(hero, {"R"}, 2, 1); // the hero's own child, at (102, 101)
    MvSceneNode* nested = Plain(enemies, "nested");
    MvSpriteNode* deep = Sprite(nested, {"R"}, 105, 100);
    MvSceneNode* farGroup = Plain(items, "farGroup");
    Sprite(farGroup, {"R"}, 600, 600);
    Recompute();

    EXPECT_TRUE(s.Tree().CollideWithAll(hero, &hits, 0));
    // Scene root's children are layers; then "platforms" (depth 0): platform, then below
    // it the hero's badge; then "items" (1); then "enemies" (2) and below it "nested".
    EXPECT_EQ(Hits(), (std::vector<MvDrawableNode*>{platform, badge, item, enemy, deep}));

    EXPECT_TRUE(s.Tree().CollideWithAll(badge, &hits, 0));
    EXPECT_EQ(Hits(), (std::vector<MvDrawableNode*>{hero, platform}));
}

TEST_F(CollisionFixture, ScaledSpritesCollideThroughTheirCachedCopies)
{
    // A 2 x 2 diagonal and its copy at 2.0 x 2.0.
    MvSpriteResource* diagonal = Resource({"R.", ".R"});
    MvRle** copies = new MvRle*[1];
    copies[0] = new MvRle;
    restest::CreateFrame(copies[0], {"RR..", "RR..", "..RR", "..RR"}, 0, 0);
    diagonal->ActionAt(0)->AddScaleCacheEntry(kTwo, kTwo, copies);

    MvSpriteNode* big = Sprite(layer, diagonal, 100, 100);
    big->SetScaling(kTwo, kTwo, -1);
    MvSpriteNode* probe = Sprite(layer, {"R"}, 101, 101);
    Recompute();
    ASSERT_EQ(big->Bounds(0), MvMakeRect(100, 100, 103, 103));
    EXPECT_TRUE(big->Collide(probe, 0)) << "(101, 101) is inside the scaled top-left pixel";
    probe->MoveTo(102, 101);
    Recompute();
    EXPECT_FALSE(big->Collide(probe, 0)) << "(102, 101) is transparent at 2.0, though inside the bounds";
    probe->MoveTo(103, 103);
    Recompute();
    EXPECT_TRUE(probe->Collide(big, 0));

    // The same frame unscaled, with no cached copy involved.
    MvSpriteNode* small = Sprite(layer, diagonal, 200, 100);
    probe->MoveTo(201, 101);
    Recompute();
    EXPECT_TRUE(small->Collide(probe, 0));
}

// A scaled sprite under a parent that undoes its scale shows the frames themselves, so
// it needs no cached copy to collide.
TEST_F(CollisionFixture, AScaleThatCancelsOutNeedsNoCache)
{
    MvSceneNode* shrunk = Plain(layer, "shrunk");
    shrunk->SetScaling(kHalf, kHalf, -1);
    shrunk->MoveTo(100, 100);
    MvSpriteNode* doubled = Sprite(shrunk, {"R.", ".R"}, 0, 0);
    doubled->SetScaling(kTwo, kTwo, -1);
    MvSpriteNode* probe = Sprite(layer, {"R"}, 101, 101);
    Recompute();
    ASSERT_FALSE(doubled->ScreenXform(0).HasScale());
    EXPECT_TRUE(doubled->Collide(probe, 0));
    probe->MoveTo(100, 101);
    Recompute();
    EXPECT_FALSE(doubled->Collide(probe, 0));
}

// Sends every logged line to standard error, where a death test can see it.
void LogToStandardError(const char* text, void*) { std::fputs(text, stderr); }

// Death tests run first; the fixture is the same.
typedef CollisionFixture CollisionDeathTest;

TEST_F(CollisionDeathTest, ScaledSpritesWithoutACachedScaleAreReported)
{
    MvSpriteResource* hero = Resource({"RR", "RR"});
    hero->SetIdentity("hero", 7);
    MvSpriteNode* scaled = Sprite(layer, hero, 100, 100);
    scaled->SetScaling(kTwo, MvFixed::FromDouble(1.5), -1);
    MvSpriteNode* probe = Sprite(layer, {"R"}, 101, 101);
    MvSceneNode* enlarged = Plain(layer, "enlarged");
    enlarged->SetScaling(kTwo, kTwo, -1);
    MvSpriteNode* inside = Sprite(enlarged, hero, 50, 50);
    Recompute();
    const std::string uncachedScale = MvFailedCheck("!\"collision of a scaled sprite needs its scale cached\"");

    EXPECT_DEATH(
        {
            MvSetDebugSink(LogToStandardError, nullptr);
            probe->Collide(scaled, 0);
        },
        "ERROR: Collision only allowed with cahed sprites!\n"
        "SpriteResource 'hero' for Action 'Stand' Frame 0 scale 2\\.000000, 1\\.500000\n.*" + uncachedScale);
    EXPECT_DEATH(
        {
            MvSetDebugSink(LogToStandardError, nullptr);
            hero->GetCollisionMask(scaled, 0);
        },
        "ERROR: Collision only allowed with cahed sprites!\n"
        "SpriteResource 'hero' for Action 'Stand' Frame 0 scale 2\\.000000, 1\\.500000\n.*" + uncachedScale);
    // Own scale 1.0 under a scaled parent: the action's own check stops it, silently.
    EXPECT_DEATH(
        {
            MvSetDebugSink(LogToStandardError, nullptr);
            hero->GetCollisionMask(inside, 0);
        },
        "^[^E]*" + MvFailedCheck("entry != nullptr"));
}

TEST_F(CollisionDeathTest, BrokenPreconditionsAreCaught)
{
    MvSpriteNode* a = Sprite(layer, {"R"}, 10, 10);
    MvSpriteNode* b = Sprite(layer, {"R"}, 10, 10);
    Recompute();
    MvGrowArray<MvDrawableNode*>* none = nullptr;
    const char* const treeWindow = "window >= 0 && window < engine_->WindowCount()";
    const char* const showsThisResource = "sprite != nullptr && sprite->SpriteResource() == this";
    const MvDeathCase cases[] = {
        {"Collide with nothing", [&] { a->Collide(nullptr, 0); }, "other != nullptr"},
        {"Collide in window MvWindowCount", [&] { a->Collide(b, MvWindowCount); },
         "window >= 0 && window < MvWindowCount"},
        {"Collide in window -1", [&] { a->Collide(b, -1); }, "window >= 0 && window < MvWindowCount"},
        {"CollideWithChildrenOf without hits", [&] { s.Tree().CollideWithChildrenOf(a, layer, none, 0); },
         "node != nullptr && parent != nullptr && hits != nullptr"},
        {"CollideWithChildrenOf without a parent", [&] { s.Tree().CollideWithChildrenOf(a, nullptr, &hits, 0); },
         "node != nullptr && parent != nullptr && hits != nullptr"},
        {"CollideWithChildrenOf without a node", [&] { s.Tree().CollideWithChildrenOf(nullptr, layer, &hits, 0); },
         "node != nullptr && parent != nullptr && hits != nullptr"},
        {"CollideWithSiblings without hits", [&] { s.Tree().CollideWithSiblings(a, none, 0); },
         "node != nullptr && hits != nullptr"},
        {"CollideWithAll without hits", [&] { s.Tree().CollideWithAll(a, none, 0); },
         "node != nullptr && hits != nullptr"},
        {"CollideWithAll past the last window", [&] { s.Tree().CollideWithAll(a, &hits, s.stage->WindowCount()); },
         treeWindow},
        {"CollideWithSiblings in window -1", [&] { s.Tree().CollideWithSiblings(a, &hits, -1); }, treeWindow},
        // A resource answers only for sprite nodes that show it.
        {"a sprite of another resource", [&] { a->SpriteResource()->GetCollisionMask(b, 0); }, showsThisResource},
        {"a node that is no sprite", [&] { a->SpriteResource()->GetCollisionMask(layer, 0); }, showsThisResource},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
