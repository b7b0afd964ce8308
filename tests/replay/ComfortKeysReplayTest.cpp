// The player's comfort keys in the real screen flow, driven by scripts as the replay tool
// drives it: a pause leaves a won level's results as they were, and switching between
// full screen and a window leaves the pictures as they were.

#include "ReplayRunFixture.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tooltest::ReadFile;

std::string ShippedScript(const char* name)
{
    std::ifstream in(std::string(MOVO_REPLAY_SCRIPTS) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The script text with a pause of length ticks from tick on: P pressed before tick and
// again before tick + length, every line from tick on moved length ticks later, and the
// lines of during (ticks counted from tick) inside the pause.
std::string WithPause(const std::string& text, int tick, int length, const std::vector<std::string>& during)
{
    std::vector<std::tuple<int, int, std::string>> lines; // tick, inserted first, the rest
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string at;
        int lineTick = 0;
        if (!(words >> at >> lineTick) || at != "at")
            continue;
        std::string rest;
        std::getline(words, rest);
        lines.emplace_back(lineTick >= tick ? lineTick + length : lineTick, 1, rest);
    }
    lines.emplace_back(tick, 0, " press P");
    lines.emplace_back(tick, 0, " release P");
    for (const std::string& step : during) {
        std::istringstream words(step);
        int offset = 0;
        words >> offset;
        std::string rest;
        std::getline(words, rest);
        lines.emplace_back(tick + offset, 0, rest);
    }
    lines.emplace_back(tick + length, 0, " press P");
    lines.emplace_back(tick + length, 0, " release P");
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    std::string out;
    for (const auto& entry : lines)
        out += "at " + std::to_string(std::get<0>(entry)) + std::get<2>(entry) + "\n";
    return out;
}

// A won level paused on the way, and played at during the pause: nothing of the pause or
// of what was pressed in it shows in the results.
TEST_F(ReplayRunTest, APauseLeavesAWonLevelAsItWas)
{
    const std::string original = ShippedScript("level1-win.txt");
    const ReplaySummary plain = Run(original, 30000);
    ASSERT_EQ(plain.outcome, ReplaySummary::Won) << plain.Line();
    const std::vector<std::string> during = {"5 press Right", "15 release Right", "20 press Up",
                                             "30 stick 30000", "40 button 1 down", "50 press Return",
                                             "60 button 1 up", "70 stick 0"};
    const ReplaySummary paused = Run(WithPause(original, 10, 150, during), 30000);
    EXPECT_EQ(paused.Line(), plain.Line());
    EXPECT_EQ(paused.runTicks, plain.runTicks + 150);
}

// Switching to a window and back, on the menu and on a paused level, redraws the same
// picture; Alt+Return switches too and does not start the level.
TEST_F(ReplayRunTest, SwitchingToAWindowAndBackKeepsThePicture)
{
    const char script[] = "at 2 screenshot menu-1.png\n"
                          "at 3 press F11\n"
                          "at 3 release F11\n"
                          "at 4 screenshot menu-2.png\n"
                          "at 5 press LeftAlt\n"
                          "at 5 press Return\n"
                          "at 5 release Return\n"
                          "at 5 release LeftAlt\n"
                          "at 6 screenshot menu-3.png\n"
                          "at 7 press Return\n"
                          "at 30 press P\n"
                          "at 31 screenshot paused-1.png\n"
                          "at 32 press F11\n"
                          "at 33 screenshot paused-2.png\n"
                          "at 34 release F11\n"
                          "at 34 press F11\n"
                          "at 35 screenshot paused-3.png\n"
                          "at 36 press Escape\n";
    const ReplaySummary summary = Run(script);
    EXPECT_EQ(summary.outcome, ReplaySummary::Quit) << summary.Line();
    EXPECT_EQ(summary.levelTicks, 23) << "the level ran from tick 7 to the pause at tick 30";
    for (const char* group : {"menu", "paused"}) {
        const std::string first = ReadFile(scratch / (std::string(group) + "-1.png"));
        ASSERT_FALSE(first.empty()) << group;
        for (const char* later : {"-2.png", "-3.png"})
            EXPECT_TRUE(ReadFile(scratch / (group + std::string(later))) == first) << group << later;
    }
    EXPECT_FALSE(ReadFile(scratch / "menu-1.png") == ReadFile(scratch / "paused-1.png"));
}

} // namespace
