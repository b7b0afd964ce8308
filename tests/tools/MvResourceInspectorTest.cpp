#include "MvFailedCheck.h"
#include "ToolTestSupport.h"

#include "MvAction.h"
#include "MvMemoryStream.h"
#include "MvResourceWriter.h"
#include "MvResourceEncoder.h"
#include "MvResourceInspector.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace tooltest;

// Encodes a definition body (inside <resources>) with the pictures already in scratch.
std::string Encode(const ScratchFolder& scratch, const std::string& body, const std::string& name = "out.dat")
{
    WriteFile(scratch / "def.xml", "<resources>\n" + body + "</resources>\n");
    MvResourceEncoder::Options options;
    options.definitionPath = scratch / "def.xml";
    options.outputPath = scratch / name;
    std::string error;
    std::vector<std::string> warnings;
    EXPECT_TRUE(MvResourceEncoder::Run(options, &error, &warnings)) << error;
    return options.outputPath;
}

// Every frame of the file lies on the sheet at its cell with exactly its pixels, nothing
// else is painted, and no two cells overlap: so the sheet shows as many visible pixels as
// the file's pixel tally counts.
void ExpectFaithfulSheet(const MvResourceInspector& inspector, const MvPngImage& sheet)
{
    std::vector<MvResourceInspector::SheetCell> cells;
    int width = 0, height = 0;
    inspector.LayoutSheet(&cells, &width, &height);
    ASSERT_EQ(width, sheet.Width());
    ASSERT_EQ(height, sheet.Height());
    int64_t frames = 0;
    for (int r = 0; r < inspector.Vault().ResourceCount(); ++r) {
        const MvSpriteResource* sprite = inspector.Vault().ResourceAt(r)->AsSpriteResource();
        for (int a = 0; sprite != nullptr && a < sprite->ActionCount(); ++a)
            for (int f = 0; f < sprite->ActionAt(a)->FrameCount(); ++f)
                frames += sprite->ActionAt(a)->FrameAt(f)->Height() > 0;
    }
    EXPECT_EQ(frames, static_cast<int64_t>(cells.size()));
    std::vector<int> cover(static_cast<size_t>(width) * height, 0);
    for (const MvResourceInspector::SheetCell& cell : cells) {
        const MvRle& frame =
            *inspector.Vault().ResourceAt(cell.resource)->AsSpriteResource()->ActionAt(cell.action)->FrameAt(cell.frame);
        ASSERT_TRUE(cell.x >= 0 && cell.y >= 0 && cell.x + frame.Width() <= width && cell.y + frame.Height() <= height);
        for (int y = 0; y < frame.Height(); ++y) {
            for (int x = 0; x < frame.Width(); ++x)
                ++cover[static_cast<size_t>(cell.y + y) * width + cell.x + x];
            const MvRleLine& line = frame.Row(y);
            for (int s = 0; s < line.segmentCount; ++s)
                for (int i = 0; i < line.segments[s].Length(); ++i)
                    ASSERT_EQ(line.segments[s].pixels[i], sheet.At(cell.x + line.segments[s].start + i, cell.y + y));
        }
    }
    int64_t visible = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_LE(cover[static_cast<size_t>(y) * width + x], 1) << "cells overlap at " << x << "," << y;
            visible += sheet.At(x, y).alpha > 0;
        }
    }
    EXPECT_EQ(static_cast<int64_t>(inspector.PixelTally()), visible);
}

// Each action starts a line; frames follow left to right with a gap; a frame that would
// pass the wrap width starts a new line.
TEST(MvResourceInspector, LaysOutOneLinePerActionAndWraps)
{
    ScratchFolder scratch;
    scratch.SavePicture("small.png", {"RG", "B."});
    scratch.SavePicture("wide.png", {std::string(600, 'W')});
    const std::string file = Encode(scratch,
                                    "<sprite name=\"A\" id=\"1\">\n"
                                    "<action name=\"a\" id=\"1\"><frame image=\"small.png\"/><frame image=\"small.png\" "
                                    "width=\"1\"/></action>\n"
                                    "<action name=\"b\" id=\"2\"><frame image=\"wide.png\"/><frame image=\"wide.png\"/>"
                                    "<frame image=\"small.png\" width=\"1\" height=\"1\"/></action>\n"
                                    "</sprite>\n");
    MvResourceInspector inspector;
    std::string error;
    ASSERT_TRUE(inspector.Load(file, &error)) << error;
    std::vector<MvResourceInspector::SheetCell> cells;
    int width = 0, height = 0;
    inspector.LayoutSheet(&cells, &width, &height);
    const int gap = MvResourceInspector::SheetGap;
    const std::vector<std::vector<int>> expected = {
        {0, 0, 0, 0, 0},           {0, 0, 1, 2 + gap, 0},           {0, 1, 0, 0, 2 + gap},
        {0, 1, 1, 0, 3 + 2 * gap}, {0, 1, 2, 600 + gap, 3 + 2 * gap},
    };
    ASSERT_EQ(expected.size(), cells.size());
    for (size_t i = 0; i < cells.size(); ++i)
        EXPECT_EQ(expected[i], (std::vector<int>{cells[i].resource, cells[i].action, cells[i].frame, cells[i].x,
                                                 cells[i].y}))
            << "cell " << i;
    EXPECT_EQ(600 + gap + 1, width);
    EXPECT_EQ(4 + 2 * gap, height);
    ExpectFaithfulSheet(inspector, inspector.ContactSheet());
}

