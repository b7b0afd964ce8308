#include "GameWorld.h"

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
#include "Sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>

GameWorld* GameWorld::instance_ = nullptr;

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
    if (!GameState::engine->Vault()->LoadDatFile("Images/Sprites.dat")) {
        MvLog("Error loading the BrumoSprites dat file\n");
        // Like every other way out of the program, this one leaves no full-screen mode
        // behind: the mixer and SDL are closed before the process ends.
        Mix_CloseAudio();
        SDL_Quit();
        std::exit(255);
    }
    MvLog("Loaded BrumoSprites.dat\n");
}

void GameWorld::BuildMenu() { BuildScreen(0); }

void GameWorld::BuildPlay()
{
    MvAssert(GameState::engine != nullptr);
    MvSpriteResource* heroResource = GameState::engine->Vault()->FindSpriteResource(12);
    MvAssert(heroResource != nullptr);
    MvSpriteNode* hero = new MvSpriteNode(heroResource);
    hero->SetName("track");
    hero->SelectAction("Stand.Right");
    GameState::engine->SceneTree()->InsertNode(nullptr, hero);

    BuildScreen(GameState::chosenLevel);
    SDL_PauseAudio(0);
    hero->MoveTo(GameState::originX, 375, -1);
}

void GameWorld::BuildEnd() { BuildScreen(9); }

namespace {

// The layers every screen has, in the order they are made; depth -1 leaves the default.
const struct {
    const char* name;
    int depth;
} Layers[] = {{"text", 15}, {"platforms", 10}, {"enemies", 5}, {"background", 0}, {"items", -1}};

// Platforms this close to the hero (exclusive) are stepped after every play event.
const int PlatformStepReach = 500;

// Width of window 0 of the current stage.
int WindowWidth() { return GameState::engine->WindowRect(0).right - GameState::engine->WindowRect(0).left + 1; }

// The flag icon: the red flag at world (x, 15) as a direct child of the "text" layer, so
// that it is not scaled like the glyphs of a label.
void PlaceFlagIcon(int x)
{
    MvSpriteResource* flag = GameState::engine->Vault()->FindSpriteResource(18);
    MvAssert(flag != nullptr);
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* text = tree->FindByName("text");
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
    switch (screen) {
    case 0:
        SetWindowGeometry(screen);
        PlaceMenuLabels();
        break;
    case 1:
    case 2:
    case 3: {
        StartLevelMusic(screen);
        SetWindowGeometry(screen);
        MvColor color;
        if (screen == 1)
            color.Set(28, 128, 255, 255);
        else
            color.Set(20, 20, 0, 255);
        GameState::engine->SetBackgroundColor(&color);
        PlaceCounterDisplay();
        PlaceLevelRows(screen);
        break;
    }
    case 9:
        SetWindowGeometry(screen);
        PlaceEndLabels();
        break;
    default:
        break;
    }
}

void GameWorld::SetWindowGeometry(int screen)
{
    const int w = WindowWidth();
    GameState::originY = GameState::engine->WindowRect(0).top;
    if (screen >= 1 && screen <= 3) {
        GameState::originX = static_cast<int>(-w * 0.5);
        GameState::rightBound = (screen == 2 ? 11 : 10) * w;
    } else {
        GameState::originX = static_cast<int>(w * 0.5);
        GameState::rightBound = w;
    }
}

void GameWorld::PlaceMenuLabels()
{
    CreateLabel(-200, 150, "PRESS A NUMBER TO CHOOSE A LEVEL AND ENTER TO BEGIN", "label");
    CreateLabel(-100, 200, "ONLY 3 LEVELS TO CHOOSE FROM", "label2");
    CreateLabel(-50, 175, NumberToText(0).c_str(), "levelnumber");
    CreateLabel(-350, 20, "PRESS ESCAPE TO QUIT", "quit");
    CreateLabel(-350, 300, "GOALS OF THE GAME ARE AS FOLLOWS", "goals");
    CreateLabel(-350, 350, "COLLECT THE FLAGS", "line1");
    CreateLabel(-350, 400, "DEFEAT ENEMIES", "line2");
    CreateLabel(-350, 450, "GET TO THE END OF THE LEVEL", "line3");
}

void GameWorld::PlaceCounterDisplay()
{
    CreateLabel(150, 35, NumberToText(GameState::ticks).c_str(), "time");
    CreateLabel(150, 20, "TIME", "label");
    PlaceFlagIcon(GameState::originX + 250);
    CreateLabel(280, 45, "X ", "symbol");
    CreateLabel(300, 45, NumberToText(GameState::flagsCollected).c_str(), "flags");
    CreateLabel(350, 20, "LIFE", "LifeLabel");
    CreateLabel(350, 35, NumberToText(GameState::lives).c_str(), "lifeleft");
    CreateLabel(450, 20, "POINTS", "pointslabel");
    CreateLabel(450, 35, NumberToText(GameState::points).c_str(), "pointsscored");
    CreateLabel(550, 20, "ENEMIES DEFEATED", "EnDefLabel");
    CreateLabel(625, 35, "0", "Defeated");
}

void GameWorld::PlaceEndLabels()
{
    if (GameState::lost) {
        CreateLabel(-300, 20, "YOU LOST TRY AGAIN", "lost");
        CreateLabel(0, 20, "PRESS ENTER TO RETURN TO MENU", "enter");
        CreateLabel(-300, 100, "PRESS ESCAPE TO QUIT", "quit");
        return;
    }
    CreateLabel(-300, 35, NumberToText(GameState::ticks / 50).c_str(), "time");
    CreateLabel(-300, 20, "TIME", "label");
    PlaceFlagIcon(250);
    CreateLabel(-175, 35, "X ", "symbol");
    CreateLabel(-150, 35, NumberToText(GameState::flagsCollected).c_str(), "flags");
    CreateLabel(-150, 300, "POINTS", "pointslabel");
    CreateLabel(-150, 325, NumberToText(GameState::points).c_str(), "pointsscored");
    CreateLabel(0, 200, "ENEMIES DEFEATED", "EnDefLabel");
    CreateLabel(50, 225, NumberToText(GameState::enemiesDefeated).c_str(), "Defeated");
}

void GameWorld::PlaceLevelRows(int level) { PlaceLevel(level, &enemyCount); }

void GameWorld::StepPlatforms()
{
    HeroAndLayer scene;
    if (!scene.Find("platforms"))
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
    MvSceneNode* hero = tree->FindByName("track");
    if (hero == nullptr)
        return;
    const int half = WindowWidth() / 2;
    tree->SceneRoot()->MoveTo(half - hero->PosX(0), 0, -1);
}
