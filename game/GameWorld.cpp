#include "GameWorld.h"

#include "Enemies.h"
#include "GameNames.h"
#include "GameState.h"
#include "HeroAndLayer.h"
#include "Labels.h"
#include "Levels.h"
#include "MvAssert.h"
#include "MvChildCursor.h"
#include "MvColor.h"
#include "MvLog.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvStage.h"
#include "Program.h"
#include "Sound.h"
#include "SpriteNeeds.h"
#include "SpriteIds.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

GameWorld* GameWorld::instance_ = nullptr;

namespace {

// The game's resource file, relative to the folder the game runs from.
constexpr const char* SpritesFile = "Images/Sprites.dat";

// Why vault could not load the file; a file that is not there is most likely looked for
// from the wrong folder, which the message names.
std::string LoadFailure(const MvResourceVault& vault)
{
    if (access(SpritesFile, F_OK) == 0)
        return vault.LoadError();
    char folder[4096];
    const char* here = getcwd(folder, sizeof folder) != nullptr ? folder : "an unknown folder";
    return vault.LoadError() + "; the game runs from " + here +
           ": start it from its own folder, the one holding Images/ and Sounds/";
}

} // namespace

GameWorld::GameWorld()
{
    MvAssert(instance_ == nullptr);
    instance_ = this;
}

GameWorld::~GameWorld() { instance_ = nullptr; }

GameWorld& GameWorld::Instance()
{
    MvAssert(instance_ != nullptr);
    return *instance_;
}

void GameWorld::LoadScreen()
{
    MvAssert(GameState::engine != nullptr);
    MvResourceVault* vault = GameState::engine->Vault();
    std::string problem;
    if (!vault->LoadDatFile(SpritesFile)) {
        problem = LoadFailure(*vault);
    } else {
        const std::string unmet = FindUnmetNeed(*vault, GameSpriteNeeds());
        if (!unmet.empty())
            problem = std::string(SpritesFile) + ": " + unmet;
    }
    if (!problem.empty()) {
        MvLog("Error loading the BrumoSprites dat file\n");
        std::fprintf(stderr, "%s\n", problem.c_str());
        // Like every other way out of the program, this one leaves no full-screen mode
        // behind: the mixer and SDL are closed before the process ends.
        CloseSdl();
        std::exit(255);
    }
    MvLog("Loaded BrumoSprites.dat\n");
}

void GameWorld::BuildMenu() { BuildScreen(MenuScreen); }

void GameWorld::BuildPlay()
{
    MvAssert(GameState::engine != nullptr);
    MvSpriteResource* heroResource = GameState::engine->Vault()->FindSpriteResource(kSpriteHero);
    MvAssert(heroResource != nullptr);
    MvSpriteNode* hero = new MvSpriteNode(heroResource);
    hero->SetName(HeroName);
    hero->SelectAction(HeroStartAction);
    GameState::engine->SceneTree()->InsertNode(nullptr, hero);

    BuildScreen(GameState::chosenLevel);
    SDL_PauseAudio(0);
    hero->MoveTo(GameState::originX, 375, -1);
}

void GameWorld::BuildEnd() { BuildScreen(EndScreen); }

namespace {

// The layers every screen has, in the order they are made; depth -1 leaves the default.
const struct {
    const char* name;
    int depth;
} Layers[] = {{TextLayerName, 15},
              {PlatformLayerName, 10},
              {EnemyLayerName, 5},
              {BackgroundLayerName, 0},
              {ItemLayerName, -1}};

// Platforms this close to the hero (exclusive) are stepped after every play event.
const int PlatformStepReach = 500;

// The width of level in windows: level 2 runs one window further than the others.
int LevelWidthInWindows(int level) { return level == 2 ? 11 : 10; }

// Width of window 0 of the current stage.
int WindowWidth() { return GameState::engine->WindowRect(0).right - GameState::engine->WindowRect(0).left + 1; }

// The flag icon: the red flag at world (x, 15) as a direct child of the "text" layer, so
// that it is not scaled like the glyphs of a label.
void PlaceFlagIcon(int x)
{
    MvSpriteResource* flag = GameState::engine->Vault()->FindSpriteResource(kSpriteRedFlag);
    MvAssert(flag != nullptr);
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* text = tree->FindByName(TextLayerName);
    MvAssert(text != nullptr);
    MvSpriteNode* icon = new MvSpriteNode(flag);
    icon->MoveTo(x, 15, -1);
    tree->InsertNode(text, icon);
}

} // namespace

void GameWorld::BuildScreen(int screen)
{
    MvAssert(GameState::engine != nullptr);
    MvSceneTree* tree = GameState::engine->SceneTree();
    for (const auto& layer : Layers) {
        MvSceneNode* node = new MvSceneNode;
        tree->InsertNode(nullptr, node);
        node->SetName(layer.name);
        if (layer.depth >= 0)
            node->SetDepth(layer.depth);
    }
    PopulateScreen(screen);
}

