// The OpenGL path draws the picture the software path paints: one scene of sprites, tiles
// in all eight orientations, mirrored pixel blocks, canvases and texts, under every kind of
// colour transform, is built twice, on a stage over the OpenGL screen and on a stage over a 32-bit
// memory surface, and the two frames are compared pixel by pixel, in one window and in two
// windows with a gap between them, before and after the scene changes.

#include "GlTestSupport.h"

#include "ResourceTestSupport.h"

#include "MvCanvasNode.h"
#include "MvCanvasResource.h"
#include "MvColorXform.h"
#include "MvDrawableNode.h"
#include "MvFontResource.h"
#include "MvLogCapture.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "MvSurfacePen.h"
#include "MvTextNode.h"
#include "MvTextureManager.h"
#include "MvTileNode.h"
#include "MvTileResource.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using gltest::Picture;

// How far a channel of the OpenGL frame may lie from the software one where colours are
// computed rather than copied. The software painters divide by 256 (shifts by 8) and
// truncate; OpenGL works in normalised colours, dividing by 255 and rounding. So each step
// of a painter can come out below OpenGL's value: the transformed channel
// ((c * m) >> 8) + b by up to 1, the weight (A * source alpha) >> 8 by up to 1 (an opaque
// pixel under alpha 200 weighs 199), which costs another where the colour and the
// background lie far apart, and the blend (w * T + (255 - w) * D) >> 8 by up to 1 plus its
// truncation. Where they all meet (offsets with alpha over a colour far from the window
// fill) the frames differ by 4, the smallest tolerance the scene passes; more would hide a
// wrong picture. Opaque pixels under the identity are copied alike and match exactly.
const int ArithmeticTolerance = 4;

// A made-up colour for pixel (x, y): red grows with x, green with y, so no two pixels of a
// picture up to 16 x 16 are alike and any turn or mirror shows; seed makes another
// picture. Translucent pictures cycle their opacity through transparent, three translucent
// steps and opaque.
MvColor PatternColor(int x, int y, int seed, bool translucent)
{
    static const int alphas[] = {0, 60, 128, 200, 255};
    return Rgba((16 + 15 * x + 40 * seed) & 255, (8 + 15 * y + 70 * seed) & 255,
                (200 - 9 * x - 5 * y + 30 * seed) & 255, translucent ? alphas[(x + 2 * y + seed) % 5] : 255);
}

void FillPattern(MvColor* pixels, int width, int height, int seed, bool translucent)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = PatternColor(x, y, seed, translucent);
}

MvTileResource* MakePatternTile(const char* name, int size, int seed, bool translucent)
{
    SurfacePtr surface = restest::MakeArgbSurface(size, size);
    MvPaintTarget source(surface.get());
    MvSurfacePen pen(source);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pen.WritePixel(x, y, PatternColor(x, y, seed, translucent));
    return new MvTileResource(name, source, 0, 0, size);
}

// Colour transforms by number, one of each kind the texture environment tells apart, alone
// and with alpha: 0 identity; 1 alpha only; 2 and 3 multipliers only (even and per
// channel); 4 and 5 offsets (even and per channel); 6 multipliers with alpha; 7 and 8
// offsets with alpha.
const int TintCount = 9;

MvColorXform Tint(int number)
{
    MvColorXform t;
    switch (number) {
    case 0: break;
    case 1: t.SetAlpha(128); break;
    case 2: t.Darken(90); break;
    case 3: t.Set(100, 0, 220, 0, 40, 0, 255); break;
    case 4: t.Brighten(70); break;
    case 5: t.Set(155, 100, 55, 200, 0, 255, 255); break;
    case 6: t.Darken(60); t.SetAlpha(100); break;
    case 7: t.Brighten(120); t.SetAlpha(200); break;
    case 8: t.Set(200, 30, 90, 120, 255, 0, 40); break;
    default: ADD_FAILURE() << "no tint " << number;
    }
    return t;
}

