// The stage on an OpenGL screen: the state it sets up, whole-window frames with their
// fills and the extra background, the buffer swap, the renderer description, and the
// textures of its images from the first frame to the stage's end.

#include "GlTestSupport.h"

#include "ResourceTestSupport.h"
#include "RectHelpers.h"

#include "MvCanvasNode.h"
#include "MvCanvasResource.h"
#include "MvFontResource.h"
#include "MvLogCapture.h"
#include "MvScratchFolder.h"
#include "MvPixelBlock.h"
#include "MvPngImage.h"
#include "MvResourceVault.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "MvTestAccess.h"
#include "MvTextNode.h"
#include "MvTextureManager.h"
#include "MvTileNode.h"
#include "MvTileResource.h"

#include <GL/gl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

using gltest::Picture;

namespace {

class StageOpenGLTest : public gltest::GlScreenTest {
protected:
    // Every test leaves no texture behind: the next stage could not be set up.
    void TearDown() override
    {
        EXPECT_EQ(MvTextureManager::Current(), nullptr);
        gltest::GlScreenTest::TearDown();
    }

    // A stage over the screen, its construction log swallowed.
    std::unique_ptr<MvStage> MakeStage(int nWindows = 1, const MvIntRect* windows = nullptr,
                                       const MvColor* extraFill = nullptr)
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        const MvIntRect whole = R(0, 0, Width - 1, Height - 1);
        return std::unique_ptr<MvStage>(new MvStage(Screen(), nWindows, windows ? windows : &whole, extraFill));
    }

    // Expects every pixel of the screen to be expected(x, y).
    static void ExpectScreen(const std::function<MvColor(int, int)>& expected, const char* what)
    {
        const Picture actual = gltest::ReadScreen();
        Picture wanted = actual;
        for (int y = 0; y < actual.height; ++y)
            for (int x = 0; x < actual.width; ++x)
                wanted.At(x, y) = expected(x, y);
        EXPECT_TRUE(gltest::SamePicture(wanted, actual, 0)) << what;
    }
};

TEST_F(StageOpenGLTest, SetUpLeavesPixelProjectionTexturingAndBlending)
{
    const MvColor extra = Rgba(51, 102, 204, 255);
    const MvIntRect window = R(0, 0, Width - 1, Height - 1);
    std::unique_ptr<MvStage> stage = MakeStage(1, &window, &extra);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    std::array<GLint, 4> viewport;
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, Width, Height}));
    std::array<GLfloat, 4> clear;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_FLOAT_EQ(clear[0], 0.2f);
    EXPECT_FLOAT_EQ(clear[1], 0.4f);
    EXPECT_FLOAT_EQ(clear[2], 0.8f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);
    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);

    // Screen pixels are units with y growing downwards: (x, y, z) maps to normalised
    // (2x / W - 1, 1 - 2y / H, -z / 50000); the model-view matrix moves by 3/8 pixel.
    std::array<GLfloat, 16> m;
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    const std::array<GLfloat, 16> ortho = {2.0f / Width, 0, 0, 0, 0, -2.0f / Height, 0, 0,
                                           0, 0, -1.0f / 50000, 0, -1, 1, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], ortho[i], 1e-6) << "projection element " << i;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    const std::array<GLfloat, 16> shift = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.375f, 0.375f, 0, 1};
    EXPECT_EQ(m, shift);
}

