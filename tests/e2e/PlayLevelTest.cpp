// Level 1 of the real program, played with keys and watched on the screen of a private
// Xvfb: Return on the menu starts the level, the hero falls onto the ground, walks right
// with the view scrolling along so that it stays in the middle, and jumps, while the
// ground and the counter display stay drawn; Escape then ends the program.

#include "Clock.h"
#include "GameOnXvfb.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

// How long a step is given to show on the screen.
constexpr int PictureMs = 20000;
// Between two looks at the screen. Longer than two ticks, so that a falling hero cannot
// look the same in two pictures in a row.
constexpr int LookAgainMs = 120;

// Level 1's background fill.
constexpr uint32_t Sky = 0x1c80ff;
// The white of the letter art and the red cloth of the flag icon.
constexpr uint32_t GlyphWhite = 0xf8f4e8;
constexpr uint32_t FlagRed = 0xd83a3a;

// The view keeps the hero's hot spot (the middle of its bottom row) at x 400 of the
// picture; the hero is 35 pixels tall and reaches 11 pixels either side of the hot spot.
constexpr int HeroLeft = 389;
constexpr int HeroRight = 411;
// The ground's top row: level 1's "MidGrass" row at layout y 550, 25 pixels of it over 25
// of "Dirt", down to the bottom of the picture.
constexpr int GroundTop = 550;
constexpr int GroundBottom = 599;
// The top row of a hero standing on the ground. Its hot spot lies on its bottom row, so
// that row shares the ground's top row and its 35 rows start 34 rows above it.
constexpr int StandingTop = GroundTop - 34;
// Where the look for the hero's top row starts: below the counters and clouds, above the
// highest point of a jump (125 pixels).
constexpr int LookFromY = 100;
// How far a jump must have risen before the test counts it: three ticks of rising.
constexpr int RiseSeen = 15;
// Columns on both sides of the hero that are sky near the ground: nothing else stands at
// the start of level 1.
constexpr int BesideHero = 10;

// The ground begins at layout x -200, 200 pixels left of the hero's start at layout x 0,
// so it starts at picture x 400 - 200 while the hero is there. Every pixel the hero
// walks right moves it left by one.
constexpr int GroundStartAtRest = 200;
// How far the hero walks before Right is let go: far enough to see the view scroll, not
// so far that the first Mulgo (layout x 650) comes within its 500-pixel reach.
constexpr int WalkAtLeast = 30;
constexpr int WalkAtMost = 140;

// The counter display: "TIME" at layout (150, 20) starts at picture (100, 24), 1.2 times
// the size of the art; the flag icon at picture (250, 15) shows its red cloth at (256, 21).
constexpr int TimeLeft = 100;
constexpr int TimeRight = 108;
constexpr int TimeTop = 24;
constexpr int TimeBottom = 34;
constexpr int FlagClothX = 256;
constexpr int FlagClothY = 21;

bool IsSky(const Screenshot& picture, int x, int y) { return picture.SameColor(picture.At(x, y), Sky); }

// Whether every pixel of the box from (left, top) to (right, bottom), both included, is sky.
bool AllSky(const Screenshot& picture, int left, int top, int right, int bottom)
{
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (!IsSky(picture, x, y))
                return false;
        }
    }
    return true;
}

// The first row from LookFromY down to the ground in the hero's columns that shows
// something other than sky; -1 when they are all sky.
int TopOfHero(const Screenshot& picture)
{
    for (int y = LookFromY; y < GroundTop; ++y) {
        if (!AllSky(picture, HeroLeft, y, HeroRight, y))
            return y;
    }
    return -1;
}

// Whether the hero stands on the ground in the middle of the picture, with sky beside it.
bool HeroStands(const Screenshot& picture)
{
    return TopOfHero(picture) == StandingTop &&
           AllSky(picture, HeroLeft - BesideHero, LookFromY, HeroLeft - 1, GroundTop - 1) &&
           AllSky(picture, HeroRight + 1, LookFromY, HeroRight + BesideHero, GroundTop - 1);
}

// The first column whose middle ground row (the "Dirt" under the grass) is not sky;
// the picture's width when there is none.
int GroundStart(const Screenshot& picture)
{
    int x = 0;
    while (x < picture.Width() && IsSky(picture, x, (GroundTop + GroundBottom) / 2))
        ++x;
    return x;
}

std::string Hex(uint32_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06x", rgb);
    return text;
}

// The ground rows show sky left of start and ground (no sky) from start to the right edge.
testing::AssertionResult GroundDrawnFrom(const Screenshot& picture, int start)
{
    for (int y = GroundTop; y <= GroundBottom; ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            if (IsSky(picture, x, y) != (x < start))
                return testing::AssertionFailure()
                       << "ground row " << y << " shows " << Hex(picture.At(x, y)) << " at x " << x
                       << " where the ground starting at x " << start << (x < start ? " leaves sky" : " is");
        }
    }
    return testing::AssertionSuccess();
}

// The caption "TIME" and the flag icon of the counter display are drawn.
testing::AssertionResult CountersDrawn(const Screenshot& picture)
{
    int white = 0;
    for (int y = TimeTop; y <= TimeBottom; ++y) {
        for (int x = TimeLeft; x <= TimeRight; ++x)
            white += picture.SameColor(picture.At(x, y), GlyphWhite);
    }
    if (!white)
        return testing::AssertionFailure() << "no white of the T of \"TIME\" in x " << TimeLeft << " to " << TimeRight
                                           << ", y " << TimeTop << " to " << TimeBottom;
    if (!picture.SameColor(picture.At(FlagClothX, FlagClothY), FlagRed))
        return testing::AssertionFailure() << "the flag icon's cloth at (" << FlagClothX << ", " << FlagClothY
                                           << ") shows " << Hex(picture.At(FlagClothX, FlagClothY));
    return testing::AssertionSuccess();
}

