#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace tooltest;

const std::string Replay = MOVO_REPLAY_PROGRAM;

// movo-replay as a user runs it: from a folder of their own, with the game folder found by
// the program.
class ReplayProgram : public testing::Test {
protected:
    ProgramRun Run(const std::vector<std::string>& arguments) { return RunProgram(Replay, arguments, scratch); }

    ScratchFolder scratch;
};

TEST_F(ReplayProgram, HelpDescribesTheCommandLineAndTheScript)
{
    const ProgramRun run = Run({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.find("Usage: movo-replay [options] SCRIPT\n"), 0u) << run.out;
    for (const char* part : {"--out DIR", "--game DIR", "--max-ticks N", "--repeat N", "--quiet", "at TICK press KEY",
                             "at TICK screenshot NAME.png"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part;
    EXPECT_EQ(run.err, "");
}

// Bad command lines and bad scripts exit 2 with one message, and nothing runs: no output
// folder appears.
TEST_F(ReplayProgram, RefusesBadCommandLinesAndBadScriptsWithoutRunning)
{
    WriteFile(scratch / "bad.txt", "at 5 press Return\nat 3 screenshot a.png\n");
    WriteFile(scratch / "good.txt", "at 5 press Escape\n");
    const std::string out = scratch / "out";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{}, "movo-replay: no script given\n"},
        {{"--out", out}, "movo-replay: no script given\n"},
        {{scratch / "good.txt", "--out"}, "movo-replay: the option --out needs a value\n"},
        {{scratch / "good.txt", "--fast"}, "movo-replay: unknown option --fast\n"},
        {{scratch / "good.txt", "--max-ticks", "0"}, "movo-replay: --max-ticks needs a number from 1 to 1000000000, not '0'\n"},
        {{scratch / "good.txt", "--repeat", "two"}, "movo-replay: --repeat needs a number of 1 or more, not 'two'\n"},
        {{scratch / "good.txt", scratch / "bad.txt"},
         "movo-replay: more than one script: '" + scratch / "good.txt" + "' and '" + scratch / "bad.txt" + "'\n"},
        {{scratch / "bad.txt", "--out", out},
         "movo-replay: " + scratch / "bad.txt" + ":2: tick 3 comes before tick 5 of line 1; lines must be in tick order\n"},
        {{scratch / "none.txt", "--out", out},
         "movo-replay: " + scratch / "none.txt" + ": cannot be read: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_EQ(run.err.find(c.message), 0u) << run.err;
        EXPECT_EQ(run.out, "") << c.message;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ReplayProgram, AFolderWithoutTheGamesFilesIsNoGameFolder)
{
    WriteFile(scratch / "run.txt", "at 2 press Escape\n");
    const ProgramRun run = Run({scratch / "run.txt", "--game", scratch.Path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "movo-replay: '" + scratch.Path() + "' is no game folder: '" + scratch.Path() +
                           "/Images/Sprites.dat' cannot be read (give one with --game DIR)\n");
}

// A whole run: the game's own lines hidden, the screenshots written where --out says, the
// summary last; --repeat reports the memory of the first and the last pass.
TEST_F(ReplayProgram, RunsAScriptAndEndsWithTheSummary)
{
    WriteFile(scratch / "run.txt", "at 2 screenshot menu.png\nat 3 press Return\nat 6 press Escape\n");
    const std::string out = scratch / "shots";
    const ProgramRun run = Run({"--quiet", "--repeat", "2", "--out", out, scratch / "run.txt"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string summary =
        "summary: level 1 quit in play, time 0 (3 ticks), points 0, flags 0, enemies defeated 0, lives 2\n";
    ASSERT_GE(run.out.size(), summary.size());
    EXPECT_EQ(run.out.substr(run.out.size() - summary.size()), summary) << run.out;
    EXPECT_EQ(run.out.find("pass 1: peak resident "), 0u) << run.out;
    EXPECT_NE(run.out.find("\npass 2: peak resident "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("screenshot at tick 2: " + out + "/menu.png\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Loaded"), std::string::npos) << run.out;
    MvPngImage picture;
    std::string error;
    ASSERT_TRUE(picture.Load(out + "/menu.png", &error)) << error;
    EXPECT_EQ(picture.Width(), 800);
    EXPECT_EQ(picture.Height(), 600);
}

// Without --quiet the game's own lines stay; --sounds lists what the game played.
TEST_F(ReplayProgram, KeepsTheGamesLinesAndListsTheSoundsOnRequest)
{
    WriteFile(scratch / "run.txt", "at 3 press Return\nat 6 press Escape\n");
    const ProgramRun run = Run({"--sounds", scratch / "run.txt"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Loaded BrumoSprites.dat\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sound at tick 2: Sounds/Brumoquest Theme Orchestral.ogg\n"), std::string::npos) << run.out;
}

} // namespace
