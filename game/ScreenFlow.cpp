#include "ScreenFlow.h"

#include "GameState.h"
#include "GameWorld.h"
#include "Labels.h"
#include "MvAssert.h"
#include "MvStage.h"
#include "PlaySequence.h"
#include "Sound.h"
#include "StopSignal.h"


ScreenFlow::ScreenFlow(SDL_Surface* screen, GameWorld* world, GameEvents* events)
    : comforts_(screen)
    , world_(world)
    , events_(events != nullptr ? events : &sdlEvents_)
{
    MvAssert(screen != nullptr);
    MvAssert(world != nullptr);
}

void ScreenFlow::Run()
{
    while (!quit_) {
        RunMenuScreen();
        RunPlayScreen();
        RunEndScreen();
    }
}

void ScreenFlow::OpenStage()
{
    GameState::engine = new MvStage(comforts_.Screen());
    MvAssert(GameState::engine != nullptr);
    GameState::engine->Draw(true, nullptr);
}

bool ScreenFlow::NextEvent(SDL_Event* event)
{
    while (!StopSignalled() && events_->Wait(event) && !StopSignalled()) {
        if (event->type == SDL_QUIT)
            return false;
        if (!comforts_.Take(*event))
            return true;
        if (comforts_.ScreenLost()) {
            quit_ = true;
            return false;
        }
    }
    quit_ = quit_ || StopSignalled();
    return false;
}

void ScreenFlow::CloseStage()
{
    delete GameState::engine;
    GameState::engine = nullptr;
}

void ScreenFlow::RunMenuScreen()
{
    OpenStage();
    SDL_JoystickEventState(SDL_ENABLE);
    joystick_ = SDL_JoystickOpen(0);
    world_->LoadScreen();
    events_->StartTicks();
    world_->BuildMenu();
    MenuLoop();
    CloseStage();
    done_ = false;
}

void ScreenFlow::MenuLoop()
{
    SDL_Event event;
    while (!done_ && !quit_ && NextEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            OnMenuKey(event.key.keysym.sym, &done_, &quit_);
            break;
        case SDL_USEREVENT:
            MenuTick();
            GameState::engine->Draw(true, nullptr);
            break;
        default:
            break;
        }
    }
}

void ScreenFlow::RunPlayScreen()
{
    OpenStage();
    ResetCounters();
    GameState::lost = false;
    GameState::shiftKeysHeld = 0;
    world_->LoadScreen();
    world_->BuildPlay();
    comforts_.EnterPlayScreen();

    // After Escape on the menu the play screen is built and torn down unseen: no level
    // was played, so there is no end to tell.
    const bool played = !quit_;
    SDL_Event event;
    while (!done_ && !quit_ && !GameState::lost && NextEvent(&event))
        HandlePlayEvent(event, &quit_, &done_);
    // A signal during the death pause ends the game as soon as the pause gives way.
    quit_ = quit_ || StopSignalled();
    if (played)
        events_->PlayEnded(quit_, done_);
    comforts_.LeavePlayScreen();

    CloseStage();
    done_ = false;
    StopMusic();
}

void ScreenFlow::RunEndScreen()
{
    OpenStage();
    world_->LoadScreen();
    world_->BuildEnd();

    SDL_Event event;
    while (!done_ && !quit_ && NextEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            OnEndKey(event.key.keysym.sym, &done_, &quit_);
            break;
        case SDL_USEREVENT:
            GameState::engine->Draw(true, nullptr);
            break;
        default:
            break;
        }
    }

    done_ = false;
    CloseStage();
}

void OnMenuKey(int sym, bool* done, bool* quit)
{
    switch (sym) {
    case SDLK_RETURN:
        *done = true;
        break;
    case SDLK_ESCAPE:
        *quit = true;
        break;
    case SDLK_1:
    case SDLK_2:
    case SDLK_3:
        GameState::chosenLevel = sym - SDLK_0;
        break;
    default:
        break;
    }
}

void OnEndKey(int sym, bool* done, bool* quit)
{
    if (sym == SDLK_RETURN)
        *done = true;
    else if (sym == SDLK_ESCAPE)
        *quit = true;
}
