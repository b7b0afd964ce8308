#ifndef PLAY_SCREEN_FIXTURE_H
#define PLAY_SCREEN_FIXTURE_H

// A play screen as the program builds it (the game's sprite file, the chosen level's
// counters, geometry, music and hero) on a stage over an off-screen 800 x 600 32-bit
// surface, with the mixer open on the dummy audio driver. The level's own platforms,
// enemies, scenery and items are cleared, so that each test places just what it needs.
// Events go straight to HandlePlayEvent: no timer, no display, nothing but the test
// decides when a tick happens. The death pause returns at once and is recorded, as is
// every sound cue started; the game state is put back afterwards.

#include "GameScreenStage.h"
#include "GameState.h"
#include "GameStateValues.h"
#include "GameWorld.h"
#include "MvAction.h"
#include "MvChildCursor.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvStage.h"
#include "MvWorkingFolder.h"
#include "Platforms.h"
#include "PlayEvents.h"
#include "PlaySequence.h"
#include "Sound.h"
#include "StageReadings.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifndef MOVO_SOUNDS_FOLDER
#error "MOVO_SOUNDS_FOLDER must name the folder the sound files are made in"
#endif

class PlayScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 4096), 0) << Mix_GetError();
        const std::string sounds = MOVO_SOUNDS_FOLDER;
        MvWorkingFolder::Enter(sounds.substr(0, sounds.find_last_of('/')));

        cues_.clear();
        pauses_.clear();
        SetCueObserver([](SoundCue cue) { cues_.push_back(cue); });
        SetDeathPause([](Uint32 ms) { pauses_.push_back(ms); });

        screen_.reset(new GameScreenStage);
        ASSERT_NE(GameState::engine, nullptr);
        ResetCounters();
        GameState::lost = false;
        GameState::vx = 0;
        GameState::vy = 10;
        GameState::apexY = 0;
        GameState::rightKeyHeld = false;
        GameState::stickHeld = false;
        GameState::runHeld = false;
        GameState::shiftKeysHeld = 0;
        GameState::onGround = false;
        GameState::jumping = false;
        GameState::facingLeft = false;
        world_.LoadScreen();
        world_.BuildPlay();
        ClearLevel();
        cues_.clear();
    }

    void TearDown() override
    {
        SetCueObserver(nullptr);
        SetDeathPause(nullptr);
        screen_.reset();
        StopMusic();
        Mix_CloseAudio();
        SDL_Quit();
    }

    // Removes every child of the layers a level fills.
    static void ClearLevel()
    {
        for (const char* layer : {"platforms", "enemies", "background", "items"}) {
            MvSceneNode* node = Find(layer);
            ASSERT_NE(node, nullptr) << layer;
            MvChildCursor cursor = node->Children();
            while (!cursor.Done()) {
                MvSceneNode* child = cursor.Node();
                cursor.Next();
                Tree()->RemoveNode(child);
            }
        }
    }

    static MvSceneTree* Tree() { return GameState::engine->SceneTree(); }
    static MvSceneNode* Find(const char* name) { return Tree()->FindByName(name); }
    static MvSceneNode* Hero() { return Find("track"); }

    // Hands event to the play sequence.
    void Send(const SDL_Event& event) { HandlePlayEvent(event, &quit_, &done_); }
    // The timer's tick.
    void Tick() { Send(OfType(SDL_USEREVENT)); }
    // An event the play screen ignores; the after-event sequence runs all the same.
    void Nudge() { Send(OfType(SDL_MOUSEMOTION)); }

    // Puts the hero at world (x, y).
    static void PlaceHero(int x, int y) { Hero()->MoveTo(x, y, -1); }

    // A platform of resource name with its top-left corner at world (x, y); placement
    // itself takes layout coordinates.
    static void PlatformAt(int x, int y, const char* name = "MidGrass")
    {
        PlacePlatform(x - GameState::originX, y - GameState::originY, name);
    }
    // A row of platforms from world x to toX (inclusive, 25 apart) at world y.
    static void GroundAt(int x, int toX, int y, const char* name = "MidGrass")
    {
        for (; x <= toX; x += 25)
            PlatformAt(x, y, name);
    }
    // The hero standing at world x on a row of ground whose top is at world y.
    void StandHeroOn(int x, int y)
    {
        GroundAt(x - 100, x + 100, y);
        PlaceHero(x, y);
        Nudge();
        ASSERT_TRUE(GameState::onGround);
        ASSERT_EQ(Hero()->PosY(0), y);
    }
    // The action the hero shows.
    static std::string HeroAction() { return Hero()->AsSprite()->CurrentAction()->Name(); }

    // The children of the layer named layer, in child order.
    static std::vector<MvSceneNode*> Children(const char* layer)
    {
        std::vector<MvSceneNode*> children;
        for (MvChildCursor cursor = Find(layer)->Children(); !cursor.Done(); cursor.Next())
            children.push_back(cursor.Node());
        return children;
    }

    // The colour of the screen's pixel (x, y).
    uint32_t PixelAt(int x, int y) const { return SurfacePixel(screen_->Surface(), x, y); }

    // How often cue started since the set-up.
    static int Played(SoundCue cue)
    {
        int count = 0;
        for (SoundCue played : cues_)
            count += played == cue;
        return count;
    }

    static std::vector<SoundCue> cues_;
    static std::vector<Uint32> pauses_;

    GameStateGuard state_;
    MvWorkingFolder folder_;
    std::unique_ptr<GameScreenStage> screen_;
    GameWorld world_;
    bool quit_ = false;
    bool done_ = false;
};

inline std::vector<SoundCue> PlayScreenTest::cues_;
inline std::vector<Uint32> PlayScreenTest::pauses_;

#endif
