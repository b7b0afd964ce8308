// Screens built on a stage over an off-screen 800 x 600 32-bit surface with the game's
// real sprites: the five layers, the menu, level and end-screen labels, the flag icon of
// the counter display, the play build's hero and the scrolling that keeps it centred.

#include "GameScreenTest.h"
#include "GameState.h"
#include "GameWorld.h"
#include "Labels.h"
#include "MvAction.h"
#include "MvChildCursor.h"
#include "MvFailedCheck.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "Sound.h"
#include "SpriteIds.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

class ScreenBuildTest : public GameScreenTest {
protected:
    // The names of the children of node, in child order.
    static std::vector<std::string> ChildNames(MvSceneNode* node)
    {
        std::vector<std::string> names;
        for (MvChildCursor cursor = node->Children(); !cursor.Done(); cursor.Next())
            names.push_back(cursor.Node()->Name());
        return names;
    }

    // The tree keeps children in depth order, so sets of children compare sorted.
    static std::vector<std::string> Sorted(std::vector<std::string> names)
    {
        std::sort(names.begin(), names.end());
        return names;
    }

    // The sprite children of the "text" layer: the flag icon, when there is one.
    static std::vector<MvSpriteNode*> TextSprites()
    {
        std::vector<MvSpriteNode*> sprites;
        for (MvChildCursor cursor = Find("text")->Children(); !cursor.Done(); cursor.Next())
            if (cursor.Node()->AsSprite() != nullptr)
                sprites.push_back(cursor.Node()->AsSprite());
        return sprites;
    }
};

const char* const LayerNames[] = {"text", "platforms", "enemies", "background", "items"};

TEST_F(ScreenBuildTest, EveryScreenHasTheFiveLayersUnderTheRootFoundByName)
{
    const struct {
        const char* name;
        int depth;
    } layers[] = {{"text", 15}, {"platforms", 10}, {"enemies", 5}, {"background", 0}, {"items", 0}};
    for (int screen : {0, 1, 9}) {
        SCOPED_TRACE(screen);
        world_.BuildScreen(screen);
        for (const auto& layer : layers) {
            MvSceneNode* node = Find(layer.name);
            ASSERT_NE(node, nullptr) << layer.name;
            EXPECT_EQ(node->Parent(), Tree()->SceneRoot()) << layer.name;
            EXPECT_EQ(node->Depth(), layer.depth) << layer.name;
            EXPECT_EQ(node->AsSprite(), nullptr) << layer.name;
        }
        TearDown();
        SetUp();
    }
}

TEST_F(ScreenBuildTest, AnUnknownScreenNumberGivesOnlyTheEmptyLayers)
{
    for (int screen : {-1, 4, 8, 10}) {
        SCOPED_TRACE(screen);
        world_.enemyCount = 7;
        GameState::originX = 123;
        world_.BuildScreen(screen);
        EXPECT_EQ(Sorted(ChildNames(Tree()->SceneRoot())),
                  Sorted(std::vector<std::string>(std::begin(LayerNames), std::end(LayerNames))));
        for (const char* name : LayerNames)
            EXPECT_TRUE(ChildNames(Find(name)).empty()) << name;
        EXPECT_EQ(world_.enemyCount, 0);
        EXPECT_EQ(GameState::originX, 123); // no geometry either
        TearDown();
        SetUp();
    }
}

TEST_F(ScreenBuildTest, WindowGeometryDependsOnTheScreen)
{
    const struct {
        int screen;
        int originX;
        int rightBound;
        int enemyCount; // the ids the screen's level hands out, counted from 0 again
    } cases[] = {{0, 400, 800, 0}, {1, -400, 8000, 19}, {2, -400, 8800, 11}, {3, -400, 8000, 11}, {9, 400, 800, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screen);
        GameState::originY = 77;
        world_.enemyCount = 3;
        world_.BuildScreen(c.screen);
        EXPECT_EQ(GameState::originX, c.originX);
        EXPECT_EQ(GameState::originY, 0);
        EXPECT_EQ(GameState::rightBound, c.rightBound);
        EXPECT_EQ(world_.enemyCount, c.enemyCount);
        TearDown();
        SetUp();
    }
}

