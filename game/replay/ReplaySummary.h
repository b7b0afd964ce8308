#ifndef REPLAY_SUMMARY_H
#define REPLAY_SUMMARY_H

#include <string>

// What one replay of a script came to: how the last level played ended and its counters
// (GameState as the play screen ended), and how the run itself ended. It is the tool's
// one-line report, kept as values so that tests and repeated passes can compare them.
struct ReplaySummary {
    enum Outcome {
        NoLevel, // no play screen ran
        Won,     // the hero passed the level's end
        Lost,    // the hero fell or lost the last life
        Quit,    // Escape on the play screen
        Closed   // the play screen was left by a quit event (the window closed)
    };

    int levelsPlayed = 0;
    Outcome outcome = NoLevel;
    int level = 0;           // GameState::chosenLevel of the last level played
    int levelTicks = 0;      // GameState::ticks: the level's ticks
    int points = 0;
    int flags = 0;
    int enemiesDefeated = 0;
    int lives = 0;           // GameState::lives as the level ended: a fall keeps them, enemies take them to 0

    int runTicks = 0;        // the tool's ticks over the whole run
    int limitEscapeTick = 0; // the tick after which the tool pressed Escape for the tick limit; 0 if it did not
    int stepsNotReached = 0; // script lines the run ended before
    int scriptEndTick = 0;   // the last script line's tick

    // The report line, for example
    // "summary: level 1 won, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2",
    // followed by notes when the tick limit ended the run or lines were not reached.
    std::string Line() const;

    // Whether two summaries report the same run.
    bool operator==(const ReplaySummary& other) const;
    bool operator!=(const ReplaySummary& other) const;
};

inline bool ReplaySummary::operator!=(const ReplaySummary& other) const { return !(*this == other); }

#endif
