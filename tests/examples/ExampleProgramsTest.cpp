// The example programs as their users run them: each one under a private Xvfb with
// --frames N --screenshot FILE, from a working folder of its own (so it must find its
// resource file beside the program). The screenshot must be the same on two runs, and a few
// pixels of it must show the right thing in the right place: the background where nothing
// is, a sprite's colours where it stands at frame N, a tint where the example's scripted
// mouse points. Every row of the table below is one ctest test, example.<name>.

#include "GameProcess.h"
#include "MvPngImage.h"
#include "MvScratchFolder.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// One fact about the screenshot: the pixel (x, y) has colour rgb (0xRRGGBB), each channel
// within tolerance where the picture is smoothed.
struct PixelFact {
    int x;
    int y;
    unsigned rgb;
    const char* what;
    int tolerance = 0;
};

// One example: its folder under examples/, how many frames it draws, how far each channel
// of every fact may stray from the expected colour (0 where the engine paints in software),
// and what its last frame must show.
struct ExampleCase {
    const char* folder;
    int frames;
    int tolerance;
    std::vector<PixelFact> facts;
};

const ExampleCase ExampleCases[] = {
    {"01-hello-stage", 150, 0,
     {{20, 300, 0x8fd0f4, "the sky, the window's fill"},
      {320, 470, 0xa0673a, "the earth below the grass"},
      {330, 360, 0xffc27a, "Pip's lit side: 150 steps of 2 pixels took it from x = 48 to 348"},
      {352, 357, 0xffffff, "Pip's eye, looking right"},
      {346, 393, 0x8a4a2a, "Pip's near foot"}}},
    {"02-layers-and-picking", 120, 0,
     {{600, 200, 0x1d5a8c, "the water, the window's fill"},
      {290, 244, 0x84ace4, "the blue fish under the mouse at (306, 236), brightened by 96 from 0x3a7bd5"},
      {296, 214, 0xff8c2a, "the orange fish it covers, lower in depth, not brightened"},
      {100, 134, 0x3a7bd5, "the other blue fish, away from the mouse"},
      {306, 236, 0x14213d, "the tip of the pointer, at the mouse"}}},
    {"03-split-screen", 120, 0,
     {{300, 150, 0x8fd0f4, "the sky in the left view, the window's fill"},
      {319, 100, 0x2b1d3a, "the gap between the views, the stage's extra fill"},
      {140, 210, 0xffc27a, "Pip in the middle of the left view: world x 340, the view from 181"},
      {490, 210, 0x9ed8ff, "Pep in the middle of the right view: world x 760, the view from 601"},
      {1, 150, 0x8fd0f4, "no view frame in the left view, though its edge lies there"},
      {160, 410, 0xffc27a, "Pip in the map at half size, at (170, 304 + 126)"},
      {388, 410, 0x9ed8ff, "Pep in the map at half size, at (380, 304 + 126)"},
      {90, 380, 0xf0503c, "the left edge of Pip's view frame in the map, at 181 / 2"},
      {300, 380, 0x3c78f0, "the left edge of Pep's view frame in the map, at 601 / 2"},
      {14, 468, 0xffffff, "the caption, shown in its strip only"},
      {600, 470, 0x2b1d3a, "the caption strip's fill"}}},
    {"04-tile-map", 120, 0,
     {{5, 5, 0x5cbe3c, "the grass in the top-left corner"},
      {176, 200, 0xc99a5c, "the path down the left side, the path tile in orientation 0"},
      {270, 174, 0xecd9a0, "sand on the lake's top shore, orientation 0: grass above, water below"},
      {228, 208, 0x5cbe3c, "grass on the lake's left shore, orientation 3: grass on the left"},
      {239, 208, 0xecd9a0, "sand on the left shore"},
      {252, 208, 0x3a8fd8, "water on the left shore, on its right"},
      {300, 300, 0x3a8fd8, "the lake"},
      {317, 431, 0xffffff, "the tip of the legend's arrow 1, pointing right"},
      {302, 436, 0xffd84a, "arrow 1's flag, below its shaft"},
      {430, 426, 0xffd84a, "arrow 5, arrow 1 mirrored top to bottom: its flag above the shaft"},
      {369, 433, 0xfed75f, "arrow 3, lit: white through the gold colour transform"},
      {401, 433, 0xffffff, "arrow 4, not lit"},
      {197, 446, 0xffffff, "the tip of the big arrow, pointing left: orientation 119 / 30 = 3 at frame 119"},
      {22, 19, 0xffffff, "the title"}}},
    {"05-bitmap-text", 120, 0,
     {{600, 300, 0x1b1f3b, "the night, the window's fill"},
      {105, 23, 0xfed559, "the title three times the size, white through the gold transform, centred from x = 98"},
      {486, 150, 0xc6d5f7, "the frame counter's last digit, right-aligned at 490: a stroke of the 9 of 000119"},
      {478, 150, 0x14142a, "the 9's lower left, outline and no stroke: not an 8, 6 or 0"},
      {482, 180, 0xdce6fd, "the clock's last digit, the stem of the 1 of 00:01"},
      {478, 180, 0x1b1f3b, "left of the 1's stem, the night: not a 0"},
      {420, 333, 0x8bfe9f, "the last letter typed, the E of OVE: 119 / 4 = 29 letters, tinted green"},
      {434, 333, 0x1b1f3b, "where the next letter, R, is not typed yet"},
      {208, 420, 0xfe95a9, "the last line, shown at frame 119, tinted pink"}}},
    {"06-canvas-collision", 120, 0,
     {{400, 280, 0x1a122e, "the air in the cave: transparent canvas pixels over the window's fill"},
      {620, 90, 0x5c4a74, "the ceiling's rock, its strata as painted at scroll 238"},
      {600, 470, 0x5c4a74, "the floor's rock"},
      {201, 370, 0x4a3a62, "the stalagmite under the pod, painted where (u + 85) mod 170 is 15"},
      {200, 347, 0xfe5a1f, "the pod's body, 0xffd24a pulled towards red: it touches the stalagmite's tip"},
      {444, 19, 0xff6b5e, "the sign TOUCHING, shown while Collide says so"},
      {514, 18, 0x5c4a74, "rock where the sign CLEAR would be, hidden while the pod touches"}}},
    {"07-scaling-and-colour", 100, 0,
     {{328, 300, 0x27304a, "the wall between the shelves, the window's fill"},
      {215, 130, 0x7ee8cc, "the eye of the robot scaled by 2 as drawn: the nearest pixel"},
      {230, 140, 0xc9d2e6, "the body of the robot scaled by 2 as drawn"},
      {215, 290, 0x7ee8cc, "the eye of the robot from the cache at 2, smoothed yet exact inside"},
      {388, 140, 0xc9d2e6, "the body of the robot without a colour transform"},
      {488, 140, 0x5f6880, "the body faded to alpha 90 over the wall"},
      {584, 140, 0xd49951, "the body tinted: (200, 55), (150, 30), (80, 10) on 0xc9d2e6"},
      {388, 300, 0x2fd1e5, "the body in the fourth hue, multipliers (60, 255, 255)"},
      {484, 300, 0xe1e6f1, "the body brightened by 120"},
      {584, 300, 0x696e79, "the body darkened by 120"}}},
    {"08-opengl", 240, 2,
     {{330, 250, 0x2b3f63, "the sky's fill, 203 / 256 of the way from noon to midnight"},
      {320, 470, 0x443026, "the earth, 0xa0673a in the landscape's night light (109, 120, 172)"},
      {420, 360, 0x6c5a51, "Pip in the same light, walking back left at x = 420"},
      {540, 142, 0xfff4d6, "the moon, risen to y = 142, in no light but its own"},
      {40, 110, 0x97a1b3, "a star at alpha 130 over the sky"}}},
};

