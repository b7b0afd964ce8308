// Cues played through the mixer on the dummy audio driver, from the game folder the build
// makes: which chunk each channel plays, what the game holds afterwards, and that missing
// files leave the game silent rather than stopped. Chunk ownership matters here: a chunk
// freed while it plays would be read by the audio thread, one never freed is a leak that
// the sanitizer build reports.

#include "GameState.h"
#include "MvWorkingFolder.h"
#include "Sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#ifndef MOVO_SOUNDS_FOLDER
#error "MOVO_SOUNDS_FOLDER must name the folder the sound files are made in"
#endif

namespace {

// The game folder: the one holding "Sounds/".
std::string GameFolder()
{
    std::string sounds = MOVO_SOUNDS_FOLDER;
    return sounds.substr(0, sounds.find_last_of('/'));
}

// An open mixer on the dummy driver, run from the given folder; every chunk is released
// and the working folder restored at the end.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
        ChangeFolder(GameFolder());
        GameState::music = nullptr;
    }
    void TearDown() override
    {
        StopMusic();
        Mix_CloseAudio();
        SDL_Quit();
    }
    static void ChangeFolder(const std::string& folder) { MvWorkingFolder::Enter(folder); }

    MvWorkingFolder folder_;
};

TEST(SoundCueTable, EveryCueNamesItsFileChannelAndLooping)
{
    struct Row {
        SoundCue cue;
        const char* path;
        int channel;
        bool loops;
    };
    const Row rows[] = {
        {CueLevel1Music, "Sounds/Brumoquest Theme Orchestral.ogg", 0, true},
        {CueLevel2Music, "Sounds/Chrono Cross - Another World.ogg", 0, true},
        {CueLevel3Music, "Sounds/T_NinjaGaiden_Wendro_Remixv13b.ogg", 0, true},
        {CueDeath, "Sounds/Brumo 1 Death.ogg", 0, false},
        {CueStomp, "Sounds/bq_stomp.wav", 1, false},
        {CueHurtSide, "Sounds/bq64_ungh.wav", 1, false},
        {CueHurtAbove, "Sounds/bq64_injury.wav", 1, false},
        {CueHeadBump, "Sounds/bq3_bump.wav", 1, false},
        {CueFlag, "Sounds/coin.wav", 1, false},
        {CueJoystickJump, "Sounds/jump.wav", 1, false},
    };
    ASSERT_EQ(sizeof rows / sizeof rows[0], static_cast<size_t>(SoundCueCount));
    for (const Row& row : rows) {
        const SoundCueInfo& info = CueInfo(row.cue);
        EXPECT_STREQ(info.path, row.path);
        EXPECT_EQ(info.channel, row.channel) << row.path;
        EXPECT_EQ(info.loops, row.loops) << row.path;
    }
}

TEST(SoundCueTableDeathTest, CueOutsideTheTableAsserts)
{
    EXPECT_DEATH(CueInfo(SoundCueCount), "");
    EXPECT_DEATH(CueInfo(static_cast<SoundCue>(-1)), "");
}

TEST_F(SoundTest, EveryCueFileLoadsFromTheGameFolder)
{
    for (int cue = 0; cue < SoundCueCount; ++cue) {
        Mix_Chunk* chunk = LoadSound(CueInfo(static_cast<SoundCue>(cue)).path);
        EXPECT_NE(chunk, nullptr) << CueInfo(static_cast<SoundCue>(cue)).path;
        if (chunk != nullptr)
            Mix_FreeChunk(chunk);
    }
}

TEST_F(SoundTest, PlaySoundLoopsOnlyWhenAskedAndIgnoresANullChunk)
{
    Mix_Chunk* chunk = LoadSound("Sounds/coin.wav");
    ASSERT_NE(chunk, nullptr);
    PlaySound(nullptr, 1, false);
    EXPECT_EQ(Mix_Playing(1), 0);
    PlaySound(chunk, 1, true);
    EXPECT_EQ(Mix_Playing(1), 1);
    EXPECT_EQ(Mix_GetChunk(1), chunk);
    Mix_FreeChunk(chunk); // halts the channel playing it
    EXPECT_EQ(Mix_Playing(1), 0);
}

