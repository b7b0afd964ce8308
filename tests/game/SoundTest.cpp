// Cues played through the mixer on the dummy audio driver, from the game folder the build
// makes: which chunk each channel plays, what the game holds afterwards, and that missing
// files leave the game silent rather than stopped. Chunk ownership matters here: a chunk
// freed while it plays would be read by the audio thread, one never freed is a leak that
// the sanitizer build reports.

#include "Enemies.h"
#include "GameState.h"
#include "MvFailedCheck.h"
#include "MvWorkingFolder.h"
#include "Platforms.h"
#include "PlayScreenFixture.h"
#include "Sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
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

// True when channel plays the sound of the file at path: the chunk it plays holds the
// same samples as the file read afresh.
bool ChannelPlays(int channel, const char* path)
{
    Mix_Chunk* heard = Mix_GetChunk(channel);
    Mix_Chunk* file = LoadSound(path);
    const bool same = heard != nullptr && file != nullptr && Mix_Playing(channel) == 1 && heard->alen == file->alen &&
                      std::memcmp(heard->abuf, file->abuf, heard->alen) == 0;
    if (file != nullptr)
        Mix_FreeChunk(file);
    return same;
}

// The play screen's events, each made to happen as the player makes it, and the sound
// the player hears then: the file, the channel (music and death on 0, effects on 1) and
// whether it plays on until stopped.
TEST_F(PlayScreenTest, EveryEventPlaysItsSoundOnItsChannel)
{
    const struct {
        const char* event;
        std::function<void()> happen;
        SoundCue cue;
        const char* path;
        int channel;
        bool loops;
    } cases[] = {
        {"level 1 starts", [] { StartLevelMusic(1); }, CueLevel1Music,
         "Sounds/Brumoquest Theme Orchestral.ogg", 0, true},
        {"level 2 starts", [] { StartLevelMusic(2); }, CueLevel2Music,
         "Sounds/Chrono Cross - Another World.ogg", 0, true},
        {"level 3 starts", [] { StartLevelMusic(3); }, CueLevel3Music,
         "Sounds/T_NinjaGaiden_Wendro_Remixv13b.ogg", 0, true},
        {"the hero falls out of the level",
         [this] {
             PlaceHero(0, 700);
             Tick();
         },
         CueDeath, "Sounds/Brumo 1 Death.ogg", 0, false},
        {"the hero lands on a Mulgo",
         [this] {
             SpawnEnemy(EnemyKind::Mulgo, -GameState::originX, 400 - GameState::originY, 1);
             PlaceHero(0, 388);
             Nudge();
         },
         CueStomp, "Sounds/bq_stomp.wav", 1, false},
        {"the hero runs into a Mulgo",
         [this] {
             SpawnEnemy(EnemyKind::Mulgo, -GameState::originX, 400 - GameState::originY, 1);
             PlaceHero(8, 400);
             Nudge();
         },
         CueHurtSide, "Sounds/bq64_ungh.wav", 1, false},
        {"the hero lands on a Thornel",
         [this] {
             SpawnEnemy(EnemyKind::Thornel, -GameState::originX, 400 - GameState::originY, 1);
             PlaceHero(0, 388);
             Nudge();
         },
         CueHurtAbove, "Sounds/bq64_injury.wav", 1, false},
        {"the hero's head bumps a block",
         [this] {
             PlatformAt(-12, 300, "NormBlock");
             PlaceHero(0, 345);
             GameState::jumping = true;
             GameState::vy = -5;
             GameState::apexY = 200;
             Nudge();
         },
         CueHeadBump, "Sounds/bq3_bump.wav", 1, false},
        {"the hero touches a flag",
         [this] {
             PlaceRedFlag(-GameState::originX, 400 - GameState::originY);
             PlaceHero(0, 400);
             Nudge();
         },
         CueFlag, "Sounds/coin.wav", 1, false},
        {"the jump button on the ground",
         [this] {
             StandHeroOn(0, 400);
             Send(Button(SDL_JOYBUTTONDOWN, 1));
         },
         CueJoystickJump, "Sounds/jump.wav", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        ClearLevel();
        StopMusic();
        GameState::lost = false;
        cues_.clear();
        c.happen();
        EXPECT_EQ(Played(c.cue), 1);
        EXPECT_TRUE(ChannelPlays(c.channel, c.path)) << c.path << " on channel " << c.channel;
        EXPECT_EQ(CueInfo(c.cue).loops, c.loops);
    }
}

TEST(SoundCueTableDeathTest, CueOutsideTheTableAsserts)
{
    for (int cue : {static_cast<int>(SoundCueCount), -1})
        EXPECT_DEATH(CueInfo(static_cast<SoundCue>(cue)), MvFailedCheck("cue >= 0 && cue < SoundCueCount")) << cue;
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
