// What the real program shows on its menu, read back from the X server: every menu line
// drawn glyph by glyph from the letter art, scaled by 1.2, where the labels' layout puts
// it, on the black fill, on a 24-bit and a 16-bit (5-6-5) screen.

#include "Clock.h"
#include "GameOnXvfb.h"
#include "GlyphArt.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// How long the menu is given to show its lines (the first tick draws them).
constexpr int PictureMs = 20000;
// Between two looks at the screen while waiting for the menu.
constexpr int LookAgainMs = 100;

// The labels of the menu: layout position and text, placed from the screen's centre line
// (originX 400, originY 0). The level number shows the chosen level, 1 until a digit key
// is pressed, from the first tick on.
struct MenuLine {
    int x;
    int y;
    const char* text;
};
const MenuLine MenuLines[] = {
    {-200, 150, "PRESS A NUMBER TO CHOOSE A LEVEL AND ENTER TO BEGIN"},
    {-100, 200, "ONLY 3 LEVELS TO CHOOSE FROM"},
    {-50, 175, "1"},
    {-350, 20, "PRESS ESCAPE TO QUIT"},
    {-350, 300, "GOALS OF THE GAME ARE AS FOLLOWS"},
    {-350, 350, "COLLECT THE FLAGS"},
    {-350, 400, "DEFEAT ENEMIES"},
    {-350, 450, "GET TO THE END OF THE LEVEL"},
};
constexpr int OriginX = 400;
constexpr int OriginY = 0;
// Layout pixels from one character to the next, before the label's scale.
constexpr int Advance = 7;
// The label scale 1.2 as a 16.16 fixed-point number (1.2 x 65536 + 0.5, truncated).
constexpr int64_t LabelScale = 78643;

// A 16.16 value rounded to pixels the way the engine places scaled pictures: up only within
// 1/32 below the next integer.
int RoundToPixel(int64_t raw) { return static_cast<int>((raw + 0x800) >> 16); }

// Paints glyph into picture as the program draws it at group position (groupX, groupY) of
// a label: the picture cropped to its visible pixels (the resource file keeps no
// transparent border), placed from its hot spot at the art's top-left corner, its corners
// at the scaled positions, and every screen pixel of that box taking the source pixel
// under it (nearest neighbour, source steps of size / box size).
void PaintGlyph(const GlyphArt::Glyph& glyph, int groupX, int groupY, Screenshot* picture)
{
    int minX = glyph.width, minY = glyph.height, maxX = -1, maxY = -1;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.At(x, y) != GlyphArt::Transparent) {
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxX = std::max(maxX, x);
                maxY = std::max(maxY, y);
            }
        }
    }
    if (maxX < 0)
        return;
    const int width = maxX - minX + 1;
    const int height = maxY - minY + 1;
    const int64_t left = LabelScale * (groupX + minX);
    const int64_t top = LabelScale * (groupY + minY);
    const int boxLeft = RoundToPixel(left);
    const int boxTop = RoundToPixel(top);
    const int boxWidth = RoundToPixel(left + LabelScale * width) - boxLeft;
    const int boxHeight = RoundToPixel(top + LabelScale * height) - boxTop;
    const int64_t stepX = (static_cast<int64_t>(width) << 16) / boxWidth;
    const int64_t stepY = (static_cast<int64_t>(height) << 16) / boxHeight;
    for (int j = 0; j < boxHeight; ++j) {
        for (int k = 0; k < boxWidth; ++k) {
            const uint32_t color = glyph.At(minX + static_cast<int>((k * stepX) >> 16),
                                            minY + static_cast<int>((j * stepY) >> 16));
            if (color != GlyphArt::Transparent)
                picture->Set(boxLeft + k, boxTop + j, color);
        }
    }
}

// The whole menu as it must look inside the game window.
testing::AssertionResult PaintMenu(const GlyphArt& art, Screenshot* picture)
{
    for (const MenuLine& line : MenuLines) {
        for (int i = 0; line.text[i]; ++i) {
            if (line.text[i] == ' ')
                continue;
            const GlyphArt::Glyph* glyph = art.Find(line.text[i]);
            if (!glyph)
                return testing::AssertionFailure() << "the letter art has no glyph for '" << line.text[i] << "'";
            PaintGlyph(*glyph, OriginX + line.x + Advance * i, OriginY + line.y, picture);
        }
    }
    return testing::AssertionSuccess();
}

std::string Hex(uint32_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06x", rgb);
    return text;
}