void GameWorld::PopulateScreen(int screen)
{
    MvAssert(GameState::engine != nullptr);
    enemyCount = 0;
    if (screen == MenuScreen) {
        SetWindowGeometry(screen);
        PlaceMenuLabels();
    } else if (IsLevelScreen(screen)) {
        StartLevelMusic(screen);
        SetWindowGeometry(screen);
        MvColor color;
        if (screen == FirstLevelScreen)
            color.Set(28, 128, 255, 255);
        else
            color.Set(20, 20, 0, 255);
        GameState::engine->SetBackgroundColor(&color);
        PlaceCounterDisplay();
        PlaceLevelRows(screen);
    } else if (screen == EndScreen) {
        SetWindowGeometry(screen);
        PlaceEndLabels();
    }
}

void GameWorld::SetWindowGeometry(int screen)
{
    const int w = WindowWidth();
    GameState::originY = GameState::engine->WindowRect(0).top;
    if (IsLevelScreen(screen)) {
        GameState::originX = static_cast<int>(-w * 0.5);
        GameState::rightBound = LevelWidthInWindows(screen) * w;
    } else {
        GameState::originX = static_cast<int>(w * 0.5);
        GameState::rightBound = w;
    }
}

void GameWorld::PlaceMenuLabels()
{
    CreateLabel(-200, 150, "PRESS A NUMBER TO CHOOSE A LEVEL AND ENTER TO BEGIN", "label");
    CreateLabel(-100, 200, "ONLY 3 LEVELS TO CHOOSE FROM", "label2");
    CreateLabel(-50, 175, NumberToText(0).c_str(), LevelNumberLabelName);
    CreateLabel(-350, 20, "PRESS ESCAPE TO QUIT", "quit");
    CreateLabel(-350, 300, "GOALS OF THE GAME ARE AS FOLLOWS", "goals");
    CreateLabel(-350, 350, "COLLECT THE FLAGS", "line1");
    CreateLabel(-350, 400, "DEFEAT ENEMIES", "line2");
    CreateLabel(-350, 450, "GET TO THE END OF THE LEVEL", "line3");
}

void GameWorld::PlaceCounterDisplay()
{
    CreateLabel(150, 35, NumberToText(GameState::ticks).c_str(), TimeLabelName);
    CreateLabel(150, 20, "TIME", "label");
    PlaceFlagIcon(GameState::originX + 250);
    CreateLabel(280, 45, "X ", "symbol");
    CreateLabel(300, 45, NumberToText(GameState::flagsCollected).c_str(), FlagsLabelName);
    CreateLabel(350, 20, "LIFE", "LifeLabel");
    CreateLabel(350, 35, NumberToText(GameState::lives).c_str(), LivesLabelName);
    CreateLabel(450, 20, "POINTS", "pointslabel");
    CreateLabel(450, 35, NumberToText(GameState::points).c_str(), PointsLabelName);
    CreateLabel(550, 20, "ENEMIES DEFEATED", "EnDefLabel");
    CreateLabel(625, 35, "0", DefeatedLabelName);
}

void GameWorld::PlaceEndLabels()
{
    if (GameState::lost) {
        CreateLabel(-300, 20, "YOU LOST TRY AGAIN", "lost");
        CreateLabel(0, 20, "PRESS ENTER TO RETURN TO MENU", "enter");
        CreateLabel(-300, 100, "PRESS ESCAPE TO QUIT", "quit");
        return;
    }
    CreateLabel(-300, 35, NumberToText(GameState::ticks / TicksPerTimeUnit).c_str(), TimeLabelName);
    CreateLabel(-300, 20, "TIME", "label");
    PlaceFlagIcon(250);
    CreateLabel(-175, 35, "X ", "symbol");
    CreateLabel(-150, 35, NumberToText(GameState::flagsCollected).c_str(), FlagsLabelName);
    CreateLabel(-150, 300, "POINTS", "pointslabel");
    CreateLabel(-150, 325, NumberToText(GameState::points).c_str(), PointsLabelName);
    CreateLabel(0, 200, "ENEMIES DEFEATED", "EnDefLabel");
    CreateLabel(50, 225, NumberToText(GameState::enemiesDefeated).c_str(), DefeatedLabelName);
}

void GameWorld::PlaceLevelRows(int level) { PlaceLevel(level, &enemyCount); }

void GameWorld::StepEnemies() { StepEveryEnemy(); }

void GameWorld::StepPlatforms()
{
    HeroAndLayer scene;
    if (!scene.Find(PlatformLayerName))
        return;
    const int hx = scene.hero->PosX(0);
    for (MvChildCursor cursor = scene.layer->Children(); !cursor.Done(); cursor.Next()) {
        MvSceneNode* platform = cursor.Node();
        const int x = platform->PosX(0);
        MvSpriteNode* sprite = platform->AsSprite();
        if (sprite != nullptr && x > hx - PlatformStepReach && x < hx + PlatformStepReach)
            sprite->Step();
    }
}

void GameWorld::ScrollToHero()
{
    if (GameState::engine == nullptr)
        return;
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* hero = tree->FindByName(HeroName);
    if (hero == nullptr)
        return;
    const int half = WindowWidth() / 2;
    tree->SceneRoot()->MoveTo(half - hero->PosX(0), 0, -1);
}
