#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvAction.h"
#include "MvCanvasResource.h"
#include "MvCollisionMask.h"
#include "MvFailedCheck.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSceneNode.h"
#include "MvSpriteResource.h"
#include "TransformAt.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

// Canvases: ids from the canvas counter, new pixels, drawing and hit tests, users and
// their invalidation, collision maps per node scale and their renewal after a change, and
// canvases made from sprite frames.

namespace {

using namespace restest;

// Fills the canvas from a picture of its size, one string per row (palette characters).
void Paint(MvCanvasResource* canvas, const std::vector<std::string>& rows)
{
    ASSERT_EQ(canvas->Height(), static_cast<int>(rows.size()));
    for (int y = 0; y < canvas->Height(); ++y) {
        ASSERT_EQ(canvas->Width(), static_cast<int>(rows[y].size()));
        for (int x = 0; x < canvas->Width(); ++x)
            canvas->Pixels()[y * canvas->Width() + x] = PaletteColor(rows[y][x]);
    }
}

// A canvas with alpha holding the picture.
std::unique_ptr<MvCanvasResource> CanvasOf(const std::vector<std::string>& rows, bool hasAlpha = true)
{
    std::unique_ptr<MvCanvasResource> canvas(
        new MvCanvasResource("picture", static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), hasAlpha));
    Paint(canvas.get(), rows);
    return canvas;
}

// A collision map as text: rows separated by '|', 'x' for a set bit, '.' for a clear one,
// over the given width.
std::string Bits(const MvCollisionMask& mask, int width)
{
    std::string text;
    for (int y = 0; y < mask.Rows(); ++y) {
        if (y > 0)
            text += "|";
        for (int x = 0; x < width; ++x)
            text += mask.IsSet(x, y) ? 'x' : '.';
    }
    return text;
}

// The whole map, padding bits included, as words: bits past the width must be clear.
std::vector<uint32_t> Words(const MvCollisionMask& mask)
{
    std::vector<uint32_t> words;
    for (int y = 0; y < mask.Rows(); ++y)
        words.insert(words.end(), mask.Row(y), mask.Row(y) + mask.WordsPerRow());
    return words;
}

// ---------------------------------------------------------------------------------------
// Identity, pixels, drawing, hit tests

// Every canvas takes the next id of the canvas counter, whatever its name; it is the
// "Canvas" kind of type code 4 and its own typed view.
TEST(MvCanvasResource, IdsCountUpFromTheCanvasCounter)
{
    MvCanvasResource first("a", 1, 1, true);
    MvCanvasResource second("a", 2, 3, false);
    MvCanvasResource third("other", 0, 0, true);
    EXPECT_GE(first.Id(), 1);
    EXPECT_EQ(first.Id() + 1, second.Id());
    EXPECT_EQ(first.Id() + 2, third.Id());
    EXPECT_STREQ("a", second.Name());
    EXPECT_EQ(4, first.Type());
    EXPECT_EQ("Canvas", first.TypeName());
    EXPECT_EQ(&first, first.AsCanvasResource());
    EXPECT_EQ(nullptr, first.AsSpriteResource());
    EXPECT_EQ(nullptr, first.AsTileResource());
    EXPECT_FALSE(first.HasScaleCache(MvFixed::FromInt(2), MvFixed::FromInt(2)));
    first.AddScaleCache(MvFixed::FromInt(2), MvFixed::FromInt(2));
    EXPECT_FALSE(first.HasScaleCache(MvFixed::FromInt(2), MvFixed::FromInt(2)));
}

// The first canvas a process makes gets id 1 (checked in a fresh process).
TEST(MvCanvasResource, TheFirstCanvasOfAProcessHasIdOne)
{
    const std::string program = testing::internal::GetArgvs()[0];
    const std::string command =
        "'" + program + "' --gtest_filter=MvCanvasResourceFresh.* --gtest_also_run_disabled_tests 2>&1";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(nullptr, child);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, child) != nullptr)
        output += buffer;
    EXPECT_EQ(0, pclose(child)) << output;
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 1 test.")) << output;
}

