#include "ToolTestSupport.h"

#include "MvAction.h"
#include "MvBinaryDataResource.h"
#include "MvFontResource.h"
#include "MvPixelBlock.h"
#include "MvResourceDefinition.h"
#include "MvResourceEncoder.h"
#include "MvResourceInspector.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvTextDataResource.h"
#include "MvTileResource.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace tooltest;

// The colour an image shows at (x, y) from its hot spot; transparent where it has none.
MvColor FramePixel(const MvRle& frame, int x, int y)
{
    const int column = x - frame.OffsetX(), row = y - frame.OffsetY();
    if (row < 0 || row >= frame.Height())
        return Rgba(0, 0, 0, 0);
    const MvRleLine& line = frame.Row(row);
    for (int s = 0; s < line.segmentCount; ++s) {
        const MvRleSegment& segment = line.segments[s];
        if (column >= segment.start && column <= segment.end)
            return segment.pixels[column - segment.start];
    }
    return Rgba(0, 0, 0, 0);
}

const std::vector<std::string> HeroRows = {
    "......",
    "..RR..",
    ".RaaR.",
    "..GG..",
    "..B.B.",
    "......",
};

const std::vector<std::string> FlagRows = {
    "W.",
    "Wb",
    "W.",
};

const char RoundTripDefinition[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<resources>\n"
    "  <sprite name=\"Hero\" id=\"12\">\n"
    "    <action name=\"Stand.Left\" id=\"1\">\n"
    "      <frame image=\"hero.png\" x=\"0\" y=\"0\" width=\"6\" height=\"6\" hotx=\"3\" hoty=\"6\"/>\n"
    "      <frame image=\"hero.png\" x=\"2\" y=\"1\" width=\"2\" height=\"3\" hotx=\"1\" hoty=\"3\" dx=\"4\" dy=\"-1\"/>\n"
    "    </action>\n"
    "    <action name=\"Walk\" id=\"2\">\n"
    "      <frame image=\"hero.png\" x=\"1\" y=\"2\"/>\n"
    "      <frame image=\"hero.png\" width=\"6\" height=\"1\" hotx=\"-2\" hoty=\"7\"/>\n"
    "    </action>\n"
    "    <action name=\"Empty\" id=\"3\"/>\n"
    "  </sprite>\n"
    "  <sprite name=\"RedFlag\" id=\"18\">\n"
    "    <action name=\"NONE\" id=\"2\">\n"
    "      <frame image=\"flags/flag.png\" hotx=\"0\" hoty=\"3\"/>\n"
    "    </action>\n"
    "  </sprite>\n"
    "</resources>\n";

// What the inspector must list for RoundTripDefinition: every rectangle trimmed to its
// visible pixels, offsets measured from the hot spot.
const char RoundTripListing[] =
    "Version 2.0.2\n"
    "Tallies: 28 pixels, 13 lines, 15 segments\n"
    "Resources: 2\n"
    "Sprite id=12 name=\"Hero\" actions=3\n"
    "  Action id=1 name=\"Stand.Left\" frames=2\n"
    "    Frame 0: size 4x4 offset (-2,-5) delta (0,0) alpha\n"
    "    Frame 1: size 2x3 offset (-1,-3) delta (4,-1) alpha\n"
    "  Action id=2 name=\"Walk\" frames=2\n"
    "    Frame 0: size 4x3 offset (0,0) delta (0,0) alpha\n"
    "    Frame 1: size 0x0 offset (8,-7) delta (0,0)\n"
    "  Action id=3 name=\"Empty\" frames=0\n"
    "Sprite id=18 name=\"RedFlag\" actions=1\n"
    "  Action id=2 name=\"NONE\" frames=1\n"
    "    Frame 0: size 2x3 offset (0,-3) delta (0,0) alpha\n";

class EncoderRoundTrip : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(scratch / "flags");
        scratch.SavePicture("hero.png", HeroRows);
        scratch.SavePicture("flags/flag.png", FlagRows);
        WriteFile(scratch / "def.xml", RoundTripDefinition);
    }

    ScratchFolder scratch;
};

