// Nodes that cover no pixel: a 1 x 1 picture scaled below one pixel, across, down or both,
// down to the smallest scale 16.16 holds, for every node kind on a stage over a 32-bit
// surface. Such a node queues, draws, hits and collides with nothing, wherever it moves, and
// is back (drawn, picked, colliding, its rectangle repainted) once it is scaled up again.

#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvCanvasNode.h"
#include "MvCanvasResource.h"
#include "MvFontResource.h"
#include "MvSpriteNode.h"
#include "MvTextNode.h"
#include "MvTileNode.h"
#include "MvTileResource.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using scenetest::Raw;
using scenetest::StageOnScreen;

namespace {

const MvFixed kOne = MvFixed::FromInt(1);

// Scales under which a 1 x 1 picture at a whole position covers no pixel. Both edges
// round with RoundToInt (up only within 1/32), so a side stays empty below 31/32.
const struct {
    const char* what;
    MvFixed x, y;
} kNothingScales[] = {
    {"the smallest 16.16 scale", MvFixed::FromRaw(1), MvFixed::FromRaw(1)},
    {"1/256", MvFixed::FromRaw(256), MvFixed::FromRaw(256)},
    {"one half", MvFixed::FromRaw(MvFixedOne / 2), MvFixed::FromRaw(MvFixedOne / 2)},
    {"just below 31/32", MvFixed::FromRaw(63487), MvFixed::FromRaw(63487)},
    {"a whole column, no row", kOne, MvFixed::FromRaw(1)},
    {"no column, two rows", MvFixed::FromRaw(1), MvFixed::FromInt(2)},
};

enum Kind { Sprite, CachedSprite, Tile, Text, Canvas };

const struct {
    const char* name;
    Kind kind;
    bool collides; // tile nodes never collide
} kKinds[] = {
    {"sprite", Sprite, true},
    {"sprite with a scale cache", CachedSprite, true},
    {"tile", Tile, false},
    {"text", Text, true},
    {"canvas", Canvas, true},
};

// A 40 x 30 stage with one layer holding a green 3 x 3 probe sprite at (9, 9) and, above
// it, the node under test: a red 1 x 1 picture of its kind at (10, 10), at scale 1 and
// drawn. The resources come first, so that they outlive the nodes.
class Scene {
public:
    explicit Scene(Kind kind)
        : dot(restest::MakeSprite("dot", 1, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}})),
          square(restest::MakeSprite("square", 2, {{"Stand", 1, {{{"GGG", "GGG", "GGG"}, 0, 0, 0, 0}}}})),
          canvas(new MvCanvasResource("dot", 1, 1, true)), s(40, 30)
    {
        SurfacePtr red = restest::MakePicture({"R"});
        MvPaintTarget picture(red.get());
        tile.reset(new MvTileResource("dot", picture, 0, 0, 1));
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            font.reset(new MvFontResource("dot", picture, 65, 32, MvFontResource::FixedCells, 1));
        }
        canvas->Pixels()[0] = PaletteColor('R');
        canvas->NotifyChanged();
        for (const auto& scale : kNothingScales) {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            dot->AddScaleCache(scale.x, scale.y);
        }

        layer = s.Insert(nullptr, new MvSceneNode());
        probe = s.Insert(layer, new MvSpriteNode(square.get()));
        probe->MoveTo(9, 9);
        node = s.Insert(layer, Make(kind));
        node->MoveTo(10, 10);
        s.FrameRects();
    }

    // A new node of kind showing the red 1 x 1 picture, detached.
    MvDrawableNode* Make(Kind kind)
    {
        switch (kind) {
        case Sprite: return new MvSpriteNode(plainDot());
        case CachedSprite: return new MvSpriteNode(dot.get());
        case Tile: return new MvTileNode(tile.get());
        case Text: return new MvTextNode(font.get(), "A");
        case Canvas: return new MvCanvasNode(canvas.get());
        }
        return nullptr;
    }

    // Whether the node is found colliding with the probe, asked each way and through the
    // tree's queries; the answers must agree.
    bool Collides()
    {
        MvGrowArray<MvDrawableNode*> hits;
        const bool fromProbe = s.Tree().CollideWithChildrenOf(probe, layer, &hits, 0);
        EXPECT_EQ(fromProbe, hits.Count() == 1 && hits[0] == node);
        const bool fromNode = s.Tree().CollideWithAll(node, &hits, 0);
        EXPECT_EQ(fromNode, hits.Count() == 1 && hits[0] == probe);
        EXPECT_EQ(node->Collide(probe, 0), fromProbe);
        EXPECT_EQ(probe->Collide(node, 0), fromProbe);
        EXPECT_EQ(fromNode, fromProbe);
        return fromProbe;
    }

    std::unique_ptr<MvSpriteResource> dot;
    std::unique_ptr<MvSpriteResource> square;
    std::unique_ptr<MvSpriteResource> uncached;
    std::unique_ptr<MvTileResource> tile;
    std::unique_ptr<MvFontResource> font;
    std::unique_ptr<MvCanvasResource> canvas;
    StageOnScreen s;
    MvSceneNode* layer;
    MvSpriteNode* probe;
    MvDrawableNode* node;

private:
    // The same red dot, without any scale cached.
    MvSpriteResource* plainDot()
    {
        if (!uncached)
            uncached.reset(restest::MakeSprite("plain dot", 3, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}}));
        return uncached.get();
    }
};

