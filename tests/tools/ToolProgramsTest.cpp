#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using namespace tooltest;

const std::string Encoder = MOVO_ENCODE_PROGRAM;
const std::string Inspector = MOVO_INSPECT_PROGRAM;
const std::string PixelArt = MOVO_PIXELART_PROGRAM;
const std::string Replay = MOVO_REPLAY_PROGRAM;
const std::string Synth = MOVO_SYNTH_PROGRAM;

// The first line of a program's help: the synopsis it repeats after a bad command line.
std::string Synopsis(const std::string& program, const ScratchFolder& scratch)
{
    const std::string help = RunProgram(program, {"--help"}, scratch).out;
    return help.substr(0, help.find('\n') + 1);
}

std::string ProgramName(const std::string& program)
{
    return std::filesystem::path(program).filename().string();
}

// The programs as a user runs them: a definition and a picture in a scratch folder.
class ToolPrograms : public testing::Test {
protected:
    void SetUp() override
    {
        scratch.SavePicture("hero.png", {"..RR..", ".RaaR.", "..GG..", "..B.B."});
        WriteFile(scratch / "def.xml",
                  "<?xml version=\"1.0\"?>\n"
                  "<resources>\n"
                  "  <sprite name=\"Hero\" id=\"12\">\n"
                  "    <action name=\"Stand.Right\" id=\"1\">\n"
                  "      <frame image=\"hero.png\" hotx=\"3\" hoty=\"4\" dx=\"1\"/>\n"
                  "    </action>\n"
                  "  </sprite>\n"
                  "</resources>\n");
    }

    ScratchFolder scratch;
};

TEST_F(ToolPrograms, HelpDescribesTheCommandLine)
{
    const struct {
        std::string program;
        const char* usage;
    } cases[] = {
        {Encoder, "Usage: movo-encode DEFINITION.xml -o OUTPUT.dat [--header OUTPUT.h] [--image-dir DIR]"},
        {Inspector, "Usage: movo-inspect FILE.dat [--sheet OUT.png]"},
        {PixelArt, "Usage: movo-pixelart -o OUTDIR [--scale N] PALETTE.txt PICTURES.pix...\n"},
        {Replay, "Usage: movo-replay [options] SCRIPT\n"},
        {Synth, "Usage: movo-synth OUTPUT_FOLDER\n"},
    };
    for (const auto& c : cases) {
        for (const char* help : {"--help", "-h"}) {
            const ProgramRun run = RunProgram(c.program, {help}, scratch);
            EXPECT_EQ(0, run.exitCode) << c.usage;
            EXPECT_EQ(0u, run.out.find(c.usage)) << run.out;
            EXPECT_EQ("", run.err);
        }
    }
}

