#ifndef GAME_SCREEN_TEST_H
#define GAME_SCREEN_TEST_H

// A test of what the world builds: a fresh screen (GameScreenStage) with the game's
// sprites loaded, the one world, and the game state put back as it was afterwards.

#include "GameScreenStage.h"
#include "GameStateValues.h"
#include "GameWorld.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvStage.h"
#include "Sound.h"
#include "StageReadings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

class GameScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        screen_.reset(new GameScreenStage);
        ASSERT_NE(GameState::engine, nullptr);
        ASSERT_TRUE(screen_->LoadSprites());
    }
    void TearDown() override
    {
        StopMusic();
        screen_.reset();
    }

    static MvSceneTree* Tree() { return GameState::engine->SceneTree(); }
    static MvSceneNode* Find(const char* name) { return Tree()->FindByName(name); }
    // The colour of the screen's pixel (x, y).
    uint32_t PixelAt(int x, int y) const { return SurfacePixel(screen_->Surface(), x, y); }

    GameStateGuard state_;
    std::unique_ptr<GameScreenStage> screen_;
    GameWorld world_;
};

#endif
