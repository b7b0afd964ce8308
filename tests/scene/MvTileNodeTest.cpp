// Tile nodes: the tile drawn in its eight orientations on every screen format, scaled with
// the node's quality, the rectangles a change repaints, picking, that tiles never collide,
// cloning and the broken preconditions.

#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvPixelBlock.h"
#include "MvSpriteNode.h"
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

// A 3 x 3 tile of six colours with a transparent bottom-right corner: no two pixels alike,
// so every turn and mirror shows.
const std::vector<std::string> kTilePicture = {
    "RGB",
    "W12",
    "34.",
};

const std::string kPalette = "RGBW1234";

MvTileResource* MakeTile(const std::vector<std::string>& picture)
{
    SurfacePtr surface = restest::MakePicture(picture);
    MvPaintTarget source(surface.get());
    return new MvTileResource("tile", source, 0, 0, static_cast<int>(picture.size()));
}


class TileNodeTest : public testing::Test {
protected:
    TileNodeTest() : tile(MakeTile(kTilePicture)) {}

    std::unique_ptr<MvTileResource> tile;
};

TEST_F(TileNodeTest, NewNodeShowsTheTileInTheGivenOrientation)
{
    MvTileNode node(tile.get(), 5);
    EXPECT_EQ(node.TileResource(), tile.get());
    EXPECT_EQ(node.Resource(), tile.get());
    EXPECT_EQ(node.Orientation(), 5);
    EXPECT_EQ(node.Quality(), MvPixelBlock::QualityBest);
    EXPECT_EQ(node.AsTileNode(), &node);
    EXPECT_EQ(node.AsDrawable(), &node);
    EXPECT_EQ(node.AsSprite(), nullptr);
    EXPECT_EQ(node.AsTextNode(), nullptr);
    EXPECT_EQ(node.AsCanvasNode(), nullptr);
    EXPECT_EQ(MvTileNode(tile.get()).Orientation(), 0);
}

// Orientation n turns the tile n mod 4 quarter turns clockwise, then mirrors it top to
// bottom from 4 on; the tile's top-left corner is at the node's position (1, 1).
TEST_F(TileNodeTest, EachOrientationIsDrawnAtTheNodesPositionOnEveryFormat)
{
    const std::vector<std::string> turned[8] = {
        {"RGB", "W12", "34."}, {"3WR", "41G", ".2B"}, {".43", "21W", "BGR"}, {"B2.", "G14", "RW3"},
        {"34.", "W12", "RGB"}, {".2B", "41G", "3WR"}, {"BGR", "21W", ".43"}, {"RW3", "G14", "B2."},
    };
    for (const ScreenFormat& format : restest::kScreenFormats) {
        for (int orientation = 0; orientation < 8; ++orientation) {
            SCOPED_TRACE(std::string(format.name) + ", orientation " + std::to_string(orientation));
            StageOnFormat s(format, 5, 5);
            MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get(), orientation));
            node->MoveTo(1, 1);
            const std::vector<std::string>& t = turned[orientation];
            const std::string expected = ".....|." + t[0] + ".|." + t[1] + ".|." + t[2] + ".|.....";
            EXPECT_EQ(s.DrawAndShow(kPalette), expected);
        }
    }
}

// At scale 2 nearest sampling doubles every pixel; the other qualities blend neighbours,
// which shows that the node's quality reaches the tile.
TEST_F(TileNodeTest, AScaledTileIsSampledWithTheNodesQuality)
{
    for (const ScreenFormat& format : restest::kScreenFormats) {
        SCOPED_TRACE(format.name);
        StageOnFormat s(format, 8, 8);
        MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get(), 1));
        node->MoveTo(1, 1);
        node->SetScaling(kTwo, kTwo);
        node->SetQuality(MvPixelBlock::QualityNearest);
        EXPECT_EQ(s.DrawAndShow(kPalette), "........|"
                                           ".33WWRR.|"
                                           ".33WWRR.|"
                                           ".4411GG.|"
                                           ".4411GG.|"
                                           "...22BB.|"
                                           "...22BB.|"
                                           "........");
        node->SetQuality(MvPixelBlock::QualityBilinear);
        EXPECT_NE(s.DrawAndShow(kPalette).find('?'), std::string::npos) << "bilinear blends colours";
    }
}