// Run alone by the test above: no canvas was made before it in its process.
TEST(MvCanvasResourceFresh, DISABLED_FirstIdIsOne)
{
    MvCanvasResource first("x", 1, 1, false);
    MvCanvasResource second("y", 1, 1, false);
    EXPECT_EQ(1, first.Id());
    EXPECT_EQ(2, second.Id());
}

// A new canvas is transparent black with alpha and opaque black without.
TEST(MvCanvasResource, NewPixelsAreBlack)
{
    MvCanvasResource clear("clear", 3, 2, true);
    MvCanvasResource solid("solid", 3, 2, false);
    EXPECT_TRUE(clear.HasAlpha());
    EXPECT_FALSE(solid.HasAlpha());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Rgba(0, 0, 0, 0), clear.Pixels()[i]) << i;
        EXPECT_EQ(Rgba(0, 0, 0, 255), solid.Pixels()[i]) << i;
    }
    EXPECT_EQ(&clear.Block().Pixels()[0], clear.Pixels());
}

// A canvas draws like its pixel block without a flip, on every screen format, unscaled
// and scaled, and clipped; its bounds are the block's.
TEST(MvCanvasResource, DrawsItsPixelsLikeItsBlock)
{
    std::unique_ptr<MvCanvasResource> canvas = CanvasOf({"R.G", "B1a"});
    for (const ScreenFormat& format : kScreenFormats) {
        SCOPED_TRACE(format.name);
        PaintedScreen screen(format, 5, 4);
        canvas->Draw(screen.Target(), At(1, 1), MvColorXform(), screen.Whole(), MvPixelBlock::QualityBest, 0);
        EXPECT_EQ(".....|.R.G.|.B1?.|.....", screen.Show("RGB1"));

        PaintedScreen clipped(format, 5, 4);
        canvas->Draw(clipped.Target(), At(1, 1), MvColorXform(), MvMakeRect(2, 0, 4, 1), MvPixelBlock::QualityBest,
                     0);
        EXPECT_EQ(".....|...G.|.....|.....", clipped.Show("RGB1"));
    }
    PaintedScreen byCanvas(6, 4), byBlock(6, 4);
    canvas->Draw(byCanvas.Target(), At(0, 0, 2.0, 2.0), MvColorXform(), byCanvas.Whole(), MvPixelBlock::QualityNearest,
                 0);
    canvas->Block().Draw(byBlock.Target(), At(0, 0, 2.0, 2.0), false, MvColorXform(), byBlock.Whole(),
                         MvPixelBlock::QualityNearest, 0);
    EXPECT_EQ(byBlock.Show("RGB1"), byCanvas.Show("RGB1"));
    EXPECT_EQ("RR..GG|RR..GG|BB11??|BB11??", byCanvas.Show("RGB1"));

    MvIntRect bounds;
    canvas->ComputeBounds(At(10, 20, 2.0, 0.5), &bounds);
    EXPECT_EQ(MvMakeRect(10, 20, 15, 20), bounds);
}

// Without alpha every point inside hits; with alpha only where alpha is not 0; outside
// never.
TEST(MvCanvasResource, HitTestsFollowAlpha)
{
    const std::vector<std::string> picture = {"R.c", ".a."};
    const struct {
        bool hasAlpha;
        const char* hits;
    } cases[] = {{true, "x.x|.x."}, {false, "xxx|xxx"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hasAlpha);
        std::unique_ptr<MvCanvasResource> canvas = CanvasOf(picture, c.hasAlpha);
        std::string hits;
        for (int y = 0; y < 2; ++y) {
            if (y > 0)
                hits += "|";
            for (int x = 0; x < 3; ++x)
                hits += canvas->HitTest(x, y) ? 'x' : '.';
        }
        EXPECT_EQ(c.hits, hits);
        const int outside[][2] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {3, 2}, {-1, -1}, {1000, 1}};
        for (const auto& p : outside)
            EXPECT_FALSE(canvas->HitTest(p[0], p[1])) << p[0] << "," << p[1];
    }
    MvCanvasResource empty("empty", 0, 0, false);
    EXPECT_FALSE(empty.HitTest(0, 0));
}

