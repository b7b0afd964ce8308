// Text nodes: glyph layout and drawing on every screen format, bounds and widths, the
// rectangles a new text repaints, empty texts in the tree, picking, collision with sprites
// and other texts (and its absence for scaled texts), fonts with absurd advances or no glyphs,
// cloning and the broken preconditions.

#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvCollisionMask.h"
#include "MvFontResource.h"
#include "MvMemoryStream.h"
#include "MvResourceReader.h"
#include "MvSpriteNode.h"
#include "MvTextNode.h"

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using scenetest::StageOnFormat;
using scenetest::StageOnScreen;

namespace {

const MvFixed kTwo = MvFixed::FromInt(2);
const MvFixed kHalf = MvFixed::FromRaw(MvFixedOne / 2);

// Three cells of 3 x 3 pixels for 'A', 'B' and 'C' (codes 65 to 67): an A with a hole at
// its top right, a B cross, a C of one pixel at the cell's centre. Every advance is 3, so
// the space (code 32) is 3 wide too.
const std::vector<std::string> kFontPicture = {
    "R...G....",
    "RR.GGG.B.",
    "R...G....",
};

const std::string kPalette = "RGB";

MvFontResource* MakeFont()
{
    SurfacePtr picture = restest::MakePicture(kFontPicture);
    MvPaintTarget image(picture.get());
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    return new MvFontResource("cells", image, 65, 32, MvFontResource::FixedCells, 3);
}

// A font as a file may hold it: one glyph a code from 65 on, each a single red pixel at the
// cell's top-left corner, with the given advances; without advances, a font without even
// the action that holds the glyphs.
MvFontResource* ReadFontWithAdvances(const std::vector<int32_t>& advances)
{
    restest::ByteBuilder payload;
    payload.Name("hand").U32(4).U32(advances.empty() ? 0 : 1);
    if (!advances.empty())
        payload.Name("NONE").U32(2).U32(static_cast<uint32_t>(advances.size()));
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    for (int32_t advance : advances) {
        MvRle frame;
        restest::CreateFrame(&frame, {"R"}, 0, 0, advance, 0);
        payload.Raw(restest::StoredImage(frame));
    }
    payload.U32(65).U16(MvFontResource::FixedCells).U32(32);
    MvMemoryStream in(payload.Bytes().data(), payload.Size());
    MvResourceReader reader(in.Stream(), "fonts.dat");
    MvFontResource* font = new MvFontResource(static_cast<uint32_t>(payload.Size()), reader);
    EXPECT_FALSE(reader.Failed()) << reader.Error();
    return font;
}


class TextNodeTest : public testing::Test {
protected:
    TextNodeTest() : font(MakeFont()), dot(restest::MakeSprite("dot", 1, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}})) {}

    std::unique_ptr<MvFontResource> font;
    std::unique_ptr<MvSpriteResource> dot;
};

TEST_F(TextNodeTest, NewNodeShowsItsTextInItsFont)
{
    MvTextNode node(font.get(), "AB");
    EXPECT_STREQ(node.Text(), "AB");
    EXPECT_EQ(node.FontResource(), font.get());
    EXPECT_EQ(node.Resource(), font.get());
    EXPECT_EQ(node.AsTextNode(), &node);
    EXPECT_EQ(node.AsDrawable(), &node);
    EXPECT_EQ(node.AsSprite(), nullptr);
    EXPECT_EQ(node.AsTileNode(), nullptr);
    EXPECT_EQ(node.AsCanvasNode(), nullptr);
}

