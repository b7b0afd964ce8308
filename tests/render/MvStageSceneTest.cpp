// The stage's draw cycle with sprite nodes: what a frame paints, where, in which order and
// through which blitters; the vault and tree it owns; the renderer description.

#include "ResourceTestSupport.h"
#include "SceneTestSupport.h"

#include "MvFailedCheck.h"
#include "MvResourceVault.h"
#include "MvSpriteNode.h"
#include "MvStage.h"
#include "MvVersion.h"

#include <memory>
#include <string>
#include <vector>

#ifndef MOVO_PACKAGE_VERSION
#error "MOVO_PACKAGE_VERSION must be the version the package files (movo.pc, MovoConfigVersion.cmake) carry"
#endif

using scenetest::StageOnScreen;

namespace {

const Uint32 Black = 0x000000;
const Uint32 Sentinel = 0x123456;

// The raw 32-bit screen value of a picture character.
Uint32 RawOf(char c) { return c == '.' ? Black : scenetest::Raw(PaletteColor(c)); }

// A picture of the whole screen, one string a row: the expected pixels, '.' black, '?'
// untouched by the frame (the sentinel the test painted before it).
std::function<Uint32(int, int)> Expect(const std::vector<std::string>& rows)
{
    return [rows](int x, int y) {
        const char c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
        return c == '?' ? Sentinel : RawOf(c);
    };
}

// A stage with a few one-action sprites made from pictures, hot spots at the top-left.
class StageSceneTest : public testing::Test {
protected:
    StageSceneTest() : s(12, 7) {}

    // A sprite node of one frame showing picture, inserted under parent at (x, y).
    MvSpriteNode* AddSprite(MvSceneNode* parent, const std::vector<std::string>& picture, int x, int y, int depth = 0)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        resources.emplace_back(restest::MakeSprite("s", 0, {{"NONE", 2, {{picture, 0, 0, 0, 0}}}}));
        MvSpriteNode* node = new MvSpriteNode(resources.back().get());
        node->MoveTo(x, y);
        node->SetDepth(depth);
        s.stage->SceneTree()->InsertNode(parent, node);
        return node;
    }

    MvSceneNode* AddLayer(int depth)
    {
        MvSceneNode* layer = new MvSceneNode();
        layer->SetDepth(depth);
        return s.Insert(nullptr, layer);
    }

    // Declared first so the resources outlive the stage's nodes.
    std::vector<std::unique_ptr<MvSpriteResource>> resources;
    StageOnScreen s;
};

TEST_F(StageSceneTest, ASmallSceneIsPaintedPixelExact)
{
    AddSprite(nullptr, {"RRR", "RGR"}, 2, 1);
    AddSprite(nullptr, {"BB", "B."}, 3, 2, 1); // on top, with a transparent hole
    AddSprite(nullptr, {"W"}, 11, 6);          // the last pixel of the screen
    s.stage->Draw(false);
    s.screen.ExpectPixels(Expect({"............",
                                  "..RRR.......",
                                  "..RBB.......",
                                  "...B........",
                                  "............",
                                  "............",
                                  "...........W"}),
                          "first frame");
}

TEST_F(StageSceneTest, AOnePixelMoveRepaintsExactlyTheOldAndNewRectangles)
{
    AddSprite(nullptr, {"RRR", "RGR"}, 2, 1);
    MvSpriteNode* mover = AddSprite(nullptr, {"BB", "BB"}, 4, 2, 1);
    s.stage->Draw(false);

    // Every pixel the next frame does not repaint keeps the sentinel.
    s.screen.Fill(Sentinel);
    mover->MoveTo(5, 2);
    MvGrowArray<MvIntRect> rectangles;
    s.stage->Draw(false, &rectangles);
    s.screen.ExpectPixels(Expect({"????????????",
                                  "????????????",
                                  "????RBB?????",
                                  "????.BB?????",
                                  "????????????",
                                  "????????????",
                                  "????????????"}),
                          "after the move");

    // The presented rectangles cover the old and the new bounds and nothing else.
    std::vector<std::string> covered(7, std::string(12, '.'));
    for (int i = 0; i < rectangles.Count(); ++i)
        for (int y = rectangles[i].top; y <= rectangles[i].bottom; ++y)
            for (int x = rectangles[i].left; x <= rectangles[i].right; ++x)
                covered[y][x] = '#';
    EXPECT_EQ(covered, std::vector<std::string>({"............", "............", "....###.....", "....###.....",
                                                 "............", "............", "............"}));

    // Nothing moved: nothing is painted or presented.
    s.stage->Draw(false, &rectangles);
    EXPECT_EQ(rectangles.Count(), 0);
}