// A sprite picture with opaque, translucent and transparent pixels, and its second frame,
// smaller and with its hot spot elsewhere.
const std::vector<std::string> ShipFrames[2] = {
    {"....RRRR....",
     "..RRaaaaRR..",
     ".R1a2222aW1.",
     "RR3bbccbbdRG",
     "GG4bbccbbdGB",
     ".B5a6666aK7.",
     "..BBddddBB..",
     "....8899....",
     "....a..b...."},
    {"..aaaa....",
     ".a1234a...",
     "aRGBWK9a..",
     ".bbbbbbbb.",
     "..c5678c..",
     "...dddd...",
     "....KK...."},
};

// An opaque sprite picture with holes.
const std::vector<std::string> BadgeFrame = {
    "..RRGG..",
    ".RGB123.",
    "RW45678K",
    "K9.KK.1W",
    "..B..G..",
};

// Three glyphs of 4 x 5 pixels, 'A' to 'C' (codes 65 to 67), opaque with holes.
const std::vector<std::string> FontPicture = {
    ".RR.GGG..WW.",
    "R..RG..GW..1",
    "R22RGGG.W...",
    "R..RG..GW..2",
    "R..RGGG..WW.",
};

// The texts that text nodes show, by number; between the frames each node shows the next.
const char* const SceneTexts[] = {"ABC", "CA B", "BAC A"};
const int SceneTextCount = 3;

// Everything the two stages show; it outlives both stages' nodes.
struct ScenePictures {
    ScenePictures()
    {
        ship.reset(restest::MakeSprite("ship", 1,
                                       {{"fly", 1, {{ShipFrames[0], 0, 0, 0, 0}, {ShipFrames[1], 1, 1, 0, 0}}}}));
        badge.reset(restest::MakeSprite("badge", 2, {{"still", 1, {{BadgeFrame, 2, 1, 0, 0}}}}));
        tile.reset(MakePatternTile("tile", 8, 0, false));
        glassTile.reset(MakePatternTile("glass tile", 8, 1, true));
        // Not square, so a mirror that mixed up width and height would show.
        wideBlock.Create(9, 6, false);
        FillPattern(wideBlock.Pixels(), 9, 6, 2, false);
        tallGlassBlock.Create(6, 9, true);
        FillPattern(tallGlassBlock.Pixels(), 6, 9, 3, true);
        canvas.reset(new MvCanvasResource("canvas", 10, 8, false));
        FillPattern(canvas->Pixels(), 10, 8, 4, false);
        glassCanvas.reset(new MvCanvasResource("glass canvas", 12, 10, true));
        FillPattern(glassCanvas->Pixels(), 12, 10, 5, true);
        SurfacePtr glyphs = restest::MakePicture(FontPicture);
        MvPaintTarget image(glyphs.get());
        font.reset(new MvFontResource("font", image, 65, 32, MvFontResource::FixedCells, 3));
    }

    // New pixels for both canvases, as program code changes them.
    void RepaintCanvases()
    {
        FillPattern(canvas->Pixels(), 10, 8, 6, false);
        canvas->NotifyChanged();
        FillPattern(glassCanvas->Pixels(), 12, 10, 7, true);
        glassCanvas->NotifyChanged();
    }

    std::unique_ptr<MvSpriteResource> ship;
    std::unique_ptr<MvSpriteResource> badge;
    std::unique_ptr<MvTileResource> tile;
    std::unique_ptr<MvTileResource> glassTile;
    MvPixelBlock wideBlock;
    MvPixelBlock tallGlassBlock;
    std::unique_ptr<MvCanvasResource> canvas;
    std::unique_ptr<MvCanvasResource> glassCanvas;
    std::unique_ptr<MvFontResource> font;
};