// Definition and pictures -> file -> the loader: every sprite, action and frame as the
// definition says, each frame holding exactly the visible pixels of its rectangle.
TEST_F(EncoderRoundTrip, FileHoldsWhatTheDefinitionSays)
{
    MvResourceEncoder::Options options;
    options.definitionPath = scratch / "def.xml";
    options.outputPath = scratch / "out.dat";
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(MvResourceEncoder::Run(options, &error, &warnings)) << error;
    EXPECT_TRUE(warnings.empty());

    MvResourceInspector inspector;
    ASSERT_TRUE(inspector.Load(options.outputPath, &error)) << error;
    EXPECT_EQ("File '" + options.outputPath + "'\n" + RoundTripListing, inspector.Listing());

    MvResourceDefinition definition;
    ASSERT_TRUE(definition.Load(options.definitionPath, &error)) << error;
    const MvPngImage hero = Picture(HeroRows), flag = Picture(FlagRows);
    for (const MvSpriteDefinition& spriteDefinition : definition.Sprites()) {
        const MvSpriteResource* sprite = inspector.Vault().FindSpriteResource(spriteDefinition.id);
        ASSERT_NE(nullptr, sprite);
        EXPECT_EQ(spriteDefinition.name, sprite->Name());
        for (const MvActionDefinition& actionDefinition : spriteDefinition.actions) {
            const MvAction* action = sprite->FindAction(actionDefinition.name.c_str());
            ASSERT_NE(nullptr, action);
            EXPECT_EQ(actionDefinition.id, action->Id());
            ASSERT_EQ(actionDefinition.frames.size(), static_cast<size_t>(action->FrameCount()));
            for (int i = 0; i < action->FrameCount(); ++i) {
                const MvFrameDefinition& f = actionDefinition.frames[i];
                const MvPngImage& picture = f.image == "hero.png" ? hero : flag;
                const int w = f.hasWidth ? f.width : picture.Width() - f.x;
                const int h = f.hasHeight ? f.height : picture.Height() - f.y;
                const MvRle& frame = *action->FrameAt(i);
                EXPECT_EQ(f.deltaX, frame.DeltaX());
                EXPECT_EQ(f.deltaY, frame.DeltaY());
                for (int row = f.y; row < f.y + h; ++row)
                    for (int col = f.x; col < f.x + w; ++col)
                        EXPECT_EQ(picture.At(col, row), FramePixel(frame, col - f.x - f.hotX, row - f.y - f.hotY))
                            << spriteDefinition.name << " " << actionDefinition.name << " frame " << i << " at "
                            << col << "," << row;
            }
        }
    }
}

// Pictures made elsewhere (in the build folder) are found through the image folder option.
TEST_F(EncoderRoundTrip, ImageFolderReplacesTheDefinitionsFolder)
{
    std::filesystem::create_directory(scratch / "src");
    std::filesystem::rename(scratch / "def.xml", scratch / "src/def.xml");
    MvResourceEncoder::Options options;
    options.definitionPath = scratch / "src/def.xml";
    options.outputPath = scratch / "out.dat";
    std::string error;
    std::vector<std::string> warnings;
    EXPECT_FALSE(MvResourceEncoder::Run(options, &error, &warnings));
    EXPECT_NE(std::string::npos, error.find("'" + scratch / "src/hero.png" + "'")) << error;
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));

    options.imageDir = scratch.Path();
    EXPECT_TRUE(MvResourceEncoder::Run(options, &error, &warnings)) << error;
    EXPECT_TRUE(std::filesystem::exists(options.outputPath));
}

// The header names every sprite and, per sprite, every action by its id.
TEST_F(EncoderRoundTrip, WritesTheHeaderOfIds)
{
    MvResourceEncoder::Options options;
    options.definitionPath = scratch / "def.xml";
    options.outputPath = scratch / "out.dat";
    options.headerPath = scratch / "SpriteIds.h";
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(MvResourceEncoder::Run(options, &error, &warnings)) << error;
    EXPECT_EQ("// Resource ids of the definition \"def.xml\", made by movo-encode.\n"
              "// Do not edit: change the definition and encode it again.\n"
              "#ifndef MV_SPRITEIDS_H\n"
              "#define MV_SPRITEIDS_H\n"
              "\n"
              "// Sprite \"Hero\"\n"
              "constexpr int kSpriteHero = 12;\n"
              "namespace SpriteHeroActions {\n"
              "constexpr int kStandLeft = 1; // \"Stand.Left\"\n"
              "constexpr int kWalk = 2; // \"Walk\"\n"
              "constexpr int kEmpty = 3; // \"Empty\"\n"
              "} // namespace SpriteHeroActions\n"
              "\n"
              "// Sprite \"RedFlag\"\n"
              "constexpr int kSpriteRedFlag = 18;\n"
              "namespace SpriteRedFlagActions {\n"
              "constexpr int kNONE = 2; // \"NONE\"\n"
              "} // namespace SpriteRedFlagActions\n"
              "\n"
              "#endif\n",
              ReadFile(options.headerPath));
}

