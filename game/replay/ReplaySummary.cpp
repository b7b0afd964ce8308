#include "ReplaySummary.h"

namespace {

const char* OutcomeText(ReplaySummary::Outcome outcome)
{
    switch (outcome) {
    case ReplaySummary::Won: return "won";
    case ReplaySummary::Lost: return "lost";
    case ReplaySummary::Quit: return "quit in play";
    case ReplaySummary::Closed: return "left by a quit event";
    case ReplaySummary::NoLevel: break;
    }
    return "not played";
}

} // namespace

std::string ReplaySummary::Line() const
{
    std::string line = "summary: ";
    if (outcome == NoLevel) {
        line += "no level played";
    } else {
        // The time the game shows: one unit per 50 ticks.
        line += "level " + std::to_string(level) + " " + OutcomeText(outcome) + ", time " +
                std::to_string(levelTicks / 50) + " (" + std::to_string(levelTicks) + " ticks), points " +
                std::to_string(points) + ", flags " + std::to_string(flags) + ", enemies defeated " +
                std::to_string(enemiesDefeated) + ", lives " + std::to_string(lives);
        if (levelsPlayed > 1)
            line += " (the last of " + std::to_string(levelsPlayed) + " levels played)";
    }
    if (limitEscapeTick > 0) {
        if (scriptEndTick == 0)
            line += "; the script is empty, Escape pressed after tick " + std::to_string(limitEscapeTick) +
                    " (--max-ticks)";
        else if (stepsNotReached == 0)
            line += "; the script ran out at tick " + std::to_string(scriptEndTick) + ", Escape pressed after tick " +
                    std::to_string(limitEscapeTick) + " (--max-ticks)";
        else
            line += "; Escape pressed after tick " + std::to_string(limitEscapeTick) + " (--max-ticks), " +
                    std::to_string(stepsNotReached) + " script line(s) not reached";
    } else if (stepsNotReached > 0) {
        line += "; the game ended after tick " + std::to_string(runTicks) + ", " + std::to_string(stepsNotReached) +
                " script line(s) not reached";
    }
    return line;
}

bool ReplaySummary::operator==(const ReplaySummary& other) const
{
    return levelsPlayed == other.levelsPlayed && outcome == other.outcome && level == other.level &&
           levelTicks == other.levelTicks && points == other.points && flags == other.flags &&
           enemiesDefeated == other.enemiesDefeated && lives == other.lives && runTicks == other.runTicks &&
           limitEscapeTick == other.limitEscapeTick && stepsNotReached == other.stepsNotReached &&
           scriptEndTick == other.scriptEndTick;
}
