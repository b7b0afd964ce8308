#include "MvAssert.h"
#include "MvDebugOutput.h"
#include "MvLog.h"

#include "MvFailedCheck.h"
#include "MvLogCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

TEST(MvLog, FormatsToStandardOutputAndTheDebugChannel)
{
    MvLogCapture capture;
    testing::internal::CaptureStdout();
    MvLog("Loaded %s with %d items\n", "thing", 42);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Loaded thing with 42 items\n");
    EXPECT_EQ(capture.Text(), "Loaded thing with 42 items\n");
}

TEST(MvLog, LongMessagesAreCutToTheBuffer)
{
    MvLogCapture capture;
    std::string longText(3000, 'x');
    testing::internal::CaptureStdout();
    MvLog("%s", longText.c_str());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.size(), static_cast<size_t>(MvLogBufferSize - 1));
    EXPECT_EQ(capture.Text().size(), static_cast<size_t>(MvLogBufferSize - 1));
}

// A program chooses where the log prints: another stream, or none; the debug channel
// hears every message either way, and putting the old stream back restores the default.
TEST(MvLog, TheLogStreamCanBeRedirectedOrSilenced)
{
    MvLogCapture capture;
    std::FILE* file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    testing::internal::CaptureStdout();
    std::FILE* original = MvSetLogStream(file);
    MvLog("to the file\n");
    EXPECT_EQ(file, MvSetLogStream(nullptr));
    MvLog("to nowhere\n");
    EXPECT_EQ(nullptr, MvSetLogStream(original));
    MvLog("to standard output\n");
    EXPECT_EQ("to standard output\n", testing::internal::GetCapturedStdout());
    EXPECT_EQ(stdout, original);
    EXPECT_EQ("to the file\nto nowhere\nto standard output\n", capture.Text());

    std::rewind(file);
    char text[64] = {};
    ASSERT_NE(nullptr, std::fgets(text, sizeof text, file));
    EXPECT_STREQ("to the file\n", text);
    EXPECT_EQ(nullptr, std::fgets(text, sizeof text, file));
    std::fclose(file);
}

TEST(MvDebugOutput, WithoutASinkTheTextGoesToTheFileNamedInTheEnvironment)
{
    char path[] = "/tmp/movo-debug-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    setenv("MOVO_DEBUG_OUTPUT", path, 1);
    MvDebugOutput("first line\n");
    MvDebugOutput("second line\n");
    unsetenv("MOVO_DEBUG_OUTPUT");
    MvDebugOutput("not written\n");
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_EQ(all.str(), "first line\nsecond line\n");
    std::remove(path);
}

TEST(MvDebugOutput, ASinkPutBackGetsItsOwnContextBack)
{
    // Captures inside captures: each must go on collecting into its own text once the one
    // inside it has ended.
    MvLogCapture outer;
    {
        MvLogCapture inner;
        MvLog("inner\n");
        EXPECT_EQ(inner.Text(), "inner\n");
    }
    MvLog("outer\n");
    EXPECT_EQ(outer.Text(), "outer\n");
}

TEST(MvAssertDeathTest, AFailedCheckNamesConditionFileAndLine)
{
    int value = 3;
    EXPECT_DEATH(MvAssert(value == 4), "Assertion failed: value == 4, file .*MvLogTest.cpp, line [0-9]+");
    MvAssert(value == 3); // a holding check does nothing
}

// A failed check runs the program's hook once, after its report and before it stops, so
// that a program can put back what must not outlive it (the game's full-screen mode).

// Says on standard error that it ran, where the death test reads it.
void SayHookRan() { std::fputs("the hook ran\n", stderr); }

// Fails a check itself, as a hook reaching code with a broken precondition would.
void FailInsideHook()
{
    std::fputs("the hook ran\n", stderr);
    MvAssert(1 + 1 == 3);
}

TEST(MvAssertDeathTest, AFailedCheckRunsTheHookAfterItsReport)
{
    EXPECT_DEATH(
        {
            MvSetAssertHook(SayHookRan);
            MvAssert(2 + 2 == 5);
        },
        MvFailedCheck("2 + 2 == 5") + ", file .*\nthe hook ran\n$");
}

TEST(MvAssertDeathTest, ACheckFailingInTheHookDoesNotRunItAgain)
{
    EXPECT_DEATH(
        {
            MvSetAssertHook(FailInsideHook);
            MvAssert(2 + 2 == 5);
        },
        MvFailedCheck("2 + 2 == 5") + ", file .*\nthe hook ran\n" + MvFailedCheck("1 + 1 == 3") + ", file [^\n]*\n$");
}

TEST(MvAssert, SettingAHookReturnsTheOneItReplaces)
{
    EXPECT_EQ(MvSetAssertHook(SayHookRan), nullptr);
    EXPECT_EQ(MvSetAssertHook(nullptr), &SayHookRan);
}

TEST(MvAssert, NoDebuggerIsAttachedToTheTests)
{
    // Under a debugger a failed check traps instead of aborting; the test program
    // normally runs untraced.
    if (MvDebuggerAttached())
        GTEST_SKIP() << "running under a tracer";
    EXPECT_FALSE(MvDebuggerAttached());
}

} // namespace