TEST_F(StageOpenGLTest, EveryFrameClearsAndFillsWholeWindowsAndSwaps)
{
    // Two windows that leave a gap (x 70..79) and a strip below (y 100..119) to the extra
    // background; the second window is not filled.
    const MvIntRect windows[] = {R(0, 0, 69, 99), R(80, 0, 159, 99)};
    const MvColor extra = Rgba(0, 0, 255, 255);
    std::unique_ptr<MvStage> stage = MakeStage(2, windows, &extra);
    const MvColor green = Rgba(0, 200, 0, 255);
    stage->SetWindowBackground(0, &green);
    stage->SetWindowBackground(1, nullptr);
    MvGrowArray<MvIntRect> rectangles;
    rectangles.Append(R(1, 1, 2, 2));
    // updateRect plays no part: the frame is swapped in anyway.
    stage->Draw(false, &rectangles);
    EXPECT_EQ(rectangles.Count(), 0);
    EXPECT_EQ(stage->DirtyList(0).Count(), 0);
    EXPECT_EQ(stage->DirtyList(1).Count(), 0);
    ExpectScreen([&](int x, int y) { return x < 70 && y < 100 ? green : extra; }, "first frame");

    // A frame in which nothing changed redraws everything all the same.
    const MvColor red = Rgba(255, 0, 0, 255);
    stage->SetWindowBackground(1, &red);
    stage->Draw(true);
    stage->Draw(true);
    ExpectScreen(
        [&](int x, int y) {
            if (y >= 100 || (x >= 70 && x < 80))
                return extra;
            return x < 70 ? green : red;
        },
        "third frame");
}

TEST_F(StageOpenGLTest, PresentSwapsTheBuffers)
{
    std::unique_ptr<MvStage> stage = MakeStage();
    stage->Draw(true);
    ExpectScreen([](int, int) { return Rgba(0, 0, 0, 255); }, "black window");
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    stage->Present(nullptr);
    ExpectScreen([](int, int) { return Rgba(255, 255, 0, 255); }, "after Present");
}

// Two windows drawn on an OpenGL screen, green and red, the rest of the screen blue: what
// a capture and a screenshot must show.
class TwoWindowFrameTest : public StageOpenGLTest {
protected:
    std::unique_ptr<MvStage> DrawTwoWindows()
    {
        const MvIntRect windows[] = {R(0, 0, 69, 99), R(80, 0, 159, 99)};
        std::unique_ptr<MvStage> stage = MakeStage(2, windows, &Extra);
        stage->SetWindowBackground(0, &Green);
        stage->SetWindowBackground(1, &Red);
        stage->Draw(true);
        return stage;
    }

    // The pixels of a width x height picture, read by at(x, y), that differ from the frame.
    int WrongPixels(int width, int height, const std::function<MvColor(int, int)>& at)
    {
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const MvColor& expected = y >= 100 || (x >= 70 && x < 80) ? Extra : x < 70 ? Green : Red;
                if (at(x, y) != expected)
                    ++wrong;
            }
        return wrong;
    }

    const MvColor Extra = Rgba(0, 0, 255, 255);
    const MvColor Green = Rgba(0, 200, 0, 255);
    const MvColor Red = Rgba(255, 0, 0, 255);
};

// A capture after Draw is the presented frame, read from the front buffer top row first.
TEST_F(TwoWindowFrameTest, CaptureScreenReadsThePresentedFrame)
{
    std::unique_ptr<MvStage> stage = DrawTwoWindows();
    MvPixelBlock shot;
    stage->CaptureScreen(&shot);
    ASSERT_EQ(int(Width), shot.Width());
    ASSERT_EQ(int(Height), shot.Height());
    EXPECT_EQ(0, WrongPixels(Width, Height, [&](int x, int y) { return shot.Pixels()[y * Width + x]; }));
}

// A screenshot on an OpenGL screen is the captured frame written to a PNG file.
TEST_F(TwoWindowFrameTest, SaveScreenshotWritesTheCapturedFrame)
{
    std::unique_ptr<MvStage> stage = DrawTwoWindows();
    MvScratchFolder scratch;
    const std::string path = scratch / "shot.png";
    std::string error;
    ASSERT_TRUE(stage->SaveScreenshot(path.c_str(), &error)) << error;
    MvPngImage saved;
    ASSERT_TRUE(saved.Load(path, &error)) << error;
    ASSERT_EQ(int(Width), saved.Width());
    ASSERT_EQ(int(Height), saved.Height());
    EXPECT_EQ(0, WrongPixels(Width, Height, [&](int x, int y) { return saved.At(x, y); }));
}