// Each glyph's cell starts at the pen, which moves on by the advance; the space moves it
// and draws nothing, a code outside the font does neither.
TEST_F(TextNodeTest, GlyphsAreDrawnAtThePenOnEveryFormat)
{
    struct Case {
        const char* text;
        bool scaled;
        std::string expected;
    };
    const Case cases[] = {
        {"AB C", false,
         ".............."
         "|.R...G........"
         "|.RR.GGG....B.."
         "|.R...G........"
         "|.............."
         "|.............."
         "|.............."},
        {"CZA", false,
         ".............."
         "|....R........."
         "|..B.RR........"
         "|....R........."
         "|.............."
         "|.............."
         "|.............."},
        {"AC", true,
         ".............."
         "|.RR..........."
         "|.RR..........."
         "|.RRRR....BB..."
         "|.RRRR....BB..."
         "|.RR..........."
         "|.RR..........."},
        {"", false,
         ".............."
         "|.............."
         "|.............."
         "|.............."
         "|.............."
         "|.............."
         "|.............."},
    };
    for (const ScreenFormat& format : restest::kScreenFormats) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(format.name) + ", \"" + c.text + "\"" + (c.scaled ? " at scale 2" : ""));
            StageOnFormat s(format, 14, 7);
            MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), c.text));
            node->MoveTo(1, 1);
            if (c.scaled)
                node->SetScaling(kTwo, kTwo);
            EXPECT_EQ(s.DrawAndShow(kPalette), c.expected);
        }
    }
}

TEST_F(TextNodeTest, BoundsCoverTheGlyphsAndTheWidthIsThePensTravel)
{
    struct Case {
        const char* text;
        bool scaled;
        MvIntRect bounds; // invalid: the text shows no pixel
        int width;
    };
    const MvIntRect none = R(-1, -1, -2, -2);
    const Case cases[] = {
        {"AB C", false, R(1, 1, 11, 3), 12}, {" A", false, R(4, 1, 5, 3), 6}, {"C", false, R(2, 2, 2, 2), 3},
        {"Z", false, none, 0},               {"", false, none, 0},            {"  ", false, none, 6},
        {"AB C", true, R(1, 1, 22, 6), 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"" + (c.scaled ? " at scale 2" : ""));
        StageOnScreen s(40, 20);
        MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), c.text));
        node->MoveTo(1, 1);
        if (c.scaled)
            node->SetScaling(kTwo, kTwo);
        s.stage->Draw(false);
        EXPECT_EQ(node->TextWidth(), c.width);
        MvIntRect box;
        node->QueryBoundingBox(&box, 0);
        if (c.bounds.IsValid()) {
            EXPECT_EQ(node->Bounds(0), c.bounds);
            EXPECT_EQ(box, c.bounds);
        } else {
            EXPECT_FALSE(node->Bounds(0).IsValid());
            EXPECT_FALSE(box.IsValid());
        }
    }
}

// "AB" at (2, 2) covers (2, 2) to (7, 4).
TEST_F(TextNodeTest, ANewTextRepaintsWhatTheOldAndTheNewCoverAndTheSameTextNothing)
{
    struct Case {
        const char* text;
        std::vector<MvIntRect> repainted;
    };
    const Case cases[] = {
        {"AB", {}},
        {"ABC", {R(2, 2, 9, 4)}},
        {"C", {R(2, 2, 7, 4)}},
        {"AB ", {R(2, 2, 7, 4)}},
        {"", {R(2, 2, 7, 4)}},
        {"  B", {R(2, 2, 7, 4), R(8, 2, 10, 4)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        StageOnScreen s(30, 10);
        MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), "AB"));
        node->MoveTo(2, 2);
        s.FrameRects();
        node->SetText(c.text);
        EXPECT_STREQ(node->Text(), c.text);
        EXPECT_EQ(node->IsInvalid(0), !c.repainted.empty());
        EXPECT_EQ(s.FrameRects(), c.repainted);
        EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{}) << "the next frame repaints nothing";
    }
}

// A label may be blank for a while: it stays in the tree, shown, covering nothing.
TEST_F(TextNodeTest, AnEmptyTextLivesShownInTheTreeAndCoversNothing)
{
    StageOnScreen s(30, 10);
    MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), ""));
    node->MoveTo(2, 2);
    EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{});
    node->SetShown(false);
    EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{});
    node->SetShown(true);
    node->SetText("A");
    EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{R(2, 2, 3, 4)});
    EXPECT_EQ(s.screen.Pixel(2, 2), scenetest::Raw(PaletteColor('R')));
    node->SetText("");
    EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{R(2, 2, 3, 4)});
    EXPECT_EQ(s.screen.Pixel(2, 2), 0u);
    EXPECT_EQ(s.PickedAt(2, 2), nullptr);
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    s.Tree().RemoveNode(node);
}

