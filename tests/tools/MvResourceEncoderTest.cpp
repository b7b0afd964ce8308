#include "ToolTestSupport.h"

#include "MvAction.h"
#include "MvResourceDefinition.h"
#include "MvResourceEncoder.h"
#include "MvResourceInspector.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

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

} // namespace