TEST_F(StageOpenGLTest, DescribeRendererNamesTheOpenGLDriver)
{
    std::unique_ptr<MvStage> stage = MakeStage();
    std::string text;
    stage->DescribeRenderer(&text);
    const std::string expected = "v2.0.7 " + std::to_string(Screen()->format->BitsPerPixel) +
                                 "bbp Fullscreen=0 Linux OpenGL render: Vendor: '" +
                                 reinterpret_cast<const char*>(glGetString(GL_VENDOR)) + "'  Renderer: '" +
                                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)) + "'  Version: '" +
                                 reinterpret_cast<const char*>(glGetString(GL_VERSION)) + "'";
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.find("Mesa"), std::string::npos) << text;
}

// The images of a stage's vault make their textures on their first frame, keep them
// while frames go on, and give them back with the stage, so that the next stage can be
// set up.
TEST_F(StageOpenGLTest, TexturesLiveFromTheFirstFrameToTheStagesEnd)
{
    std::unique_ptr<MvSpriteResource> source(
        restest::MakeSprite("dot", 7, {{"NONE", 2, {{{"RG", "BW"}, 0, 0, 0, 0}, {{"W"}, 0, 0, 0, 0}}}}));
    const std::vector<uint8_t> file = restest::SaveFile({source.get()});

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::unique_ptr<MvStage> stage = MakeStage();
        MvLogCapture log(MvLogCapture::QuietStdout);
        ASSERT_TRUE(stage->Vault()->LoadDatFileFromMemory(file.data(), int(file.size())));
        MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource("dot"));
        node->MoveTo(10, 20);
        stage->SceneTree()->InsertNode(nullptr, node);
        EXPECT_EQ(MvTextureManager::Current(), nullptr);

        log.Clear();
        stage->Draw(true);
        ASSERT_NE(MvTextureManager::Current(), nullptr);
        EXPECT_EQ(MvTextureManager::Current()->TextureCount(), 1);
        const std::string created = log.Text();
        EXPECT_EQ(created.rfind("Texture ", 0), 0u) << created;
        EXPECT_NE(created.find(" created\n"), std::string::npos) << created;
        const Picture first = gltest::ReadScreen();
        EXPECT_EQ(first.At(10, 20), Rgba(255, 0, 0, 255));
        EXPECT_EQ(first.At(11, 21), Rgba(255, 255, 255, 255));

        // Later frames reuse the texture; the second frame's image gets its own.
        log.Clear();
        stage->Draw(true);
        EXPECT_EQ(log.Text(), "");
        node->SelectFrame(1);
        stage->Draw(true);
        EXPECT_EQ(MvTextureManager::Current()->TextureCount(), 2);

        log.Clear();
        stage.reset();
        const std::string end = log.Text();
        EXPECT_NE(end.find("deleting. Count=1\n"), std::string::npos) << end;
        EXPECT_NE(end.find("deleting. Count=0\nMvTextureManager destructor.\n"), std::string::npos) << end;
        EXPECT_EQ(MvTextureManager::Current(), nullptr);
    }
}

