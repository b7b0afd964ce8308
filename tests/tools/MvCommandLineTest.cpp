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
    bool verbose;
};

// The command line of a small tool (a flag, an option with two names, an option whose
// value must be digits, one argument) read from args.
Outcome Read(std::vector<std::string> args, bool loneDashIsArgument)
{
    Outcome outcome{false, -1, "", "", "", false};
    MvCommandLine commandLine("movo-test", "usage\n", loneDashIsArgument);
    commandLine.AddFlag("--verbose", &outcome.verbose);
    commandLine.AddOption({"-o", "--output"}, &outcome.output);
    commandLine.AddOption({"--count"}, [&outcome](const std::string& value) {
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
            return "--count needs digits, not '" + value + "'";
        outcome.count = value;
        return std::string();
    });
    commandLine.SetArgument(&outcome.argument, "file", "file");
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
        bool verbose;
    };
    const Case cases[] = {
        {{"a.xml"}, false, true, -1, "a.xml", "", "", false},
        {{"--verbose", "a.xml", "--output", "x.dat"}, false, true, -1, "a.xml", "x.dat", "", true},
        {{"-o", "--help", "a.xml"}, false, true, -1, "a.xml", "--help", "", false},  // a value, not help
        {{"--count", "12", "a.xml"}, false, true, -1, "a.xml", "", "12", false},
        {{"a.xml", "--help", "--bogus"}, false, false, 0, "a.xml", "", "", false},   // help ends reading
        {{"--bogus", "--help"}, false, false, 2, "", "", "", false},                 // the error comes first
        {{}, false, false, 2, "", "", "", false},                                    // no argument
        {{"a.xml", "b.xml"}, false, false, 2, "a.xml", "", "", false},
        {{"a.xml", "-o"}, false, false, 2, "a.xml", "", "", false},                  // a value is missing
        {{"--count", "x", "a.xml"}, false, false, 2, "", "", "", false},             // refused before the argument
        {{"-"}, false, false, 2, "", "", "", false},                                 // an unknown option
        {{"-"}, true, true, -1, "-", "", "", false},                                 // the argument
        {{"-x"}, true, false, 2, "", "", "", false},
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
        EXPECT_EQ(c.verbose, outcome.verbose) << shown;
    }
}

TEST(MvCommandLine, FailNamesTheProgramAndPointsToHelp)
{
    MvCommandLine commandLine("movo-test", "usage\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(2, commandLine.Fail("no output file given"));
    EXPECT_EQ("movo-test: no output file given\nTry 'movo-test --help'.\n", testing::internal::GetCapturedStderr());
}

} // namespace
