// Canvas nodes: the canvas drawn on every screen format and redrawn when its pixels
// change, the node as the canvas's user, the rectangles a change repaints, picking,
// pixel-exact collision with sprites, texts and canvases (and where it stops: under a
// scaled ancestor), cloning and the broken preconditions.

#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvCanvasNode.h"
#include "MvCanvasResource.h"
#include "MvFontResource.h"
#include "MvPixelBlock.h"
#include "MvSpriteNode.h"
#include "MvTextNode.h"
#include "MvTileNode.h"
#include "MvTileResource.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using scenetest::StageOnFormat;
using scenetest::StageOnScreen;

namespace {

const MvFixed kTwo = MvFixed::FromInt(2);
const MvFixed kHalf = MvFixed::FromRaw(MvFixedOne / 2);

// A 3 x 2 picture with two transparent pixels, one in each row.
const std::vector<std::string> kPicture = {
    "RG.",
    "B.W",
};

const std::string kPalette = "RGBW1";

// Writes the picture's colours into the canvas, as program code paints, and says so.
void Paint(MvCanvasResource* canvas, const std::vector<std::string>& rows)
{
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            canvas->Pixels()[y * static_cast<size_t>(canvas->Width()) + x] = PaletteColor(rows[y][x]);
    canvas->NotifyChanged();
}


class CanvasNodeTest : public testing::Test {
protected:
    CanvasNodeTest()
        : canvas(new MvCanvasResource("paint", 3, 2, true)),
          dot(restest::MakeSprite("dot", 1, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}}))
    {
        Paint(canvas.get(), kPicture);
    }

    // Declared before every stage, so they outlive the nodes that show them.
    std::unique_ptr<MvCanvasResource> canvas;
    std::unique_ptr<MvSpriteResource> dot;
};

TEST_F(CanvasNodeTest, TheNodeIsItsCanvassUserForItsWholeLife)
{
    {
        MvCanvasNode node(canvas.get());
        EXPECT_EQ(node.CanvasResource(), canvas.get());
        EXPECT_EQ(node.Resource(), canvas.get());
        EXPECT_EQ(node.Quality(), MvPixelBlock::QualityNearest);
        EXPECT_EQ(node.AsCanvasNode(), &node);
        EXPECT_EQ(node.AsDrawable(), &node);
        EXPECT_EQ(node.AsSprite(), nullptr);
        EXPECT_EQ(node.AsTileNode(), nullptr);
        EXPECT_EQ(node.AsTextNode(), nullptr);
        ASSERT_EQ(canvas->UserCount(), 1);
        EXPECT_EQ(canvas->User(0), &node);
    }
    EXPECT_EQ(canvas->UserCount(), 0);

    StageOnScreen s(20, 10);
    MvCanvasNode* first = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
    MvCanvasNode* second = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
    ASSERT_EQ(canvas->UserCount(), 2);
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    s.Tree().RemoveNode(first);
    ASSERT_EQ(canvas->UserCount(), 1);
    EXPECT_EQ(canvas->User(0), second);
}

TEST_F(CanvasNodeTest, TheCanvasIsDrawnAndRedrawnWhenPaintedOnEveryFormat)
{
    for (const ScreenFormat& format : restest::kScreenFormats) {
        SCOPED_TRACE(format.name);
        StageOnFormat s(format, 9, 6);
        MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
        node->MoveTo(1, 1);
        EXPECT_EQ(s.DrawAndShow(kPalette), ".........|"
                                           ".RG......|"
                                           ".B.W.....|"
                                           ".........|"
                                           ".........|"
                                           ".........");
        Paint(canvas.get(), {"1G1", "BWW"});
        EXPECT_EQ(s.DrawAndShow(kPalette), ".........|"
                                           ".1G1.....|"
                                           ".BWW.....|"
                                           ".........|"
                                           ".........|"
                                           ".........");
        Paint(canvas.get(), kPicture);
        node->SetScaling(kTwo, kTwo);
        EXPECT_EQ(s.DrawAndShow(kPalette), ".........|"
                                           ".RRGG....|"
                                           ".RRGG....|"
                                           ".BB..WW..|"
                                           ".BB..WW..|"
                                           ".........");
    }
}