// ---------------------------------------------------------------------------------------
// Users

// Users are kept in registration order; removing one keeps the others' order.
TEST(MvCanvasResource, UsersKeepTheirOrder)
{
    MvCanvasResource canvas("users", 1, 1, true);
    MvSceneNode a, b, c;
    MvTestAccess::AddUser(&canvas, &a);
    MvTestAccess::AddUser(&canvas, &b);
    MvTestAccess::AddUser(&canvas, &c);
    ASSERT_EQ(3, canvas.UserCount());
    MvTestAccess::RemoveUser(&canvas, &a);
    ASSERT_EQ(2, canvas.UserCount());
    EXPECT_EQ(&b, canvas.User(0));
    EXPECT_EQ(&c, canvas.User(1));
    MvTestAccess::AddUser(&canvas, &a);
    MvTestAccess::RemoveUser(&canvas, &c);
    ASSERT_EQ(2, canvas.UserCount());
    EXPECT_EQ(&b, canvas.User(0));
    EXPECT_EQ(&a, canvas.User(1));
    MvTestAccess::RemoveUser(&canvas, &b);
    MvTestAccess::RemoveUser(&canvas, &a);
    EXPECT_EQ(0, canvas.UserCount());
}

// NotifyChanged marks every registered node invalid in every window of its stage, so it
// is redrawn; nodes that are not registered stay as they were.
TEST(MvCanvasResource, NotifyChangedInvalidatesEveryUserInEveryWindow)
{
    const MvIntRect windows[] = {MvMakeRect(0, 0, 9, 9), MvMakeRect(10, 0, 19, 9), MvMakeRect(20, 0, 29, 9)};
    scenetest::StageOnScreen s(30, 10, 3, windows);
    MvSceneNode* first = s.Insert(nullptr, new MvSceneNode());
    MvSceneNode* second = s.Insert(nullptr, new MvSceneNode());
    MvSceneNode* bystander = s.Insert(nullptr, new MvSceneNode());
    s.Tree().Recompute();
    MvCanvasResource canvas("shown", 2, 2, false);
    MvTestAccess::AddUser(&canvas, first);
    MvTestAccess::AddUser(&canvas, second);
    MvTestAccess::RemoveUser(&canvas, second);
    MvTestAccess::AddUser(&canvas, second);
    canvas.Pixels()[0] = Rgba(255, 0, 0, 255);
    canvas.NotifyChanged();
    for (int w = 0; w < 3; ++w) {
        EXPECT_TRUE(first->IsInvalid(w)) << w;
        EXPECT_TRUE(second->IsInvalid(w)) << w;
        EXPECT_FALSE(bystander->IsInvalid(w)) << w;
    }
    MvTestAccess::RemoveUser(&canvas, first);
    s.Tree().Recompute();
    canvas.NotifyChanged();
    EXPECT_FALSE(first->IsInvalid(0));
    EXPECT_TRUE(second->IsInvalid(0));
    MvTestAccess::RemoveUser(&canvas, second);
}

// ---------------------------------------------------------------------------------------
// Collision maps