// Names that are no C++ identifiers, or that clash once made into one, still give
// distinct constants.
TEST(MvResourceEncoderHeader, MakesDistinctIdentifiers)
{
    ScratchFolder scratch;
    WriteFile(scratch / "names.xml",
              "<resources>\n"
              "<sprite name=\"char set\" id=\"58\"><action name=\"char7\" id=\"7\"/><action name=\"char-7\" "
              "id=\"8\"/><action name=\"Char7\" id=\"8\"/></sprite>\n"
              "<sprite name=\"\" id=\"-4\"/>\n"
              "<sprite name=\"CharSet\" id=\"59\"/>\n"
              "</resources>\n");
    MvResourceDefinition definition;
    std::string error;
    ASSERT_TRUE(definition.Load(scratch / "names.xml", &error)) << error;
    const std::string header = MvResourceEncoder::HeaderText(definition, "out/ids-1.h");
    for (const char* line : {"#ifndef MV_IDS_1_H\n", "constexpr int kSpriteCharSet = 58;\n",
                             "constexpr int kChar7 = 7; // \"char7\"\n", "constexpr int kChar7_8 = 8; // \"char-7\"\n",
                             "// \"Char7\" left out: its name and id repeat an earlier action's\n",
                             "constexpr int kSpriteIdMinus4 = -4;\n", "constexpr int kSpriteCharSet_59 = 59;\n"})
        EXPECT_NE(std::string::npos, header.find(line)) << line << "\nin:\n" << header;

    // The header is valid C++ with the ids as values.
    WriteFile(scratch / "ids.h", header);
    WriteFile(scratch / "use.cpp", "#include \"ids.h\"\n#include \"ids.h\"\n"
                                   "static_assert(kSpriteCharSet == 58 && SpriteCharSetActions::kChar7_8 == 8, \"\");\n"
                                   "static_assert(kSpriteIdMinus4 == -4 && kSpriteCharSet_59 == 59, \"\");\n");
    const ProgramRun run =
        RunProgram(MOVO_CXX_COMPILER, {"-std=c++17", "-Wall", "-Wextra", "-Werror", "-fsyntax-only", scratch / "use.cpp"},
                   scratch);
    EXPECT_EQ(0, run.exitCode) << run.err;
}

// Frames the engine could not store or would assert on are refused with the definition's
// file and line and what is wrong; no resource file is left behind.
TEST(MvResourceEncoderErrors, RefusesFramesTheEngineCannotStore)
{
    ScratchFolder scratch;
    scratch.SavePicture("six.png", HeroRows);
    scratch.SavePicture("long.png", {std::string(2000, 'R')});
    std::string runs;
    for (int i = 0; i < 200; ++i)
        runs += "R.";
    scratch.SavePicture("runs.png", {runs});
    scratch.SavePicture("wide.png", {"R" + std::string(3999, '.') + "R"});
    WriteFile(scratch / "text.png", "not a picture");
    const struct {
        const char* frame;
        const char* what;
    } cases[] = {
        {"image=\"gone.png\"", "cannot open picture '"},
        {"image=\"text.png\"", "cannot read picture '"},
        {"image=\"six.png\" x=\"3\" width=\"4\"", "the rectangle x=3 y=0 width=4 height=6 does not lie inside the "
                                                   "picture"},
        {"image=\"six.png\" y=\"7\"", "the rectangle x=0 y=7 width=6 height=-1 does not lie inside"},
        {"image=\"six.png\" hotx=\"5000\"", "puts the image at offset (-4999, 1), outside -3999..3999"},
        {"image=\"six.png\" width=\"6\" height=\"1\" hoty=\"4000\"", "offset (6, -4000), outside"},
        {"image=\"long.png\"", "picture row 0 holds a run of 2000 visible pixels, more than 1999"},
        {"image=\"runs.png\"", "picture row 0 holds more than 199 runs of visible pixels"},
        {"image=\"wide.png\"", "the visible pixels span 4001 x 1 pixels, more than 4000 on a side"},
    };
    for (const auto& c : cases) {
        const std::string definition = scratch / "def.xml";
        WriteFile(definition, std::string("<resources>\n<sprite name=\"S\" id=\"1\">\n<action name=\"A\" id=\"2\">\n"
                                          "<frame image=\"six.png\"/>\n<frame ") +
                                  c.frame + "/>\n</action>\n</sprite>\n</resources>\n");
        MvResourceEncoder::Options options;
        options.definitionPath = definition;
        options.outputPath = scratch / "out.dat";
        std::string error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(MvResourceEncoder::Run(options, &error, &warnings)) << c.frame;
        EXPECT_EQ(0u, error.find(definition + ":5: frame 1 of action 'A' in sprite 'S': ")) << error;
        EXPECT_NE(std::string::npos, error.find(c.what)) << error;
        EXPECT_FALSE(std::filesystem::exists(options.outputPath)) << c.frame;
    }
}

