#include "ToolTestSupport.h"

#include "MvResourceDefinition.h"

#include <gtest/gtest.h>

namespace {

using namespace tooltest;

// Attributes left out take their defaults; sprites, actions and frames keep file order
// and their lines.
TEST(MvResourceDefinition, ReadsSpritesActionsAndFramesInOrder)
{
    ScratchFolder scratch;
    WriteFile(scratch / "def.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<resources>\n"
              "  <!-- the hero -->\n"
              "  <sprite name=\"Hero\" id=\"12\">\n"
              "    <action name=\"Stand.Left\" id=\"1\">\n"
              "      <frame image=\"hero.png\" x=\"3\" y=\"4\" width=\"24\" height=\"36\" hotx=\"12\" hoty=\"36\" "
              "dx=\"-2\" dy=\"5\"/>\n"
              "      <frame image=\"sub/hero2.png\"/>\n"
              "    </action>\n"
              "    <action name=\"\" id=\"-7\"/>\n"
              "  </sprite>\n"
              "  <sprite name=\"\" id=\"2\"/>\n"
              "</resources>\n");
    MvResourceDefinition definition;
    std::string error;
    ASSERT_TRUE(definition.Load(scratch / "def.xml", &error)) << error;
    EXPECT_EQ(scratch.Path(), definition.Folder());
    const std::vector<MvSpriteDefinition>& sprites = definition.Sprites();
    ASSERT_EQ(2u, sprites.size());
    EXPECT_EQ("Hero", sprites[0].name);
    EXPECT_EQ(12, sprites[0].id);
    EXPECT_EQ(4, sprites[0].line);
    ASSERT_EQ(2u, sprites[0].actions.size());
    EXPECT_EQ("Stand.Left", sprites[0].actions[0].name);
    EXPECT_EQ("", sprites[0].actions[1].name);
    EXPECT_EQ(-7, sprites[0].actions[1].id);
    ASSERT_EQ(2u, sprites[0].actions[0].frames.size());
    const MvFrameDefinition& full = sprites[0].actions[0].frames[0];
    EXPECT_EQ("hero.png", full.image);
    EXPECT_EQ(6, full.line);
    EXPECT_EQ(3, full.x);
    EXPECT_EQ(4, full.y);
    EXPECT_TRUE(full.hasWidth && full.hasHeight);
    EXPECT_EQ(24, full.width);
    EXPECT_EQ(36, full.height);
    EXPECT_EQ(12, full.hotX);
    EXPECT_EQ(36, full.hotY);
    EXPECT_EQ(-2, full.deltaX);
    EXPECT_EQ(5, full.deltaY);
    const MvFrameDefinition& bare = sprites[0].actions[0].frames[1];
    EXPECT_EQ("sub/hero2.png", bare.image);
    EXPECT_FALSE(bare.hasWidth || bare.hasHeight);
    EXPECT_EQ(0, bare.x + bare.y + bare.hotX + bare.hotY + bare.deltaX + bare.deltaY);
    EXPECT_EQ("", sprites[1].name);
    // The sprite without actions is legal but doubtful.
    ASSERT_EQ(1u, definition.Warnings().size());
    EXPECT_EQ(scratch / "def.xml" + ":11: warning: sprite '' has no actions", definition.Warnings()[0]);
}

// Every problem is reported once, as FILE:LINE: what, and leaves the definition empty.
TEST(MvResourceDefinition, RefusesMalformedDefinitionsNamingFileAndLine)
{
    const struct {
        const char* body; // follows "<resources>\n" on line 2
        int line;
        const char* what;
    } cases[] = {
        {"<sprite name=\"A\" id=\"1\">\n</resources>\n", 3, "mismatch"},
        {"<sound name=\"A\" id=\"1\"/>\n</resources>\n", 2,
         "unknown element <sound> inside <resources>; expected <sprite>, <tile>, <font>, <text> or <binary>"},
        {"<sprite id=\"1\"/>\n</resources>\n", 2, "<sprite> lacks the attribute 'name'"},
        {"<sprite name=\"A\"/>\n</resources>\n", 2, "<sprite> lacks the attribute 'id'"},
        {"<sprite name=\"A\" id=\"1x\"/>\n</resources>\n", 2, "id=\"1x\" is not a 32-bit integer"},
        {"<sprite name=\"A\" id=\"\"/>\n</resources>\n", 2, "id=\"\" is not a 32-bit integer"},
        {"<sprite name=\"A\" id=\"4294967296\"/>\n</resources>\n", 2, "is not a 32-bit integer"},
        {"<sprite name=\"A\" id=\"1\" colour=\"red\"/>\n</resources>\n", 2, "unknown attribute 'colour' on <sprite>"},
        {"<sprite name=\"A\" id=\"1\">\n<frame image=\"a.png\"/>\n</sprite>\n</resources>\n", 3,
         "unknown element <frame> inside <sprite>; expected <action>"},
        {"<sprite name=\"A\" id=\"1\">\n<action name=\"B\">\n</action>\n</sprite>\n</resources>\n", 3,
         "<action> lacks the attribute 'id'"},
        {"<sprite name=\"A\" id=\"1\">\n<action name=\"B\" id=\"2\">\n<frame x=\"1\"/>\n</action>\n</sprite>\n"
         "</resources>\n",
         4, "<frame> lacks the attribute 'image'"},
        {"<sprite name=\"A\" id=\"1\">\n<action name=\"B\" id=\"2\">\n\n<frame image=\"a.png\" x=\"-1\"/>\n</action>\n"
         "</sprite>\n</resources>\n",
         5, "x=\"-1\" is below 0"},
        {"<sprite name=\"A\" id=\"1\">\n<action name=\"B\" id=\"2\">\n<frame image=\"a.png\" width=\"-3\"/>\n"
         "</action>\n</sprite>\n</resources>\n",
         4, "width=\"-3\" is below 0"},
        {"<sprite name=\"A\" id=\"1\">\n<action name=\"B\" id=\"2\">\n<frame image=\"\"/>\n</action>\n</sprite>\n"
         "</resources>\n",
         4, "names no picture"},
        {"<sprite name=\"A\" id=\"1\">\n<action name=\"B\" id=\"2\">\n<frame image=\"a.png\" hotx=\"1.5\"/>\n"
         "</action>\n</sprite>\n</resources>\n",
         4, "hotx=\"1.5\" is not a 32-bit integer"},
        {"<sprite name=\"A\" id=\"1\">hello</sprite>\n</resources>\n", 2, "unexpected text inside <sprite>"},
        {"<sprite name=\"caf\xc3\xa9\" id=\"1\"/>\n</resources>\n", 2, "not printable ASCII"},
        {"</resources>\n<resources/>\n", 3, "Extra content"},
        // Tiles.
        {"<sprite name=\"A\" id=\"1\"/>\n<tile name=\"T\" id=\"2\"/>\n</resources>\n", 3,
         "<tile> lacks the attribute 'image'"},
        {"<tile name=\"T\" id=\"2\" image=\"\"/>\n</resources>\n", 2, "image=\"\" names no file"},
        {"<tile name=\"T\" id=\"2\" image=\"t.png\" size=\"0\"/>\n</resources>\n", 2, "size=\"0\" is below 1"},
        {"<tile name=\"T\" id=\"2\" image=\"t.png\" y=\"-1\"/>\n</resources>\n", 2, "y=\"-1\" is below 0"},
        {"<tile name=\"T\" id=\"2\" image=\"t.png\" alpha=\"yes\"/>\n</resources>\n", 2,
         "alpha=\"yes\" is neither \"auto\" nor \"no\""},
        {"<tile name=\"T\" id=\"2\" image=\"t.png\" orientation=\"1\"/>\n</resources>\n", 2,
         "unknown attribute 'orientation' on <tile>"},
        {"<tile name=\"T\" id=\"2\" image=\"t.png\">\n<frame image=\"a.png\"/>\n</tile>\n</resources>\n", 3,
         "<tile> holds no elements"},
        // Fonts.
        {"<font name=\"F\" id=\"3\" image=\"f.png\"/>\n</resources>\n", 2, "<font> lacks the attribute 'type'"},
        {"<font name=\"F\" id=\"3\" image=\"f.png\" type=\"2\"/>\n</resources>\n", 2, "type=\"2\" is above 1"},
        {"<font name=\"F\" id=\"3\" image=\"f.png\" type=\"0\"/>\n</resources>\n", 2,
         "a font of type 0 needs the attribute 'length'"},
        {"<font name=\"F\" id=\"3\" image=\"f.png\" type=\"0\" length=\"0\"/>\n</resources>\n", 2,
         "length=\"0\" is below 1"},
        {"<font name=\"F\" id=\"3\" image=\"f.png\" type=\"1\" length=\"5\"/>\n</resources>\n", 2,
         "the attribute 'length' applies to fonts of type 0 only"},
        {"<font name=\"F\" id=\"3\" image=\"f.png\" type=\"1\" start=\"65536\"/>\n</resources>\n", 2,
         "start=\"65536\" is above the largest character code 65535"},
        {"<font name=\"F\" id=\"3\" image=\"f.png\" type=\"1\" space=\"-32\"/>\n</resources>\n", 2,
         "space=\"-32\" is below 0"},
        {"<font id=\"3\" image=\"f.png\" type=\"1\"/>\n</resources>\n", 2, "<font> lacks the attribute 'name'"},
        // Texts and binary data.
        {"<text name=\"X\" id=\"4\" file=\"a.txt\">more</text>\n</resources>\n", 2,
         "<text> takes its text from the attribute 'file' or from its content, not both"},
        {"<text name=\"X\" id=\"4\">\nHello <b>you</b></text>\n</resources>\n", 3, "<text> holds no elements"},
        {"<text name=\"X\" id=\"4\" file=\"\"/>\n</resources>\n", 2, "file=\"\" names no file"},
        {"<text name=\"X\"/>\n</resources>\n", 2, "<text> lacks the attribute 'id'"},
        {"<binary name=\"B\" id=\"5\"/>\n</resources>\n", 2, "<binary> lacks the attribute 'file'"},
        {"<binary name=\"B\" id=\"5\" file=\"b.bin\">data</binary>\n</resources>\n", 2,
         "unexpected text inside <binary>"},
        {"<binary name=\"B\" id=\"5\" file=\"b.bin\" offset=\"2\"/>\n</resources>\n", 2,
         "unknown attribute 'offset' on <binary>"},
    };
    ScratchFolder scratch;
    const std::string path = scratch / "bad.xml";
    for (const auto& c : cases) {
        WriteFile(path, std::string("<resources>\n") + c.body);
        MvResourceDefinition definition;
        std::string error;
        EXPECT_FALSE(definition.Load(path, &error)) << c.body;
        const std::string where = path + ":" + std::to_string(c.line) + ": ";
        EXPECT_EQ(0u, error.find(where)) << error;
        EXPECT_NE(std::string::npos, error.find(c.what)) << error;
        EXPECT_EQ(std::string::npos, error.find('\n')) << error;
        EXPECT_TRUE(definition.Sprites().empty() && definition.Tiles().empty() && definition.Fonts().empty() &&
                    definition.Texts().empty() && definition.Binaries().empty() && definition.Order().empty());
    }
}

TEST(MvResourceDefinition, RefusesAWrongTopElementAndAMissingFile)
{
    ScratchFolder scratch;
    WriteFile(scratch / "top.xml", "<?xml version=\"1.0\"?>\n<sprites/>\n");
    MvResourceDefinition definition;
    std::string error;
    EXPECT_FALSE(definition.Load(scratch / "top.xml", &error));
    EXPECT_EQ(scratch / "top.xml" + ":2: the top element is <sprites>; expected <resources>", error);
    EXPECT_FALSE(definition.Load(scratch / "none.xml", &error));
    EXPECT_EQ(scratch / "none.xml" + ": cannot open the definition: No such file or directory", error);
}

// A name longer than the loader accepts would make a file the game cannot read.
TEST(MvResourceDefinition, RefusesNamesTheLoaderCannotRead)
{
    ScratchFolder scratch;
    const std::string longest(255, 'n');
    WriteFile(scratch / "ok.xml", "<resources><sprite name=\"" + longest + "\" id=\"1\"/></resources>");
    WriteFile(scratch / "long.xml", "<resources><sprite name=\"" + longest + "n\" id=\"1\"/></resources>");
    MvResourceDefinition definition;
    std::string error;
    EXPECT_TRUE(definition.Load(scratch / "ok.xml", &error)) << error;
    EXPECT_FALSE(definition.Load(scratch / "long.xml", &error));
    EXPECT_NE(std::string::npos, error.find("longer than 255 characters")) << error;
}

// Repeated ids and names load (the engine finds the first) but are pointed out.
TEST(MvResourceDefinition, WarnsAboutRepeatedIdsAndNames)
{
    ScratchFolder scratch;
    WriteFile(scratch / "dup.xml",
              "<resources>\n"
              "<sprite name=\"A\" id=\"1\"><action name=\"x\" id=\"1\"/></sprite>\n"
              "<sprite name=\"B\" id=\"1\">\n"
              "<action name=\"x\" id=\"1\"/>\n"
              "<action name=\"x\" id=\"2\"/>\n"
              "</sprite>\n"
              "<sprite name=\"A\" id=\"3\"><action name=\"y\" id=\"1\"/></sprite>\n"
              "</resources>\n");
    MvResourceDefinition definition;
    std::string error;
    ASSERT_TRUE(definition.Load(scratch / "dup.xml", &error)) << error;
    EXPECT_EQ(3u, definition.Sprites().size());
    const std::string file = scratch / "dup.xml";
    const std::vector<std::string> expected = {
        file + ":5: warning: action name 'x' of sprite 'B' is also used on line 4; lookups by name find only the "
               "first",
        file + ":3: warning: sprite id 1 is also used on line 2; lookups by id find only the first",
        file + ":7: warning: sprite name 'A' is also used on line 2; lookups by name find only the first",
    };
    EXPECT_EQ(expected, definition.Warnings());
}

// Tiles, fonts, texts and binary data keep file order among the sprites, with their
// defaults; a text is the element's content exactly as written.
TEST(MvResourceDefinition, ReadsEveryKindInFileOrder)
{
    ScratchFolder scratch;
    WriteFile(scratch / "def.xml",
              "<resources>\n"
              "  <tile name=\"Grass\" id=\"20\" image=\"ground.png\" x=\"16\" y=\"8\" size=\"16\" alpha=\"no\"/>\n"
              "  <sprite name=\"Hero\" id=\"12\"><action name=\"A\" id=\"1\"/></sprite>\n"
              "  <tile name=\"Wall\" id=\"21\" image=\"wall.png\"/>\n"
              "  <font name=\"Digits\" id=\"30\" image=\"digits.png\" type=\"0\" length=\"10\" start=\"48\"/>\n"
              "  <font name=\"Small\" id=\"31\" image=\"small.png\" type=\"1\" space=\"95\"/>\n"
              "  <text name=\"Credits\" id=\"40\" file=\"credits.txt\">\n  </text>\n"
              "  <text name=\"Hint\" id=\"41\">Up: jump &amp; <!-- not this -->run\n"
              "<![CDATA[<fast>]]>\n</text>\n"
              "  <binary name=\"Level1\" id=\"50\" file=\"data/level1.bin\"/>\n"
              "  <text name=\"Empty\" id=\"42\"/>\n"
              "</resources>\n");
    MvResourceDefinition definition;
    std::string error;
    ASSERT_TRUE(definition.Load(scratch / "def.xml", &error)) << error;

    const std::vector<MvDefinedKind> kinds = {MvDefinedKind::Tile, MvDefinedKind::Sprite, MvDefinedKind::Tile,
                                              MvDefinedKind::Font, MvDefinedKind::Font,   MvDefinedKind::Text,
                                              MvDefinedKind::Text, MvDefinedKind::Binary, MvDefinedKind::Text};
    const std::vector<int> indexes = {0, 0, 1, 0, 1, 0, 1, 0, 2};
    ASSERT_EQ(kinds.size(), definition.Order().size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(kinds[i], definition.Order()[i].kind) << i;
        EXPECT_EQ(indexes[i], definition.Order()[i].index) << i;
    }

    ASSERT_EQ(2u, definition.Tiles().size());
    const MvTileDefinition& grass = definition.Tiles()[0];
    EXPECT_EQ(2, grass.line);
    EXPECT_EQ("Grass", grass.name);
    EXPECT_EQ(20, grass.id);
    EXPECT_EQ("ground.png", grass.image);
    EXPECT_EQ(16, grass.x);
    EXPECT_EQ(8, grass.y);
    EXPECT_TRUE(grass.hasSize);
    EXPECT_EQ(16, grass.size);
    EXPECT_TRUE(grass.opaque);
    const MvTileDefinition& wall = definition.Tiles()[1];
    EXPECT_EQ(0, wall.x + wall.y);
    EXPECT_FALSE(wall.hasSize || wall.opaque);

    ASSERT_EQ(2u, definition.Fonts().size());
    const MvFontDefinition& digits = definition.Fonts()[0];
    EXPECT_EQ("digits.png", digits.image);
    EXPECT_EQ(0, digits.fontType);
    EXPECT_EQ(10, digits.length);
    EXPECT_EQ(48, digits.startIndex);
    EXPECT_EQ(32, digits.spaceCode);
    const MvFontDefinition& small = definition.Fonts()[1];
    EXPECT_EQ(6, small.line);
    EXPECT_EQ(1, small.fontType);
    EXPECT_EQ(32, small.startIndex);
    EXPECT_EQ(95, small.spaceCode);

    ASSERT_EQ(3u, definition.Texts().size());
    EXPECT_TRUE(definition.Texts()[0].fromFile);
    EXPECT_EQ("credits.txt", definition.Texts()[0].file);
    EXPECT_EQ("", definition.Texts()[0].text);
    EXPECT_FALSE(definition.Texts()[1].fromFile);
    EXPECT_EQ("Up: jump & run\n<fast>\n", definition.Texts()[1].text);
    EXPECT_EQ(42, definition.Texts()[2].id);

    ASSERT_EQ(1u, definition.Binaries().size());
    EXPECT_EQ("data/level1.bin", definition.Binaries()[0].file);
    EXPECT_EQ(50, definition.Binaries()[0].id);
    EXPECT_EQ(12, definition.Sprites()[0].id);

    // An empty text is legal but doubtful.
    const std::vector<std::string> warnings = {scratch / "def.xml" + ":13: warning: text 'Empty' is empty"};
    EXPECT_EQ(warnings, definition.Warnings());
}

// Lookups go by kind: the same id or name in two kinds is fine, within one kind it is
// pointed out.
TEST(MvResourceDefinition, RepeatsMatterWithinOneKindOnly)
{
    ScratchFolder scratch;
    WriteFile(scratch / "dup.xml",
              "<resources>\n"
              "<sprite name=\"A\" id=\"1\"><action name=\"x\" id=\"1\"/></sprite>\n"
              "<tile name=\"A\" id=\"1\" image=\"a.png\"/>\n"
              "<font name=\"A\" id=\"1\" image=\"a.png\" type=\"1\"/>\n"
              "<text name=\"A\" id=\"1\">a</text>\n"
              "<binary name=\"A\" id=\"1\" file=\"a.bin\"/>\n"
              "<tile name=\"B\" id=\"1\" image=\"b.png\"/>\n"
              "<binary name=\"A\" id=\"2\" file=\"b.bin\"/>\n"
              "</resources>\n");
    MvResourceDefinition definition;
    std::string error;
    ASSERT_TRUE(definition.Load(scratch / "dup.xml", &error)) << error;
    const std::string file = scratch / "dup.xml";
    const std::vector<std::string> expected = {
        file + ":7: warning: tile id 1 is also used on line 3; lookups by id find only the first",
        file + ":8: warning: binary name 'A' is also used on line 6; lookups by name find only the first",
    };
    EXPECT_EQ(expected, definition.Warnings());
}

} // namespace
