// movo-pixelart run as the build runs it: text pictures and a palette in, one PNG per
// picture out, with exact colours, transparency and mirrored copies; broken input stops it
// with one message naming the file, the line and what is wrong.

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef MOVO_PIXELART_PROGRAM
#error "MOVO_PIXELART_PROGRAM must name the movo-pixelart program"
#endif

namespace {

using namespace tooltest;

const char* const Palette = "# test palette\n"
                            "K 102030\n"
                            "r ff000080\n";

TEST(PixelArtProgramTest, WritesEachPictureAndMirrorWithItsColours)
{
    ScratchFolder scratch;
    WriteFile(scratch / "palette.txt", Palette);
    WriteFile(scratch / "art.pix", "# a comment\n"
                                   "picture arrow\n"
                                   "K..\n"
                                   "Kr.\n"
                                   "\n"
                                   "mirror worra arrow\n");
    const ProgramRun run = RunProgram(MOVO_PIXELART_PROGRAM,
                                      {"-o", scratch.Path(), scratch / "palette.txt", scratch / "art.pix"}, scratch);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const MvColor k = Rgba(0x10, 0x20, 0x30, 255), r = Rgba(255, 0, 0, 0x80), clear = Rgba(0, 0, 0, 0);
    struct Expected {
        const char* file;
        MvColor pixels[2][3];
    };
    const Expected expected[] = {
        {"arrow.png", {{k, clear, clear}, {k, r, clear}}},
        {"worra.png", {{clear, clear, k}, {clear, r, k}}},
    };
    for (const Expected& want : expected) {
        MvPngImage picture;
        std::string error;
        ASSERT_TRUE(picture.Load(scratch / want.file, &error)) << error;
        ASSERT_EQ(picture.Width(), 3) << want.file;
        ASSERT_EQ(picture.Height(), 2) << want.file;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const MvColor& got = picture.At(x, y);
                // A transparent pixel only needs alpha 0.
                if (want.pixels[y][x].alpha == 0)
                    EXPECT_EQ(got.alpha, 0) << want.file << " (" << x << ", " << y << ")";
                else
                    EXPECT_TRUE(got == want.pixels[y][x]) << want.file << " (" << x << ", " << y << ")";
            }
    }
}

TEST(PixelArtProgramTest, ScaleEnlargesEveryPixel)
{
    ScratchFolder scratch;
    WriteFile(scratch / "palette.txt", Palette);
    WriteFile(scratch / "art.pix", "picture dot\nK.\n");
    const ProgramRun run = RunProgram(
        MOVO_PIXELART_PROGRAM, {"-o", scratch.Path(), "--scale", "3", scratch / "palette.txt", scratch / "art.pix"},
        scratch);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    MvPngImage picture;
    std::string error;
    ASSERT_TRUE(picture.Load(scratch / "dot.png", &error)) << error;
    ASSERT_EQ(picture.Width(), 6);
    ASSERT_EQ(picture.Height(), 3);
    EXPECT_EQ(picture.At(2, 2).alpha, 255);
    EXPECT_EQ(picture.At(3, 0).alpha, 0);
}

TEST(PixelArtProgramTest, BrokenInputStopsWithOneMessageNamingFileAndLine)
{
    struct Case {
        const char* palette;
        const char* pictures;
        const char* message; // expected in the error output, after the file name
    };
    const Case cases[] = {
        {Palette, "picture a\nKK\nK\n", "art.pix:3: row of 1 pixels in a picture 2 pixels wide"},
        {Palette, "picture a\nKx\n", "art.pix:2: the character 'x' is not in the palette"},
        {Palette, "mirror b a\n", "art.pix:1: no picture named 'a' has been defined before"},
        {Palette, "picture a\nK\n\npicture a\nK\n", "art.pix:4: the picture 'a' is defined twice"},
        {Palette, "KK\n", "art.pix:1: pixel rows belong after a 'picture NAME' line"},
        {Palette, "picture a\n\npicture b\nK\n", "art.pix:1: the picture 'a' has no rows"},
        {Palette, "picture ../a\nK\n", "art.pix:1: a picture needs a plain name"},
        {"K 12345\n", "picture a\nK\n", "palette.txt:1: a colour is RRGGBB or RRGGBBAA"},
        {"K 102030\n. 000000\n", "picture a\nK\n", "palette.txt:2: a palette key is one character"},
        {"K 102030\nK 405060\n", "picture a\nK\n", "palette.txt:2: the key 'K' is defined twice"},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        WriteFile(scratch / "palette.txt", c.palette);
        WriteFile(scratch / "art.pix", c.pictures);
        const ProgramRun run = RunProgram(
            MOVO_PIXELART_PROGRAM, {"-o", scratch.Path(), scratch / "palette.txt", scratch / "art.pix"}, scratch);
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << "expected: " << c.message << "\ngot: " << run.err;
        EXPECT_EQ(CountLines(run.err), 1) << run.err;
    }
}

// A missing output folder is made, nested ones too; one that cannot be made (a file is in
// the way) stops the program with one message naming it.
TEST(PixelArtProgramTest, MakesTheOutputFolderOrSaysWhyNot)
{
    ScratchFolder scratch;
    WriteFile(scratch / "palette.txt", Palette);
    WriteFile(scratch / "art.pix", "picture dot\nK.\n");
    const ProgramRun made = RunProgram(
        MOVO_PIXELART_PROGRAM, {"-o", scratch / "new/deeper", scratch / "palette.txt", scratch / "art.pix"}, scratch);
    EXPECT_EQ(made.exitCode, 0) << made.err;
    MvPngImage picture;
    std::string error;
    EXPECT_TRUE(picture.Load(scratch / "new/deeper/dot.png", &error)) << error;

    WriteFile(scratch / "blocker", "a file, not a folder\n");
    const ProgramRun blocked = RunProgram(
        MOVO_PIXELART_PROGRAM, {"-o", scratch / "blocker/out", scratch / "palette.txt", scratch / "art.pix"}, scratch);
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_NE(blocked.err.find("movo-pixelart: cannot make the folder '" + (scratch / "blocker/out") + "'"),
              std::string::npos)
        << blocked.err;
    EXPECT_EQ(CountLines(blocked.err), 1) << blocked.err;
}

TEST(PixelArtProgramTest, HelpAndMissingArguments)
{
    ScratchFolder scratch;
    const ProgramRun help = RunProgram(MOVO_PIXELART_PROGRAM, {"--help"}, scratch);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: movo-pixelart"), std::string::npos);

    const ProgramRun noOutput = RunProgram(MOVO_PIXELART_PROGRAM, {"palette.txt", "art.pix"}, scratch);
    EXPECT_EQ(noOutput.exitCode, 2);
    EXPECT_NE(noOutput.err.find("Usage: movo-pixelart"), std::string::npos);
}

} // namespace
