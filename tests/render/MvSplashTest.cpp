// The splash resource file built into the program, and the stage's splash that shows it.

#include "SceneTestSupport.h"

#include "MvAction.h"
#include "MvFailedCheck.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSplashData.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"

#include <cstdint>
#include <cstring>
#include <malloc.h>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

using scenetest::StageOnScreen;

namespace {

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// Bytes the program holds on the heap: the sanitizer's allocator counts its own; glibc's
// are those in use in its arena plus its separately mapped blocks.
int64_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<int64_t>(info.uordblks + info.hblkhd);
#endif
}

TEST(SplashFile, HasTheSizeHeaderAndTalliesOfTwoOpaquePictures)
{
    ASSERT_EQ(MvSplashFileSize, 191182);
    ASSERT_EQ(MvSplashFileSize, MvSplashFileExpectedSize);
    EXPECT_EQ(std::memcmp(MvSplashFile, "MOVO2.0.2", 10), 0); // the version ends with its zero byte
    EXPECT_EQ(Le32(MvSplashFile + 10), 63393u);              // 320 x 163 + 239 x 47 pixels
    EXPECT_EQ(Le32(MvSplashFile + 14), 210u);                // rows
    EXPECT_EQ(Le32(MvSplashFile + 18), 210u);                // segments
    // Two sprite records of 157194 and 33942 payload bytes, then the end record.
    EXPECT_EQ(Le32(MvSplashFile + 22), 2u);
    EXPECT_EQ(Le32(MvSplashFile + 26), 157194u);
    const uint8_t* second = MvSplashFile + 30 + 157194;
    EXPECT_EQ(Le32(second), 2u);
    EXPECT_EQ(Le32(second + 4), 33942u);
    const uint8_t* end = second + 8 + 33942;
    EXPECT_EQ(Le32(end), 1u);
    EXPECT_EQ(Le32(end + 4), 0u);
    EXPECT_EQ(end + 8, MvSplashFile + MvSplashFileSize);
}

TEST(SplashFile, LoadsTwoSpritesEachWithOneOpaqueFrameInActionNone)
{
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    MvResourceVault vault;
    ASSERT_TRUE(vault.LoadDatFileFromMemory(MvSplashFile, MvSplashFileSize));
    EXPECT_EQ(vault.ResourceCount(), 2);

    struct Case {
        const char* name;
        int32_t id;
        int width;
        int height;
    };
    const Case cases[] = {{"splash", 3, 320, 163}, {"splashText", 1, 239, 47}};
    for (const Case& c : cases) {
        MvSpriteResource* sprite = vault.FindSpriteResource(c.name);
        ASSERT_NE(sprite, nullptr) << c.name;
        EXPECT_EQ(vault.FindSpriteResource(c.id), sprite) << c.name;
        EXPECT_EQ(sprite->Id(), c.id);
        EXPECT_EQ(vault.FindTileResource(c.name), nullptr) << "a sprite is not a tile";
        ASSERT_EQ(sprite->ActionCount(), 1);
        MvAction* action = sprite->FindAction("NONE");
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(sprite->FindAction(int32_t(2)), action);
        EXPECT_EQ(action->Id(), 2);
        EXPECT_EQ(sprite->FindAction("none"), nullptr);
        ASSERT_EQ(action->FrameCount(), 1);

        const MvRle* frame = action->FrameAt(0);
        EXPECT_EQ(frame->Width(), c.width);
        EXPECT_EQ(frame->Height(), c.height);
        EXPECT_FALSE(frame->HasAlpha());
        EXPECT_EQ(frame->SegmentCount(), c.height) << "one run a row";
        EXPECT_EQ(frame->PixelCount(), c.width * c.height) << "every pixel opaque";
        EXPECT_EQ(frame->OffsetX(), 0);
        EXPECT_EQ(frame->OffsetY(), 0);
    }
}

class SplashTest : public testing::Test {
protected:
    SplashTest() : s(800, 600) {}
    StageOnScreen s;
};

TEST_F(SplashTest, BeginPlacesThePictureCentredAboveItsTextOnTop)
{
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->BeginSplash(0);
    }
    ASSERT_TRUE(s.stage->IsSplashActive());
    MvSpriteNode* picture = s.stage->SplashNode();
    MvSpriteNode* text = s.stage->SplashTextNode();
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(picture->Parent(), s.Tree().SceneRoot());
    EXPECT_EQ(text->Parent(), s.Tree().SceneRoot());
    // (800/2 - 320/2, 600/4 - 163/2) and (800/2 - 239/2, 69 + 163 + 20).
    EXPECT_EQ(picture->PosX(0), 240);
    EXPECT_EQ(picture->PosY(0), 69);
    EXPECT_EQ(text->PosX(0), 281);
    EXPECT_EQ(text->PosY(0), 252);
    EXPECT_EQ(picture->Depth(), 5000);
    EXPECT_EQ(text->Depth(), 5000);
}