// The contact sheet of the game's sprites when the build made them, otherwise of a file
// encoded here; written into the build folder for anyone to look at.
TEST(MvResourceInspector, WritesTheContactSheetOfTheGameSprites)
{
    ScratchFolder scratch;
    std::string file = MOVO_SPRITES_FILE;
    if (!std::filesystem::exists(file)) {
        scratch.SavePicture("hero.png", {"..RR..", ".RaaR.", "..GG..", "..B.B."});
        file = Encode(scratch, "<sprite name=\"Hero\" id=\"12\"><action name=\"Stand.Right\" id=\"1\">"
                               "<frame image=\"hero.png\" hotx=\"3\" hoty=\"4\"/><frame image=\"hero.png\" x=\"2\"/>"
                               "</action></sprite>\n"
                               "<sprite name=\"Dot\" id=\"18\"><action name=\"NONE\" id=\"2\">"
                               "<frame image=\"hero.png\" width=\"3\" height=\"1\"/></action></sprite>\n");
    }
    MvResourceInspector inspector;
    std::string error;
    ASSERT_TRUE(inspector.Load(file, &error)) << error;
    const std::string sheetPath = std::string(MOVO_TOOL_TEST_OUTPUT) + "/Sprites-sheet.png";
    ASSERT_TRUE(inspector.WriteContactSheet(sheetPath, &error)) << error;
    MvPngImage sheet;
    ASSERT_TRUE(sheet.Load(sheetPath, &error)) << error;
    ExpectFaithfulSheet(inspector, sheet);
    RecordProperty("sheet", sheetPath);
    RecordProperty("source", file);
}

// Each kind shows its essentials: a tile's size and bytes a pixel, a font's type, glyphs,
// start, space and (as frame deltas) glyph widths, a text's first lines quoted and cut,
// the first bytes of binary data.
TEST(MvResourceInspector, ListsTheEssentialsOfEveryKind)
{
    ScratchFolder scratch;
    scratch.SavePicture("ground.png", {"RGa", "GBR", "BRG"});
    scratch.SavePicture("marked.png", {"W..W...W.", ".R..GGG.B", ".R...G..B"});
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += static_cast<char>(i);
    WriteFile(scratch / "twenty.bin", twenty);
    WriteFile(scratch / "three.bin", "AB\n");
    WriteFile(scratch / "none.bin", "");
    const std::string longLine(70, 'x');
    const std::string file = Encode(
        scratch, "<tile name=\"Solid\" id=\"20\" image=\"ground.png\" size=\"2\"/>\n"
                 "<tile name=\"Glass\" id=\"21\" image=\"ground.png\"/>\n"
                 "<font name=\"Small\" id=\"31\" image=\"marked.png\" type=\"1\" start=\"65\" space=\"95\"/>\n"
                 "<text name=\"Sign\" id=\"40\">Caf\xc3\xa9 open\n\"quoted\" \\ tab\there\n" +
                     longLine + "\n\nlast</text>\n"
                                "<text name=\"Short\" id=\"41\">one line</text>\n"
                                "<binary name=\"Twenty\" id=\"50\" file=\"twenty.bin\"/>\n"
                                "<binary name=\"Three\" id=\"51\" file=\"three.bin\"/>\n"
                                "<binary name=\"None\" id=\"52\" file=\"none.bin\"/>\n");
    MvResourceInspector inspector;
    std::string error;
    ASSERT_TRUE(inspector.Load(file, &error)) << error;
    EXPECT_EQ("File '" + file +
                  "'\n"
                  "Version 2.0.2\n"
                  "Tallies: 21 pixels, 6 lines, 6 segments\n"
                  "Resources: 8\n"
                  "Tile id=20 name=\"Solid\" size=2x2 pixel bytes=3\n"
                  "Tile id=21 name=\"Glass\" size=3x3 pixel bytes=4 alpha\n"
                  "Font id=31 name=\"Small\" type=1 (marked cells) glyphs=3 start=65 space=95 space width=2 "
                  "actions=1\n"
                  "  Action id=0 name=\"NONE\" frames=3\n"
                  "    Frame 0: size 1x2 offset (0,0) delta (2,2)\n"
                  "    Frame 1: size 3x2 offset (0,0) delta (3,2)\n"
                  "    Frame 2: size 1x2 offset (0,0) delta (1,2)\n"
                  "TextData id=40 name=\"Sign\" bytes=107 lines=5\n"
                  "  Line 1: \"Caf\\xC3\\xA9 open\"\n"
                  "  Line 2: \"\\\"quoted\\\" \\\\ tab\\there\"\n"
                  "  Line 3: \"" + std::string(60, 'x') + "\"...\n"
                  "  (2 more lines)\n"
                  "TextData id=41 name=\"Short\" bytes=8 lines=1\n"
                  "  Line 1: \"one line\"\n"
                  "BinaryData id=50 name=\"Twenty\" length=20\n"
                  "  Bytes: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ...\n"
                  "BinaryData id=51 name=\"Three\" length=3\n"
                  "  Bytes: 41 42 0A\n"
                  "BinaryData id=52 name=\"None\" length=0\n",
              inspector.Listing());
}

