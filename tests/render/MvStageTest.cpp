#include "MvDebugOutput.h"
#include "MvFailedCheck.h"
#include "MvPixelBlock.h"
#include "MvPngImage.h"
#include "MvStage.h"
#include "MvTestAccess.h"

#include "MvLogCapture.h"
#include "MvLogSilencer.h"
#include "MvScratchFolder.h"
#include "PaletteColors.h"
#include "RectHelpers.h"
#include "ScreenFormat.h"
#include "TestScreen.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<MvIntRect> Rects(const MvGrowArray<MvIntRect>& list)
{
    std::vector<MvIntRect> rects;
    for (int i = 0; i < list.Count(); ++i)
        rects.push_back(list[i]);
    return rects;
}

// Raw pixel values of the 32-bit test screen.
const Uint32 kUntouched = 0x00ABCDEF;
const Uint32 kBlack = 0x00000000;


// Three windows on a 64 x 48 screen, with gaps between them.
const MvIntRect kThreeWindows[] = {R(0, 0, 31, 23), R(40, 0, 63, 23), R(0, 30, 63, 47)};

bool InAnyOfThreeWindows(int x, int y)
{
    for (const MvIntRect& w : kThreeWindows)
        if (w.Contains(x, y))
            return true;
    return false;
}

TEST(MvStage, FirstDrawFillsEveryWindowAndReportsItWhole)
{
    TestScreen screen(64, 48);
    screen.Fill(kUntouched);
    MvStage single(screen.Surface());
    EXPECT_EQ(single.WindowCount(), 1);
    EXPECT_EQ(single.WindowRect(0), R(0, 0, 63, 47));
    EXPECT_EQ(single.ScreenRect(), R(0, 0, 63, 47));
    EXPECT_EQ(single.DirtyList(0).ClipRect(), R(0, 0, 63, 47));
    EXPECT_EQ(MvTestAccess::PaintTarget(&single).Surface(), screen.Surface());
    screen.ExpectPixels([](int, int) { return kUntouched; }, "construction without extra fill paints nothing");

    MvGrowArray<MvIntRect> list;
    single.Draw(false, &list);
    EXPECT_EQ(Rects(list), std::vector<MvIntRect>{R(0, 0, 63, 47)});
    EXPECT_EQ(single.DirtyList(0).Count(), 0);
    screen.ExpectPixels([](int, int) { return kBlack; }, "one window");

    screen.Fill(kUntouched);
    MvStage three(screen.Surface(), 3, kThreeWindows, nullptr);
    EXPECT_EQ(three.WindowCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(three.WindowRect(i), kThreeWindows[i]);
        EXPECT_EQ(three.DirtyList(i).ClipRect(), kThreeWindows[i]);
    }
    three.Draw(false, &list);
    EXPECT_EQ(Rects(list), std::vector<MvIntRect>(std::begin(kThreeWindows), std::end(kThreeWindows)));
    screen.ExpectPixels([](int x, int y) { return InAnyOfThreeWindows(x, y) ? kBlack : kUntouched; },
                        "three windows: the gaps are not painted");
}

TEST(MvStage, ExtraFillPaintsTheWholeScreenAndTheFirstFramePresentsIt)
{
    TestScreen screen(64, 48);
    screen.Fill(kUntouched);
    MvColor red = Opaque(255, 0, 0);
    const MvIntRect window = R(8, 8, 39, 31);
    MvStage stage(screen.Surface(), window, &red);
    screen.ExpectPixels([](int, int) { return 0x00FF0000u; }, "construction fills the screen");

    MvGrowArray<MvIntRect> list;
    stage.Draw(false, &list);
    EXPECT_EQ(Rects(list), std::vector<MvIntRect>{R(0, 0, 63, 47)});
    screen.ExpectPixels([&](int x, int y) { return window.Contains(x, y) ? kBlack : 0x00FF0000u; },
                        "the window is filled black, the rest stays red");

    stage.DirtyList(0).AddRect(R(10, 10, 12, 12));
    stage.Draw(false, &list);
    EXPECT_EQ(Rects(list), std::vector<MvIntRect>{R(10, 10, 12, 12)}) << "only the first frame is whole";
}