// A pixel block drawn mirrored top to bottom (MvPixelBlock::Draw's flipVertical), with its
// top-left corner at the node's position.
class MirroredBlockNode : public MvDrawableNode {
public:
    explicit MirroredBlockNode(const MvPixelBlock* block) : block_(block) {}

    void ComputeTransform(int window) override
    {
        MvSceneNode::ComputeTransform(window);
        block_->ComputeBounds(screenXform_[window], &bounds_[window]);
    }

    void Paint(MvPaintTarget* paintInfo, const MvIntRect& clip, int window) override
    {
        block_->Draw(*paintInfo, screenXform_[window], true, screenColorXform_[window], clip,
                     MvPixelBlock::QualityBest, WalkNumber());
    }

    void QueryBoundingBox(MvIntRect* out, int window) override { *out = bounds_[window]; }
    MvResource* Resource() override { return nullptr; }

private:
    const MvPixelBlock* block_;
};

enum PictureKind { Ship, Badge, Tile, GlassTile, WideBlock, TallGlassBlock, Canvas, GlassCanvas, Text };

// Pictures whose every pixel is opaque or fully transparent.
bool IsOpaque(PictureKind kind)
{
    return kind == Badge || kind == Tile || kind == WideBlock || kind == Canvas || kind == Text;
}

// One node of the scene. Its position (x, y) is taken from window 0's top-left corner; in
// window 1 (when there is one) the node lies at (x + 3, y + 5) from that window's corner
// and takes tint (tint + 4) mod 9. Window 0 of the two-window stage is 76 x 114 pixels, so nodes
// near x 75, y 113 or left of 0 cross its edges.
struct Placement {
    PictureKind picture;
    int variant; // tiles: the orientation; texts: the number of the first text shown
    int x, y;
    int tint;
    int depth;
    int moveX, moveY; // between the first and the second frame
};