TEST_F(TileNodeTest, AChangeRepaintsTheTileAndRepeatingASettingRepaintsNothing)
{
    struct Case {
        const char* what;
        std::function<void(MvTileNode*)> change;
        std::vector<MvIntRect> repainted;
    };
    const Case cases[] = {
        {"the same orientation", [](MvTileNode* n) { n->SetOrientation(3); }, {}},
        {"the same quality", [](MvTileNode* n) { n->SetQuality(MvPixelBlock::QualityBest); }, {}},
        {"another orientation", [](MvTileNode* n) { n->SetOrientation(6); }, {R(4, 5, 6, 7)}},
        {"another quality", [](MvTileNode* n) { n->SetQuality(MvPixelBlock::QualityNearest); }, {R(4, 5, 6, 7)}},
        {"moved apart", [](MvTileNode* n) { n->MoveTo(10, 5); }, {R(4, 5, 6, 7), R(10, 5, 12, 7)}},
        {"scaled", [](MvTileNode* n) { n->SetScaling(kTwo, kTwo); }, {R(4, 5, 9, 10)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StageOnScreen s(20, 12);
        MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get(), 3));
        node->MoveTo(4, 5);
        s.FrameRects();
        c.change(node);
        EXPECT_EQ(node->IsInvalid(0), !c.repainted.empty());
        EXPECT_EQ(s.FrameRects(), c.repainted);
    }
}

TEST_F(TileNodeTest, BoundsCoverTheTileUnderTheScreenTransform)
{
    StageOnScreen s(40, 30);
    s.Tree().SceneRoot()->MoveTo(5, 1);
    MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get(), 7));
    node->MoveTo(10, 20);
    s.stage->Draw(false);
    EXPECT_EQ(node->Bounds(0), R(15, 21, 17, 23));
    MvIntRect box;
    node->QueryBoundingBox(&box, 0);
    EXPECT_EQ(box, R(15, 21, 17, 23));

    node->SetScaling(kTwo, MvFixed::FromInt(3));
    s.stage->Draw(false);
    EXPECT_EQ(node->Bounds(0), R(15, 21, 20, 29));
    node->QueryBoundingBox(&box, 0);
    EXPECT_EQ(box, R(15, 21, 20, 29));
}

// The transparent pixel lies at the tile's bottom-right corner in orientation 0 and at
// its top-left corner in orientation 2; the tile's top-left corner is at (10, 10). At scale
// 2 a screen point is taken back to the tile's pixel (x - 10) / 2, (y - 10) / 2.
TEST_F(TileNodeTest, PickingHitsTheTilesVisiblePixelsInItsOrientation)
{
    struct Case {
        int orientation;
        bool scaled;
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        {0, false, 10, 10, true},  {0, false, 12, 12, false}, {0, false, 12, 11, true}, {0, false, 13, 10, false},
        {0, false, 9, 10, false},  {2, false, 10, 10, false}, {2, false, 12, 12, true}, {0, true, 15, 15, false},
        {0, true, 14, 14, false},  {0, true, 15, 12, true},   {0, true, 13, 13, true},  {0, true, 16, 15, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.orientation) + (c.scaled ? " scaled" : "") + " at " +
                     std::to_string(c.x) + "," + std::to_string(c.y));
        StageOnScreen s(40, 30);
        MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get(), c.orientation));
        node->MoveTo(10, 10);
        if (c.scaled)
            node->SetScaling(kTwo, kTwo);
        s.stage->Draw(false);
        EXPECT_EQ(s.PickedAt(c.x, c.y), c.hit ? node : nullptr);
    }
}

TEST_F(TileNodeTest, HiddenOrFadedOutTilesAreNotPicked)
{
    StageOnScreen s(40, 30);
    MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get()));
    node->MoveTo(10, 10);
    MvColorXform invisible;
    invisible.SetAlpha(0);
    s.Tree().SceneRoot()->SetColorXform(invisible);
    s.stage->Draw(false);
    MvGrowArray<MvSceneNode*> hits;
    EXPECT_FALSE(node->TestPoint(10, 10, 0, &hits, 0));
    s.Tree().SceneRoot()->SetColorXform(MvColorXform());
    node->SetShown(false);
    s.stage->Draw(false);
    EXPECT_FALSE(node->TestPoint(10, 10, 0, &hits, 0));
    node->SetShown(true);
    s.stage->Draw(false);
    EXPECT_TRUE(node->TestPoint(10, 10, 0, &hits, 0));
    EXPECT_EQ(hits.Count(), 1);
}

