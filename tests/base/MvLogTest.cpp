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

// Puts the log's streams back as a test found them.
class LogStreams {
public:
    LogStreams() : log_(MvSetLogStream(nullptr)), errors_(MvSetErrorStream(stderr))
    {
        MvSetLogStream(log_);
        MvSetErrorStream(errors_);
    }
    ~LogStreams()
    {
        MvSetLogStream(log_);
        MvSetErrorStream(errors_);
    }

private:
    std::FILE* log_;
    std::FILE* errors_;
};

// A program that does nothing about the log sees no progress line; one call turns them on.
// The debug channel hears every line either way.
TEST(MvLog, ProgressLinesAreOffUntilAProgramTurnsThemOn)
{
    LogStreams keep;
    MvLogCapture capture;
    testing::internal::CaptureStdout();
    EXPECT_EQ(MvSetLogStream(nullptr), nullptr) << "off by default";
    MvLog("Fast 32 bit blitter.\n");
    EXPECT_EQ(MvSetLogStream(stdout), nullptr);
    MvLog("Loaded %s with %d items\n", "thing", 42);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loaded thing with 42 items\n");
    EXPECT_EQ(capture.Text(), "Fast 32 bit blitter.\nLoaded thing with 42 items\n");
}

// Errors reach standard error by default, whether progress lines are on, off or on
// standard output, and never the log stream.
TEST(MvLog, ErrorLinesGoToStandardErrorWhateverTheLogStream)
{
    LogStreams keep;
    MvLogCapture capture;
    std::FILE* const logStreams[] = {nullptr, stdout, stderr};
    for (std::FILE* logStream : logStreams) {
        MvSetLogStream(logStream);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        MvLogError("cannot open '%s'\n", "hero.dat");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "cannot open 'hero.dat'\n");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    }
    EXPECT_EQ(capture.Text(), "cannot open 'hero.dat'\ncannot open 'hero.dat'\ncannot open 'hero.dat'\n");
}

TEST(MvLog, LongMessagesAreCutToTheBuffer)
{
    LogStreams keep;
    MvSetLogStream(stdout);
    MvLogCapture capture;
    std::string longText(3000, 'x');
    testing::internal::CaptureStdout();
    MvLog("%s", longText.c_str());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.size(), static_cast<size_t>(MvLogBufferSize - 1));
    EXPECT_EQ(capture.Text().size(), static_cast<size_t>(MvLogBufferSize - 1));
}

// A program chooses where each kind of line prints: another stream, or none; the debug
// channel hears every line either way, and each setter returns the stream it replaces.
TEST(MvLog, EachStreamCanBeRedirectedOrSilenced)
{
    LogStreams keep;
    const struct {
        const char* what;
        std::FILE* (*set)(std::FILE*);
        void (*log)(const char*);
        std::FILE* byDefault;
    } kinds[] = {
        {"progress", MvSetLogStream, [](const char* text) { MvLog("%s", text); }, nullptr},
        {"errors", MvSetErrorStream, [](const char* text) { MvLogError("%s", text); }, stderr},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.what);
        MvLogCapture capture;
        std::FILE* file = std::tmpfile();
        ASSERT_NE(nullptr, file);
        std::FILE* original = kind.set(file);
        EXPECT_EQ(kind.byDefault, original);
        kind.log("to the file\n");
        EXPECT_EQ(file, kind.set(nullptr));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        kind.log("to nowhere\n");
        EXPECT_EQ("", testing::internal::GetCapturedStderr());
        EXPECT_EQ("", testing::internal::GetCapturedStdout());
        EXPECT_EQ(nullptr, kind.set(original));
        EXPECT_EQ("to the file\nto nowhere\n", capture.Text());

        std::rewind(file);
        char text[64] = {};
        ASSERT_NE(nullptr, std::fgets(text, sizeof text, file));
        EXPECT_STREQ("to the file\n", text);
        EXPECT_EQ(nullptr, std::fgets(text, sizeof text, file));
        std::fclose(file);
    }
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