const int ScreenWidth = 640;
const int ScreenHeight = 480;
// Generous for a sanitizer build on a busy machine; a healthy run takes a second or two.
const int RunTimeoutMs = 120000;
// Mesa's software driver, which SDL loads for an OpenGL screen and unloads at SDL_Quit.
const char MesaDriver[] = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";

std::string ProgramName(const std::string& folder) { return folder.substr(folder.find('-') + 1); }

std::string ProgramPath(const std::string& folder)
{
    return std::string(MOVO_EXAMPLES_BUILD_DIR) + "/" + folder + "/" + ProgramName(folder);
}

std::string TestName(const std::string& folder)
{
    std::string name = ProgramName(folder);
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

struct RunResult {
    bool ended = false;
    int exitCode = -1;
    std::string output;
};

// Runs program with arguments in folder, on display (none: the dummy video driver), and
// waits for it to end.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder, const std::string& display)
{
    GameProcess::Environment env = {{"SDL_AUDIODRIVER", "dummy"},
                                    {"LSAN_OPTIONS", "suppressions=" MOVO_LSAN_SUPPRESSIONS}};
    // Preloaded, the driver stays loaded to the end, so the leak checker can still name it
    // in the stacks of its lasting allocations (and the suppressions match them); the
    // sanitizer runtime then no longer comes first, which it accepts when told so.
    if (access(MesaDriver, R_OK) == 0) {
        env.push_back({"LD_PRELOAD", MesaDriver});
        env.push_back({"ASAN_OPTIONS", "verify_asan_link_order=0"});
    }
    if (display.empty())
        env.push_back({"SDL_VIDEODRIVER", "dummy"});
    else {
        env.push_back({"SDL_VIDEODRIVER", "x11"});
        env.push_back({"DISPLAY", display});
    }
    RunResult result;
    GameProcess process;
    std::string error;
    if (!process.Start(program, arguments, folder, env, &error)) {
        result.output = error;
        return result;
    }
    result.ended = process.WaitForExit(RunTimeoutMs, &result.exitCode);
    result.output = process.Output();
    return result;
}

// Starts a private Xvfb with a 24-bit screen (so SDL gets a 32-bit window), or skips the test.
#define START_XVFB_OR_SKIP(server)                                                              \
    do {                                                                                        \
        std::string xvfbError;                                                                  \
        if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)                                \
            GTEST_SKIP() << "Xvfb is not installed; the example programs cannot run";           \
        ASSERT_TRUE((server).Start(800, 600, 24, 10000, &xvfbError)) << xvfbError;              \
    } while (0)

