// The real program when things go wrong around it. Start-up failures print their fixed
// line and then their reason on standard error; a resource file with one field changed
// is refused at the first screen with exit code 255, the fixed failure line and one line
// on standard error saying what is wrong; SIGINT and SIGTERM end it at once with exit
// code 0 as Escape does; a sound file that is missing is named once and play goes on.

#include "GameOnXvfb.h"
#include "SpriteIds.h"
#include "SpritesFileEdit.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Each test runs the game from a folder of its own, holding what the test gives it and
// the file the game's standard error goes to; the folder goes at the end.
class GameFaultTest : public GameOnXvfb {
protected:
    void SetUp() override
    {
        GameOnXvfb::SetUp();
        std::string folder = testing::TempDir() + "movo-fault-XXXXXX";
        ASSERT_NE(mkdtemp(&folder[0]), nullptr) << folder;
        folder_ = folder;
        errorFile_ = folder_ + "/stderr.txt";
        fs::create_directory(folder_ + "/Images");
        fs::create_directory(folder_ + "/Sounds");
    }
    void TearDown() override
    {
        game_.Kill();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Links every sound of the game into the test's folder except the one named skip.
    void LinkSounds(const std::string& skip = "")
    {
        for (const fs::directory_entry& sound : fs::directory_iterator(std::string(MOVO_GAME_FOLDER) + "/Sounds"))
            if (sound.path().filename() != skip)
                fs::create_symlink(sound.path(), folder_ + "/Sounds/" + sound.path().filename().string());
    }

    // Starts the game from the test's folder and waits until its menu runs.
    testing::AssertionResult StartOnMenu()
    {
        testing::AssertionResult started = StartGame("dummy", "x11", folder_.c_str());
        if (started)
            started = WaitForGameWindow();
        if (started)
            started = WaitForScreen(1);
        return started;
    }

    std::string folder_;
};

const char* const SpritesFile = MOVO_GAME_FOLDER "/Images/Sprites.dat";

// ---- Start-up failures: the fixed line on standard output, the reason on standard error

using GameStartUpTest = GameFaultTest;

TEST_F(GameStartUpTest, MissingAudioDeviceEndsWithCode1)
{
    ASSERT_TRUE(StartGame("bogus"));
    ASSERT_TRUE(ExpectExit(1));
    EXPECT_NE(game_.Output().find("Can't open audio subsystem...\n"), std::string::npos) << game_.Output();
    const std::string reason = ErrorText();
    EXPECT_EQ(reason.rfind("no audio device for 44100 Hz 16-bit stereo (SDL_AUDIODRIVER=bogus): ", 0), 0u) << reason;
    EXPECT_EQ(std::count(reason.begin(), reason.end(), '\n'), 1) << reason;
}

TEST_F(GameStartUpTest, MissingVideoDriverEndsWithCode255)
{
    ASSERT_TRUE(StartGame("dummy", "bogus"));
    ASSERT_TRUE(ExpectExit(255));
    EXPECT_EQ(game_.Output().rfind("Couldn't initialize SDL: ", 0), 0u) << game_.Output();
    EXPECT_EQ(game_.Output().back(), '\n') << game_.Output();
    EXPECT_EQ(ErrorText().rfind("SDL cannot start (SDL_VIDEODRIVER=bogus): ", 0), 0u) << ErrorText();
}

// Started from a folder without the game's files: the line names that folder.
TEST_F(GameStartUpTest, MissingSpritesFileEndsWithCode255)
{
    ASSERT_TRUE(StartGame("dummy", "x11", folder_.c_str()));
    ASSERT_TRUE(ExpectExit(255));
    EXPECT_NE(game_.Output().find("Error loading the BrumoSprites dat file\n"), std::string::npos) << game_.Output();
    EXPECT_EQ(game_.CountInOutput("Loaded BrumoSprites.dat"), 0) << game_.Output();
    char here[4096];
    ASSERT_NE(realpath(folder_.c_str(), here), nullptr);
    EXPECT_EQ(ErrorText(), std::string("cannot open 'Images/Sprites.dat': No such file or directory; the game runs "
                                       "from ") +
                               here + ": start it from its own folder, the one holding Images/ and Sounds/\n");
}

// A screen smaller than the 800 x 600 window: SDL gives no video surface.
class GameOnSmallScreenTest : public GameFaultTest {
protected:
    int Width() const override { return 640; }
    int Height() const override { return 480; }
};

TEST_F(GameOnSmallScreenTest, NoVideoSurfaceEndsWithCode3AndItsReasonOnStandardError)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(ExpectExit(3));
    EXPECT_EQ(game_.Output(), "");
    EXPECT_EQ(ErrorText().rfind("no 800 x 600 full-screen video mode (SDL_VIDEODRIVER=x11): ", 0), 0u)
        << ErrorText();
}

