#ifndef GAME_SCREEN_STAGE_H
#define GAME_SCREEN_STAGE_H

// The current screen of a game test: a stage over an 800 x 600 32-bit off-screen surface,
// set as GameState::engine while it lives, as the game sets up each of its screens.

#include "GameState.h"
#include "MvResourceVault.h"
#include "MvStage.h"

#include <SDL.h>
#include <gtest/gtest.h>

class GameScreenStage {
public:
    GameScreenStage()
    {
        surface_ = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0xff0000, 0xff00, 0xff, 0);
        if (surface_ == nullptr) {
            ADD_FAILURE() << "no off-screen surface: " << SDL_GetError();
            return;
        }
        GameState::engine = new MvStage(surface_);
    }

    // Deletes the stage (and everything on it) and the surface; no screen is current after.
    ~GameScreenStage()
    {
        delete GameState::engine;
        GameState::engine = nullptr;
        SDL_FreeSurface(surface_);
    }

    GameScreenStage(const GameScreenStage&) = delete;
    GameScreenStage& operator=(const GameScreenStage&) = delete;

    // Loads the game's "Images/Sprites.dat" into the stage's vault, as every screen does.
    bool LoadSprites() const
    {
        return GameState::engine != nullptr && GameState::engine->Vault()->LoadDatFile(MOVO_SPRITES_FILE);
    }

    // The surface the stage paints.
    SDL_Surface* Surface() const { return surface_; }

private:
    SDL_Surface* surface_ = nullptr;
};

#endif
