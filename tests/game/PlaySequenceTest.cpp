#include "DummySdl.h"
#include "PlaySequence.h"

#include <gtest/gtest.h>

namespace {

TEST(HandlePlayEvent, EscapeKeyDownSetsQuitAndNothingElseEndsTheLevel)
{
    const struct {
        const char* what;
        SDL_Event event;
        bool quit;
    } cases[] = {
        {"Escape pressed", DummySdl::KeyDown(SDLK_ESCAPE), true},
        {"Escape released", DummySdl::KeyUp(SDLK_ESCAPE), false},
        {"Return pressed", DummySdl::KeyDown(SDLK_RETURN), false},
        {"Up pressed", DummySdl::KeyDown(SDLK_UP), false},
        {"a quit event is the play loop's, not the sequence's", DummySdl::Quit(), false},
        {"a mouse click", DummySdl::OfType(SDL_MOUSEBUTTONDOWN), false},
    };
    for (const auto& c : cases) {
        bool quit = false;
        bool done = false;
        HandlePlayEvent(c.event, &quit, &done);
        EXPECT_EQ(quit, c.quit) << c.what;
        EXPECT_FALSE(done) << c.what;
    }
}

} // namespace