TEST(MvResourceEncoderErrors, UnwritableOutputNamesTheFile)
{
    ScratchFolder scratch;
    scratch.SavePicture("six.png", HeroRows);
    WriteFile(scratch / "def.xml",
              "<resources><sprite name=\"S\" id=\"1\"><action name=\"A\" id=\"2\"><frame image=\"six.png\"/>"
              "</action></sprite></resources>");
    MvResourceEncoder::Options options;
    options.definitionPath = scratch / "def.xml";
    options.outputPath = scratch / "missing/out.dat";
    std::string error;
    std::vector<std::string> warnings;
    EXPECT_FALSE(MvResourceEncoder::Run(options, &error, &warnings));
    EXPECT_EQ(scratch / "missing/out.dat" + ": cannot create the file: No such file or directory", error);

    options.outputPath = scratch / "out.dat";
    options.headerPath = scratch / "missing/ids.h";
    EXPECT_FALSE(MvResourceEncoder::Run(options, &error, &warnings));
    EXPECT_EQ(scratch / "missing/ids.h" + ": cannot create the file: No such file or directory", error);
    EXPECT_FALSE(std::filesystem::exists(options.outputPath));
}

// Pictures and files for tiles, fonts, texts and binary data.
const std::vector<std::string> GroundRows = {
    "RGBWRR",
    "GBRWab",
    "BRGW.a",
    "WWWWRG",
};

// A fixed font of three cells, 3 pixels wide each.
const std::vector<std::string> DigitRows = {
    "R..GG.B.B",
    "R...G.BBB",
};

// Cells marked in the top row: widths 2, 3 and 1.
const std::vector<std::string> MarkedRows = {
    "W..W...W.",
    ".R..GGG.B",
    ".R...G..B",
};

const char CreditsText[] = "Made by\r\nus\n\nand friends";

std::string AllByteValues()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(255 - i);
    return bytes;
}

class EncoderKinds : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(scratch / "data");
        scratch.SavePicture("ground.png", GroundRows);
        scratch.SavePicture("square.png", {"RG", "BW"});
        scratch.SavePicture("digits.png", DigitRows);
        scratch.SavePicture("marked.png", MarkedRows);
        scratch.SavePicture("hero.png", HeroRows);
        WriteFile(scratch / "data/credits.txt", CreditsText);
        WriteFile(scratch / "data/bytes.bin", AllByteValues());
        WriteFile(scratch / "empty.bin", "");
    }

    // Encodes body (the lines inside <resources>, which starts on line 1) into out.dat.
    bool Encode(const std::string& body, std::string* error, std::vector<std::string>* warnings = nullptr)
    {
        WriteFile(scratch / "def.xml", "<resources>\n" + body + "</resources>\n");
        options.definitionPath = scratch / "def.xml";
        options.outputPath = scratch / "out.dat";
        options.headerPath = scratch / "ids.h";
        std::vector<std::string> ignored;
        return MvResourceEncoder::Run(options, error, warnings != nullptr ? warnings : &ignored);
    }

    ScratchFolder scratch;
    MvResourceEncoder::Options options;
};

