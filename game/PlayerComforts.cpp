#include "PlayerComforts.h"

#include "GameNames.h"
#include "GameState.h"
#include "HeroControl.h"
#include "Labels.h"
#include "MvAssert.h"
#include "MvDisplay.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvStage.h"
#include "Sound.h"

#include <cstdio>

namespace {

const char PausedText[] = "PAUSED";

void HidePausedLabel()
{
    MvSceneTree* tree = GameState::engine->SceneTree();
    if (MvSceneNode* label = tree->FindByName(PausedLabelName))
        tree->RemoveNode(label);
}

bool IsKeyEvent(const SDL_Event& event) { return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP; }

} // namespace

PlayerComforts::PlayerComforts(SDL_Surface* screen) : screen_(screen) { MvAssert(screen != nullptr); }

PlayerComforts::~PlayerComforts()
{
    if (standIn_ != nullptr)
        SDL_FreeSurface(standIn_);
}

bool PlayerComforts::Take(const SDL_Event& event)
{
    if (IsKeyEvent(event)) {
        const bool down = event.type == SDL_KEYDOWN;
        const int sym = event.key.keysym.sym;
        const bool altReturn = sym == SDLK_RETURN && (down ? (event.key.keysym.mod & KMOD_ALT) != 0 : returnTaken_);
        if (sym == SDLK_RETURN)
            returnTaken_ = down && altReturn;
        if (sym == SDLK_F11 || altReturn) {
            if (down)
                SwitchScreen();
            return true;
        }
        if (sym == SDLK_p) {
            if (down && onPlayScreen_)
                TogglePause();
            return true;
        }
        if (sym == SDLK_m) {
            if (down)
                SetMuted(!Muted());
            return true;
        }
        if (paused_ && down && sym == SDLK_ESCAPE)
            return false;
    }
    return paused_;
}

void PlayerComforts::EnterPlayScreen()
{
    onPlayScreen_ = true;
    paused_ = false;
}

void PlayerComforts::LeavePlayScreen()
{
    onPlayScreen_ = false;
    paused_ = false;
}

void PlayerComforts::SwitchScreen()
{
    if (standIn_ != nullptr)
        return;
    // A switch that fails for good takes the old surface with it.
    const int width = screen_->w;
    const int height = screen_->h;
    SDL_Surface* switched = MvDisplay::ToggleFullScreen(screen_);
    if (switched == nullptr) {
        std::fprintf(stderr, "cannot switch between full screen and a window, nor go back: %s\n", SDL_GetError());
        // The stages still made until the program ends need a surface to paint on.
        standIn_ = MvDisplay::CreateMemoryScreen(width, height);
        MvAssert(standIn_ != nullptr);
        switched = standIn_;
    }
    screen_ = switched;
    if (GameState::engine != nullptr) {
        GameState::engine->ReplaceScreen(screen_);
        GameState::engine->Draw(true, nullptr);
    }
}

void PlayerComforts::TogglePause()
{
    paused_ = !paused_;
    if (GameState::engine == nullptr)
        return;
    if (paused_) {
        CreateCentredLabel(PausedText, PausedLabelName);
    } else {
        HidePausedLabel();
        ReleaseHeldInput();
    }
    GameState::engine->Draw(true, nullptr);
}