std::string Hex(unsigned rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06x", rgb);
    return text;
}

testing::AssertionResult HasFact(const MvPngImage& shot, const PixelFact& fact, int tolerance)
{
    const MvColor& c = shot.At(fact.x, fact.y);
    const unsigned actual = (unsigned(c.red) << 16) | (unsigned(c.green) << 8) | c.blue;
    const int expected[3] = {int(fact.rgb >> 16), int(fact.rgb >> 8 & 0xff), int(fact.rgb & 0xff)};
    const int got[3] = {c.red, c.green, c.blue};
    for (int i = 0; i < 3; ++i)
        if (std::abs(expected[i] - got[i]) > std::max(tolerance, fact.tolerance))
            return testing::AssertionFailure() << fact.what << ": pixel (" << fact.x << ", " << fact.y << ") is "
                                               << Hex(actual) << ", expected " << Hex(fact.rgb);
    return testing::AssertionSuccess();
}

// Runs the example for its frames into shotPath, expecting exit code 0 and a 640 x 480 PNG.
void TakeScreenshot(const ExampleCase& example, const XvfbServer& server, const std::string& folder,
                    const std::string& shotPath, MvPngImage* shot)
{
    const RunResult run = RunProgram(ProgramPath(example.folder),
                                     {"--frames", std::to_string(example.frames), "--screenshot", shotPath},
                                     folder, server.DisplayName());
    ASSERT_TRUE(run.ended) << ProgramName(example.folder) << " still runs after " << RunTimeoutMs
                           << " ms; its output:\n"
                           << run.output;
    ASSERT_EQ(0, run.exitCode) << "output:\n" << run.output;
    std::string error;
    ASSERT_TRUE(shot->Load(shotPath, &error)) << error;
    ASSERT_EQ(ScreenWidth, shot->Width());
    ASSERT_EQ(ScreenHeight, shot->Height());
}