const char KindsBody[] =
    "  <tile name=\"Solid\" id=\"20\" image=\"ground.png\" size=\"3\" alpha=\"no\"/>\n"
    "  <sprite name=\"Hero\" id=\"12\"><action name=\"Stand\" id=\"1\"><frame image=\"hero.png\"/></action></sprite>\n"
    "  <tile name=\"Glass\" id=\"21\" image=\"ground.png\" x=\"4\" y=\"1\" size=\"2\"/>\n"
    "  <tile name=\"Whole\" id=\"22\" image=\"square.png\"/>\n"
    "  <font name=\"Digits\" id=\"30\" image=\"digits.png\" type=\"0\" length=\"3\" start=\"48\"/>\n"
    "  <font name=\"Small\" id=\"31\" image=\"marked.png\" type=\"1\" start=\"65\" space=\"95\"/>\n"
    "  <text name=\"Credits\" id=\"40\" file=\"data/credits.txt\"/>\n"
    "  <text name=\"Hint\" id=\"41\">Press Up\n to jump &amp; run\n</text>\n"
    "  <binary name=\"Bytes\" id=\"50\" file=\"data/bytes.bin\"/>\n"
    "  <binary name=\"Nothing\" id=\"51\" file=\"empty.bin\"/>\n";

// Every kind goes through the file and the loader unchanged: tile pixels and their alpha
// (3 bytes a pixel for an opaque tile), each glyph's pixels and width, texts and bytes,
// all in definition order.
TEST_F(EncoderKinds, LoaderGetsBackWhatTheDefinitionSays)
{
    std::string error;
    ASSERT_TRUE(Encode(KindsBody, &error)) << error;
    MvResourceVault vault;
    ASSERT_TRUE(vault.LoadDatFile(options.outputPath.c_str()));

    const int types[] = {MvTileResourceCode, MvSpriteResourceCode,   MvTileResourceCode,     MvTileResourceCode,
                         MvFontResourceCode, MvFontResourceCode,     MvTextDataResourceCode, MvTextDataResourceCode,
                         MvBinaryDataResourceCode, MvBinaryDataResourceCode};
    ASSERT_EQ(10, vault.ResourceCount());
    for (int i = 0; i < vault.ResourceCount(); ++i)
        EXPECT_EQ(types[i], vault.ResourceAt(i)->Type()) << i;

    // Tiles: the square of the picture, pixel for pixel.
    const MvPngImage ground = Picture(GroundRows), square = Picture({"RG", "BW"});
    const struct {
        const char* name;
        int32_t id;
        const MvPngImage* picture;
        int x, y, size;
        bool alpha;
    } tiles[] = {
        {"Solid", 20, &ground, 0, 0, 3, false},
        {"Glass", 21, &ground, 4, 1, 2, true},
        {"Whole", 22, &square, 0, 0, 2, false},
    };
    for (const auto& t : tiles) {
        const MvTileResource* tile = vault.FindTileResource(t.name);
        ASSERT_NE(nullptr, tile) << t.name;
        EXPECT_EQ(t.id, tile->Id());
        ASSERT_EQ(t.size, tile->Size()) << t.name;
        const MvPixelBlock* block = tile->Block(0);
        EXPECT_EQ(t.alpha, block->HasAlpha()) << t.name;
        for (int y = 0; y < t.size; ++y)
            for (int x = 0; x < t.size; ++x)
                EXPECT_EQ(t.picture->At(t.x + x, t.y + y), block->Pixels()[y * t.size + x])
                    << t.name << " at " << x << "," << y;
    }

    // Fonts: glyph i is cell i of the picture, hot spot at the cell's corner, advancing by
    // the cell's width.
    const MvPngImage digits = Picture(DigitRows), marked = Picture(MarkedRows);
    const struct {
        const char* name;
        int32_t id;
        const MvPngImage* picture;
        uint16_t fontType;
        int start, space, spaceWidth, top;
        std::vector<int> cellX, widths;
    } fonts[] = {
        {"Digits", 30, &digits, 0, 48, 32, 3, 0, {0, 3, 6}, {3, 3, 3}},
        {"Small", 31, &marked, 1, 65, 95, 2, 1, {1, 4, 8}, {2, 3, 1}},
    };
    for (const auto& f : fonts) {
        const MvFontResource* font = vault.FindFontResource(f.id);
        ASSERT_NE(nullptr, font) << f.name;
        EXPECT_STREQ(f.name, font->Name());
        EXPECT_EQ(f.fontType, font->FontType());
        EXPECT_EQ(f.start, font->StartIndex());
        EXPECT_EQ(f.space, font->SpaceCode());
        EXPECT_EQ(f.spaceWidth, font->SpaceWidth());
        EXPECT_EQ(f.spaceWidth, font->GlyphWidth(static_cast<uint16_t>(f.space)));
        ASSERT_EQ(static_cast<int>(f.widths.size()), font->GlyphCount()) << f.name;
        EXPECT_EQ(0, font->GlyphWidth(static_cast<uint16_t>(f.start - 1)));
        EXPECT_EQ(0, font->GlyphWidth(static_cast<uint16_t>(f.start + font->GlyphCount())));
        for (int i = 0; i < font->GlyphCount(); ++i) {
            EXPECT_EQ(f.widths[i], font->GlyphWidth(static_cast<uint16_t>(f.start + i))) << f.name << " " << i;
            const MvRle& glyph = *font->ActionAt(0)->FrameAt(i);
            for (int y = f.top; y < f.picture->Height(); ++y)
                for (int x = f.cellX[i]; x < f.cellX[i] + f.widths[i]; ++x)
                    EXPECT_EQ(f.picture->At(x, y), FramePixel(glyph, x - f.cellX[i], y - f.top))
                        << f.name << " glyph " << i << " at " << x << "," << y;
        }
    }

    // Texts and bytes exactly as given, an empty file giving no bytes.
    ASSERT_NE(nullptr, vault.FindTextDataResource("Credits"));
    EXPECT_EQ(CreditsText, vault.FindTextDataResource("Credits")->Text());
    ASSERT_NE(nullptr, vault.FindTextDataResource(41));
    EXPECT_EQ("Press Up\n to jump & run\n", vault.FindTextDataResource(41)->Text());
    const MvBinaryDataResource* bytes = vault.FindBinaryDataResource("Bytes");
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(50, bytes->Id());
    ASSERT_EQ(256, bytes->Length());
    EXPECT_EQ(AllByteValues(), std::string(reinterpret_cast<const char*>(bytes->Data()), 256));
    ASSERT_NE(nullptr, vault.FindBinaryDataResource(51));
    EXPECT_EQ(0, vault.FindBinaryDataResource(51)->Length());
}