// The engine's splash on both paths: its two pictures fade in through the node's alpha
// and then stand opaque, and every frame of it looks the same either way.
TEST_F(StageOpenGLTest, TheSplashLooksAsInSoftware)
{
    // A screen of its own, large enough for the splash, in a fresh window.
    const int width = 400, height = 300;
    SDL_Quit();
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, SDL_OPENGL);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    SDL_Surface* memory = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(memory, nullptr);
    {
        const MvColor grey = Rgba(90, 90, 90, 255);
        std::unique_ptr<MvStage> opengl(new MvStage(screen));
        std::unique_ptr<MvStage> software(new MvStage(memory));
        for (MvStage* stage : {opengl.get(), software.get()}) {
            stage->SetBackgroundColor(&grey);
            stage->BeginSplash(1000);
        }
        // Half faded in (alpha 127), then opaque.
        for (uint32_t msec : {1500u, 2500u}) {
            for (MvStage* stage : {opengl.get(), software.get()}) {
                stage->AdvanceSplash(msec);
                stage->Draw(true);
            }
            const Picture expected = gltest::ReadSurface(memory);
            const Picture actual = gltest::ReadScreen();
            // Blending rounds differently in OpenGL and in the blitters: by one step at most.
            EXPECT_TRUE(gltest::SamePicture(expected, actual, msec == 2500 ? 0 : 1)) << msec << " ms";
            EXPECT_NE(actual.At(width / 2, height / 4), grey) << "the picture is shown";
        }
        for (MvStage* stage : {opengl.get(), software.get()})
            stage->FinishSplash();
        opengl->Draw(true);
        const Picture done = gltest::ReadScreen();
        EXPECT_EQ(done.At(width / 2, height / 4), grey);
        EXPECT_EQ(MvTextureManager::Current(), nullptr) << "the splash's textures went with its vault";
    }
    SDL_FreeSurface(memory);
}

// A scaled sprite is one quad over the bounds the software path paints: filtered
// linearly rather than sampled, so its inside differs, but it covers the same pixels.
TEST_F(StageOpenGLTest, AScaledSpriteCoversWhatTheSoftwarePathCovers)
{
    SDL_Surface* memory = SDL_CreateRGBSurface(SDL_SWSURFACE, Width, Height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(memory, nullptr);
    std::unique_ptr<MvSpriteResource> sprite(
        restest::MakeSprite("s", 1, {{"NONE", 2, {{{"RRGGR", "RRGGB", "BBWWK"}, 2, 1, 0, 0}}}}));
    const MvColor grey = Rgba(90, 90, 90, 255);
    const struct {
        double xScale, yScale;
        int x, y;
    } cases[] = {{2.0, 2.0, 20, 30}, {3.5, 1.25, 41, 7}, {0.5, 0.5, 100, 100}, {1.0, 4.0, 150, 60}};
    {
        std::unique_ptr<MvStage> opengl = MakeStage();
        std::unique_ptr<MvStage> software;
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            software.reset(new MvStage(memory));
        }
        for (MvStage* stage : {opengl.get(), software.get()}) {
            stage->SetBackgroundColor(&grey);
            for (const auto& c : cases) {
                MvSpriteNode* node = new MvSpriteNode(sprite.get());
                node->MoveTo(c.x, c.y);
                node->SetScaling(MvFixed::FromDouble(c.xScale), MvFixed::FromDouble(c.yScale), -1);
                stage->SceneTree()->InsertNode(nullptr, node);
            }
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            stage->Draw(true);
        }
        const Picture expected = gltest::ReadSurface(memory);
        const Picture actual = gltest::ReadScreen();
        int covered = 0;
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                const bool inSoftware = expected.At(x, y) != grey;
                covered += inSoftware;
                ASSERT_EQ(actual.At(x, y) != grey, inSoftware) << "pixel " << x << "," << y;
            }
        }
        // Bounds round both edges: 17.5 x 3.75 covers 17 x 4 pixels here, 2.5 x 1.5 covers 2 x 2.
        EXPECT_EQ(covered, 10 * 6 + 17 * 4 + 2 * 2 + 5 * 12);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        opengl.reset();
        software.reset();
    }
    SDL_FreeSurface(memory);
}

