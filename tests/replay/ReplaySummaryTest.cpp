#include "ReplaySummary.h"

#include <gtest/gtest.h>

namespace {

ReplaySummary Played(ReplaySummary::Outcome outcome)
{
    ReplaySummary summary;
    summary.levelsPlayed = 1;
    summary.outcome = outcome;
    summary.level = 1;
    summary.levelTicks = 2104;
    summary.points = 1350;
    summary.flags = 17;
    summary.enemiesDefeated = 4;
    summary.lives = 2;
    summary.runTicks = 2300;
    summary.scriptEndTick = 2290;
    return summary;
}

TEST(ReplaySummary, OneLineSaysHowTheLastLevelEndedAndHowTheRunEnded)
{
    ReplaySummary none;
    ReplaySummary twoLevels = Played(ReplaySummary::Won);
    twoLevels.levelsPlayed = 2;
    twoLevels.level = 2;
    ReplaySummary limited = Played(ReplaySummary::Quit);
    limited.limitEscapeTick = 20000;
    ReplaySummary cut = limited;
    cut.stepsNotReached = 3;
    ReplaySummary early = Played(ReplaySummary::Quit);
    early.stepsNotReached = 1;
    ReplaySummary empty;
    empty.limitEscapeTick = 50;
    empty.runTicks = 50;

    const struct {
        ReplaySummary summary;
        const char* line;
    } cases[] = {
        {none, "summary: no level played"},
        {Played(ReplaySummary::Won),
         "summary: level 1 won, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2"},
        {Played(ReplaySummary::Lost),
         "summary: level 1 lost, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2"},
        {Played(ReplaySummary::Quit),
         "summary: level 1 quit in play, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2"},
        {Played(ReplaySummary::Closed),
         "summary: level 1 left by a quit event, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, "
         "lives 2"},
        {twoLevels,
         "summary: level 2 won, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2 (the last of "
         "2 levels played)"},
        {limited,
         "summary: level 1 quit in play, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2; the "
         "script ran out at tick 2290, Escape pressed after tick 20000 (--max-ticks)"},
        {cut,
         "summary: level 1 quit in play, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2; "
         "Escape pressed after tick 20000 (--max-ticks), 3 script line(s) not reached"},
        {early,
         "summary: level 1 quit in play, time 42 (2104 ticks), points 1350, flags 17, enemies defeated 4, lives 2; the "
         "game ended after tick 2300, 1 script line(s) not reached"},
        {empty, "summary: no level played; the script is empty, Escape pressed after tick 50 (--max-ticks)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.summary.Line(), c.line);
}

TEST(ReplaySummary, ComparesEveryField)
{
    const ReplaySummary base = Played(ReplaySummary::Won);
    EXPECT_EQ(base, Played(ReplaySummary::Won));
    ReplaySummary other = base;
    other.points += 1;
    EXPECT_NE(base, other);
    other = base;
    other.runTicks += 1;
    EXPECT_NE(base, other);
    other = base;
    other.lives = 0;
    EXPECT_NE(base, other);
    other = base;
    other.outcome = ReplaySummary::Lost;
    EXPECT_NE(base, other);
}

} // namespace