// Bad command lines exit 2, before any file is touched, with a line that says what is
// wrong, then the program's synopsis and where to find more.
TEST_F(ToolPrograms, BadCommandLinesAreRefused)
{
    const struct {
        std::string program;
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {Encoder, {}, "no definition given"},
        {Encoder, {"def.xml"}, "no output file given (-o OUTPUT.dat)"},
        {Encoder, {"def.xml", "-o"}, "the option -o needs a value"},
        {Encoder, {"def.xml", "-o", ""}, "the option -o needs a value"},
        {Encoder, {"def.xml", "--output", "x.dat", "--header"}, "the option --header needs a value"},
        {Encoder, {"def.xml", "-o", "x.dat", "--image-dir"}, "the option --image-dir needs a value"},
        {Encoder, {"def.xml", "-o", "x.dat", "--fast"}, "unknown option --fast"},
        {Encoder, {"def.xml", "-o", "x.dat", "more.xml"}, "more than one definition: 'def.xml' and 'more.xml'"},
        {Inspector, {}, "no resource file given"},
        {Inspector, {"a.dat", "b.dat"}, "more than one file: 'a.dat' and 'b.dat'"},
        {Inspector, {"a.dat", "--sheet"}, "the option --sheet needs a value"},
        {Inspector, {"a.dat", "-"}, "unknown option -"},
        {PixelArt, {}, "no palette file given"},
        {PixelArt, {"-o"}, "the option -o needs a value"},
        {PixelArt, {"-o", "out"}, "no palette file given"},
        {PixelArt, {"-o", "out", "palette.txt"}, "no picture file given"},
        {PixelArt, {"palette.txt", "art.pix"}, "no output folder given (-o OUTDIR)"},
        {PixelArt, {"-o", "out", "--scale", "0", "palette.txt", "art.pix"},
         "--scale needs a number from 1 to 64, not '0'"},
        {PixelArt, {"-o", "out", "--scale", "3x", "palette.txt", "art.pix"},
         "--scale needs a number from 1 to 64, not '3x'"},
        {PixelArt, {"-o", "out", "--scale"}, "the option --scale needs a value"},
        {PixelArt, {"-x", "-o", "out", "palette.txt", "art.pix"}, "unknown option -x"},
        {Replay, {}, "no script given"},
        {Replay, {"--out", "shots"}, "no script given"},
        {Replay, {"s.txt", "--out", ""}, "the option --out needs a value"},
        {Replay, {"s.txt", "--game"}, "the option --game needs a value"},
        {Replay, {"s.txt", "--max-ticks", "-5"}, "--max-ticks needs a number from 1 to 1000000000, not '-5'"},
        {Replay, {"s.txt", "--repeat", "99999999999"}, "--repeat needs a number of 1 or more, not '99999999999'"},
        {Replay, {"s.txt", "t.txt"}, "more than one script: 's.txt' and 't.txt'"},
        {Replay, {"s.txt", "--loud"}, "unknown option --loud"},
        {Synth, {}, "no output folder given"},
        {Synth, {"a", "b"}, "more than one output folder: 'a' and 'b'"},
        {Synth, {"--loud"}, "unknown option --loud"},
        {Synth, {"-o", "a"}, "unknown option -o"},
    };
    std::map<std::string, std::string> synopses;
    for (const auto& c : cases) {
        const std::string name = ProgramName(c.program);
        if (synopses.count(name) == 0)
            synopses[name] = Synopsis(c.program, scratch);
        const ProgramRun run = RunProgram(c.program, c.arguments, scratch);
        EXPECT_EQ(2, run.exitCode) << name << ": " << c.message;
        EXPECT_EQ(name + ": " + c.message + "\n" + synopses[name] + "Try '" + name + " --help'.\n", run.err);
        EXPECT_EQ("", run.out) << name << ": " << c.message;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch / "x.dat"));
    EXPECT_FALSE(std::filesystem::exists(scratch / "out"));
}

// Encode, then inspect: a clean listing of what the definition says, and a contact sheet.
TEST_F(ToolPrograms, EncodeThenInspect)
{
    const std::string dat = scratch / "Sprites.dat", header = scratch / "ids.h", sheet = scratch / "sheet.png";
    ProgramRun run = RunProgram(Encoder, {scratch / "def.xml", "-o", dat, "--header", header}, scratch);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("movo-encode: wrote '" + dat + "' and '" + header + "'\n", run.out);
    EXPECT_EQ("", run.err);
    EXPECT_NE(std::string::npos, ReadFile(header).find("constexpr int kSpriteHero = 12;\n"));

    run = RunProgram(Inspector, {dat, "--sheet", sheet}, scratch);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("File '" + dat +
                  "'\n"
                  "Version 2.0.2\n"
                  "Tallies: 10 pixels, 4 lines, 5 segments\n"
                  "Resources: 1\n"
                  "Sprite id=12 name=\"Hero\" actions=1\n"
                  "  Action id=1 name=\"Stand.Right\" frames=1\n"
                  "    Frame 0: size 4x4 offset (-2,-4) delta (1,0) alpha\n"
                  "Contact sheet '" +
                  sheet + "': 4 x 4 pixels, 1 frames\n",
              run.out);
    EXPECT_EQ("", run.err);
    MvPngImage picture;
    std::string error;
    ASSERT_TRUE(picture.Load(sheet, &error)) << error;
    EXPECT_EQ(PaletteColor('a'), picture.At(1, 1));

    // With --verbose the loader's progress lines are shown too.
    run = RunProgram(Inspector, {dat, "--verbose"}, scratch);
    EXPECT_EQ(0, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("Tally count: rgba=10 line=4 segment=5\n")) << run.out;
}