// A node whose picture is scaled below one pixel is drawn as nothing on the OpenGL path
// too: no quad and no texture, for every kind, and a text draws only its glyphs that
// cover a pixel. Scaled up again, each node is drawn where it is.
TEST_F(StageOpenGLTest, NodesThatCoverNothingMakeNoQuadAndNoTexture)
{
    std::unique_ptr<MvSpriteResource> dot(restest::MakeSprite("dot", 1, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}}));
    SurfacePtr red = restest::MakePicture({"R"});
    MvPaintTarget redPicture(red.get());
    std::unique_ptr<MvTileResource> tile(new MvTileResource("dot", redPicture, 0, 0, 1));
    std::unique_ptr<MvCanvasResource> canvas(new MvCanvasResource("dot", 1, 1, true));
    canvas->Pixels()[0] = PaletteColor('R');
    // 'A' is one red pixel, 'B' three green ones, each in a cell of 3.
    SurfacePtr glyphs = restest::MakePicture({"R..GGG"});
    MvPaintTarget glyphPicture(glyphs.get());
    std::unique_ptr<MvFontResource> font;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        font.reset(new MvFontResource("cells", glyphPicture, 65, 32, MvFontResource::FixedCells, 2));
    }
    const MvColor grey = Rgba(90, 90, 90, 255);
    const MvFixed smallest = MvFixed::FromRaw(1);
    const MvFixed half = MvFixed::FromRaw(MvFixedOne / 2);
    {
        std::unique_ptr<MvStage> stage = MakeStage();
        stage->SetBackgroundColor(&grey);
        MvDrawableNode* const tiny[] = {new MvSpriteNode(dot.get()), new MvTileNode(tile.get()),
                                        new MvCanvasNode(canvas.get()), new MvTextNode(font.get(), "A")};
        for (int i = 0; i < 4; ++i) {
            tiny[i]->MoveTo(10 + 10 * i, 20);
            tiny[i]->SetScaling(smallest, smallest);
            stage->SceneTree()->InsertNode(nullptr, tiny[i]);
        }
        // Half as wide, A covers no column and B two: the pen puts B at 1.5.
        MvTextNode* halfText = new MvTextNode(font.get(), "AB");
        halfText->MoveTo(60, 20);
        halfText->SetScaling(half, MvFixed::FromInt(1));
        stage->SceneTree()->InsertNode(nullptr, halfText);
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            stage->Draw(true);
        }
        ASSERT_EQ(halfText->Bounds(0), R(61, 20, 62, 20));
        ExpectScreen([&](int x, int y) { return y == 20 && (x == 61 || x == 62) ? Opaque(0, 255, 0) : grey; },
                     "only B of the half-size text");
        ASSERT_NE(MvTextureManager::Current(), nullptr);
        EXPECT_EQ(MvTextureManager::Current()->TextureCount(), 1) << "B's texture only";

        for (MvDrawableNode* node : tiny)
            node->SetScaling(MvFixed::FromInt(1), MvFixed::FromInt(1));
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            stage->Draw(true);
        }
        ExpectScreen(
            [&](int x, int y) {
                if (y == 20 && (x == 61 || x == 62))
                    return Opaque(0, 255, 0);
                return y == 20 && x >= 10 && x <= 40 && x % 10 == 0 ? Opaque(255, 0, 0) : grey;
            },
            "every node back at scale 1");
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        stage.reset();
    }
}

TEST_F(StageOpenGLTest, BrokenCallsAreCaught)
{
    // A new stage while another stage's textures live.
    EXPECT_DEATH(
        {
            MvLogCapture quiet(MvLogCapture::QuietStdout);
            const std::vector<MvColor> pixels(1, Rgba(1, 2, 3, 255));
            MvTextureManager::Instance()->NewTexture(pixels.data(), 1, 1);
            MvStage stage(Screen());
        },
        "TextureCount\\(\\) == 0");
    // The OpenGL path always draws whole windows.
    std::unique_ptr<MvStage> stage = MakeStage();
    stage->SceneTree()->Recompute();
    EXPECT_DEATH(MvTestAccess::DrawRect(stage->SceneTree(), R(0, 0, 5, 5), &MvTestAccess::PaintTarget(stage.get()), 0),
                 "clip == engine_->WindowRect");
}

} // namespace