// "AB C" at (10, 10): A's pixels are (10, 10), (10, 11), (11, 11) and (10, 12), B's cross is
// centred on (14, 11), the space covers columns 16 to 18 and C is the pixel (20, 11).
TEST_F(TextNodeTest, PickingHitsOnlyTheGlyphsVisiblePixels)
{
    struct Case {
        bool scaled;
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        {false, 10, 10, true}, {false, 11, 10, false}, {false, 11, 11, true}, {false, 14, 12, true},
        {false, 13, 10, false}, {false, 17, 11, false}, {false, 20, 11, true}, {false, 21, 11, false},
        {true, 13, 13, true},  {true, 12, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + (c.scaled ? " at scale 2" : ""));
        StageOnScreen s(40, 30);
        MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), "AB C"));
        node->MoveTo(10, 10);
        if (c.scaled)
            node->SetScaling(kTwo, kTwo);
        s.stage->Draw(false);
        EXPECT_EQ(s.PickedAt(c.x, c.y), c.hit ? node : nullptr);
    }

    StageOnScreen s(40, 30);
    MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), "A"));
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

// The same layout as the picking test: a one-pixel sprite on a glyph's pixel collides, one
// on a transparent pixel inside the text's bounds does not.
TEST_F(TextNodeTest, TextCollidesWithSpritesPixelForPixel)
{
    struct Case {
        const char* what;
        int x, y;
        bool collide;
    };
    const Case cases[] = {
        {"on A", 10, 10, true},          {"in A's hole", 11, 10, false}, {"on B", 14, 12, true},
        {"beside B's cross", 15, 12, false}, {"in the space", 17, 11, false}, {"on C", 20, 11, true},
    };
    StageOnScreen s(60, 30);
    MvTextNode* text = s.Insert(nullptr, new MvTextNode(font.get(), "AB C"));
    text->MoveTo(10, 10);
    MvSpriteNode* sprite = s.Insert(nullptr, new MvSpriteNode(dot.get()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sprite->MoveTo(c.x, c.y);
        s.Tree().Recompute();
        ASSERT_TRUE(text->Bounds(0).Overlaps(sprite->Bounds(0))) << "every case reaches the bit maps";
        EXPECT_EQ(text->Collide(sprite, 0), c.collide);
        EXPECT_EQ(sprite->Collide(text, 0), c.collide);
        MvGrowArray<MvDrawableNode*> hits;
        EXPECT_EQ(s.Tree().CollideWithAll(sprite, &hits, 0), c.collide);
    }
}

TEST_F(TextNodeTest, TextCollidesWithTextAndWithASpriteShowingItsFont)
{
    StageOnScreen s(60, 30);
    MvTextNode* text = s.Insert(nullptr, new MvTextNode(font.get(), "AB C"));
    text->MoveTo(10, 10);
    // C's pixel is one right of its cell's corner: on B's centre at (14, 11), then in the
    // space.
    MvTextNode* other = s.Insert(nullptr, new MvTextNode(font.get(), "C"));
    other->MoveTo(13, 10);
    s.Tree().Recompute();
    EXPECT_TRUE(text->Collide(other, 0));
    EXPECT_TRUE(other->Collide(text, 0));
    other->MoveTo(16, 10);
    s.Tree().Recompute();
    EXPECT_FALSE(text->Collide(other, 0));

    // A font is a sprite resource whose first action holds the glyphs: frame 0 is A.
    MvSpriteNode* glyph = s.Insert(nullptr, new MvSpriteNode(font.get()));
    glyph->MoveTo(9, 9);
    s.Tree().Recompute();
    EXPECT_TRUE(glyph->Collide(text, 0)) << "A's (1, 1) on A's (0, 0)";
    glyph->MoveTo(11, 8);
    s.Tree().Recompute();
    EXPECT_FALSE(text->Collide(glyph, 0)) << "the glyph's bottom pixel in A's hole";
}

TEST_F(TextNodeTest, ANewTextCollidesWithItsOwnPixels)
{
    StageOnScreen s(60, 30);
    MvTextNode* text = s.Insert(nullptr, new MvTextNode(font.get(), "AB C"));
    text->MoveTo(10, 10);
    MvSpriteNode* sprite = s.Insert(nullptr, new MvSpriteNode(dot.get()));
    sprite->MoveTo(10, 10);
    s.Tree().Recompute();
    ASSERT_TRUE(text->Collide(sprite, 0));

    // Before the recompute the new text's map does not fit the old bounds: no answer from
    // the map, and no assertion either.
    text->SetText("CA");
    EXPECT_FALSE(text->Collide(sprite, 0));
    s.Tree().Recompute();
    EXPECT_FALSE(text->Collide(sprite, 0)) << "C's cell is empty at its corner";
    sprite->MoveTo(11, 11);
    s.Tree().Recompute();
    EXPECT_TRUE(text->Collide(sprite, 0)) << "C's pixel";
    sprite->MoveTo(13, 10);
    s.Tree().Recompute();
    EXPECT_TRUE(sprite->Collide(text, 0)) << "the A after it";
}

// A scaled text has no map: it does not collide, and says so in one line instead of
// stopping the program. A scale that its parent undoes leaves the text at scale 1.
TEST_F(TextNodeTest, AScaledTextDoesNotCollideAndSaysWhy)
{
    StageOnScreen s(60, 40);
    MvTextNode* text = s.Insert(nullptr, new MvTextNode(font.get(), "AB"));
    text->SetName("score");
    text->MoveTo(10, 10);
    text->SetScaling(kTwo, kTwo);
    MvSpriteNode* sprite = s.Insert(nullptr, new MvSpriteNode(dot.get()));
    sprite->MoveTo(10, 10);
    s.Tree().Recompute();
    ASSERT_TRUE(text->Bounds(0).Overlaps(sprite->Bounds(0)));
    {
        MvLogCapture log(MvLogCapture::QuietStdout);
        EXPECT_FALSE(text->Collide(sprite, 0));
        EXPECT_FALSE(sprite->Collide(text, 0));
        EXPECT_EQ(text->CollisionMask(0), nullptr);
        EXPECT_NE(log.Text().find("Text node 'score' in font 'cells' is drawn at scale 2.000000, 2.000000: only "
                                  "text at scale 1 collides\n"),
                  std::string::npos)
            << log.Text();
    }

    MvSceneNode* shrunk = s.Insert(nullptr, new MvSceneNode());
    shrunk->SetScaling(kHalf, kHalf);
    shrunk->MoveTo(10, 10);
    MvTextNode* undone = s.Insert(shrunk, new MvTextNode(font.get(), "A"));
    undone->SetScaling(kTwo, kTwo);
    sprite->MoveTo(11, 11);
    s.Tree().Recompute();
    ASSERT_FALSE(undone->ScreenXform(0).HasScale());
    EXPECT_TRUE(undone->Collide(sprite, 0));
    sprite->MoveTo(11, 10);
    s.Tree().Recompute();
    EXPECT_FALSE(undone->Collide(sprite, 0));
}

// Advances read from a file may be anything: a glyph the pen cannot reach is left out, the
// width is held to int's range, and a map too large to make is not made.
TEST_F(TextNodeTest, AbsurdAdvancesFromAFileAreHandledWithoutHarm)
{
    struct Case {
        const char* what;
        std::vector<int32_t> advances;
        const char* text;
        MvIntRect bounds;
        int width;
        bool collides; // with a sprite on the first glyph
    };
    const Case cases[] = {
        {"a glyph beyond any position", {INT_MAX, 5}, "AB", R(10, 10, 10, 10), INT_MAX, true},
        {"a negative advance", {-3, 2}, "AB", R(7, 10, 10, 10), -1, true},
        {"negative beyond any position", {INT_MIN + 1, 2}, "AAB", R(10, 10, 10, 10), INT_MIN, true},
        {"a text wider than a map may be", {30000, 1}, "AAB", R(10, 10, 30010, 10), 60001, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<MvFontResource> wild(ReadFontWithAdvances(c.advances));
        {
            StageOnScreen s(40, 20);
            MvTextNode* text = s.Insert(nullptr, new MvTextNode(wild.get(), c.text));
            text->MoveTo(10, 10);
            MvSpriteNode* sprite = s.Insert(nullptr, new MvSpriteNode(dot.get()));
            sprite->MoveTo(10, 10);
            s.FrameRects();
            EXPECT_EQ(text->Bounds(0), c.bounds);
            EXPECT_EQ(text->TextWidth(), c.width);
            EXPECT_EQ(text->Collide(sprite, 0), c.collides);
        }
    }
}

TEST_F(TextNodeTest, AFontWithoutGlyphsShowsNothing)
{
    std::unique_ptr<MvFontResource> bare(ReadFontWithAdvances({}));
    ASSERT_EQ(bare->ActionCount(), 0);
    StageOnScreen s(40, 20);
    MvTextNode* text = s.Insert(nullptr, new MvTextNode(bare.get(), "AB A"));
    text->MoveTo(10, 10);
    EXPECT_EQ(s.FrameRects(), std::vector<MvIntRect>{});
    EXPECT_FALSE(text->Bounds(0).IsValid());
    EXPECT_EQ(text->TextWidth(), 1) << "the space alone, as wide as the least space";
    text->Draw(&MvTestAccess::PaintTarget(s.stage.get()), R(0, 0, 39, 19), 0);
    MvGrowArray<MvSceneNode*> hits;
    EXPECT_FALSE(text->TestPoint(10, 10, 0, &hits, 0));
    EXPECT_EQ(text->CollisionMask(0), nullptr);
}

TEST_F(TextNodeTest, CloneCopiesFontAndTextOnly)
{
    StageOnScreen s(40, 30);
    MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), "BA C"));
    node->MoveTo(12, 9);
    node->SetName("original");
    node->SetId(40);
    node->SetDepth(6);

    std::unique_ptr<MvSceneNode> copy(node->Clone());
    MvTextNode* clone = copy->AsTextNode();
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, node);
    EXPECT_EQ(clone->FontResource(), font.get());
    EXPECT_STREQ(clone->Text(), "BA C");
    EXPECT_EQ(clone->TextWidth(), 12);
    EXPECT_EQ(clone->PosX(0), 0);
    EXPECT_EQ(clone->PosY(0), 0);
    EXPECT_STREQ(clone->Name(), "");
    EXPECT_EQ(clone->Id(), -1);
    EXPECT_EQ(clone->Depth(), 0);
    EXPECT_EQ(clone->Stage(), nullptr);
}