// With alpha, a map has a bit set exactly where alpha is not 0, bits past the width
// clear; it is made once per node scale (the node's own scale in the window asked for)
// and then returned again.
TEST(MvCanvasResource, CollisionMapsOfACanvasWithAlphaFollowItsPixels)
{
    // 35 columns: the map's rows take two words.
    std::vector<std::string> picture = {std::string(35, '.'), std::string(35, '.')};
    picture[0][0] = 'R';
    picture[0][31] = 'c'; // alpha 1 still counts
    picture[0][32] = 'a';
    picture[1][34] = 'G';
    std::unique_ptr<MvCanvasResource> canvas = CanvasOf(picture);
    MvSceneNode node;
    MvCollisionMask* map = canvas->GetCollisionMask(&node, 0);
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(2, map->WordsPerRow());
    EXPECT_EQ(2, map->Rows());
    EXPECT_EQ(MvFixed::FromInt(1), map->XScale());
    EXPECT_EQ(MvFixed::FromInt(1), map->YScale());
    EXPECT_EQ((std::vector<uint32_t>{0x80000001u, 0x80000000u, 0, 0x20000000u}), Words(*map));
    EXPECT_EQ(map, canvas->GetCollisionMask(&node, 0));
    EXPECT_EQ(1, canvas->CollisionMaskCount());

    // Another node at the same scale shares the map; the node's own scale in the window
    // asked for decides.
    MvSceneNode other;
    other.SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2), 1);
    EXPECT_EQ(map, canvas->GetCollisionMask(&other, 0));
    MvCollisionMask* doubled = canvas->GetCollisionMask(&other, 1);
    ASSERT_NE(map, doubled);
    EXPECT_EQ(2, canvas->CollisionMaskCount());
    EXPECT_EQ(MvFixed::FromInt(2), doubled->XScale());
    EXPECT_EQ(4, doubled->Rows());
    EXPECT_EQ(3, doubled->WordsPerRow()); // 70 columns
    EXPECT_EQ(doubled, canvas->GetCollisionMask(&other, 1));
}

// A scaled node's map is the canvas sampled by nearest neighbour at the node's scale:
// the bits equal the alpha of the canvas drawn at that scale with the nearest method.
TEST(MvCanvasResource, ScaledCollisionMapsAreTheNearestDrawing)
{
    std::mt19937 random(7);
    const std::vector<std::string> picture = RandomPicture(random, 13, 9);
    std::unique_ptr<MvCanvasResource> canvas = CanvasOf(picture);
    const double scales[][2] = {{2.0, 2.0}, {0.5, 0.5}, {1.5, 0.75}, {1.0, 3.0}, {0.3, 1.0}, {0.01, 0.01}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(testing::Message() << scale[0] << " x " << scale[1]);
        MvSceneNode node;
        node.SetScaling(MvFixed::FromDouble(scale[0]), MvFixed::FromDouble(scale[1]), 0);
        const MvTransform xform = At(0, 0, scale[0], scale[1]);
        MvIntRect bounds;
        canvas->ComputeBounds(xform, &bounds);
        const int width = std::max(0, bounds.Width());
        const int height = std::max(0, bounds.Height());
        std::string expected;
        if (width > 0 && height > 0) {
            std::vector<MvColor> drawn(static_cast<size_t>(width * height), Rgba(0, 0, 0, 0));
            MvPaintTarget memory(drawn.data(), width, height);
            canvas->Draw(memory, xform, MvColorXform(), MvMakeRect(0, 0, width - 1, height - 1),
                         MvPixelBlock::QualityNearest, 0);
            for (int y = 0; y < height; ++y) {
                if (y > 0)
                    expected += "|";
                for (int x = 0; x < width; ++x)
                    expected += drawn[y * width + x].alpha != 0 ? 'x' : '.';
            }
        }
        const MvCollisionMask* map = canvas->GetCollisionMask(&node, 0);
        ASSERT_NE(nullptr, map);
        EXPECT_EQ(height, map->Rows());
        EXPECT_EQ((width + 31) / 32, map->WordsPerRow());
        EXPECT_EQ(expected, Bits(*map, width));
    }
}

