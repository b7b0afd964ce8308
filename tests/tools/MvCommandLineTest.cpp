#include "MvCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What one command line leaves behind: whether the program goes on, its exit code and
// the values stored.
struct Outcome {
    bool goesOn;
    int exitCode;
    std::string argument;
    std::string output;
    std::string count;
    int level;
    bool verbose;
};

// The command line of a small tool (a flag, an option with two names, an option whose
// value must be digits, a number option, one argument) read from args.
Outcome Read(std::vector<std::string> args, bool loneDashIsArgument)
{
    Outcome outcome{false, -1, "", "", "", 0, false};
    MvCommandLine commandLine("movo-test", "usage\n", loneDashIsArgument);
    commandLine.AddFlag("--verbose", &outcome.verbose);
    commandLine.AddOption({"-o", "--output"}, &outcome.output);
    commandLine.AddOption({"--count"}, [&outcome](const std::string& value) {
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
            return "--count needs digits, not '" + value + "'";
        outcome.count = value;
        return std::string();
    });
    commandLine.AddNumberOption({"--level"}, &outcome.level, 1, 9);
    commandLine.AddArgument(&outcome.argument, "file", "file");
    std::vector<char*> argv{const_cast<char*>("movo-test")};
    for (std::string& arg : args)
        argv.push_back(&arg[0]);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    outcome.goesOn = commandLine.Parse(static_cast<int>(argv.size()), argv.data(), &outcome.exitCode);
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    return outcome;
}

TEST(MvCommandLine, ReadsArgumentsInOrder)
{
    struct Case {
        std::vector<std::string> args;
        bool loneDashIsArgument;
        bool goesOn;
        int exitCode;        // when it does not go on
        const char* argument;
        const char* output;
        const char* count;
        int level;
        bool verbose;
    };
    const Case cases[] = {
        {{"a.xml"}, false, true, -1, "a.xml", "", "", 0, false},
        {{"--verbose", "a.xml", "--output", "x.dat"}, false, true, -1, "a.xml", "x.dat", "", 0, true},
        {{"-o", "--help", "a.xml"}, false, true, -1, "a.xml", "--help", "", 0, false},  // a value, not help
        {{"--count", "12", "a.xml"}, false, true, -1, "a.xml", "", "12", 0, false},
        {{"a.xml", "--help", "--bogus"}, false, false, 0, "a.xml", "", "", 0, false},   // help ends reading
        {{"--bogus", "--help"}, false, false, 2, "", "", "", 0, false},                 // the error comes first
        {{}, false, false, 2, "", "", "", 0, false},                                    // no argument
        {{"a.xml", "b.xml"}, false, false, 2, "a.xml", "", "", 0, false},
        {{"a.xml", "-o"}, false, false, 2, "a.xml", "", "", 0, false},                  // a value is missing
        {{"a.xml", "-o", ""}, false, false, 2, "a.xml", "", "", 0, false},              // an empty value
        {{"--count", "x", "a.xml"}, false, false, 2, "", "", "", 0, false},             // refused before the argument
        {{"-"}, false, false, 2, "", "", "", 0, false},                                 // an unknown option
        {{"-"}, true, true, -1, "-", "", "", 0, false},                                 // the argument
        {{"-x"}, true, false, 2, "", "", "", 0, false},
        {{"--level", "9", "a.xml"}, false, true, -1, "a.xml", "", "", 9, false},
        {{"--level", "1", "a.xml"}, false, true, -1, "a.xml", "", "", 1, false},
        {{"--level", "10", "a.xml"}, false, false, 2, "", "", "", 0, false},            // above the range
        {{"--level", "0", "a.xml"}, false, false, 2, "", "", "", 0, false},             // below it
        {{"--level", "4x", "a.xml"}, false, false, 2, "", "", "", 0, false},            // not all digits
        {{"--level", "4294967297", "a.xml"}, false, false, 2, "", "", "", 0, false},    // wraps in an int
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const std::string& arg : c.args)
            shown += " '" + arg + "'";
        const Outcome outcome = Read(c.args, c.loneDashIsArgument);
        EXPECT_EQ(c.goesOn, outcome.goesOn) << shown;
        if (!c.goesOn) {
            EXPECT_EQ(c.exitCode, outcome.exitCode) << shown;
        }
        EXPECT_EQ(c.argument, outcome.argument) << shown;
        EXPECT_EQ(c.output, outcome.output) << shown;
        EXPECT_EQ(c.count, outcome.count) << shown;
        EXPECT_EQ(c.level, outcome.level) << shown;
        EXPECT_EQ(c.verbose, outcome.verbose) << shown;
    }
}

// A palette and one or more pictures: the single argument fills first, the list takes
// the rest, and each missing part is named.
TEST(MvCommandLine, ReadsAnArgumentThenAList)
{
    const struct {
        std::vector<std::string> args;
        bool goesOn;
        const char* message; // on standard error, when it does not go on
        const char* palette;
        std::vector<std::string> pictures;
    } cases[] = {
        {{"p.txt", "a.pix"}, true, "", "p.txt", {"a.pix"}},
        {{"p.txt", "a.pix", "-v", "b.pix"}, true, "", "p.txt", {"a.pix", "b.pix"}},
        {{}, false, "movo-test: no palette given\n", "", {}},
        {{"-v", "p.txt"}, false, "movo-test: no picture file given\n", "p.txt", {}},
    };
    for (const auto& c : cases) {
        std::string palette;
        std::vector<std::string> pictures;
        bool verbose = false;
        MvCommandLine commandLine("movo-test", "Usage: movo-test PALETTE PICTURES...\n");
        commandLine.AddFlag("-v", &verbose);
        commandLine.AddArgument(&palette, "palette", "palette");
        commandLine.AddArguments(&pictures, "picture file");
        std::vector<std::string> args = c.args;
        std::vector<char*> argv{const_cast<char*>("movo-test")};
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        int exitCode = -1;
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.goesOn, commandLine.Parse(static_cast<int>(argv.size()), argv.data(), &exitCode)) << c.message;
        const std::string err = testing::internal::GetCapturedStderr();
        if (!c.goesOn) {
            EXPECT_EQ(2, exitCode);
            EXPECT_EQ(0u, err.find(c.message)) << err;
        }
        EXPECT_EQ(c.palette, palette);
        EXPECT_EQ(c.pictures, pictures);
    }
}

TEST(MvCommandLine, FailNamesTheProgramAndShowsTheSynopsis)
{
    MvCommandLine commandLine("movo-test", "Usage: movo-test FILE\n\nMore help.\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(2, commandLine.Fail("no output file given"));
    EXPECT_EQ("movo-test: no output file given\nUsage: movo-test FILE\nTry 'movo-test --help'.\n",
              testing::internal::GetCapturedStderr());
}

} // namespace