// Tiles have no collision bit maps: a tile over a sprite's opaque pixels meets nothing.
TEST_F(TileNodeTest, ATileNeverCollides)
{
    std::unique_ptr<MvSpriteResource> dot(restest::MakeSprite("dot", 1, {{"Stand", 1, {{{"RR", "RR"}, 0, 0, 0, 0}}}}));
    StageOnScreen s(40, 30);
    MvTileNode* a = s.Insert(nullptr, new MvTileNode(tile.get()));
    MvTileNode* b = s.Insert(nullptr, new MvTileNode(tile.get(), 4));
    MvSpriteNode* sprite = s.Insert(nullptr, new MvSpriteNode(dot.get()));
    a->MoveTo(10, 10);
    b->MoveTo(11, 11);
    sprite->MoveTo(10, 10);
    s.stage->Draw(false);
    ASSERT_TRUE(a->Bounds(0).Overlaps(sprite->Bounds(0)));
    EXPECT_FALSE(a->Collide(sprite, 0));
    EXPECT_FALSE(sprite->Collide(a, 0));
    EXPECT_FALSE(a->Collide(b, 0));
    MvGrowArray<MvDrawableNode*> hits;
    EXPECT_FALSE(s.Tree().CollideWithAll(sprite, &hits, 0));
    EXPECT_FALSE(s.Tree().CollideWithAll(a, &hits, 0));
    EXPECT_EQ(tile->GetCollisionMask(a, 0), nullptr);
}

TEST_F(TileNodeTest, CloneCopiesTileOrientationAndQualityOnly)
{
    StageOnScreen s(40, 30);
    MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get(), 6));
    node->SetQuality(MvPixelBlock::QualityBilinear);
    node->MoveTo(12, 9);
    node->SetName("original");
    node->SetId(40);
    node->SetDepth(6);

    std::unique_ptr<MvSceneNode> copy(node->Clone());
    MvTileNode* clone = copy->AsTileNode();
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, node);
    EXPECT_EQ(clone->TileResource(), tile.get());
    EXPECT_EQ(clone->Orientation(), 6);
    EXPECT_EQ(clone->Quality(), MvPixelBlock::QualityBilinear);
    EXPECT_EQ(clone->PosX(0), 0);
    EXPECT_EQ(clone->PosY(0), 0);
    EXPECT_STREQ(clone->Name(), "");
    EXPECT_EQ(clone->Id(), -1);
    EXPECT_EQ(clone->Depth(), 0);
    EXPECT_EQ(clone->Stage(), nullptr);
}

typedef TileNodeTest TileNodeDeathTest;

TEST_F(TileNodeDeathTest, BrokenPreconditionsAreCaught)
{
    EXPECT_DEATH(MvTileNode node(nullptr), "tile != nullptr \\(the last lookup that found nothing: ");
    EXPECT_DEATH(MvTileNode node(tile.get(), 8), "orientation >= 0 && orientation <= 7");
    EXPECT_DEATH(MvTileNode node(tile.get(), -1), "orientation >= 0 && orientation <= 7");
    MvTileNode node(tile.get());
    EXPECT_DEATH(node.SetOrientation(8), "orientation >= 0 && orientation <= 7");
    EXPECT_DEATH(node.SetQuality(0), "quality >= MvPixelBlock::QualityNearest");
    EXPECT_DEATH(node.SetQuality(4), "quality <= MvPixelBlock::QualityBest");
    MvGrowArray<MvSceneNode*>* noHits = nullptr;
    EXPECT_DEATH(node.TestPoint(0, 0, 0, noHits, 0), "hits != nullptr");
    EXPECT_DEATH(node.QueryBoundingBox(nullptr, 0), "out != nullptr");
}

TEST_F(TileNodeDeathTest, DrawingAHiddenTileIsCaught)
{
    StageOnScreen s(40, 30);
    MvTileNode* node = s.Insert(nullptr, new MvTileNode(tile.get()));
    s.stage->Draw(false);
    node->SetShown(false);
    EXPECT_DEATH(node->Draw(&MvTestAccess::PaintTarget(s.stage.get()), R(0, 0, 39, 29), 0),
                 "IsShownInTree\\(window\\)");
    EXPECT_DEATH(node->Draw(nullptr, R(0, 0, 39, 29), 0), "paintInfo != nullptr");
}

} // namespace