// The stage fills 32-bit memory surfaces itself and hands other surfaces to SDL: either
// way a window's fill sets exactly the pixels SDL_FillRect sets, within the surface's
// clip rectangle, on rectangles of every width (odd ones leave a tail after whole words).
TEST(MvStage, WindowFillsSetThePixelsSdlFillRectSets)
{
    const ScreenFormat formats[] = {{"32-bit red high", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
                                    {"32-bit blue high", 32, 0x000000FF, 0x0000FF00, 0x00FF0000},
                                    {"24-bit", 24, 0x00FF0000, 0x0000FF00, 0x000000FF},
                                    {"16-bit 5-6-5", 16, 0xF800, 0x07E0, 0x001F}};
    const MvIntRect dirty[] = {R(0, 0, 0, 0), R(3, 2, 9, 4), R(1, 6, 30, 7), R(20, 9, 39, 18), R(33, 20, 63, 47)};
    const MvColor teal = Opaque(0, 128, 128);
    for (const ScreenFormat& format : formats) {
        TestScreen painted(64, 48, format.bits, format.redMask, format.greenMask, format.blueMask);
        TestScreen expected(64, 48, format.bits, format.redMask, format.greenMask, format.blueMask);
        SDL_Rect clip = {5, 3, 50, 40};
        for (TestScreen* screen : {&painted, &expected}) {
            screen->Fill(0);
            SDL_SetClipRect(screen->Surface(), &clip);
        }
        MvStage stage(painted.Surface());
        stage.SetBackgroundColor(&teal);
        stage.Draw(false);
        painted.Fill(0);
        const Uint32 pixel = SDL_MapRGB(expected.Surface()->format, teal.red, teal.green, teal.blue);
        for (const MvIntRect& r : dirty) {
            stage.DirtyList(0).AddRect(r);
            SDL_Rect area = {static_cast<Sint16>(r.left), static_cast<Sint16>(r.top), static_cast<Uint16>(r.Width()),
                             static_cast<Uint16>(r.Height())};
            SDL_FillRect(expected.Surface(), &area, pixel);
        }
        stage.Draw(false);
        painted.ExpectPixels([&](int x, int y) { return expected.Pixel(x, y); }, format.name);
    }
}

TEST(MvStage, ADrawWithNothingChangedPaintsAndPresentsNothing)
{
    TestScreen screen(64, 48);
    MvStage stage(screen.Surface(), 3, kThreeWindows, nullptr);
    MvGrowArray<MvIntRect> list;
    stage.Draw(false, &list);

    screen.Fill(kUntouched);
    list.Append(R(1, 2, 3, 4)); // a caller's list is emptied first
    stage.Draw(false, &list);
    EXPECT_EQ(list.Count(), 0);
    screen.ExpectPixels([](int, int) { return kUntouched; }, "nothing changed");
}

TEST(MvStage, OnlyTheDirtyRectanglesAreRepaintedWindowByWindow)
{
    TestScreen screen(64, 48);
    MvStage stage(screen.Surface(), 3, kThreeWindows, nullptr);
    MvGrowArray<MvIntRect> list;
    stage.Draw(false, &list);
    screen.Fill(kUntouched);

    stage.DirtyList(2).AddRect(R(5, 40, 9, 60));
    stage.DirtyList(0).AddRect(R(2, 2, 3, 3));
    stage.DirtyList(0).AddRect(R(-5, 20, 5, 30));
    stage.Draw(false, &list);
    const std::vector<MvIntRect> expected = {R(2, 2, 3, 3), R(0, 20, 5, 23), R(5, 40, 9, 47)};
    EXPECT_EQ(Rects(list), expected) << "window order, then list order, clipped to each window";
    screen.ExpectPixels(
        [&](int x, int y) {
            for (const MvIntRect& r : expected)
                if (r.Contains(x, y))
                    return kBlack;
            return kUntouched;
        },
        "only the dirty rectangles are filled");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(stage.DirtyList(i).Count(), 0) << "window " << i;
}

TEST(MvStage, WindowBackgroundsFillOrOnlyRepaint)
{
    const MvColor green = Opaque(0, 255, 0);
    const Uint32 kGreen = 0x0000FF00;
    struct Case {
        const char* what;
        std::function<void(MvStage&)> change;
        bool repainted[3]; // each window is repainted in the next frame
        Uint32 fill[3];    // what a repainted rectangle of each window shows from then on
    } cases[] = {
        {"a colour fills that window only", [&](MvStage& s) { s.SetWindowBackground(1, &green); },
         {false, true, false}, {kBlack, kGreen, kBlack}},
        {"null repaints the window without filling it", [](MvStage& s) { s.SetWindowBackground(0, nullptr); },
         {true, false, false}, {kUntouched, kBlack, kBlack}},
        {"window -1 sets every window", [&](MvStage& s) { s.SetWindowBackground(-1, &green); },
         {true, true, true}, {kGreen, kGreen, kGreen}},
        {"SetBackgroundColor sets every window", [&](MvStage& s) { s.SetBackgroundColor(&green); },
         {true, true, true}, {kGreen, kGreen, kGreen}},
        {"SetBackgroundColor(null) stops filling everywhere", [](MvStage& s) { s.SetBackgroundColor(nullptr); },
         {true, true, true}, {kUntouched, kUntouched, kUntouched}},
    };
    for (const Case& c : cases) {
        TestScreen screen(64, 48);
        MvStage stage(screen.Surface(), 3, kThreeWindows, nullptr);
        MvGrowArray<MvIntRect> list;
        stage.Draw(false, &list);
        screen.Fill(kUntouched);

        c.change(stage);
        stage.Draw(false, &list);
        std::vector<MvIntRect> expectedList;
        for (int i = 0; i < 3; ++i)
            if (c.repainted[i])
                expectedList.push_back(kThreeWindows[i]);
        EXPECT_EQ(Rects(list), expectedList) << c.what;
        auto Expected = [&](int x, int y, bool later) {
            for (int i = 0; i < 3; ++i)
                if (kThreeWindows[i].Contains(x, y))
                    return later || c.repainted[i] ? c.fill[i] : kUntouched;
            return kUntouched;
        };
        screen.ExpectPixels([&](int x, int y) { return Expected(x, y, false); }, c.what);

        // The setting lasts: later dirty rectangles are filled (or not) the same way.
        screen.Fill(kUntouched);
        for (int i = 0; i < 3; ++i)
            stage.DirtyList(i).AddRect(stage.WindowRect(i));
        stage.Draw(false, &list);
        screen.ExpectPixels([&](int x, int y) { return Expected(x, y, true); },
                            std::string(c.what) + ", in a later frame");
    }
}

TEST(MvStage, FillColoursAreMappedToTheScreenFormat)
{
    const MvColor colour = Opaque(0xF8, 0x84, 0x10);
    struct Case {
        const char* what;
        int bits;
        Uint32 redMask, greenMask, blueMask;
        Uint32 expected;
    } cases[] = {
        {"32 bits, red high", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00F88410},
        {"32 bits, blue high", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0x001084F8},
        {"24 bits", 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x00F88410},
        {"16 bits, 5-6-5", 16, 0xF800, 0x07E0, 0x001F, (0x1Fu << 11) | (0x21u << 5) | 0x02u},
    };
    for (const Case& c : cases) {
        TestScreen screen(16, 8, c.bits, c.redMask, c.greenMask, c.blueMask);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        MvStage stage(screen.Surface());
        stage.SetBackgroundColor(&colour);
        stage.Draw(false);
        screen.ExpectPixels([&](int, int) { return c.expected; }, c.what);
    }
}

// After a switch between full screen and a window, SDL may hand out a new surface in
// another format, or keep one whose pixels are gone: the stage paints the new one whole,
// in its format, and presents all of it once.
TEST(MvStage, AReplacedScreenIsPaintedWholeInItsOwnFormat)
{
    const MvColor colour = Opaque(0xF8, 0x84, 0x10);
    TestScreen first(16, 8);
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    MvStage stage(first.Surface());
    stage.SetBackgroundColor(&colour);
    stage.Draw(false);

    TestScreen second(16, 8, 16, 0xF800, 0x07E0, 0x001F);
    stage.ReplaceScreen(second.Surface());
    MvGrowArray<MvIntRect> presented;
    stage.Draw(false, &presented);
    EXPECT_EQ(Rects(presented), std::vector<MvIntRect>{R(0, 0, 15, 7)});
    second.ExpectPixels([](int, int) { return (0x1Fu << 11) | (0x21u << 5) | 0x02u; }, "the new surface");
    stage.Draw(false, &presented);
    EXPECT_EQ(presented.Count(), 0) << "only the first frame after the switch is whole";

    // The same surface, its pixels lost in a switch made in place.
    second.Fill(kUntouched);
    stage.ReplaceScreen(second.Surface());
    stage.Draw(false, &presented);
    EXPECT_EQ(Rects(presented), std::vector<MvIntRect>{R(0, 0, 15, 7)});
    second.ExpectPixels([](int, int) { return (0x1Fu << 11) | (0x21u << 5) | 0x02u; }, "repainted in place");
}

// A capture reads back every screen format as opaque 8-bit channels: two windows with
// their own fills and the extra background between them, exact at 8 bits a channel and
// to the top bits of each channel at 5-6-5.
TEST(MvStage, CaptureScreenReadsBackWhatTheScreenShows)
{
    const MvColor left = Opaque(0xF8, 0x84, 0x10);
    const MvColor right = Opaque(0x10, 0x20, 0xF8);
    const MvColor extra = Opaque(0x40, 0xFC, 0x08);
    const MvIntRect windows[] = {R(0, 0, 5, 7), R(10, 0, 15, 7)};
    struct Case {
        const char* what;
        int bits;
        Uint32 redMask, greenMask, blueMask;
        uint8_t keptRed, keptGreen, keptBlue; // bits of each channel the format keeps
    } cases[] = {
        {"32 bits, red high", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF, 0xFF, 0xFF},
        {"32 bits, blue high", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF, 0xFF, 0xFF},
        {"24 bits", 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF, 0xFF, 0xFF},
        {"16 bits, 5-6-5", 16, 0xF800, 0x07E0, 0x001F, 0xF8, 0xFC, 0xF8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestScreen screen(16, 8, c.bits, c.redMask, c.greenMask, c.blueMask);
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        MvStage stage(screen.Surface(), 2, windows, &extra);
        stage.SetWindowBackground(0, &left);
        stage.SetWindowBackground(1, &right);
        stage.Draw(false);
        MvPixelBlock shot;
        stage.CaptureScreen(&shot);
        ASSERT_EQ(16, shot.Width());
        ASSERT_EQ(8, shot.Height());
        EXPECT_FALSE(shot.HasAlpha());
        int wrong = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                const MvColor& expected = x < 6 ? left : x >= 10 ? right : extra;
                const MvColor& got = shot.Pixels()[y * 16 + x];
                if ((got.red & c.keptRed) != (expected.red & c.keptRed) ||
                    (got.green & c.keptGreen) != (expected.green & c.keptGreen) ||
                    (got.blue & c.keptBlue) != (expected.blue & c.keptBlue) || got.alpha != 255)
                    ++wrong;
            }
        EXPECT_EQ(0, wrong);
    }
}

// A screenshot is the capture written to a PNG file: on a 32- and a 16-bit screen the file
// read back holds, pixel for pixel, what CaptureScreen reads (the two windows' fills and
// the extra background), opaque.
TEST(MvStage, SaveScreenshotWritesWhatTheScreenShows)
{
    const MvColor left = Opaque(0xF8, 0x84, 0x10);
    const MvColor right = Opaque(0x10, 0x20, 0xF8);
    const MvColor extra = Opaque(0x40, 0xFC, 0x08);
    const MvIntRect windows[] = {R(0, 0, 5, 6), R(10, 0, 14, 6)};
    const struct {
        const char* what;
        int bits;
        Uint32 redMask, greenMask, blueMask;
    } cases[] = {
        {"32 bits", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
        {"16 bits, 5-6-5", 16, 0xF800, 0x07E0, 0x001F},
    };
    MvScratchFolder scratch;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestScreen screen(15, 7, c.bits, c.redMask, c.greenMask, c.blueMask);
        const MvLogSilencer quiet;
        MvStage stage(screen.Surface(), 2, windows, &extra);
        stage.SetWindowBackground(0, &left);
        stage.SetWindowBackground(1, &right);
        stage.Draw(false);
        const std::string path = scratch / "shot.png";
        std::string error;
        MvLogCapture log;
        ASSERT_TRUE(stage.SaveScreenshot(path.c_str(), &error)) << error;
        EXPECT_EQ("", log.Text());
        MvPixelBlock shot;
        stage.CaptureScreen(&shot);
        MvPngImage saved;
        ASSERT_TRUE(saved.Load(path, &error)) << error;
        ASSERT_EQ(shot.Width(), saved.Width());
        ASSERT_EQ(shot.Height(), saved.Height());
        EXPECT_EQ(0, std::memcmp(shot.Pixels(), saved.Pixels(), static_cast<size_t>(shot.PixelCount()) * 4));
        // Not a capture of something else: the fills are there, to the bits 5-6-5 keeps.
        const MvColor& corner = saved.At(0, 0);
        EXPECT_EQ(left.red & 0xF8, corner.red & 0xF8);
        EXPECT_EQ(left.green & 0xFC, corner.green & 0xFC);
        EXPECT_EQ(left.blue & 0xF8, corner.blue & 0xF8);
        EXPECT_EQ(extra.green & 0xFC, saved.At(7, 6).green & 0xFC);
        EXPECT_EQ(right.blue & 0xF8, saved.At(14, 3).blue & 0xF8);
    }
}

// A screenshot that cannot be written returns false with one message naming the file and
// why, logged and handed to the caller.
TEST(MvStage, SaveScreenshotToAnUnwritablePathFailsWithAMessage)
{
    TestScreen screen(8, 4);
    const MvLogSilencer quiet;
    MvStage stage(screen.Surface());
    stage.Draw(false);
    MvLogCapture log;
    const std::string path = "/nonexistent-folder/shot.png";
    std::string error;
    EXPECT_FALSE(stage.SaveScreenshot(path.c_str(), &error));
    EXPECT_EQ("cannot write picture '" + path + "': No such file or directory", error);
    EXPECT_EQ(error + "\n", log.Text());
    EXPECT_FALSE(stage.SaveScreenshot(path.c_str())) << "the message is then only logged";
    EXPECT_EQ(error + "\n" + error + "\n", log.Text());
}

TEST(MvStage, WindowAtFindsTheWindowUnderAPoint)
{
    TestScreen screen(64, 48);
    MvStage stage(screen.Surface(), 3, kThreeWindows, nullptr);
    struct Case {
        int x, y;
        int expected;
    } cases[] = {
        {0, 0, 0},   {31, 23, 0}, {40, 0, 1},  {63, 23, 1}, {0, 30, 2},   {63, 47, 2},
        {35, 10, -1}, {10, 27, -1}, {64, 0, -1}, {0, 48, -1}, {-1, -1, -1}, {32, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stage.WindowAt(c.x, c.y), c.expected) << "at " << c.x << "," << c.y;
}

TEST(MvStage, DumpLogsEveryWindowsDirtyList)
{
    TestScreen screen(64, 48);
    MvStage stage(screen.Surface(), 2, kThreeWindows, nullptr);
    stage.Draw(false);
    stage.DirtyList(1).AddRect(R(41, 1, 42, 2));
    MvLogCapture capture(MvLogCapture::QuietStdout);
    stage.Dump();
    EXPECT_EQ(capture.Text(), "DR Print. 'window 0'\nDR Print. 'window 1'\n  41,1 -- 42,2\n");
}

// The game's path: Draw(true) hands the frame to SDL_UpdateRects, which needs the video
// subsystem; the dummy driver serves.
class MvStagePresent : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (SDL_WasInit(SDL_INIT_VIDEO))
            return;
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        startedVideo_ = true;
    }

    static void TearDownTestSuite()
    {
        if (startedVideo_)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        startedVideo_ = false;
    }

    static bool startedVideo_;
};