TEST_F(SoundTest, LevelMusicPlaysOnChannelZeroUntilReleased)
{
    for (int level = 1; level <= 3; ++level) {
        StartLevelMusic(level);
        ASSERT_NE(GameState::music, nullptr) << level;
        EXPECT_EQ(Mix_GetChunk(0), GameState::music);
        EXPECT_EQ(Mix_Playing(0), 1);
        ReleaseMusic();
        EXPECT_EQ(GameState::music, nullptr);
        EXPECT_EQ(Mix_Playing(0), 0);
    }
    ReleaseMusic(); // no music: nothing happens
    EXPECT_EQ(GameState::music, nullptr);
}

TEST_F(SoundTest, StartingMusicAgainReleasesTheMusicStillHeld)
{
    StartLevelMusic(1);
    StartLevelMusic(2); // the sanitizer build reports the first chunk if it leaks
    EXPECT_EQ(Mix_GetChunk(0), GameState::music);
}

TEST_F(SoundTest, TheSecondEffectOfAnEventCutsOffTheFirst)
{
    PlayCue(CueStomp);
    Mix_Chunk* stomp = HeldEffect(1);
    ASSERT_NE(stomp, nullptr);
    EXPECT_EQ(Mix_GetChunk(1), stomp);
    PlayCue(CueFlag);
    ASSERT_NE(HeldEffect(1), nullptr);
    EXPECT_NE(HeldEffect(1), stomp);
    EXPECT_EQ(Mix_GetChunk(1), HeldEffect(1));
    EXPECT_EQ(Mix_Playing(1), 1);
}

TEST_F(SoundTest, DeathSoundPlaysAfterTheMusicStopsAndLastsUntilThePlayEnd)
{
    StartLevelMusic(3);
    PlayCue(CueHurtSide);
    ReleaseMusic();
    PlayCue(CueDeath);
    EXPECT_EQ(GameState::music, nullptr);
    ASSERT_NE(HeldEffect(0), nullptr);
    EXPECT_EQ(Mix_GetChunk(0), HeldEffect(0));
    EXPECT_EQ(Mix_Playing(0), 1);
    EXPECT_EQ(Mix_GetChunk(1), HeldEffect(1)); // the hurt sound is not cut by the death sound

    StopMusic();
    EXPECT_EQ(HeldEffect(0), nullptr);
    EXPECT_EQ(HeldEffect(1), nullptr);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SoundTest, PlayEndReleasesMusicLeftPlaying)
{
    StartLevelMusic(2);
    PlayCue(CueJoystickJump);
    StopMusic();
    EXPECT_EQ(GameState::music, nullptr);
    EXPECT_EQ(Mix_Playing(-1), 0);
    StopMusic(); // a second play end finds nothing to release
}

TEST_F(SoundTest, MissingFilesPlayNothingAndKeepWhatPlays)
{
    PlayCue(CueStomp);
    Mix_Chunk* stomp = HeldEffect(1);
    ASSERT_NE(stomp, nullptr);

    char folder[] = "/tmp/movo-nosoundXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    ChangeFolder(folder);
    EXPECT_EQ(LoadSound("Sounds/coin.wav"), nullptr);
    PlayCue(CueFlag);
    EXPECT_EQ(HeldEffect(1), stomp);
    EXPECT_EQ(Mix_GetChunk(1), stomp);
    StartLevelMusic(1);
    EXPECT_EQ(GameState::music, nullptr);
    EXPECT_EQ(Mix_Playing(0), 0);
    ChangeFolder(GameFolder());
    rmdir(folder);
}

TEST_F(SoundTest, UnreadableFileYieldsNoChunk)
{
    char path[] = "/tmp/movo-badsoundXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "not a sound", 11), 11);
    close(fd);
    EXPECT_EQ(LoadSound(path), nullptr);
    unlink(path);
}

} // namespace