// An opaque tile stores 3 bytes a pixel, one with alpha 4: the file grows by exactly the
// tile's pixels (plus its record) and the tally counts them.
TEST_F(EncoderKinds, TilePixelsTakeThreeOrFourBytes)
{
    std::string error;
    ASSERT_TRUE(Encode("", &error)) << error;
    const size_t empty = ReadFile(options.outputPath).size();
    const struct {
        const char* tile;
        size_t pixelBytes;
    } cases[] = {
        {"<tile name=\"T\" id=\"1\" image=\"ground.png\" size=\"3\"/>\n", 9 * 3},
        {"<tile name=\"T\" id=\"1\" image=\"ground.png\" x=\"4\" y=\"1\" size=\"2\"/>\n", 4 * 4},
    };
    // Record: type and size (8), name "T" with its zero (2), id (4), flags, width and
    // height (12), then the pixels.
    for (const auto& c : cases) {
        ASSERT_TRUE(Encode(c.tile, &error)) << error;
        EXPECT_EQ(empty + 8 + 2 + 4 + 12 + c.pixelBytes, ReadFile(options.outputPath).size()) << c.tile;
        MvResourceInspector inspector;
        ASSERT_TRUE(inspector.Load(options.outputPath, &error)) << error;
        EXPECT_EQ(c.pixelBytes / (c.pixelBytes == 27 ? 3 : 4), inspector.PixelTally());
    }
}