TEST_F(ScreenBuildTest, TheMenuShowsItsLabelsInOrderAtTheirPlaces)
{
    world_.BuildMenu();
    const struct {
        const char* name;
        const char* text;
        int x;
        int y;
    } labels[] = {
        {"label", "PRESSANUMBERTOCHOOSEALEVELANDENTERTOBEGIN", -200, 150},
        {"label2", "ONLY3LEVELSTOCHOOSEFROM", -100, 200},
        {"levelnumber", "0", -50, 175},
        {"quit", "PRESSESCAPETOQUIT", -350, 20},
        {"goals", "GOALSOFTHEGAMEAREASFOLLOWS", -350, 300},
        {"line1", "COLLECTTHEFLAGS", -350, 350},
        {"line2", "DEFEATENEMIES", -350, 400},
        {"line3", "GETTOTHEENDOFTHELEVEL", -350, 450},
    };
    std::vector<std::string> order;
    for (const auto& label : labels) {
        order.push_back(label.name);
        EXPECT_EQ(Shown(label.name), label.text) << label.name;
        MvSceneNode* first = Find(label.name)->Children().Node();
        EXPECT_EQ(ScreenX(first), 400 + label.x) << label.name;
    }
    EXPECT_EQ(ChildNames(Find("text")), order);
    EXPECT_TRUE(TextSprites().empty());
    EXPECT_EQ(GameState::music, nullptr);
}

TEST_F(ScreenBuildTest, ALevelShowsTheCounterDisplayAndItsBackground)
{
    GameState::ticks = 12;
    GameState::flagsCollected = 4;
    GameState::lives = 2;
    GameState::points = 150;
    world_.BuildScreen(1);
    EXPECT_EQ(ChildNames(Find("text")),
              (std::vector<std::string>{"time", "label", "", "symbol", "flags", "LifeLabel", "lifeleft",
                                        "pointslabel", "pointsscored", "EnDefLabel", "Defeated"}));
    EXPECT_EQ(Shown("time"), "0012");
    EXPECT_EQ(Shown("flags"), "004");
    EXPECT_EQ(Shown("lifeleft"), "2");
    EXPECT_EQ(Shown("pointsscored"), "00000150");
    EXPECT_EQ(Shown("Defeated"), "000");
    EXPECT_EQ(Shown("symbol"), "X");

    GameState::engine->Draw(false);
    EXPECT_EQ(PixelAt(799, 100), 0x1c80ffu); // sky blue on level 1, above its ground
}

TEST_F(ScreenBuildTest, LevelsTwoAndThreeAreNearBlack)
{
    for (int level : {2, 3}) {
        SCOPED_TRACE(level);
        world_.BuildScreen(level);
        GameState::engine->Draw(false);
        EXPECT_EQ(PixelAt(799, 100), 0x141400u);
        TearDown();
        SetUp();
    }
}

TEST_F(ScreenBuildTest, ThePlayBuildPutsTheHeroFirstAtTheLevelStart)
{
    GameState::chosenLevel = 2;
    world_.BuildPlay();
    MvSceneNode* hero = Find("track");
    ASSERT_NE(hero, nullptr);
    ASSERT_NE(hero->AsSprite(), nullptr);
    EXPECT_EQ(hero->AsSprite()->SpriteResource(), GameState::engine->Vault()->FindSpriteResource(kSpriteHero));
    EXPECT_STREQ(hero->AsSprite()->CurrentAction()->Name(), "Stand.Right");
    EXPECT_EQ(hero->Depth(), 0);
    EXPECT_EQ(Sorted(ChildNames(Tree()->SceneRoot())),
              Sorted({"track", "text", "platforms", "enemies", "background", "items"}));
    EXPECT_EQ(GameState::rightBound, 8800);
    for (int window = 0; window < GameState::engine->WindowCount(); ++window) {
        EXPECT_EQ(hero->PosX(window), -400);
        EXPECT_EQ(hero->PosY(window), 375);
    }
}

