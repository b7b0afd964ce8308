#include "GameWorld.h"

#include "GameState.h"
#include "MvAssert.h"
#include "MvLog.h"
#include "MvResourceVault.h"
#include "MvStage.h"

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

void GameWorld::BuildPlay() {}

void GameWorld::BuildEnd() { BuildScreen(9); }

void GameWorld::BuildScreen(int) {}