// Every kind gets its constant in the header, in definition order.
TEST_F(EncoderKinds, HeaderNamesEveryResource)
{
    std::string error;
    ASSERT_TRUE(Encode(KindsBody, &error)) << error;
    EXPECT_EQ("// Resource ids of the definition \"def.xml\", made by movo-encode.\n"
              "// Do not edit: change the definition and encode it again.\n"
              "#ifndef MV_IDS_H\n"
              "#define MV_IDS_H\n"
              "\n// Tile \"Solid\"\nconstexpr int kTileSolid = 20;\n"
              "\n// Sprite \"Hero\"\nconstexpr int kSpriteHero = 12;\n"
              "namespace SpriteHeroActions {\nconstexpr int kStand = 1; // \"Stand\"\n"
              "} // namespace SpriteHeroActions\n"
              "\n// Tile \"Glass\"\nconstexpr int kTileGlass = 21;\n"
              "\n// Tile \"Whole\"\nconstexpr int kTileWhole = 22;\n"
              "\n// Font \"Digits\"\nconstexpr int kFontDigits = 30;\n"
              "\n// Font \"Small\"\nconstexpr int kFontSmall = 31;\n"
              "\n// Text \"Credits\"\nconstexpr int kTextCredits = 40;\n"
              "\n// Text \"Hint\"\nconstexpr int kTextHint = 41;\n"
              "\n// Binary \"Bytes\"\nconstexpr int kBinaryBytes = 50;\n"
              "\n// Binary \"Nothing\"\nconstexpr int kBinaryNothing = 51;\n"
              "\n#endif\n",
              ReadFile(options.headerPath));
}

// Names repeat across kinds without clashing; within a kind the id tells them apart.
TEST(MvResourceEncoderHeader, KindsKeepTheirOwnIdentifiers)
{
    ScratchFolder scratch;
    WriteFile(scratch / "names.xml",
              "<resources>\n"
              "<sprite name=\"Sky\" id=\"1\"/>\n<tile name=\"Sky\" id=\"2\" image=\"a.png\"/>\n"
              "<tile name=\"sky\" id=\"3\" image=\"a.png\"/>\n<tile name=\"Sky\" id=\"3\" image=\"a.png\"/>\n"
              "<text name=\"Sky\" id=\"4\">x</text>\n"
              "</resources>\n");
    MvResourceDefinition definition;
    std::string error;
    ASSERT_TRUE(definition.Load(scratch / "names.xml", &error)) << error;
    const std::string header = MvResourceEncoder::HeaderText(definition, "ids.h");
    for (const char* line : {"constexpr int kSpriteSky = 1;\n", "constexpr int kTileSky = 2;\n",
                             "constexpr int kTileSky_3 = 3;\n",
                             "// (left out: its name and id repeat an earlier Tile's)\n",
                             "constexpr int kTextSky = 4;\n"})
        EXPECT_NE(std::string::npos, header.find(line)) << line << "\nin:\n" << header;
}

