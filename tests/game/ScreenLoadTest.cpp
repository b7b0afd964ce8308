// The screen load puts the game's sprites into the new stage's vault, from the folder the
// program runs in; without a readable file the process ends with its fixed exit code and
// one line on standard error saying why.

#include "GameScreenStage.h"
#include "GameState.h"
#include "GameWorld.h"
#include "MvFailedCheck.h"
#include "MvLogCapture.h"
#include "MvResourceVault.h"
#include "MvStage.h"
#include "MvWorkingFolder.h"
#include "SpriteIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

// The folder holding "Images/Sprites.dat".
std::string GameFolder()
{
    std::string file = MOVO_SPRITES_FILE;
    return file.substr(0, file.rfind("/Images/"));
}

// A stage over an off-screen surface as the current screen, and the world, run from a
// chosen folder; the working folder is restored at the end.
class ScreenLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        screen_.reset(new GameScreenStage);
        ASSERT_NE(GameState::engine, nullptr);
    }
    void TearDown() override
    {
        screen_.reset();
    }

    // Sends every logged line to standard error as well, where a death test can see it.
    static void ToStderr(const char* text, void*) { std::fputs(text, stderr); }

    MvWorkingFolder folder_;
    GameWorld world_;
    std::unique_ptr<GameScreenStage> screen_;
};

TEST_F(ScreenLoadTest, LoadsTheGameSpritesIntoTheStageVault)
{
    ASSERT_EQ(chdir(GameFolder().c_str()), 0);
    MvLogCapture log(MvLogCapture::QuietStdout);
    world_.LoadScreen();
    EXPECT_TRUE(log.Contains("Loaded BrumoSprites.dat\n"));
    EXPECT_FALSE(log.Contains("Error loading"));
    EXPECT_NE(GameState::engine->Vault()->FindSpriteResource(kSpriteGlyphs), nullptr);
    EXPECT_NE(GameState::engine->Vault()->FindSpriteResource(kSpriteHero), nullptr);
}

TEST_F(ScreenLoadTest, EveryNewStageLoadsTheFileAgain)
{
    ASSERT_EQ(chdir(GameFolder().c_str()), 0);
    MvLogCapture log(MvLogCapture::QuietStdout);
    world_.LoadScreen();
    delete GameState::engine;
    GameState::engine = new MvStage(screen_->Surface());
    world_.LoadScreen();
    EXPECT_NE(GameState::engine->Vault()->FindSpriteResource(kSpriteGlyphs), nullptr);
}

using ScreenLoadDeathTest = ScreenLoadTest;

TEST_F(ScreenLoadDeathTest, AMissingFileEndsTheProcessWithCode255)
{
    char folder[] = "/tmp/movo-nospritesXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    EXPECT_EXIT(
        {
            MvSetDebugSink(ToStderr, nullptr);
            world_.LoadScreen();
        },
        ::testing::ExitedWithCode(255),
        std::string("Error loading the BrumoSprites dat file\ncannot open 'Images/Sprites.dat': No such file or "
                    "directory; the game runs from ") +
            folder + ": start it from its own folder, the one holding Images/ and Sounds/\n$");
    rmdir(folder);
}

TEST_F(ScreenLoadDeathTest, AnUnreadableFileEndsTheProcessWithCode255)
{
    char folder[] = "/tmp/movo-badspritesXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ASSERT_EQ(chdir(folder), 0);
    ASSERT_EQ(mkdir("Images", 0700), 0);
    FILE* bad = std::fopen("Images/Sprites.dat", "wb");
    ASSERT_NE(bad, nullptr);
    std::fputs("MOVO but not really", bad);
    std::fclose(bad);
    EXPECT_EXIT(
        {
            MvSetDebugSink(ToStderr, nullptr);
            world_.LoadScreen();
        },
        ::testing::ExitedWithCode(255),
        "Error loading the BrumoSprites dat file\nError in resource file 'Images/Sprites.dat' at byte [0-9]+: "
        "[^\n]+\n$");
    std::remove("Images/Sprites.dat");
    rmdir("Images");
    rmdir(folder);
}

TEST_F(ScreenLoadDeathTest, LoadingNeedsAStage)
{
    delete GameState::engine;
    GameState::engine = nullptr;
    EXPECT_DEATH(world_.LoadScreen(), MvFailedCheck("GameState::engine != nullptr"));
}

} // namespace
