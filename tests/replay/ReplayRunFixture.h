#ifndef REPLAY_RUN_FIXTURE_H
#define REPLAY_RUN_FIXTURE_H

#include "MvWorkingFolder.h"
#include "ReplayRun.h"
#include "ReplayScript.h"
#include "ToolTestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The real game on a memory surface, run from the game folder as the program is, with
// SDL's dummy video driver and no audio device (the sounds then play nothing).
class ReplayRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        ASSERT_NE(screen, nullptr);
        MvWorkingFolder::Enter(MOVO_GAME_FOLDER);
    }
    void TearDown() override
    {
        if (screen != nullptr)
            SDL_FreeSurface(screen);
        SDL_Quit();
    }

    // Runs text as a script; the run's screenshots go to the scratch folder.
    ReplaySummary Run(const std::string& text, int maxTicks = 200)
    {
        ReplayScript script;
        std::string error;
        EXPECT_TRUE(script.Parse("test.txt", text, &error)) << error;
        ReplayRun run(&script, screen, scratch.Path(), maxTicks);
        EXPECT_TRUE(run.Run());
        for (const std::string& message : run.Errors())
            ADD_FAILURE() << message;
        return run.Summary();
    }

    MvWorkingFolder folder;
    tooltest::ScratchFolder scratch;
    SDL_Surface* screen = nullptr;
};

#endif