// Without alpha a map is solid, of the canvas's size at the node's scale.
TEST(MvCanvasResource, CollisionMapsOfASolidCanvasAreFull)
{
    std::unique_ptr<MvCanvasResource> canvas = CanvasOf({"RGB", "123"}, false);
    MvSceneNode node;
    EXPECT_EQ("xxx|xxx", Bits(*canvas->GetCollisionMask(&node, 0), 3));
    node.SetScaling(MvFixed::FromInt(2), MvFixed::FromDouble(1.5), 0);
    const MvCollisionMask* scaled = canvas->GetCollisionMask(&node, 0);
    EXPECT_EQ(3, scaled->Rows());
    EXPECT_EQ((std::vector<uint32_t>{0xFC000000u, 0xFC000000u, 0xFC000000u}), Words(*scaled));

    MvCanvasResource empty("empty", 0, 4, false);
    EXPECT_EQ(0, empty.GetCollisionMask(&node, 0)->WordsPerRow());
}

// After NotifyChanged a canvas with alpha makes new maps from its new pixels; a canvas
// without alpha keeps its maps, which depend on its size only.
TEST(MvCanvasResource, NotifyChangedRenewsTheMapsOfACanvasWithAlpha)
{
    std::unique_ptr<MvCanvasResource> clear = CanvasOf({"R.", ".."});
    MvSceneNode node;
    MvSceneNode scaled;
    scaled.SetScaling(MvFixed::FromInt(2), MvFixed::FromInt(2), 0);
    EXPECT_EQ("x.|..", Bits(*clear->GetCollisionMask(&node, 0), 2));
    EXPECT_EQ("xx..|xx..|....|....", Bits(*clear->GetCollisionMask(&scaled, 0), 4));

    Paint(clear.get(), {"..", ".a"});
    EXPECT_EQ("x.|..", Bits(*clear->GetCollisionMask(&node, 0), 2)) << "kept until told";
    clear->NotifyChanged();
    EXPECT_EQ(0, clear->CollisionMaskCount());
    EXPECT_EQ("..|.x", Bits(*clear->GetCollisionMask(&node, 0), 2));
    EXPECT_EQ("....|....|..xx|..xx", Bits(*clear->GetCollisionMask(&scaled, 0), 4));
    EXPECT_EQ(2, clear->CollisionMaskCount());

    std::unique_ptr<MvCanvasResource> solid = CanvasOf({"RG"}, false);
    const MvCollisionMask* kept = solid->GetCollisionMask(&node, 0);
    solid->Pixels()[0] = Rgba(1, 2, 3, 255);
    solid->NotifyChanged();
    EXPECT_EQ(1, solid->CollisionMaskCount());
    EXPECT_EQ(kept, solid->GetCollisionMask(&node, 0));
}

// ---------------------------------------------------------------------------------------
// Canvases from sprite frames

// The canvas of a frame holds the frame's pixels where its runs are and transparent
// black elsewhere, so drawing it with its top-left corner at minus the hot spot paints
// exactly what drawing the frame at the origin paints, on every screen format.
TEST(MvCanvasResource, ACanvasFromAFrameIsTheFrameDrawn)
{
    std::mt19937 random(11);
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int hotX, hotY;
    };
    const Case cases[] = {
        {"runs and holes", {"..R.GG.", ".......", "a.B1d..", "...c..."}, 3, 2},
        {"hot spot outside", {"RG", "B."}, -4, 7},
        {"random", RandomPicture(random, 40, 12), 20, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<MvAction> action(MakeAction({"Show", 1, {{c.rows, c.hotX, c.hotY, 0, 0}}}));
        const MvRle& frame = *action->FrameAt(0);
        int hotX = 99, hotY = 99;
        std::unique_ptr<MvCanvasResource> canvas(action->MakeCanvas(0, &hotX, &hotY));
        ASSERT_NE(nullptr, canvas);
        EXPECT_STREQ("fromSprite", canvas->Name());
        EXPECT_TRUE(canvas->HasAlpha());
        EXPECT_EQ(frame.Width(), canvas->Width());
        EXPECT_EQ(frame.Height(), canvas->Height());
        EXPECT_EQ(-frame.OffsetX(), hotX);
        EXPECT_EQ(-frame.OffsetY(), hotY);

        // Pixel for pixel the trimmed picture: a run's pixels, or transparent black.
        for (int y = 0; y < frame.Height(); ++y)
            for (int x = 0; x < frame.Width(); ++x) {
                const char shown = c.rows[y + frame.OffsetY() + c.hotY][x + frame.OffsetX() + c.hotX];
                EXPECT_EQ(PaletteColor(shown), canvas->Pixels()[y * canvas->Width() + x]) << x << "," << y;
            }

        const int width = static_cast<int>(c.rows[0].size()) + 4;
        const int height = static_cast<int>(c.rows.size()) + 4;
        for (const ScreenFormat& format : kScreenFormats) {
            SCOPED_TRACE(format.name);
            // The frame's hot spot at (spotX, spotY) puts the picture's corner at (2, 2); the
            // canvas goes where the hot spot's place in it meets the same point.
            const int spotX = 2 + c.hotX;
            const int spotY = 2 + c.hotY;
            PaintedScreen byFrame(format, width, height), byCanvas(format, width, height);
            frame.Draw(byFrame.Target(), At(spotX, spotY), MvColorXform(), byFrame.Whole(), 0);
            canvas->Draw(byCanvas.Target(), At(spotX - hotX, spotY - hotY), MvColorXform(), byCanvas.Whole(),
                         MvPixelBlock::QualityBest, 0);
            EXPECT_EQ(byFrame.Reds(), byCanvas.Reds());
            EXPECT_EQ(byFrame.Show("RGB1"), byCanvas.Show("RGB1"));
        }
    }
}