const Placement ScenePlacements[] = {
    // A row of the sprite under six transforms; the last crosses window 0's right edge.
    {Ship, 0, 1, 2, 0, 0, 0, 0},
    {Ship, 0, 14, 2, 1, 0, 2, 1},
    {Ship, 0, 27, 2, 3, 0, 0, 0},
    {Ship, 0, 40, 2, 5, 0, -1, 3},
    {Ship, 0, 53, 2, 7, 0, 0, 0},
    {Ship, 0, 66, 2, 8, 0, 4, 0},
    // The opaque tile in its eight orientations, and the translucent one.
    {Tile, 0, 2, 14, 0, 0, 0, 0},
    {Tile, 1, 11, 14, 1, 0, 0, 0},
    {Tile, 2, 20, 14, 2, 0, 0, 0},
    {Tile, 3, 29, 14, 3, 0, 0, 0},
    {Tile, 4, 38, 14, 4, 0, 0, 0},
    {Tile, 5, 47, 14, 5, 0, 0, 0},
    {Tile, 6, 56, 14, 6, 0, 0, 0},
    {Tile, 7, 65, 14, 7, 0, 1, 1},
    {GlassTile, 0, 2, 25, 3, 0, 0, 0},
    {GlassTile, 1, 11, 25, 4, 0, 0, 0},
    {GlassTile, 2, 20, 25, 5, 0, 0, 0},
    {GlassTile, 3, 29, 25, 6, 0, 0, 0},
    {GlassTile, 4, 38, 25, 7, 0, 0, 0},
    {GlassTile, 5, 47, 25, 8, 0, 0, 0},
    {GlassTile, 6, 56, 25, 0, 0, 0, 0},
    {GlassTile, 7, 65, 25, 1, 0, 0, 0},
    // The opaque sprite, and pixel blocks drawn mirrored.
    {Badge, 0, 3, 38, 6, 0, 0, 0},
    {Badge, 0, 13, 38, 0, 0, 0, 0},
    {Badge, 0, 23, 38, 8, 0, 0, 0},
    {WideBlock, 0, 32, 36, 0, 0, 0, 0},
    {WideBlock, 0, 43, 36, 2, 0, 0, 0},
    {TallGlassBlock, 0, 55, 36, 0, 0, 0, 0},
    {TallGlassBlock, 0, 63, 36, 5, 0, 0, -2},
    // Canvases, repainted between the frames.
    {Canvas, 0, 2, 50, 0, 0, 0, 0},
    {GlassCanvas, 0, 16, 50, 0, 0, 0, 0},
    {GlassCanvas, 0, 31, 50, 7, 0, 0, 0},
    {Canvas, 0, 46, 50, 1, 0, 0, 0},
    // Pictures over pictures; the first ship comes before the tile it overlaps but has the
    // higher depth, so it is drawn on top.
    {Ship, 0, 60, 64, 4, 1, 0, 0},
    {Tile, 6, 62, 66, 0, 0, 0, 0},
    {GlassTile, 2, 4, 64, 0, 0, 0, 0},
    {Ship, 0, 6, 66, 1, 0, 1, 0},
    {Tile, 5, 20, 64, 4, 0, 0, 0},
    {GlassCanvas, 0, 23, 66, 6, 0, 0, 0},
    {Ship, 0, 36, 64, 8, 0, 0, 0},
    {Ship, 0, 40, 67, 0, 0, -2, 2},
    {Badge, 0, 50, 65, 0, 0, 0, 0},
    {TallGlassBlock, 0, 52, 63, 3, 0, 0, 0},
    // Across the edges of the screen and of the windows.
    {Ship, 0, -5, 80, 0, 0, 1, 0},
    {Tile, 3, 70, 80, 0, 0, 0, 0},
    {GlassTile, 6, 30, -4, 0, 0, 0, 1},
    {Ship, 0, 40, 108, 2, 0, 0, 0},
    {Badge, 0, 72, 100, 0, 0, -3, 0},
    {WideBlock, 0, -4, 100, 0, 0, 0, 0},
    // Texts, alone, over a canvas and across window 0's right edge.
    {Text, 0, 2, 90, 0, 0, 0, 0},
    {Text, 1, 20, 91, 5, 0, 1, 0},
    {Text, 2, 44, 52, 8, 1, 0, 0},
    {Text, 2, 60, 94, 3, 0, 0, -1},
};

// The node for placement, not yet in a tree.
MvSceneNode* MakeNode(ScenePictures& pictures, const Placement& placement)
{
    switch (placement.picture) {
    case Ship: return new MvSpriteNode(pictures.ship.get());
    case Badge: return new MvSpriteNode(pictures.badge.get());
    case Tile: return new MvTileNode(pictures.tile.get(), placement.variant);
    case GlassTile: return new MvTileNode(pictures.glassTile.get(), placement.variant);
    case WideBlock: return new MirroredBlockNode(&pictures.wideBlock);
    case TallGlassBlock: return new MirroredBlockNode(&pictures.tallGlassBlock);
    case Canvas: return new MvCanvasNode(pictures.canvas.get());
    case GlassCanvas: return new MvCanvasNode(pictures.glassCanvas.get());
    case Text: return new MvTextNode(pictures.font.get(), SceneTexts[placement.variant]);
    }
    return nullptr;
}

// A stage on screen: one window over the whole screen, or two windows that leave a gap
// around and between them, filled with an extra background colour.
MvStage* MakeStage(SDL_Surface* screen, bool twoWindows)
{
    if (!twoWindows) {
        MvStage* stage = new MvStage(screen);
        const MvColor fill = Rgba(40, 70, 100, 255);
        stage->SetWindowBackground(0, &fill);
        return stage;
    }
    const MvIntRect windows[2] = {MvMakeRect(2, 2, 77, 115), MvMakeRect(82, 6, 157, 117)};
    const MvColor gap = Rgba(90, 40, 120, 255);
    MvStage* stage = new MvStage(screen, 2, windows, &gap);
    const MvColor fills[2] = {Rgba(20, 30, 60, 255), Rgba(60, 20, 30, 255)};
    stage->SetWindowBackground(0, &fills[0]);
    stage->SetWindowBackground(1, &fills[1]);
    return stage;
}