TEST_F(CanvasNodeTest, AChangeRepaintsTheCanvasAndRepeatingASettingRepaintsNothing)
{
    struct Case {
        const char* what;
        std::function<void(MvCanvasNode*)> change;
        std::vector<MvIntRect> repainted;
    };
    const Case cases[] = {
        {"nothing", [](MvCanvasNode*) {}, {}},
        {"the same quality", [](MvCanvasNode* n) { n->SetQuality(MvPixelBlock::QualityNearest); }, {}},
        {"another quality", [](MvCanvasNode* n) { n->SetQuality(MvPixelBlock::QualityBilinear); }, {R(4, 5, 6, 6)}},
        {"new pixels", [this](MvCanvasNode*) { Paint(canvas.get(), {"WWW", "WWW"}); }, {R(4, 5, 6, 6)}},
        {"moved", [](MvCanvasNode* n) { n->MoveTo(5, 5); }, {R(4, 5, 7, 6)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StageOnScreen s(20, 12);
        MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
        node->MoveTo(4, 5);
        s.FrameRects();
        c.change(node);
        EXPECT_EQ(node->IsInvalid(0), !c.repainted.empty());
        EXPECT_EQ(s.FrameRects(), c.repainted);
    }
}

TEST_F(CanvasNodeTest, BoundsCoverTheCanvasUnderTheScreenTransform)
{
    StageOnScreen s(40, 30);
    s.Tree().SceneRoot()->MoveTo(5, 1);
    MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
    node->MoveTo(10, 20);
    s.stage->Draw(false);
    EXPECT_EQ(node->Bounds(0), R(15, 21, 17, 22));
    MvIntRect box;
    node->QueryBoundingBox(&box, 0);
    EXPECT_EQ(box, R(15, 21, 17, 22));
    node->SetScaling(kTwo, MvFixed::FromInt(3));
    s.stage->Draw(false);
    EXPECT_EQ(node->Bounds(0), R(15, 21, 20, 26));
    node->QueryBoundingBox(&box, 0);
    EXPECT_EQ(box, R(15, 21, 20, 26));
}

// The canvas's top-left corner is at (10, 10); at scale 2 a screen point is taken back to
// the canvas's pixel (x - 10) / 2, (y - 10) / 2. A canvas without alpha is hit everywhere.
TEST_F(CanvasNodeTest, PickingHitsTheCanvasesVisiblePixels)
{
    struct Case {
        bool alpha;
        bool scaled;
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        {true, false, 10, 10, true},  {true, false, 12, 10, false}, {true, false, 11, 11, false},
        {true, false, 12, 11, true},  {true, false, 13, 10, false}, {true, false, 10, 9, false},
        {true, true, 13, 12, false},  {true, true, 14, 12, true},   {true, true, 15, 13, true},
        {false, false, 12, 10, true}, {false, false, 11, 11, true}, {false, false, 13, 11, false},
    };
    std::unique_ptr<MvCanvasResource> solid(new MvCanvasResource("solid", 3, 2, false));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.alpha ? "" : "solid ") + (c.scaled ? "scaled " : "") + "at " +
                     std::to_string(c.x) + "," + std::to_string(c.y));
        StageOnScreen s(40, 30);
        MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(c.alpha ? canvas.get() : solid.get()));
        node->MoveTo(10, 10);
        if (c.scaled)
            node->SetScaling(kTwo, kTwo);
        s.stage->Draw(false);
        EXPECT_EQ(s.PickedAt(c.x, c.y), c.hit ? node : nullptr);
    }

    StageOnScreen s(40, 30);
    MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
    MvColorXform invisible;
    invisible.SetAlpha(0);
    node->SetColorXform(invisible);
    s.stage->Draw(false);
    MvGrowArray<MvSceneNode*> hits;
    EXPECT_FALSE(node->TestPoint(0, 0, 0, &hits, 0)) << "alpha 0";
    node->SetColorXform(MvColorXform());
    node->SetShown(false);
    s.stage->Draw(false);
    EXPECT_FALSE(node->TestPoint(0, 0, 0, &hits, 0)) << "hidden";
}

// A canvas at (10, 10), and a sprite whose bounds always overlap it: the sprite's opaque
// pixels decide.
class CanvasCollisionTest : public CanvasNodeTest {
protected:
    CanvasCollisionTest() : s(60, 40)
    {
        node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
        node->SetName("paint");
        node->MoveTo(10, 10);
    }

    MvSpriteNode* Sprite(const std::vector<std::string>& picture, int x, int y)
    {
        sprites.emplace_back(restest::MakeSprite("probe", 2, {{"Stand", 1, {{picture, 0, 0, 0, 0}}}}));
        MvSpriteNode* sprite = s.Insert(nullptr, new MvSpriteNode(sprites.back().get()));
        sprite->MoveTo(x, y);
        s.Tree().Recompute();
        EXPECT_TRUE(sprite->Bounds(0).Overlaps(node->Bounds(0))) << "every case reaches the bit maps";
        return sprite;
    }

    std::vector<std::unique_ptr<MvSpriteResource>> sprites;
    StageOnScreen s;
    MvCanvasNode* node;
};