TEST_F(StageSceneTest, ScrollingTheSceneRootLeavesNoTrail)
{
    AddSprite(nullptr, {"RG", "BW"}, 3, 2);
    s.stage->Draw(false);
    for (int step = 0; step < 3; ++step) {
        s.stage->SceneTree()->SceneRoot()->MoveBy(-1, 1, -1);
        s.stage->Draw(false);
    }
    s.screen.ExpectPixels(Expect({"............",
                                  "............",
                                  "............",
                                  "............",
                                  "............",
                                  "RG..........",
                                  "BW.........."}),
                          "after scrolling");
}

TEST_F(StageSceneTest, DepthOrderAndHiddenLayersDecideWhatIsOnTop)
{
    MvSceneNode* back = AddLayer(0);
    MvSceneNode* front = AddLayer(1);
    // The back layer's sprite has the higher depth, but depth only orders siblings.
    AddSprite(back, {"RRR"}, 1, 1, 100);
    AddSprite(front, {"GG"}, 2, 1, 0);
    MvSpriteNode* top = AddSprite(front, {"B"}, 3, 1, 5);

    struct Case {
        const char* what;
        int backDepth;
        bool frontShown;
        bool topShown;
        const char* row1;
    };
    const Case cases[] = {
        {"front layer on top", 0, true, true, ".RGB........"},
        {"back layer raised above", 2, true, true, ".RRR........"},
        {"front layer hidden", 0, false, true, ".RRR........"},
        {"one sprite hidden", 0, true, false, ".RGG........"},
    };
    for (const Case& c : cases) {
        back->SetDepth(c.backDepth);
        front->SetShown(c.frontShown, -1);
        top->SetShown(c.topShown, -1);
        s.stage->Draw(false);
        const std::string empty(12, '.');
        s.screen.ExpectPixels(Expect({empty, c.row1, empty, empty, empty, empty, empty}), c.what);
    }
}

// A screen pixel of value background after blitter of target paints source over it.
Uint32 Blend(const MvPaintTarget& target, Uint32 background, const MvColor& source, const MvColorXform& xform)
{
    TestScreen one(1, 1);
    one.Fill(background);
    MvPaintTarget paint(one.Surface());
    target.PickBlitter(source.alpha != 255, xform)(paint, paint.PixelAddress(0, 0), &source, 1, xform);
    return one.Pixel(0, 0);
}

TEST_F(StageSceneTest, ColourTransformsAndAlphaGoThroughTheMatchingBlitters)
{
    MvColor background;
    background.Set(40, 80, 120, 255);
    s.stage->SetBackgroundColor(&background);

    MvColorXform brighter;
    brighter.Brighten(100);
    MvColorXform half;
    half.SetAlpha(128);
    MvColorXform darkerHalf;
    darkerHalf.Darken(60);
    darkerHalf.SetAlpha(200);

    struct Case {
        const char* what;
        char pixel; // 'a' has alpha 128
        MvColorXform own;
        MvColorXform layer;
    };
    const Case cases[] = {
        {"opaque, identity", 'R', MvColorXform(), MvColorXform()},
        {"opaque, colour change", '3', brighter, MvColorXform()},
        {"opaque, alpha", 'G', half, MvColorXform()},
        {"opaque, colour and alpha", '7', darkerHalf, MvColorXform()},
        {"translucent, identity", 'a', MvColorXform(), MvColorXform()},
        {"translucent, colour and alpha", 'a', darkerHalf, MvColorXform()},
        {"opaque under a translucent layer", 'B', MvColorXform(), half},
        {"coloured under a translucent layer", 'W', brighter, half},
    };
    for (const Case& c : cases) {
        MvSceneNode* layer = AddLayer(0);
        layer->SetColorXform(c.layer, -1);
        MvSpriteNode* node = AddSprite(layer, {std::string(1, c.pixel)}, 5, 3);
        node->SetColorXform(c.own, -1);
        s.stage->Draw(false);

        const MvColorXform& composite = node->ScreenColorXform(0);
        const Uint32 expected =
            Blend(MvTestAccess::PaintTarget(s.stage.get()), scenetest::Raw(background), PaletteColor(c.pixel),
                  composite);
        EXPECT_EQ(s.screen.Pixel(5, 3), expected) << c.what;
        EXPECT_EQ(s.screen.Pixel(4, 3), scenetest::Raw(background)) << c.what;
        s.stage->SceneTree()->RemoveNode(layer);
    }
}