class PlayLevelTest : public GameOnXvfb {
protected:
    // Looks at the game picture until accept takes it, at most PictureMs; the last picture
    // is left in *picture and kept as /tmp/play-shot-<name>.png for a person to look at.
    testing::AssertionResult LookUntil(const char* name, const std::function<bool(const Screenshot&)>& accept,
                                       Screenshot* picture)
    {
        const Clock::time_point deadline = Deadline(PictureMs);
        for (;;) {
            testing::AssertionResult captured = CaptureGamePicture(picture);
            if (!captured)
                return captured;
            const bool accepted = accept(*picture);
            if (accepted || Clock::now() >= deadline || !game_.Running()) {
                const std::string path = Keep(*picture, name);
                if (accepted)
                    return testing::AssertionSuccess();
                return testing::AssertionFailure() << "the picture never showed " << name << " within " << PictureMs
                                                   << " ms; the last one is " << path << "; output:\n"
                                                   << game_.Output();
            }
            usleep(LookAgainMs * 1000);
        }
    }

    // Saves picture as /tmp/play-shot-<name>.png (written beside it and then renamed, so a
    // reader never sees half a file) and returns the path.
    std::string Keep(const Screenshot& picture, const char* name)
    {
        const std::string path = std::string("/tmp/play-shot-") + name + ".png";
        const std::string partial = path + ".part";
        std::string error;
        EXPECT_TRUE(picture.SavePng(partial, &error)) << error;
        EXPECT_EQ(std::rename(partial.c_str(), path.c_str()), 0) << "cannot write " << path;
        return path;
    }

    // Waits until the hero stands still in the middle of the picture: the same in two
    // pictures in a row, with the ground starting at the same x in both.
    testing::AssertionResult WaitUntilStanding(const char* name, Screenshot* picture)
    {
        int before = -1;
        return LookUntil(name,
                         [&](const Screenshot& now) {
                             const int start = HeroStands(now) ? GroundStart(now) : -1;
                             const bool still = start >= 0 && start == before;
                             before = start;
                             return still;
                         },
                         picture);
    }
};

TEST_F(PlayLevelTest, HeroLandsWalksWithTheViewAndJumpsOnLevelOne)
{
    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));
    ASSERT_TRUE(FindGamePicture());
    ASSERT_TRUE(SendUntilScreen([&] { x_.PressKey(window_, XK_Return); }, 2, "Return on the menu"));

    // The hero starts at layout (0, 375) and falls onto the ground, in the middle of the
    // picture, with the ground from x 200 on.
    Screenshot picture;
    ASSERT_TRUE(WaitUntilStanding("1-landed", &picture));
    EXPECT_TRUE(GroundDrawnFrom(picture, GroundStartAtRest));
    EXPECT_TRUE(CountersDrawn(picture));

    // Walking right: the view scrolls along, so the hero stays in the middle and the
    // ground's start moves left by the distance walked. While it walks, a tick draws the
    // hero's new place before the view follows it, so the hero shows one move right of the
    // middle; its place is checked once it stands again.
    x_.HoldKey(window_, XK_Right);
    const testing::AssertionResult walked = LookUntil(
        "2-walking", [](const Screenshot& now) { return GroundStart(now) <= GroundStartAtRest - WalkAtLeast; },
        &picture);
    x_.ReleaseKey(XK_Right);
    ASSERT_TRUE(walked);
    ASSERT_TRUE(WaitUntilStanding("3-walked", &picture));
    const int walkedStart = GroundStart(picture);
    EXPECT_LE(walkedStart, GroundStartAtRest - WalkAtLeast);
    EXPECT_GE(walkedStart, GroundStartAtRest - WalkAtMost) << "Right was held too long for this level's layout";
    EXPECT_TRUE(GroundDrawnFrom(picture, walkedStart));
    EXPECT_TRUE(CountersDrawn(picture));

    // Jumping: Up held, the hero rises straight up (letting go at once would end the rise
    // before it starts). It is the whole hero that is higher: the rows under its feet
    // down to the ground are sky again.
    x_.HoldKey(window_, XK_Up);
    const testing::AssertionResult rose = LookUntil(
        "4-jumping",
        [](const Screenshot& now) {
            const int top = TopOfHero(now);
            return top >= LookFromY && top <= StandingTop - RiseSeen;
        },
        &picture);
    x_.ReleaseKey(XK_Up);
    ASSERT_TRUE(rose);
    const int top = TopOfHero(picture);
    EXPECT_TRUE(AllSky(picture, HeroLeft, top + 36, HeroRight, GroundTop - 1))
        << "the hero's top is at y " << top << " but its feet did not leave the ground";
    EXPECT_TRUE(AllSky(picture, HeroLeft - BesideHero, LookFromY, HeroLeft - 1, GroundTop - 1));
    EXPECT_TRUE(AllSky(picture, HeroRight + 1, LookFromY, HeroRight + BesideHero, GroundTop - 1));
    EXPECT_TRUE(GroundDrawnFrom(picture, walkedStart)) << "a jump straight up moved the view";
    EXPECT_TRUE(CountersDrawn(picture));

    // Back on the ground where it took off.
    ASSERT_TRUE(WaitUntilStanding("5-landed-again", &picture));
    EXPECT_EQ(GroundStart(picture), walkedStart);

    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
}

} // namespace