// SetText may be given the node's own text, or a part of it.
TEST_F(TextNodeTest, SetTextTakesAPartOfTheTextItReplaces)
{
    MvTextNode node(font.get(), "ABC");
    node.SetText(node.Text() + 1);
    EXPECT_STREQ(node.Text(), "BC");
    node.SetText(node.Text());
    EXPECT_STREQ(node.Text(), "BC");
}

typedef TextNodeTest TextNodeDeathTest;

TEST_F(TextNodeDeathTest, BrokenPreconditionsAreCaught)
{
    EXPECT_DEATH(MvTextNode node(nullptr, "A"), "font != nullptr \\(the last lookup that found nothing: ");
    EXPECT_DEATH(MvTextNode node(font.get(), nullptr), "text != nullptr");
    MvTextNode node(font.get(), "A");
    EXPECT_DEATH(node.SetText(nullptr), "text != nullptr");
    EXPECT_DEATH(node.CollisionMask(MvWindowCount), "window >= 0 && window < MvWindowCount");
    MvGrowArray<MvSceneNode*>* noHits = nullptr;
    EXPECT_DEATH(node.TestPoint(0, 0, 0, noHits, 0), "hits != nullptr");
    EXPECT_DEATH(node.QueryBoundingBox(nullptr, 0), "out != nullptr");

    // A font answers only for the text nodes that show it.
    std::unique_ptr<MvFontResource> other(MakeFont());
    EXPECT_DEATH(other->GetCollisionMask(&node, 0), "text->FontResource\\(\\) == this");
}

TEST_F(TextNodeDeathTest, DrawingAHiddenTextIsCaught)
{
    StageOnScreen s(40, 30);
    MvTextNode* node = s.Insert(nullptr, new MvTextNode(font.get(), "A"));
    s.stage->Draw(false);
    node->SetShown(false);
    EXPECT_DEATH(node->Draw(&MvTestAccess::PaintTarget(s.stage.get()), R(0, 0, 39, 29), 0),
                 "IsShownInTree\\(window\\)");
    EXPECT_DEATH(node->Draw(nullptr, R(0, 0, 39, 29), 0), "paintInfo != nullptr");
}

} // namespace
