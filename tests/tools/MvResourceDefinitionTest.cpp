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
        {"<tile name=\"A\" id=\"1\"/>\n</resources>\n", 2, "unknown element <tile> inside <resources>; expected <sprite>"},
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
        EXPECT_TRUE(definition.Sprites().empty());
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

} // namespace