bool MvStagePresent::startedVideo_ = false;

TEST_F(MvStagePresent, DrawPresentsTheFrameAndStillFillsTheCallersList)
{
    TestScreen screen(64, 48);
    screen.Fill(kUntouched);
    MvStage stage(screen.Surface(), 3, kThreeWindows, nullptr);
    MvGrowArray<MvIntRect> list;
    stage.Draw(true, &list);
    EXPECT_EQ(list.Count(), 3);
    screen.ExpectPixels([](int x, int y) { return InAnyOfThreeWindows(x, y) ? kBlack : kUntouched; }, "first frame");
    stage.DirtyList(0).AddRect(R(0, 0, 5, 5));
    stage.Draw(true);
    stage.Draw(true);
    stage.Present(nullptr);
    EXPECT_EQ(stage.DirtyList(0).Count(), 0);
}

// What a program gets from SDL's dummy video driver when it asks for 32 bits, as the
// stage's refusal of its default 8-bit screen advises: a screen the stage paints.
TEST_F(MvStagePresent, TheDummyDriversScreenOf32BitsIsPainted)
{
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    if (std::string(driver) != "dummy")
        GTEST_SKIP() << "the video driver is " << driver << ", not SDL's dummy driver";
    SDL_Surface* screen = SDL_SetVideoMode(64, 48, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    EXPECT_EQ(screen->format->BitsPerPixel, 32);
    MvLogCapture quiet(MvLogCapture::QuietStdout);
    MvStage stage(screen);
    stage.Draw(true);
    EXPECT_EQ(MvTestAccess::PaintTarget(&stage).BytesPerPixel(), 4);
}

TEST(MvStageDeathTest, BrokenWindowLayoutsAreCaught)
{
    TestScreen screen(64, 48);
    const MvIntRect seven[] = {R(0, 0, 7, 7),   R(8, 0, 15, 7),  R(16, 0, 23, 7), R(24, 0, 31, 7),
                               R(32, 0, 39, 7), R(40, 0, 47, 7), R(48, 0, 55, 7)};
    EXPECT_DEATH(MvStage(screen.Surface(), 7, seven, nullptr), "MvWindowCount");
    EXPECT_DEATH(MvStage(screen.Surface(), 0, seven, nullptr), "nWindows >= 1");

    struct Case {
        const char* what;
        MvIntRect second;
        const char* message;
    } cases[] = {
        {"overlapping the first by one pixel", R(7, 7, 20, 20), "Overlaps"},
        {"inside the first", R(2, 2, 3, 3), "Overlaps"},
        {"left of the screen", R(-1, 10, 20, 20), "w.left >= 0"},
        {"above the screen", R(10, -1, 20, 20), "w.top >= 0"},
        {"right of the screen", R(10, 10, 64, 20), "w.right < screen->w"},
        {"below the screen", R(10, 10, 20, 48), "w.bottom < screen->h"},
        {"empty", R(30, 30, 29, 29), "IsValid"},
    };
    for (const Case& c : cases) {
        const MvIntRect windows[] = {R(0, 0, 7, 7), c.second};
        EXPECT_DEATH(MvStage(screen.Surface(), 2, windows, nullptr), c.message) << c.what;
    }
    EXPECT_DEATH(MvStage(screen.Surface(), R(0, 0, 64, 47), nullptr), "w.right < screen->w");
}

// Sends every logged line to standard error, where a death test sees it.
void LogToStandardError(const char* text, void*) { std::fputs(text, stderr); }

// A screen the stage cannot paint is refused before the stage logs or makes anything, and
// the first line said is the caller's: what the stage needs and what it was given. SDL
// 1.2.15's dummy video driver makes such a screen for SDL_SetVideoMode(w, h, 0, ...)
// (sdl12-compat's makes a 32-bit one).
TEST(MvStageDeathTest, AScreenItCannotPaintIsRefusedInTheCallersTerms)
{
    const std::string eightBits = "^MvStage: the screen has 8 bits per pixel; the stage paints 16, 24 or 32-bit "
                                  "screens, in software or with SDL_OPENGL \\(ask SDL_SetVideoMode for 32 "
                                  "bits\\)\n" +
                                  MvFailedCheck("bytesPerPixel >= 2 && bytesPerPixel <= 4");
    const struct {
        const char* what;
        std::function<SDL_Surface*()> screen;
        std::string refusal;
    } cases[] = {
        {"an 8-bit memory surface", [] { return SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 48, 8, 0, 0, 0, 0); },
         eightBits},
        {"no screen", [] { return static_cast<SDL_Surface*>(nullptr); },
         "^MvStage: the screen is null; make the stage on the surface SDL_SetVideoMode returned, once it is not "
         "null\n" +
             MvFailedCheck("screen != nullptr")},
    };
    for (const auto& c : cases) {
        EXPECT_DEATH(
            {
                MvSetDebugSink(LogToStandardError, nullptr);
                MvSetLogStream(stderr);
                SDL_Surface* screen = c.screen();
                MvStage stage(screen);
            },
            c.refusal)
            << c.what;
    }
    TestScreen screen(64, 48);
    MvStage stage(screen.Surface());
    SDL_Surface* paletted = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 48, 8, 0, 0, 0, 0);
    EXPECT_DEATH(stage.ReplaceScreen(paletted), eightBits);
    SDL_FreeSurface(paletted);

    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Surface* probe = SDL_SetVideoMode(64, 48, 0, SDL_SWSURFACE);
    ASSERT_NE(probe, nullptr) << SDL_GetError();
    const int dummyBits = probe->format->BitsPerPixel;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (dummyBits == 8) {
        EXPECT_DEATH(
            {
                MvSetDebugSink(LogToStandardError, nullptr);
                MvSetLogStream(stderr);
                setenv("SDL_VIDEODRIVER", "dummy", 1);
                SDL_InitSubSystem(SDL_INIT_VIDEO);
                MvStage stage(SDL_SetVideoMode(64, 48, 0, SDL_SWSURFACE));
            },
            eightBits)
            << "the dummy driver's screen at the display's depth";
    }
}