// Each problem of a tile, font, text or binary file is one message naming the
// definition's file and line, the resource and what is wrong; no file is written.
TEST_F(EncoderKinds, RefusesWhatTheEngineCouldNotStoreFaithfully)
{
    scratch.SavePicture("markers.png", {"WWW", "RRR"});
    scratch.SavePicture("flat.png", {"W.."});
    scratch.SavePicture("bigcell.png", {"W" + std::string(4000, '.'), std::string(4001, '.')});
    scratch.SavePicture("longrun.png",
                        {"W" + std::string(2500, '.'), "." + std::string(2000, 'R') + std::string(500, '.')});
    scratch.SavePicture("wide.png", {std::string(16384, '.')});
    WriteFile(scratch / "zero.txt", std::string("abc\0def", 7));
    const std::string ground = scratch / "ground.png";
    const struct {
        std::string element;
        std::string what;
    } cases[] = {
        {"<tile name=\"T\" id=\"1\" image=\"gone.png\"/>", "tile 'T': cannot open picture '" + scratch / "gone.png"},
        {"<tile name=\"T\" id=\"1\" image=\"ground.png\" x=\"4\" size=\"3\"/>",
         "tile 'T': the square x=4 y=0 size=3 does not lie inside the picture '" + ground + "' (6 x 4 pixels)"},
        {"<tile name=\"T\" id=\"1\" image=\"ground.png\" x=\"6\"/>",
         "tile 'T': the square x=6 y=0 size=0 does not lie"},
        {"<tile name=\"T\" id=\"1\" image=\"ground.png\" y=\"2\"/>",
         "tile 'T': the square x=0 y=2 size=6 does not lie"},
        {"<tile name=\"T\" id=\"1\" image=\"ground.png\" x=\"3\" size=\"3\" alpha=\"no\"/>",
         "tile 'T': pixel (4, 1) of the picture '" + ground + "' has alpha 128, but the tile is declared alpha=\"no\""},
        {"<font name=\"F\" id=\"2\" image=\"gone.png\" type=\"1\"/>", "font 'F': cannot open picture '"},
        {"<font name=\"F\" id=\"2\" image=\"digits.png\" type=\"0\" length=\"10\"/>",
         "font 'F': the picture '" + scratch / "digits.png" + "' is 9 pixels wide, too narrow for length=10 cells"},
        {"<font name=\"F\" id=\"2\" image=\"markers.png\" type=\"1\"/>",
         "font 'F': the picture '" + scratch / "markers.png" +
             "': the top row of the 3 x 2 image marks no glyph cells"},
        {"<font name=\"F\" id=\"2\" image=\"flat.png\" type=\"1\"/>", "the 3 x 1 image has no rows for glyphs"},
        {"<font name=\"F\" id=\"2\" image=\"bigcell.png\" type=\"1\"/>",
         "glyph 0 (the cell at column 1) is 4000 x 1 pixels, more than 3999 on a side"},
        {"<font name=\"F\" id=\"2\" image=\"longrun.png\" type=\"1\"/>",
         "glyph 0 (the cell at column 1) has a run of 2000 visible pixels in image row 1, more than 1999"},
        {"<font name=\"F\" id=\"2\" image=\"wide.png\" type=\"0\" length=\"1\"/>",
         "font 'F': the picture '" + scratch / "wide.png" + "' is 16384 pixels wide, more than 16383"},
        {"<font name=\"F\" id=\"2\" image=\"digits.png\" type=\"0\" length=\"3\" start=\"65534\"/>",
         "font 'F': its 3 glyphs from start=65534 reach the character code 65536, above the largest 65535"},
        {"<text name=\"X\" id=\"3\" file=\"gone.txt\"/>",
         "text 'X': cannot open the file '" + scratch / "gone.txt" + "': No such file or directory"},
        {"<text name=\"X\" id=\"3\" file=\"zero.txt\"/>",
         "text 'X': the file '" + scratch / "zero.txt" + "' holds a zero byte at offset 3; a text cannot hold one"},
        {"<text name=\"X\" id=\"3\" file=\"data\"/>", "text 'X': '" + scratch / "data" + "' is not a regular file"},
        {"<binary name=\"B\" id=\"4\" file=\"gone.bin\"/>",
         "binary 'B': cannot open the file '" + scratch / "gone.bin" + "': No such file or directory"},
        {"<binary name=\"B\" id=\"4\" file=\"data\"/>", "binary 'B': '" + scratch / "data" + "' is not a regular file"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Encode("<tile name=\"Fine\" id=\"9\" image=\"square.png\"/>\n" + c.element + "\n", &error))
            << c.element;
        EXPECT_EQ(0u, error.find(scratch / "def.xml" + ":3: ")) << error;
        EXPECT_NE(std::string::npos, error.find(c.what)) << error;
        EXPECT_EQ(std::string::npos, error.find('\n')) << error;
        EXPECT_FALSE(std::filesystem::exists(options.outputPath)) << c.element;
        EXPECT_FALSE(std::filesystem::exists(options.headerPath)) << c.element;
    }
}

// Columns a fixed font's cells leave over are pointed out, and the font is made.
TEST_F(EncoderKinds, WarnsAboutColumnsNoGlyphUses)
{
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(Encode("<font name=\"F\" id=\"2\" image=\"digits.png\" type=\"0\" length=\"2\"/>\n", &error,
                       &warnings))
        << error;
    const std::vector<std::string> expected = {
        scratch / "def.xml" + ":2: warning: font 'F': the picture '" + scratch / "digits.png" +
        "' is 9 pixels wide, not a multiple of length=2; the last 1 columns belong to no glyph"};
    EXPECT_EQ(expected, warnings);
    MvResourceVault vault;
    ASSERT_TRUE(vault.LoadDatFile(options.outputPath.c_str()));
    ASSERT_NE(nullptr, vault.FindFontResource("F"));
    EXPECT_EQ(2, vault.FindFontResource("F")->GlyphCount());
    EXPECT_EQ(4, vault.FindFontResource("F")->GlyphWidth(33));
}

} // namespace