// Every failure is one line on standard error naming the file (and line for XML) and
// what is wrong, with the system's reason when there is one; a non-zero exit and nothing
// on standard output.
TEST_F(ToolPrograms, FailuresGiveOneClearMessage)
{
    WriteFile(scratch / "broken.xml", "<resources>\n<sprite name=\"A\" id=\"1\">\n</resources>\n");
    WriteFile(scratch / "nopic.xml", "<resources>\n<sprite name=\"A\" id=\"1\">\n<action name=\"a\" id=\"1\">\n"
                                     "<frame image=\"gone.png\"/>\n</action>\n</sprite>\n</resources>\n");
    WriteFile(scratch / "corrupt.dat", "MOVO2.0.2");
    // A top row of markers only marks no glyph cells.
    scratch.SavePicture("markers.png", {"WW", "RR"});
    WriteFile(scratch / "nocells.xml", "<resources>\n<font name=\"F\" id=\"1\" image=\"markers.png\" type=\"1\"/>\n"
                                       "</resources>\n");
    WriteFile(scratch / "zero.txt", std::string("a\0b", 3));
    WriteFile(scratch / "zero.xml", "<resources>\n<tile name=\"A\" id=\"1\" image=\"hero.png\" size=\"4\"/>\n"
                                    "<text name=\"T\" id=\"2\" file=\"zero.txt\"/>\n</resources>\n");
    WriteFile(scratch / "palette.txt", "K 102030\n");
    WriteFile(scratch / "art.pix", "picture a\nK\n");
    WriteFile(scratch / "run.txt", "at 2 press Escape\n");
    const std::string folder = scratch.Path(), none = scratch / "none";
    const struct {
        std::string program;
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        {Encoder, {scratch / "broken.xml", "-o", scratch / "x.dat"}, 1,
         "movo-encode: " + scratch / "broken.xml" + ":3: Opening and ending tag mismatch"},
        {Encoder, {scratch / "nopic.xml", "-o", scratch / "x.dat"}, 1,
         "movo-encode: " + scratch / "nopic.xml" + ":4: frame 0 of action 'a' in sprite 'A': cannot open picture '" +
             scratch / "gone.png" + "': No such file or directory\n"},
        {Encoder, {none, "-o", scratch / "x.dat"}, 1,
         "movo-encode: " + none + ": cannot be read: No such file or directory\n"},
        {Encoder, {folder, "-o", scratch / "x.dat"}, 1, "movo-encode: " + folder + ": is a folder, not a definition\n"},
        {Encoder, {scratch / "def.xml", "-o", scratch / "x.dat", "--image-dir", none}, 1,
         "movo-encode: " + none + ": cannot be used as a folder: No such file or directory\n"},
        {Encoder, {scratch / "def.xml", "-o", scratch / "x.dat", "--image-dir", scratch / "hero.png"}, 1,
         "movo-encode: " + scratch / "hero.png" + ": is a file, not a folder\n"},
        {Encoder, {scratch / "def.xml", "-o", folder}, 1,
         "movo-encode: " + folder + ": cannot create the file: Is a directory\n"},
        {Inspector, {scratch / "corrupt.dat"}, 1,
         "movo-inspect: Error in resource file '" + scratch / "corrupt.dat" + "' at byte "},
        {Inspector, {none}, 1, "movo-inspect: " + none + ": cannot be read: No such file or directory\n"},
        {Inspector, {folder}, 1, "movo-inspect: " + folder + ": is a folder, not a resource file\n"},
        {Encoder, {scratch / "nocells.xml", "-o", scratch / "x.dat"}, 1,
         "movo-encode: " + scratch / "nocells.xml" + ":2: font 'F': the picture '" + scratch / "markers.png" +
             "': the top row of the 2 x 2 image marks no glyph cells\n"},
        {Encoder, {scratch / "zero.xml", "-o", scratch / "x.dat"}, 1,
         "movo-encode: " + scratch / "zero.xml" + ":3: text 'T': the file '" + scratch / "zero.txt" +
             "' holds a zero byte at offset 1"},
        {PixelArt, {"-o", scratch / "out", none, scratch / "art.pix"}, 1,
         "movo-pixelart: " + none + ": cannot be read: No such file or directory\n"},
        {PixelArt, {"-o", scratch / "out", scratch / "palette.txt", scratch / "art.pix", folder}, 1,
         "movo-pixelart: " + folder + ": is a folder, not a picture file\n"},
        {Replay, {folder}, 2, "movo-replay: " + folder + ": is a folder, not a script\n"},
        {Replay, {scratch / "run.txt", "--game", none}, 1, "movo-replay: '" + none + "' is no game folder: '"},
        {Synth, {none}, 1, "movo-synth: " + none + ": cannot be used as a folder: No such file or directory\n"},
        {Synth, {scratch / "hero.png"}, 1, "movo-synth: " + scratch / "hero.png" + ": is a file, not a folder\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.program, c.arguments, scratch);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.message;
        EXPECT_EQ(0u, run.err.find(c.message)) << run.err;
        EXPECT_EQ(1, CountLines(run.err)) << run.err;
        EXPECT_EQ("", run.out);
        EXPECT_FALSE(std::filesystem::exists(scratch / "x.dat"));
        EXPECT_FALSE(std::filesystem::exists(scratch / "out"));
    }
}

// Every kind through both programs: the encoder's help shows the elements, the header
// names each resource, the inspector lists each kind's essentials and puts the glyphs on
// the contact sheet; a doubtful font is a warning on standard error, not a failure.
TEST_F(ToolPrograms, EncodeThenInspectEveryKind)
{
    ProgramRun run = RunProgram(Encoder, {"--help"}, scratch);
    for (const char* element : {"<tile ", "<font ", "<text ", "<binary "})
        EXPECT_NE(std::string::npos, run.out.find(element)) << element;

    scratch.SavePicture("ground.png", {"RGBW", "GBRW", "BRGW", "WWWW"});
    scratch.SavePicture("digits.png", {"R.GG.B.", "R..G.BB"});
    WriteFile(scratch / "hint.txt", "Up jumps\nRight runs\n");
    WriteFile(scratch / "level.bin", std::string("\x01\x02\xff", 3));
    WriteFile(scratch / "all.xml",
              "<resources>\n"
              "  <tile name=\"Ground\" id=\"20\" image=\"ground.png\"/>\n"
              "  <font name=\"Digits\" id=\"30\" image=\"digits.png\" type=\"0\" length=\"3\" start=\"48\"/>\n"
              "  <text name=\"Hint\" id=\"40\" file=\"hint.txt\"/>\n"
              "  <binary name=\"Level\" id=\"50\" file=\"level.bin\"/>\n"
              "</resources>\n");
    const std::string dat = scratch / "All.dat", header = scratch / "AllIds.h", sheet = scratch / "sheet.png";
    run = RunProgram(Encoder, {scratch / "all.xml", "-o", dat, "--header", header}, scratch);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(scratch / "all.xml" + ":3: warning: font 'Digits': the picture '" + scratch / "digits.png" +
                  "' is 7 pixels wide, not a multiple of length=3; the last 1 columns belong to no glyph\n",
              run.err);
    EXPECT_EQ("movo-encode: wrote '" + dat + "' and '" + header + "'\n", run.out);
    const std::string ids = ReadFile(header);
    for (const char* line : {"constexpr int kTileGround = 20;\n", "constexpr int kFontDigits = 30;\n",
                             "constexpr int kTextHint = 40;\n", "constexpr int kBinaryLevel = 50;\n"})
        EXPECT_NE(std::string::npos, ids.find(line)) << line;

    run = RunProgram(Inspector, {dat, "--sheet", sheet}, scratch);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("", run.err);
    for (const char* line :
         {"Resources: 4\n", "Tile id=20 name=\"Ground\" size=4x4 pixel bytes=3\n",
          "Font id=30 name=\"Digits\" type=0 (equal cells) glyphs=3 start=48 space=32 space width=2 actions=1\n",
          "    Frame 2: size 1x2 offset (1,0) delta (2,2)\n", "TextData id=40 name=\"Hint\" bytes=20 lines=2\n",
          "  Line 2: \"Right runs\"\n", "BinaryData id=50 name=\"Level\" length=3\n  Bytes: 01 02 FF\n",
          "': 8 x 2 pixels, 3 frames\n"})
        EXPECT_NE(std::string::npos, run.out.find(line)) << line << "\nin:\n" << run.out;
}

} // namespace
