#ifndef REPLAY_RUN_H
#define REPLAY_RUN_H

#include "ReplayScript.h"
#include "ReplaySummary.h"

#include <SDL.h>

#include <string>
#include <vector>

// One replay of a script through the real game: a fresh GameWorld and ScreenFlow on a
// memory surface, fed by ScriptedEvents, with the game's process-wide state put back to
// how the program starts, so every pass of the same script plays the same game. The
// death pause is skipped and the sounds the game starts are noted with their ticks;
// nothing waits for a clock. SDL (and the mixer, if wanted) must be open, and the working
// folder must be the game folder, as for the program itself.
class ReplayRun {
public:
    // Width and height of the surface the game draws on.
    static constexpr int ScreenWidth = 800;
    static constexpr int ScreenHeight = 600;
    // Unless told otherwise the game goes on this long after the script's last line, time
    // enough to finish a level, before the run ends it.
    static constexpr int DefaultTicksAfterScript = 20000;

    // Plays script (not owned) on screen (not owned; asserted 800 x 600, 32 bits per
    // pixel), writing screenshots into outDir, for at most maxTicks ticks. Asserts script
    // and screen are not null and maxTicks >= 1.
    ReplayRun(const ReplayScript* script, SDL_Surface* screen, const std::string& outDir, int maxTicks);

    // Runs the game once from the start. Returns false when a screenshot could not be
    // written (Errors() says which); the run still goes to its end. Asserts no other run
    // is going on.
    bool Run();

    // The run's report; empty before Run.
    const ReplaySummary& Summary() const;
    // One line per screenshot written: "tick 300: DIR/name.png".
    const std::vector<std::string>& Screenshots() const;
    // One line per sound the game started: "tick 812: Sounds/coin.wav".
    const std::vector<std::string>& Sounds() const;
    // One message per screenshot that could not be written.
    const std::vector<std::string>& Errors() const;

private:
    // Writes the screen for step into the output folder, noting the file or the error.
    void TakeScreenshot(const ReplayStep& step);

    const ReplayScript* script_;
    SDL_Surface* screen_;
    std::string outDir_;
    int maxTicks_;
    ReplaySummary summary_;
    std::vector<std::string> screenshots_;
    std::vector<std::string> sounds_;
    std::vector<std::string> errors_;
};

inline const ReplaySummary& ReplayRun::Summary() const { return summary_; }
inline const std::vector<std::string>& ReplayRun::Screenshots() const { return screenshots_; }
inline const std::vector<std::string>& ReplayRun::Sounds() const { return sounds_; }
inline const std::vector<std::string>& ReplayRun::Errors() const { return errors_; }

#endif