TEST_F(ScreenBuildTest, ScrollToHeroCentresTheHeroAndTheFlagIconStaysAt250)
{
    world_.BuildPlay();
    MvSceneNode* hero = Find("track");
    ASSERT_NE(hero, nullptr);
    const std::vector<MvSpriteNode*> icons = TextSprites();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0]->SpriteResource(), GameState::engine->Vault()->FindSpriteResource(kSpriteRedFlag));
    EXPECT_EQ(icons[0]->PosY(0), 15);

    for (int heroX : {-400, -123, 0, 1000, 7999}) {
        SCOPED_TRACE(heroX);
        hero->MoveTo(heroX, 375);
        FollowHeroWithText();
        world_.ScrollToHero();
        EXPECT_EQ(Tree()->SceneRoot()->PosX(0), 400 - heroX);
        EXPECT_EQ(Tree()->SceneRoot()->PosY(0), 0);
        EXPECT_EQ(ScreenX(hero), 400);
        EXPECT_EQ(ScreenX(icons[0]), 250);
    }
}

TEST_F(ScreenBuildTest, ScrollToHeroWithoutAHeroLeavesTheRoot)
{
    world_.BuildScreen(1);
    world_.ScrollToHero();
    EXPECT_EQ(Tree()->SceneRoot()->PosX(0), 0);
    MvStage* stage = GameState::engine;
    GameState::engine = nullptr;
    world_.ScrollToHero(); // no stage: nothing to do
    GameState::engine = stage;
}

TEST_F(ScreenBuildTest, TheEndScreenAfterALostLevelShowsOnlyTheLostLabels)
{
    GameState::lost = true;
    GameState::points = 500;
    world_.BuildEnd();
    EXPECT_EQ(ChildNames(Find("text")), (std::vector<std::string>{"lost", "enter", "quit"}));
    EXPECT_EQ(Shown("lost"), "YOULOSTTRYAGAIN");
    EXPECT_EQ(Shown("enter"), "PRESSENTERTORETURNTOMENU");
    EXPECT_EQ(ScreenX(Find("lost")->Children().Node()), 100);
    EXPECT_EQ(ScreenX(Find("enter")->Children().Node()), 400);
    EXPECT_TRUE(TextSprites().empty());
}

TEST_F(ScreenBuildTest, TheEndScreenAfterAWonLevelShowsTheResults)
{
    GameState::lost = false;
    GameState::ticks = 2549; // 50.98 seconds shows as 50
    GameState::flagsCollected = 7;
    GameState::points = 1200;
    GameState::enemiesDefeated = 3;
    world_.BuildEnd();
    EXPECT_EQ(ChildNames(Find("text")),
              (std::vector<std::string>{"time", "label", "", "symbol", "flags", "pointslabel", "pointsscored",
                                        "EnDefLabel", "Defeated"}));
    EXPECT_EQ(Shown("time"), "0050");
    EXPECT_EQ(Shown("flags"), "007");
    EXPECT_EQ(Shown("pointsscored"), "00001200");
    EXPECT_EQ(Shown("Defeated"), "003");
    EXPECT_EQ(Find("lost"), nullptr);
    const std::vector<MvSpriteNode*> icons = TextSprites();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(ScreenX(icons[0]), 250);
    EXPECT_EQ(icons[0]->PosY(0), 15);
}

TEST(ScreenBuildDeathTest, BuildingNeedsAStage)
{
    GameWorld world;
    GameState::engine = nullptr;
    EXPECT_DEATH(world.BuildScreen(MenuScreen), MvFailedCheck("GameState::engine != nullptr"));
    EXPECT_DEATH(world.PopulateScreen(EndScreen), MvFailedCheck("GameState::engine != nullptr"));
    EXPECT_DEATH(world.BuildPlay(), MvFailedCheck("GameState::engine != nullptr"));
}

} // namespace