// ---- What the game needs from its resource file

TEST_F(GameFaultTest, AResourceFileLackingWhatTheGameNeedsEndsItWithOneLine)
{
    const int noSuchId = 999; // no sprite of the built file has it
    const std::string theHero = "sprite id " + std::to_string(kSpriteHero) + " (the hero)";
    const struct {
        const char* what;
        std::function<bool(SpritesFileEdit&)> edit;
        std::string line;
    } cases[] = {
        {"a hero action renamed", [](SpritesFileEdit& f) { return f.RenameAction(kSpriteHero, "Stand.Right"); },
         theHero + " has no action \"Stand.Right\""},
        {"the hero's id changed", [](SpritesFileEdit& f) { return f.SetSpriteId(kSpriteHero, noSuchId); },
         theHero + " is missing"},
        {"the glyphs' id changed", [](SpritesFileEdit& f) { return f.SetSpriteId(kSpriteGlyphs, noSuchId); },
         "sprite id " + std::to_string(kSpriteGlyphs) + " (the label glyphs) is missing"},
        {"a hero frame that moves",
         [](SpritesFileEdit& f) { return f.SetFirstFrameDelta(kSpriteHero, "Stand.Right", 100000, 0); },
         theHero + " action \"Stand.Right\" frame 0 moves by (100000, 0), but this sprite changes action as it "
         "moves and must not be moved by its frames"},
        {"a record of an unknown type", [](SpritesFileEdit& f) { return f.SetSpriteRecordType(kSpriteMidGrass, 99); },
         "sprite \"MidGrass\" is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SpritesFileEdit file(SpritesFile);
        ASSERT_TRUE(c.edit(file));
        ASSERT_TRUE(file.Write(folder_ + "/Images/Sprites.dat"));
        ASSERT_TRUE(StartGame("dummy", "x11", folder_.c_str()));
        ASSERT_TRUE(ExpectExit(255));
        EXPECT_NE(game_.Output().find("Error loading the BrumoSprites dat file\n"), std::string::npos)
            << game_.Output();
        EXPECT_EQ(game_.CountInOutput("Loaded BrumoSprites.dat"), 0) << game_.Output();
        EXPECT_EQ(ErrorText(), "Images/Sprites.dat: " + c.line + "\n");
    }
}

// ---- Signals and sounds

TEST_F(GameFaultTest, SigintAndSigtermEndTheGameAtOnceOnTheMenuAndInPlay)
{
    // Generous: the signal is noticed at the next tick, 50 ms away.
    const int signalExitMs = 3000;
    fs::create_symlink(SpritesFile, folder_ + "/Images/Sprites.dat");
    LinkSounds();
    const struct {
        int signal;
        bool playing;
    } cases[] = {{SIGINT, false}, {SIGTERM, false}, {SIGINT, true}, {SIGTERM, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.signal == SIGINT ? "SIGINT" : "SIGTERM") + (c.playing ? " in play" : " on the menu"));
        ASSERT_TRUE(StartOnMenu());
        if (c.playing) {
            ASSERT_TRUE(SendUntilScreen([&] { x_.PressKey(window_, XK_Return); }, 2, "Return on the menu"));
        }
        ASSERT_TRUE(game_.Signal(c.signal));
        int code = -1;
        ASSERT_TRUE(game_.WaitForExit(signalExitMs, &code)) << "still running; output:\n" << game_.Output();
        EXPECT_EQ(code, 0) << game_.Output();
        EXPECT_EQ(ErrorText(), "");
    }
}

// Closing the window moves on to the next screen, so the play screen comes twice: the
// missing music is named the first time only.
TEST_F(GameFaultTest, AMissingSoundIsNamedOnceAndPlayGoesOn)
{
    const std::string music = "Brumoquest Theme Orchestral.ogg";
    fs::create_symlink(SpritesFile, folder_ + "/Images/Sprites.dat");
    LinkSounds(music);
    ASSERT_TRUE(StartOnMenu());
    for (int screen = 2; screen <= 5; ++screen)
        ASSERT_TRUE(SendUntilScreen([&] { x_.RequestClose(window_); }, screen, "Closing the window"));
    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
    EXPECT_EQ(ErrorText(),
              "Sounds/" + music + ": cannot open: No such file or directory; the game goes on without this sound\n");
}

} // namespace