// The part of picture inside r.
Picture Crop(const Picture& picture, const MvIntRect& r)
{
    Picture part;
    part.width = r.Width();
    part.height = r.Height();
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x)
            part.pixels.push_back(picture.At(x, y));
    return part;
}

struct SceneCase {
    const char* name;
    bool twoWindows;
    // Only the opaque pictures, all under the identity transform.
    bool opaqueOnly;
    int tolerance;
};

void PrintTo(const SceneCase& scene, std::ostream* os) { *os << scene.name; }

class OpenGLSceneTest : public gltest::GlScreenTest, public testing::WithParamInterface<SceneCase> {
protected:
    void SetUp() override
    {
        gltest::GlScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        software_.reset(SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 32, 0xFF0000, 0xFF00, 0xFF, 0));
        ASSERT_NE(software_, nullptr);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        pictures_.reset(new ScenePictures);
    }

    // The textures die with the images while the OpenGL context still lives: the nodes
    // first, then the pictures.
    void TearDown() override
    {
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            glStage_.reset();
            softwareStage_.reset();
            pictures_.reset();
        }
        EXPECT_EQ(MvTextureManager::Current(), nullptr) << "a texture outlived its image";
        software_.reset();
        gltest::GlScreenTest::TearDown();
    }

    // Both stages with the scene's nodes (those placed in the scene's case), the OpenGL one
    // first: it requires that no texture exists yet.
    void BuildScene(const SceneCase& scene)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        glStage_.reset(MakeStage(Screen(), scene.twoWindows));
        softwareStage_.reset(MakeStage(software_.get(), scene.twoWindows));
        for (const Placement& placement : ScenePlacements) {
            if (scene.opaqueOnly && !IsOpaque(placement.picture))
                continue;
            placements_.push_back(placement);
            glNodes_.push_back(Place(glStage_.get(), placement, scene.opaqueOnly));
            softwareNodes_.push_back(Place(softwareStage_.get(), placement, scene.opaqueOnly));
        }
    }

    // Draws a frame on both stages; leaves what each shows in gl and software.
    void DrawBoth(Picture* gl, Picture* software)
    {
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            glStage_->Draw(true);
            softwareStage_->Draw(true);
        }
        *gl = gltest::ReadScreen();
        *software = gltest::ReadSurface(software_.get());
    }

    // Moves the nodes that move between the frames, shows every ship's other frame and every
    // text node's next text.
    void ChangeNodes(const std::vector<MvSceneNode*>& nodes, int windowCount)
    {
        for (size_t i = 0; i < nodes.size(); ++i) {
            MvSceneNode* node = nodes[i];
            for (int w = 0; w < windowCount; ++w)
                node->MoveTo(node->PosX(w) + placements_[i].moveX, node->PosY(w) + placements_[i].moveY, w);
            MvSpriteNode* sprite = node->AsSprite();
            if (sprite && sprite->FrameCount() > 1)
                sprite->SelectFrame(1 - sprite->CurrentFrame());
            if (MvTextNode* text = node->AsTextNode())
                text->SetText(SceneTexts[(placements_[i].variant + 1) % SceneTextCount]);
        }
    }

    MvSceneNode* Place(MvStage* stage, const Placement& placement, bool identityOnly)
    {
        MvSceneNode* node = MakeNode(*pictures_, placement);
        stage->SceneTree()->InsertNode(nullptr, node);
        node->SetDepth(placement.depth);
        for (int w = 0; w < stage->WindowCount(); ++w) {
            node->MoveTo(placement.x + 3 * w, placement.y + 5 * w, w);
            node->SetColorXform(Tint(identityOnly ? 0 : (placement.tint + 4 * w) % TintCount), w);
        }
        return node;
    }

    // Compares the frames; on failure keeps both as pictures to look at.
    void ExpectSameFrames(const Picture& gl, const Picture& software, int tolerance, const std::string& label)
    {
        const testing::AssertionResult same = gltest::SamePicture(software, gl, tolerance);
        if (same)
            return;
        const std::string base = testing::TempDir() + "OpenGLScene_" + GetParam().name + "_" + label;
        gltest::SavePpm(gl, base + "_gl.ppm");
        gltest::SavePpm(software, base + "_software.ppm");
        ADD_FAILURE() << label << ": " << same.message() << " (frames saved as " << base << "_*.ppm)";
    }

    ScenePictures& Pictures() { return *pictures_; }

    std::vector<Placement> placements_;
    std::vector<MvSceneNode*> glNodes_;       // owned by the OpenGL stage's tree
    std::vector<MvSceneNode*> softwareNodes_; // owned by the software stage's tree
    std::unique_ptr<MvStage> glStage_;
    std::unique_ptr<MvStage> softwareStage_;

