#include "PlaySequence.h"

#include "GameState.h"
#include "HeroControl.h"
#include "MvStage.h"

void HandlePlayEvent(const SDL_Event& event, bool* quit, bool* /*done*/)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        OnKeyDown(event, quit);
        break;
    case SDL_USEREVENT:
        GameState::engine->Draw(true, nullptr);
        break;
    default:
        break;
    }
}