TEST(MvStageDeathTest, BrokenCallsAreCaught)
{
    TestScreen screen(64, 48);
    MvStage stage(screen.Surface(), 2, kThreeWindows, nullptr);
    // Kept from the optimiser, which would otherwise warn about the constant bad index.
    volatile int minusOne = -1;
    EXPECT_DEATH(stage.DirtyList(2), "window < windowCount_");
    EXPECT_DEATH(stage.DirtyList(minusOne), "window >= 0");
    EXPECT_DEATH(stage.WindowRect(2), "window < windowCount_");
    EXPECT_DEATH(stage.SetWindowBackground(2, nullptr), "window < windowCount_");
    EXPECT_DEATH(stage.SetWindowBackground(-2, nullptr), "window >= -1");

    struct Case {
        const char* what;
        MvIntRect r;
        const char* condition;
    } badUpdates[] = {
        {"left of the screen", R(-1, 0, 5, 5), "r.left >= 0 && r.top >= 0"},
        {"above the screen", R(0, -1, 5, 5), "r.left >= 0 && r.top >= 0"},
        {"past the right edge", R(60, 0, 64, 5), "r.left + width <= screen_->w && r.top + height <= screen_->h"},
        {"past the bottom edge", R(0, 40, 5, 48), "r.left + width <= screen_->w && r.top + height <= screen_->h"},
        {"empty", R(5, 5, 4, 4), "width > 0 && width <= screen_->w && height > 0 && height <= screen_->h"},
    };
    for (const Case& c : badUpdates) {
        MvGrowArray<MvIntRect> list;
        list.Append(R(0, 0, 63, 47));
        list.Append(c.r);
        EXPECT_DEATH(stage.Present(&list), MvFailedCheck(c.condition)) << c.what;
    }
}

TEST(MvStageDeathTest, AReplacementScreenOfAnotherSizeIsCaught)
{
    TestScreen screen(64, 48);
    TestScreen smaller(32, 48);
    MvStage stage(screen.Surface());
    EXPECT_DEATH(stage.ReplaceScreen(smaller.Surface()),
                 MvFailedCheck("screen->w == screenBounds_.Width() && screen->h == screenBounds_.Height()"));
    EXPECT_DEATH(stage.ReplaceScreen(nullptr), MvFailedCheck("screen != nullptr"));
}

} // namespace