// A fully transparent frame gives a canvas of no pixels.
TEST(MvCanvasResource, ACanvasFromAnEmptyFrameIsEmpty)
{
    std::unique_ptr<MvAction> action(MakeAction({"Show", 1, {{{"...", "..."}, 1, 1, 0, 0}}}));
    const MvRle& frame = *action->FrameAt(0);
    int hotX = 0, hotY = 0;
    std::unique_ptr<MvCanvasResource> canvas(action->MakeCanvas(0, &hotX, &hotY));
    EXPECT_EQ(0, canvas->Width());
    EXPECT_EQ(0, canvas->Height());
    EXPECT_EQ(-frame.OffsetX(), hotX);
    EXPECT_EQ(1, hotY);
}

// A loaded frame (its storage in the vault's pools) makes a canvas of its own pixels,
// which outlives the vault.
TEST(MvCanvasResource, ACanvasFromALoadedFrameOwnsItsPixels)
{
    std::unique_ptr<MvSpriteResource> sprite(
        MakeSprite("hero", 1, {{"Walk", 7, {{{"R.", "GB"}, 0, 1, 0, 0}, {{"1a", ".d"}, 1, 0, 0, 0}}}}));
    std::vector<uint8_t> file;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        file = SaveFile({sprite.get()});
    }
    std::unique_ptr<MvCanvasResource> canvas;
    int hotX = 0, hotY = 0;
    {
        MvResourceVault vault;
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
        canvas.reset(vault.FindSpriteResource("hero")->MakeCanvas("Walk", 1, &hotX, &hotY));
    }
    ASSERT_NE(nullptr, canvas);
    EXPECT_EQ(1, hotX);
    EXPECT_EQ(0, hotY);
    EXPECT_EQ((std::vector<MvColor>{PaletteColor('1'), PaletteColor('a'), Rgba(0, 0, 0, 0), PaletteColor('d')}),
              std::vector<MvColor>(canvas->Pixels(), canvas->Pixels() + 4));
}