class ExampleScreenshotTest : public testing::Test {
public:
    explicit ExampleScreenshotTest(const ExampleCase& example) : example_(example) { }

    void TestBody() override
    {
        XvfbServer server;
        START_XVFB_OR_SKIP(server);
        MvScratchFolder folder;
        ASSERT_FALSE(folder.Path().empty());

        MvPngImage first;
        MvPngImage second;
        ASSERT_NO_FATAL_FAILURE(TakeScreenshot(example_, server, folder.Path(), folder.Path() + "/first.png", &first));
        ASSERT_NO_FATAL_FAILURE(
            TakeScreenshot(example_, server, folder.Path(), folder.Path() + "/second.png", &second));

        int differing = 0;
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x)
                differing += first.At(x, y) != second.At(x, y);
        EXPECT_EQ(0, differing) << "pixels that differ between two runs of " << example_.frames << " frames";

        for (const PixelFact& fact : example_.facts)
            EXPECT_TRUE(HasFact(first, fact, example_.tolerance));
    }

private:
    const ExampleCase& example_;
};

// The options every example takes come from its ExampleRun, which reads them before
// anything else: a bad command line never opens a window.
TEST(ExampleCommandLineTest, BadCommandLinesExitTwoWithUsage)
{
    const std::vector<std::vector<std::string>> badLines = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "0"},
        {"--frames", "12x"},
        {"--frames", "-3"},
        {"--screenshot", "shot.png"},
        {"--frames", "2", "--frames", "3"},
        {"--frames", "2", "--screenshot"},
        {"stray"},
    };
    MvScratchFolder folder;
    for (const ExampleCase& example : ExampleCases) {
        for (const std::vector<std::string>& line : badLines) {
            std::string shown;
            for (const std::string& argument : line)
                shown += " " + argument;
            SCOPED_TRACE(ProgramName(example.folder) + shown);
            const RunResult run = RunProgram(ProgramPath(example.folder), line, folder.Path(), "");
            ASSERT_TRUE(run.ended);
            EXPECT_EQ(2, run.exitCode) << run.output;
            EXPECT_NE(std::string::npos, run.output.find("Usage: " + ProgramName(example.folder)))
                << run.output;
        }
    }
}

TEST(ExampleCommandLineTest, HelpPrintsUsageAndExitsZero)
{
    MvScratchFolder folder;
    for (const ExampleCase& example : ExampleCases) {
        SCOPED_TRACE(ProgramName(example.folder));
        const RunResult run = RunProgram(ProgramPath(example.folder), {"--help"}, folder.Path(), "");
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(0, run.exitCode);
        EXPECT_NE(std::string::npos, run.output.find("--screenshot FILE.png")) << run.output;
    }
}

TEST(ExampleCommandLineTest, UnwritableScreenshotExitsOneNamingTheFile)
{
    XvfbServer server;
    START_XVFB_OR_SKIP(server);
    MvScratchFolder folder;
    const std::string shot = folder.Path() + "/no-such-folder/shot.png";
    const RunResult run = RunProgram(ProgramPath(ExampleCases[0].folder), {"--frames", "1", "--screenshot", shot},
                                     folder.Path(), server.DisplayName());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(shot)) << run.output;
}

// A new example folder needs a row above, and a row an example folder.
TEST(ExampleTableTest, EveryExampleFolderHasARow)
{
    std::set<std::string> folders;
    DIR* dir = opendir(MOVO_EXAMPLES_SOURCE_DIR);
    ASSERT_NE(nullptr, dir);
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > 3 && isdigit(name[0]) && isdigit(name[1]) && name[2] == '-')
            folders.insert(name);
    }
    closedir(dir);
    std::set<std::string> rows;
    for (const ExampleCase& example : ExampleCases)
        rows.insert(example.folder);
    EXPECT_EQ(folders, rows);
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (const ExampleCase& example : ExampleCases)
        testing::RegisterTest("example", TestName(example.folder).c_str(), nullptr, nullptr, __FILE__, __LINE__,
                              [&example]() -> testing::Test* { return new ExampleScreenshotTest(example); });
    return RUN_ALL_TESTS();
}