const Uint32 kRed = Raw(PaletteColor('R'));
const Uint32 kGreen = Raw(PaletteColor('G'));
const Uint32 kBlack = 0;

TEST(MvSubPixelNode, ANodeScaledBelowAPixelIsNothingUntilScaledUpAgain)
{
    for (const auto& k : kKinds) {
        for (const auto& scale : kNothingScales) {
            SCOPED_TRACE(std::string(k.name) + " at " + scale.what);
            Scene scene(k.kind);
            StageOnScreen& s = scene.s;
            ASSERT_EQ(s.screen.Pixel(10, 10), kRed);
            ASSERT_EQ(s.PickedAt(10, 10), scene.node);
            ASSERT_EQ(scene.Collides(), k.collides);

            // Scaled down: the pixel it covered is repainted without it, once.
            scene.node->SetScaling(scale.x, scale.y);
            EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{R(10, 10, 10, 10)});
            EXPECT_FALSE(scene.node->Bounds(0).IsValid());
            EXPECT_TRUE(scene.node->CoversNothing(0));
            EXPECT_EQ(s.screen.Pixel(10, 10), kGreen);
            EXPECT_EQ(s.PickedAt(10, 10), scene.probe);
            EXPECT_FALSE(scene.Collides());

            // Moved or changed while it covers nothing: nothing to repaint, nothing drawn.
            scene.node->MoveTo(20, 20);
            EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{});
            scene.node->Invalidate(-1);
            EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{});
            EXPECT_EQ(s.screen.Pixel(20, 20), kBlack);
            EXPECT_EQ(s.PickedAt(20, 20), nullptr);

            // Scaled up again: drawn, picked and colliding where it now is.
            scene.node->SetScaling(kOne, kOne);
            EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{R(20, 20, 20, 20)});
            EXPECT_EQ(scene.node->Bounds(0), R(20, 20, 20, 20));
            EXPECT_EQ(s.screen.Pixel(20, 20), kRed);
            EXPECT_EQ(s.PickedAt(20, 20), scene.node);
            scene.probe->MoveTo(19, 19);
            s.FrameRects();
            EXPECT_EQ(scene.Collides(), k.collides);
        }
    }
}

// Inserted already scaled to nothing, a node is accepted, queues and draws nothing, and
// shows once scaled up; the same goes for a whole layer scaled to nothing.
TEST(MvSubPixelNode, ANodeCanJoinTheTreeCoveringNothing)
{
    const MvFixed smallest = MvFixed::FromRaw(1);
    for (const auto& k : kKinds) {
        SCOPED_TRACE(k.name);
        Scene scene(k.kind);
        StageOnScreen& s = scene.s;
        MvDrawableNode* late = scene.Make(k.kind);
        late->MoveTo(30, 5);
        late->SetScaling(smallest, smallest);
        s.Insert(nullptr, late);
        EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{});
        EXPECT_EQ(s.screen.Pixel(30, 5), kBlack);
        late->SetScaling(kOne, kOne);
        EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{R(30, 5, 30, 5)});
        EXPECT_EQ(s.screen.Pixel(30, 5), kRed);

        // The node and the probe shrink with their layer: what they covered is repainted,
        // and nothing else.
        scene.layer->SetScaling(smallest, smallest);
        const std::vector<MvIntRect> left = s.FrameRects();
        ASSERT_FALSE(left.empty());
        MvIntRect all = left[0];
        for (const MvIntRect& r : left)
            all.Merge(r);
        EXPECT_EQ(all, R(9, 9, 11, 11));
        EXPECT_FALSE(scene.layer->SubtreeBounds(0).IsValid());
        s.screen.ExpectPixels([&](int x, int y) { return x == 30 && y == 5 ? kRed : kBlack; }, "the layer gone");
        MvGrowArray<MvDrawableNode*> hits;
        EXPECT_FALSE(s.Tree().CollideWithAll(late, &hits, 0));
        scene.layer->SetScaling(kOne, kOne);
        s.FrameRects();
        EXPECT_EQ(s.screen.Pixel(10, 10), kRed);
    }
}

// Picking reaches a node's own test only through a subtree that holds the point; a node
// that covers nothing is not hit there although its picture, mapped back through its
// tiny scale, lies under the point.
TEST(MvSubPixelNode, ANodeCoveringNothingIsNotHitAboveItsVisibleChild)
{
    const MvFixed half = MvFixed::FromRaw(MvFixedOne / 2);
    for (const auto& k : kKinds) {
        SCOPED_TRACE(k.name);
        Scene scene(k.kind);
        StageOnScreen& s = scene.s;
        scene.node->SetScaling(half, half);
        MvSpriteNode* child = s.Insert(scene.node, new MvSpriteNode(scene.square.get()));
        child->SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2));
        s.FrameRects();
        ASSERT_EQ(child->Bounds(0), R(10, 10, 12, 12));
        MvGrowArray<MvSceneNode*> hits;
        int window = -1;
        s.Tree().PickAt(10, 10, MvPickAll, &hits, &window);
        ASSERT_EQ(hits.Count(), 2);
        EXPECT_EQ(hits[0], child);
        EXPECT_EQ(hits[1], scene.probe);
    }
}

} // namespace