// The sprite resource finds the action by name or by id and hands over to the action;
// an action it does not have gives null.
TEST(MvCanvasResource, SpriteResourcesMakeCanvasesOfTheirFrames)
{
    std::unique_ptr<MvSpriteResource> sprite(
        MakeSprite("hero", 1,
                   {{"Stand", 4, {{{"R"}, 0, 0, 0, 0}}},
                    {"Walk", 5, {{{"G."}, 0, 0, 0, 0}, {{".B", "B."}, 2, 1, 0, 0}}}}));
    const struct {
        const char* what;
        std::function<MvCanvasResource*(int*, int*)> make;
        std::vector<MvColor> pixels;
        int hotX, hotY;
    } cases[] = {
        {"by name", [&](int* x, int* y) { return sprite->MakeCanvas("Walk", 1, x, y); },
         {Rgba(0, 0, 0, 0), PaletteColor('B'), PaletteColor('B'), Rgba(0, 0, 0, 0)}, 2, 1},
        {"by id", [&](int* x, int* y) { return sprite->MakeCanvas(4, 0, x, y); }, {PaletteColor('R')}, 0, 0},
        {"through the action", [&](int* x, int* y) { return sprite->FindAction("Walk")->MakeCanvas(0, x, y); },
         {PaletteColor('G')}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int hotX = -1, hotY = -1;
        std::unique_ptr<MvCanvasResource> canvas(c.make(&hotX, &hotY));
        ASSERT_NE(nullptr, canvas);
        const MvColor* pixels = canvas->Pixels();
        EXPECT_EQ(c.pixels, std::vector<MvColor>(pixels, pixels + canvas->Width() * canvas->Height()));
        EXPECT_EQ(c.hotX, hotX);
        EXPECT_EQ(c.hotY, hotY);
    }
    int hotX = 0, hotY = 0;
    EXPECT_EQ(nullptr, sprite->MakeCanvas("Run", 0, &hotX, &hotY));
    EXPECT_EQ(nullptr, sprite->MakeCanvas(6, 0, &hotX, &hotY));
    EXPECT_EQ(nullptr, sprite->MakeCanvas("walk", 0, &hotX, &hotY)) << "names match case and all";
}

TEST(MvCanvasResourceDeathTest, BrokenPreconditionsAreCaught)
{
    MvSceneNode node, stranger;
    MvCanvasResource canvas("c", 2, 2, true);
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite("s", 1, {{"Stand", 4, {{{"R"}, 0, 0, 0, 0}}}}));
    int hotX = 0, hotY = 0;
    const char* const blockSize = "width >= 0 && width <= MaxSize && height >= 0 && height <= MaxSize";
    const char* const frameIndex = "index >= 0 && index < frames_.Count()";
    const MvDeathCase cases[] = {
        {"a canvas destroyed while a node uses it",
         [&] {
             MvCanvasResource held("held", 1, 1, true);
             MvTestAccess::AddUser(&held, &node);
         },
         "userCount_ == 0"},
        {"removing a node that is no user",
         [&] {
             MvCanvasResource held("held", 1, 1, true);
             MvTestAccess::AddUser(&held, &node);
             MvTestAccess::RemoveUser(&held, &stranger);
         },
         "index < users_.Count()"},
        {"removing a user of a canvas without users", [&] { MvTestAccess::RemoveUser(&canvas, &node); },
         "index < users_.Count()"},
        {"AddUser(null)", [&] { MvTestAccess::AddUser(&canvas, nullptr); }, "node != nullptr"},
        {"a collision mask for no node", [&] { canvas.GetCollisionMask(nullptr, 0); }, "node != nullptr"},
        {"a collision mask past the last window", [&] { canvas.GetCollisionMask(&node, MvWindowCount); },
         "window >= 0 && window < MvWindowCount"},
        {"a canvas wider than a block", [] { MvCanvasResource("big", MvPixelBlock::MaxSize + 1, 1, true); }, blockSize},
        {"a negative height", [] { MvCanvasResource("negative", 1, -1, true); }, blockSize},
        {"no name", [] { MvCanvasResource(nullptr, 1, 1, true); }, "name != nullptr"},
        {"a canvas of a frame past the end", [&] { sprite->MakeCanvas("Stand", 1, &hotX, &hotY); }, frameIndex},
        {"a canvas of frame -1", [&] { sprite->MakeCanvas(4, -1, &hotX, &hotY); }, frameIndex},
        {"a canvas without a hot spot out", [&] { sprite->MakeCanvas("Stand", 0, nullptr, &hotY); },
         "hotX != nullptr && hotY != nullptr"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