TEST_F(CanvasCollisionTest, ACanvasCollidesWithASpriteExactlyWhereBothArePainted)
{
    struct Case {
        const char* what;
        std::vector<std::string> sprite;
        int x, y;
        bool collide;
    };
    const Case cases[] = {
        {"a dot on R", {"R"}, 10, 10, true},
        {"a dot on W", {"R"}, 12, 11, true},
        {"a dot in the top row's hole", {"R"}, 12, 10, false},
        {"a dot in the bottom row's hole", {"R"}, 11, 11, false},
        {"a diagonal through both holes", {".R", "R."}, 11, 10, false},
        {"the other diagonal", {"R.", ".R"}, 11, 10, true},
        {"a frame around the canvas, its inside clear", {"RRRRR", "R...R", "R...R", "RRRRR"}, 9, 9, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvSpriteNode* sprite = Sprite(c.sprite, c.x, c.y);
        EXPECT_EQ(node->Collide(sprite, 0), c.collide);
        EXPECT_EQ(sprite->Collide(node, 0), c.collide);
        MvGrowArray<MvDrawableNode*> hits;
        EXPECT_EQ(s.Tree().CollideWithAll(sprite, &hits, 0), c.collide);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.Tree().RemoveNode(sprite);
    }
}

TEST_F(CanvasCollisionTest, NewPixelsCollideOnceTheCanvasIsToldOfThem)
{
    MvSpriteNode* sprite = Sprite({"R"}, 12, 10);
    ASSERT_FALSE(node->Collide(sprite, 0));
    Paint(canvas.get(), {"RGR", "B.W"});
    s.Tree().Recompute();
    EXPECT_TRUE(node->Collide(sprite, 0));
    Paint(canvas.get(), {"...", "..."});
    s.Tree().Recompute();
    EXPECT_FALSE(sprite->Collide(node, 0)) << "a canvas cleared to transparent";
}

// The canvas's map is made at the node's own scale; at scale 2 its pixel (1, 1), a hole,
// covers (12, 12) to (13, 13).
TEST_F(CanvasCollisionTest, AScaledCanvasCollidesAsItIsDrawn)
{
    node->SetScaling(kTwo, kTwo);
    struct Case {
        int x, y;
        bool collide;
    };
    const Case cases[] = {{15, 13, true}, {13, 12, false}, {12, 13, false}, {11, 13, true}, {14, 10, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        MvSpriteNode* sprite = Sprite({"R"}, c.x, c.y);
        EXPECT_EQ(node->Collide(sprite, 0), c.collide);
        EXPECT_EQ(sprite->Collide(node, 0), c.collide);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.Tree().RemoveNode(sprite);
    }
}

// Under a scaled ancestor the canvas's map (made at the node's own scale) has another size
// than the picture on screen: the node does not collide and says why, instead of comparing
// a map that does not fit.
TEST_F(CanvasCollisionTest, UnderAScaledAncestorACanvasDoesNotCollideAndSaysWhy)
{
    const MvFixed one = MvFixed::FromRaw(MvFixedOne);
    struct Case {
        const char* what;
        MvFixed parentXScale, parentYScale;
        MvFixed ownScale;
    };
    const Case cases[] = {
        {"an enlarged layer", kTwo, kTwo, one},
        {"a layer stretched only from top to bottom", one, kTwo, one},
        {"a layer that undoes the node's scale", kHalf, kHalf, kTwo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvSceneNode* layer = s.Insert(nullptr, new MvSceneNode());
        layer->SetScaling(c.parentXScale, c.parentYScale);
        MvCanvasNode* scaled = s.Insert(layer, new MvCanvasNode(canvas.get()));
        scaled->SetName("scaled");
        scaled->MoveTo(10, 10);
        scaled->SetScaling(c.ownScale, c.ownScale);
        MvSpriteNode* sprite = Sprite({"R"}, 10, 10);
        sprite->MoveTo(scaled->Bounds(0).left, scaled->Bounds(0).top); // on the scaled canvas's R
        s.Tree().Recompute();
        EXPECT_FALSE(scaled->CollisionMaskFits(0));
        MvLogCapture log(MvLogCapture::QuietStdout);
        EXPECT_FALSE(scaled->Collide(sprite, 0));
        EXPECT_FALSE(sprite->Collide(scaled, 0));
        EXPECT_TRUE(log.Contains("Canvas node 'scaled': a scaled ancestor gives it another size than its canvas's "
                                 "collision map, so it does not collide\n"))
            << log.Text();
        s.Tree().RemoveNode(layer);
        s.Tree().RemoveNode(sprite);
    }
    // Beside them the node at the root fits its map.
    EXPECT_TRUE(node->CollisionMaskFits(0));
}

TEST_F(CanvasCollisionTest, CanvasesCollideWithCanvasesAndTextsButNeverWithTiles)
{
    std::unique_ptr<MvCanvasResource> other(new MvCanvasResource("other", 2, 1, true));
    Paint(other.get(), {"R."});
    MvCanvasNode* second = s.Insert(nullptr, new MvCanvasNode(other.get()));
    second->MoveTo(12, 10); // its R in the canvas's top-row hole
    s.Tree().Recompute();
    EXPECT_FALSE(node->Collide(second, 0));
    second->MoveTo(12, 11); // on W
    s.Tree().Recompute();
    EXPECT_TRUE(node->Collide(second, 0));
    EXPECT_TRUE(second->Collide(node, 0));

    SurfacePtr glyphs = restest::MakePicture({".R", "R."});
    MvPaintTarget image(glyphs.get());
    std::unique_ptr<MvFontResource> font;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        font.reset(new MvFontResource("font", image, 65, 32, MvFontResource::FixedCells, 1));
    }
    MvTextNode* text = s.Insert(nullptr, new MvTextNode(font.get(), "A"));
    text->MoveTo(11, 10); // the diagonal through both holes
    s.Tree().Recompute();
    EXPECT_FALSE(node->Collide(text, 0));
    text->MoveTo(10, 9); // its lower pixel on R
    s.Tree().Recompute();
    EXPECT_TRUE(node->Collide(text, 0));
    EXPECT_TRUE(text->Collide(node, 0));

    std::unique_ptr<MvTileResource> tile;
    {
        SurfacePtr square = restest::MakePicture({"RR", "RR"});
        MvPaintTarget source(square.get());
        tile.reset(new MvTileResource("tile", source, 0, 0, 2));
    }
    MvTileNode* tileNode = s.Insert(nullptr, new MvTileNode(tile.get()));
    tileNode->MoveTo(10, 10);
    s.Tree().Recompute();
    EXPECT_FALSE(node->Collide(tileNode, 0));
    EXPECT_FALSE(tileNode->Collide(node, 0));

    MvLogCapture quiet(MvLogCapture::QuietStdout);
    s.Tree().RemoveNode(second);
    s.Tree().RemoveNode(text);
    s.Tree().RemoveNode(tileNode);
}

TEST_F(CanvasNodeTest, CloneShowsTheSameCanvasAsAnotherUser)
{
    StageOnScreen s(40, 30);
    MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
    node->SetQuality(MvPixelBlock::QualityBest);
    node->MoveTo(12, 9);
    node->SetName("original");
    node->SetId(40);
    node->SetDepth(6);

    std::unique_ptr<MvSceneNode> copy(node->Clone());
    MvCanvasNode* clone = copy->AsCanvasNode();
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, node);
    EXPECT_EQ(clone->CanvasResource(), canvas.get());
    EXPECT_EQ(clone->Quality(), MvPixelBlock::QualityBest);
    ASSERT_EQ(canvas->UserCount(), 2);
    EXPECT_EQ(canvas->User(1), clone);
    EXPECT_EQ(clone->PosX(0), 0);
    EXPECT_EQ(clone->PosY(0), 0);
    EXPECT_STREQ(clone->Name(), "");
    EXPECT_EQ(clone->Id(), -1);
    EXPECT_EQ(clone->Depth(), 0);
    EXPECT_EQ(clone->Stage(), nullptr);
}

typedef CanvasNodeTest CanvasNodeDeathTest;

TEST_F(CanvasNodeDeathTest, BrokenPreconditionsAreCaught)
{
    EXPECT_DEATH(MvCanvasNode node(nullptr), "canvas != nullptr");
    MvCanvasNode node(canvas.get());
    EXPECT_DEATH(node.SetQuality(0), "quality >= MvPixelBlock::QualityNearest");
    EXPECT_DEATH(node.SetQuality(4), "quality <= MvPixelBlock::QualityBest");
    EXPECT_DEATH(node.CollisionMaskFits(MvWindowCount), "window >= 0 && window < MvWindowCount");
    MvGrowArray<MvSceneNode*>* noHits = nullptr;
    EXPECT_DEATH(node.TestPoint(0, 0, 0, noHits, 0), "hits != nullptr");
    EXPECT_DEATH(node.QueryBoundingBox(nullptr, 0), "out != nullptr");
    // The canvas must outlive the nodes that show it.
    EXPECT_DEATH(canvas.reset(), "userCount_ == 0");
}

TEST_F(CanvasNodeDeathTest, DrawingAHiddenCanvasIsCaught)
{
    StageOnScreen s(40, 30);
    MvCanvasNode* node = s.Insert(nullptr, new MvCanvasNode(canvas.get()));
    s.stage->Draw(false);
    node->SetShown(false);
    EXPECT_DEATH(node->Draw(&MvTestAccess::PaintTarget(s.stage.get()), R(0, 0, 39, 29), 0),
                 "IsShownInTree\\(window\\)");
    EXPECT_DEATH(node->Draw(nullptr, R(0, 0, 39, 29), 0), "paintInfo != nullptr");
}

} // namespace