private:
    SurfacePtr software_;
    std::unique_ptr<ScenePictures> pictures_;
};

TEST_P(OpenGLSceneTest, TheOpenGLFramesMatchTheSoftwareFrames)
{
    const SceneCase& scene = GetParam();
    BuildScene(scene);
    const int windowCount = scene.twoWindows ? 2 : 1;

    Picture gl, software;
    DrawBoth(&gl, &software);
    ExpectSameFrames(gl, software, scene.tolerance, "first");

    // The unmoved opaque canvas of window 0, to see that its new pixels arrive.
    MvIntRect canvasArea;
    canvasArea.SetEmpty();
    for (size_t i = 0; i < placements_.size(); ++i)
        if (placements_[i].picture == Canvas && placements_[i].tint == 0)
            canvasArea = glNodes_[i]->Bounds(0);
    ASSERT_TRUE(canvasArea.IsValid());
    const Picture canvasBefore = Crop(gl, canvasArea);

    // The unmoved untinted text of window 0, to see that its glyphs are drawn and that its
    // new text arrives: "ABC" starts with A, whose top row is red from its second column.
    MvIntRect textArea;
    textArea.SetEmpty();
    for (size_t i = 0; i < placements_.size(); ++i)
        if (placements_[i].picture == Text && placements_[i].tint == 0)
            textArea = glNodes_[i]->Bounds(0);
    ASSERT_TRUE(textArea.IsValid());
    const MvColor& red = gl.At(textArea.left + 1, textArea.top);
    EXPECT_TRUE(red.red == 255 && red.green == 0 && red.blue == 0) << "A is not drawn";
    const Picture textBefore = Crop(gl, textArea);

    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        ChangeNodes(glNodes_, windowCount);
        ChangeNodes(softwareNodes_, windowCount);
        Pictures().RepaintCanvases();
    }
    DrawBoth(&gl, &software);
    ExpectSameFrames(gl, software, scene.tolerance, "second");
    EXPECT_FALSE(gltest::SamePicture(canvasBefore, Crop(gl, canvasArea), 0)) << "the canvas kept its old pixels";
    EXPECT_FALSE(gltest::SamePicture(textBefore, Crop(gl, textArea), 0)) << "the text kept its old glyphs";
}

const SceneCase SceneCases[] = {
    {"OneWindowOpaque", false, true, 0},
    {"OneWindow", false, false, ArithmeticTolerance},
    {"TwoWindowsOpaque", true, true, 0},
    {"TwoWindows", true, false, ArithmeticTolerance},
};

INSTANTIATE_TEST_SUITE_P(Scenes, OpenGLSceneTest, testing::ValuesIn(SceneCases),
                         [](const testing::TestParamInfo<SceneCase>& info) { return std::string(info.param.name); });

} // namespace