TEST(StageContents, TheStageOwnsAnEmptyVaultAndATreeThatOutliveEveryNode)
{
    // The resources live in the stage's own vault; deleting the stage deletes the nodes
    // before the resources they show (the sanitizer builds catch the reverse).
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    std::unique_ptr<MvSpriteResource> source(restest::MakeSprite("hero", 4, {{"NONE", 2, {{{"RG"}, 0, 0, 0, 0}}}}));
    const std::vector<uint8_t> file = restest::SaveFile({source.get()});

    TestScreen screen(10, 10);
    MvStage* stage = new MvStage(screen.Surface());
    ASSERT_NE(stage->Vault(), nullptr);
    EXPECT_EQ(stage->Vault()->ResourceCount(), 0);
    EXPECT_FALSE(stage->Vault()->HasLoadedFile());
    ASSERT_TRUE(stage->Vault()->LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));

    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource(4));
    node->MoveTo(1, 1);
    stage->SceneTree()->InsertNode(nullptr, node);
    stage->Draw(false);
    EXPECT_EQ(screen.Pixel(1, 1), RawOf('R'));
    EXPECT_EQ(screen.Pixel(2, 1), RawOf('G'));
    delete stage;
}

TEST(StageContents, TheRendererDescriptionNamesVersionDepthScreenModeAndPath)
{
    struct Case {
        int bits;
        bool fullscreen;
        const char* expected;
    };
    const Case cases[] = {
        {32, false, "v2.0.7 32bbp Fullscreen=0 Linux Software render"},
        {16, true, "v2.0.7 16bbp Fullscreen=1 Linux Software render"},
        {24, false, "v2.0.7 24bbp Fullscreen=0 Linux Software render"},
    };
    for (const Case& c : cases) {
        SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, c.bits, 0, 0, 0, 0);
        ASSERT_NE(surface, nullptr);
        if (c.fullscreen)
            surface->flags |= SDL_FULLSCREEN;
        std::string text = "old text";
        MvStage::DescribeRenderer(surface, &text);
        EXPECT_EQ(text, c.expected);
        surface->flags &= ~SDL_FULLSCREEN;
        SDL_FreeSurface(surface);
    }

    StageOnScreen s(8, 8);
    std::string text;
    s.stage->DescribeRenderer(&text);
    EXPECT_EQ(text, "v2.0.7 32bbp Fullscreen=0 Linux Software render");
}

// The description names the version the installed package carries, read by the engine
// from its version header.
TEST(StageContents, TheRendererDescriptionNamesThePackagesVersion)
{
    const std::string version = std::to_string(MvVersionMajor) + "." + std::to_string(MvVersionMinor) + "." +
                                std::to_string(MvVersionPatch);
    EXPECT_EQ(version, MOVO_PACKAGE_VERSION);
    TestScreen screen(4, 4);
    std::string text;
    MvStage::DescribeRenderer(screen.Surface(), &text);
    EXPECT_EQ(text.substr(0, version.size() + 2), "v" + version + " ") << text;
}

TEST(StageContentsDeathTest, DescribingWithoutAnOutputIsCaught)
{
    TestScreen screen(4, 4);
    const std::string bothGiven = MvFailedCheck("screen != nullptr && out != nullptr");
    EXPECT_DEATH(MvStage::DescribeRenderer(screen.Surface(), nullptr), bothGiven);
    EXPECT_DEATH(MvStage::DescribeRenderer(nullptr, nullptr), bothGiven);
}

} // namespace