// Compares the game window at (left, top) of shot with expected, pixel by pixel, at the
// screen's colour precision; the failure names the first differing pixels.
testing::AssertionResult WindowShows(const Screenshot& shot, int left, int top, const Screenshot& expected)
{
    int differing = 0;
    std::ostringstream first;
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            const uint32_t seen = shot.At(left + x, top + y);
            if (shot.SameColor(seen, expected.At(x, y)))
                continue;
            if (++differing <= 10)
                first << "  (" << x << ", " << y << "): " << Hex(seen) << " instead of " << Hex(expected.At(x, y))
                      << "\n";
        }
    }
    if (differing)
        return testing::AssertionFailure() << differing << " pixels of the window differ from the menu, first:\n"
                                           << first.str();
    return testing::AssertionSuccess();
}

class MenuPictureTest : public GameOnXvfb, public testing::WithParamInterface<int> {
protected:
    int Depth() const override { return GetParam(); }

    void SetUp() override
    {
        GameOnXvfb::SetUp();
        if (HasFatalFailure())
            return;
        std::string folder = testing::TempDir() + "movo-menu-XXXXXX";
        ASSERT_NE(mkdtemp(&folder[0]), nullptr) << folder;
        folder_ = folder;
    }

    void TearDown() override
    {
        // The pictures stay for a look when the test failed.
        if (folder_.empty() || HasFailure())
            return;
        for (const std::string& file : saved_)
            std::remove(file.c_str());
        rmdir(folder_.c_str());
    }

    // Saves picture as name in the test's folder, and also as copyPath when one is given
    // (written beside it first and then renamed, so a reader never sees half a file).
    void Save(const Screenshot& picture, const std::string& name, const std::string& copyPath = "")
    {
        std::string error;
        const std::string path = folder_ + "/" + name;
        saved_.push_back(path);
        EXPECT_TRUE(picture.SavePng(path, &error)) << error;
        if (copyPath.empty())
            return;
        const std::string partial = copyPath + ".part";
        EXPECT_TRUE(picture.SavePng(partial, &error)) << error;
        EXPECT_EQ(std::rename(partial.c_str(), copyPath.c_str()), 0) << "cannot write " << copyPath;
    }

    std::string folder_;
    std::vector<std::string> saved_;
};

TEST_P(MenuPictureTest, ShowsEveryMenuLineWhereItsLabelPutsIt)
{
    GlyphArt art;
    std::string error;
    ASSERT_TRUE(art.Load(MOVO_SPRITE_SOURCES "/palette.txt", MOVO_SPRITE_SOURCES "/glyphs.pix", &error)) << error;
    Screenshot expected(PictureWidth, PictureHeight);
    ASSERT_TRUE(PaintMenu(art, &expected));

    ASSERT_TRUE(StartGame("dummy"));
    ASSERT_TRUE(WaitForGameWindow());
    ASSERT_TRUE(WaitForScreen(1));

    ASSERT_TRUE(FindGamePicture());

    // The lines appear with the first tick; look until they are all there.
    Screenshot shot, picture;
    testing::AssertionResult shows = testing::AssertionFailure() << "no picture";
    const Clock::time_point deadline = Deadline(PictureMs);
    do {
        ASSERT_TRUE(x_.CaptureScreen(&shot, &error)) << error;
        picture = PictureIn(shot, picture_);
        shows = WindowShows(picture, 0, 0, expected);
        if (shows)
            break;
        usleep(LookAgainMs * 1000);
    } while (Clock::now() < deadline);
    Save(shot, "menu-shot.png", Depth() == 24 ? "/tmp/menu-shot.png" : "/tmp/menu-shot-depth16.png");
    if (!shows) {
        Save(picture, "menu-picture.png");
        Save(expected, "menu-expected.png");
    }
    EXPECT_TRUE(shows) << "screenshot and expected picture are in " << folder_;

    // A few landmarks, spelled out: "PRESS ESCAPE TO QUIT" at layout (-350, 20) starts at
    // picture (60, 24) with the P, whose stem (column 0, rows 0 to 6 of the art) is white;
    // 1.2 times 7 rows covers picture rows 24 to 30 whatever the rounding. The space after
    // "PRESS" (layout x 85 to 91, picture x 102 to 109) is black fill, and so is the column
    // under the P down to the next line at that x, "GOALS..." at picture y 360.
    const uint32_t white = 0xf8f4e8, black = 0;
    for (int y = 24; y <= 30; ++y)
        EXPECT_TRUE(picture.SameColor(picture.At(60, y), white)) << y << ": " << Hex(picture.At(60, y));
    for (int y = 24; y < 34; ++y) {
        for (int x = 102; x < 110; ++x)
            EXPECT_TRUE(picture.SameColor(picture.At(x, y), black)) << x << ", " << y;
    }
    for (int y = 33; y < 360; ++y)
        EXPECT_TRUE(picture.SameColor(picture.At(60, y), black)) << y;

    ASSERT_TRUE(PressUntilExit(XK_Escape, 0));
}

INSTANTIATE_TEST_SUITE_P(Depths, MenuPictureTest, testing::Values(24, 16),
                         [](const testing::TestParamInfo<int>& info) { return "Depth" + std::to_string(info.param); });

} // namespace