TEST_F(SplashTest, AdvanceFadesInOverOneSecondAndEndsAfterTwo)
{
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->BeginSplash(4000000000u); // the clock wraps during the splash
    }
    struct Case {
        uint32_t elapsed;
        int alpha;
        bool identity;
        bool done;
    };
    const Case cases[] = {{0, 0, false, false},      {1, 0, false, false},      {500, 127, false, false},
                          {999, 254, false, false},  {1000, 255, true, false},  {1999, 255, true, false},
                          {2000, 255, true, true},   {60000, 255, true, true}};
    for (const Case& c : cases) {
        const bool done = s.stage->AdvanceSplash(4000000000u + c.elapsed);
        EXPECT_EQ(done, c.done) << c.elapsed;
        for (MvSpriteNode* node : {s.stage->SplashNode(), s.stage->SplashTextNode()}) {
            EXPECT_EQ(node->ColorXform(0).Alpha(), c.alpha) << c.elapsed;
            EXPECT_EQ(node->ColorXform(0).IsIdentity(), c.identity) << c.elapsed;
        }
    }
}

TEST_F(SplashTest, TheSplashIsDrawnFromTheEmbeddedPicturesAndFinishErasesIt)
{
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->BeginSplash(10);
    }
    s.stage->AdvanceSplash(2010);
    s.stage->Draw(false);

    // The picture's top-left pixel and the text's, as stored in the file.
    const MvRle* pictureFrame = s.stage->SplashNode()->CurrentAction()->FrameAt(0);
    const MvRle* textFrame = s.stage->SplashTextNode()->CurrentAction()->FrameAt(0);
    EXPECT_EQ(s.screen.Pixel(240, 69), scenetest::Raw(pictureFrame->Row(0).segments[0].pixels[0]));
    EXPECT_EQ(s.screen.Pixel(240 + 319, 69 + 162), scenetest::Raw(pictureFrame->Row(162).segments[0].pixels[319]));
    EXPECT_EQ(s.screen.Pixel(281, 252), scenetest::Raw(textFrame->Row(0).segments[0].pixels[0]));
    EXPECT_EQ(s.screen.Pixel(239, 69), 0u);

    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->FinishSplash();
    }
    EXPECT_FALSE(s.stage->IsSplashActive());
    EXPECT_EQ(s.stage->SplashNode(), nullptr);
    EXPECT_EQ(s.stage->SplashTextNode(), nullptr);
    EXPECT_TRUE(s.Tree().SceneRoot()->Children().Done());
    s.stage->Draw(false);
    s.screen.ExpectPixels([](int, int) { return 0u; }, "after the splash");

    // A second splash may follow the first.
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->BeginSplash(5000);
        s.stage->FinishSplash();
    }
}

TEST_F(SplashTest, AStageDestroyedDuringTheSplashFreesItsVault)
{
    // A stage over the same screen, made and destroyed in the middle of its splash, gives
    // back the heap it took, the splash vault's pixels included (the leak checker of the
    // sanitizer build also reports the vault).
    s.stage.reset();
    const int64_t before = HeapInUse();
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage.reset(new MvStage(s.screen.Surface()));
        s.stage->BeginSplash(0);
        s.stage->AdvanceSplash(100);
        s.stage->Draw(false);
        s.stage.reset();
    }
    const int64_t splashPixelBytes = int64_t(Le32(MvSplashFile + 10)) * 4;
    EXPECT_LT(HeapInUse() - before, splashPixelBytes);
}

typedef SplashTest SplashDeathTest;

TEST_F(SplashDeathTest, SplashCallsOutOfOrderAreCaught)
{
    EXPECT_DEATH(s.stage->AdvanceSplash(0), MvFailedCheck("splashVault_ != nullptr")) << "advance before begin";
    EXPECT_DEATH(s.stage->FinishSplash(), MvFailedCheck("splashVault_ != nullptr")) << "finish before begin";
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->BeginSplash(0);
    }
    EXPECT_DEATH(s.stage->BeginSplash(0), MvFailedCheck("splashVault_ == nullptr")) << "begin twice";
}

} // namespace