// A file the loader refuses gets the loader's own message naming the file.
TEST(MvResourceInspector, CorruptFilesGetTheLoadersMessage)
{
    ScratchFolder scratch;
    scratch.SavePicture("p.png", {"RG", "B."});
    const std::string good = ReadFile(Encode(scratch, "<sprite name=\"A\" id=\"1\"><action name=\"a\" id=\"1\">"
                                                      "<frame image=\"p.png\"/></action></sprite>\n"));
    std::string badMagic = good;
    badMagic[0] = 'X';
    std::string badTally = good;
    badTally[10] = static_cast<char>(badTally[10] + 1); // the pixel tally follows "MOVO" and "2.0.2\0"
    const struct {
        const char* name;
        std::string bytes;
        const char* what;
    } cases[] = {
        {"cut.dat", good.substr(0, good.size() - 9), "passes the end of the file"},
        {"magic.dat", badMagic, "does not begin with \"MOVO\""},
        {"tally.dat", badTally, "do not match the records"},
        {"empty.dat", "", "the file ends early"},
    };
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        WriteFile(path, c.bytes);
        MvResourceInspector inspector;
        std::string error;
        EXPECT_FALSE(inspector.Load(path, &error)) << c.name;
        EXPECT_EQ(0u, error.find("Error in resource file '" + path + "' at byte ")) << error;
        EXPECT_NE(std::string::npos, error.find(c.what)) << error;
    }
    MvResourceInspector inspector;
    std::string error;
    EXPECT_FALSE(inspector.Load(scratch / "none.dat", &error));
    EXPECT_EQ("MvResourceVault::LoadDatFile failed to open file '" + scratch / "none.dat" + "'", error);
}

// A record of a kind this engine does not know ends the load early: what came before is
// listed, and the loader's warning is kept for the user.
TEST(MvResourceInspector, UnknownRecordKindEndsTheListingWithAWarning)
{
    ScratchFolder scratch;
    MvSpriteResource sprite("First");
    sprite.SetIdentity("First", 4);
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    sprite.Save(writer);
    writer.BeginRecord(9);
    writer.WriteName("Later");
    writer.WriteInt32(5);
    writer.EndRecord();
    ASSERT_TRUE(writer.EndFile());
    WriteFile(scratch / "newer.dat", std::string(stream.Bytes().begin(), stream.Bytes().end()));

    MvResourceInspector inspector;
    std::string error;
    ASSERT_TRUE(inspector.Load(scratch / "newer.dat", &error)) << error;
    EXPECT_EQ(std::vector<std::string>{"Warning: could not find resource id=9 in MvResourceFactory"},
              inspector.Warnings());
    EXPECT_NE(std::string::npos, inspector.Listing().find("Resources: 1\nSprite id=4 name=\"First\" actions=0\n"))
        << inspector.Listing();
}

TEST(MvResourceInspectorDeathTest, LoadingTwiceAsserts)
{
    ScratchFolder scratch;
    scratch.SavePicture("p.png", {"R"});
    const std::string file =
        Encode(scratch, "<sprite name=\"A\" id=\"1\"><action name=\"a\" id=\"1\"><frame image=\"p.png\"/>"
                        "</action></sprite>\n");
    MvResourceInspector inspector;
    std::string error;
    ASSERT_TRUE(inspector.Load(file, &error)) << error;
    EXPECT_DEATH(inspector.Load(file, &error),
                 MvFailedCheck("!vault_.HasLoadedFile() && vault_.ResourceCount() == 0"));
}

} // namespace
