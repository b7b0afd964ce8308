// Labels built from the game's real glyph sprites on a stage over an off-screen 32-bit
// surface: where each glyph lands, which glyph it shows, how zero padding keeps the glyph
// count of counters, what happens to characters without a glyph, and how the "text"
// layer follows the hero.

#include "GameScreenTest.h"
#include "GameState.h"
#include "Labels.h"
#include "MvAction.h"
#include "MvChildCursor.h"
#include "MvFailedCheck.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "SpriteIds.h"
#include "StageReadings.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

const double LabelScale = 78643 / 65536.0;

// A stage with the game's sprites loaded and an empty "text" layer under the scene root,
// set up as the current screen with the menu's origin.
class LabelsTest : public GameScreenTest {
protected:
    void SetUp() override
    {
        GameScreenTest::SetUp();
        if (HasFatalFailure())
            return;
        layer_ = new MvSceneNode;
        Tree()->InsertNode(nullptr, layer_);
        layer_->SetName("text");
        GameState::originX = 400;
        GameState::originY = 0;
        GameState::rightBound = 800;
    }

    static std::vector<MvSpriteNode*> Glyphs(const char* labelName)
    {
        std::vector<MvSpriteNode*> glyphs;
        MvSceneNode* group = Tree()->FindByName(labelName);
        if (group == nullptr)
            return glyphs;
        for (MvChildCursor cursor = group->Children(); !cursor.Done(); cursor.Next())
            glyphs.push_back(cursor.Node()->AsSprite());
        return glyphs;
    }

    MvSceneNode* layer_ = nullptr;
};

TEST(LabelsText, NumberToTextHasASignAndNoLeadingZeros)
{
    const struct {
        int value;
        const char* text;
    } cases[] = {{0, "0"}, {7, "7"}, {150, "150"}, {-1, "-1"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& c : cases)
        EXPECT_EQ(NumberToText(c.value), c.text);
}

TEST(LabelsText, LeadingZerosDependOnTheLabelName)
{
    const struct {
        const char* text;
        const char* name;
        const char* padded;
    } cases[] = {
        {"7", "time", "0007"},
        {"246", "time", "0246"},
        {"12345", "time", "12345"},
        {"150", "pointsscored", "00000150"},
        {"2", "Defeated", "002"},
        {"2", "flags", "002"},
        {"2", "defeated", "2"}, // names compare exactly, case included
        {"1", "lifeleft", "1"},
        {"3", "levelnumber", "3"},
        {"", "flags", "000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddLeadingZeros(c.text, c.name), c.padded) << c.text << " on " << c.name;
}

TEST_F(LabelsTest, GlyphsSitSevenLayoutPixelsApartInAScaledGroup)
{
    CreateLabel(-350, 100, "PRESS", "press");
    MvSceneNode* group = Tree()->FindByName("press");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Parent(), layer_);
    EXPECT_EQ(group->Xform(0).xScale.Raw(), 78643);
    EXPECT_EQ(group->Xform(0).yScale.Raw(), 78643);
    EXPECT_EQ(Shown("press"), "PRESS");

    Tree()->Recompute();
    std::vector<MvSpriteNode*> glyphs = Glyphs("press");
    ASSERT_EQ(glyphs.size(), 5u);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        EXPECT_EQ(glyphs[i]->PosX(0), 400 - 350 + 7 * static_cast<int>(i));
        EXPECT_EQ(glyphs[i]->PosY(0), 100);
        // On the menu the first glyph of a line at layout x -350 is drawn at screen x 60.
        EXPECT_NEAR(glyphs[i]->ScreenXform(0).x.ToDouble(), LabelScale * (50 + 7 * static_cast<double>(i)), 0.01);
        EXPECT_NEAR(glyphs[i]->ScreenXform(0).y.ToDouble(), LabelScale * 100, 0.01);
    }
}

TEST_F(LabelsTest, ASpaceTakesItsSevenPixelsButGetsNoSprite)
{
    GameState::originX = -400;
    CreateLabel(150, 40, "ENEMIES DEFEATED", "caption");
    std::vector<MvSpriteNode*> glyphs = Glyphs("caption");
    ASSERT_EQ(glyphs.size(), 15u);
    EXPECT_EQ(Shown("caption"), "ENEMIESDEFEATED");
    EXPECT_EQ(glyphs[6]->PosX(0), -400 + 150 + 7 * 6);  // S, character 6
    EXPECT_EQ(glyphs[7]->PosX(0), -400 + 150 + 7 * 8);  // D, character 8, after the gap
    EXPECT_EQ(glyphs[14]->PosX(0), -400 + 150 + 7 * 15);
}

TEST_F(LabelsTest, TheTimeCounterShowsTicksOverFiftyPaddedToFourDigits)
{
    CreateLabel(200, 10, NumberToText(0).c_str(), "time");
    EXPECT_EQ(Shown("time"), "0000");
    UpdateLabel(NumberToText(12345 / 50).c_str(), "time");
    EXPECT_EQ(Shown("time"), "0246");
}

TEST_F(LabelsTest, AValueWiderThanItsGlyphsShowsItsFirstDigits)
{
    const struct {
        const char* name;
        int start;
        int value;
        const char* shown;
    } cases[] = {
        {"time", 0, 12345, "1234"},
        {"flags", 0, 1005, "100"},
        {"Defeated", 999, 1000, "100"},
        {"lifeleft", 2, 10, "1"},
        {"levelnumber", 1, 3, "3"},
    };
    for (const auto& c : cases) {
        CreateLabel(0, 0, NumberToText(c.start).c_str(), c.name);
        UpdateLabel(NumberToText(c.value).c_str(), c.name);
        EXPECT_EQ(Shown(c.name), c.shown) << c.name;
    }
}

TEST_F(LabelsTest, AShorterTextLeavesTheLastGlyphsAsTheyWere)
{
    CreateLabel(0, 0, "150", "score");
    UpdateLabel("7", "score");
    EXPECT_EQ(Shown("score"), "750");
}

TEST_F(LabelsTest, ACharacterWithoutAGlyphShowsABlankAndKeepsItsPlace)
{
    CreateLabel(0, 0, "-1", "lifeleft");
    std::vector<MvSpriteNode*> glyphs = Glyphs("lifeleft");
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(Shown("lifeleft"), " 1");
    EXPECT_EQ(glyphs[1]->PosX(0), 400 + 7);

    // A single-glyph counter going negative shows a blank rather than stopping.
    CreateLabel(0, 0, "1", "single");
    UpdateLabel("-1", "single");
    EXPECT_EQ(Shown("single"), " ");
    UpdateLabel("2", "single");
    EXPECT_EQ(Shown("single"), "2");

    // Lower-case letters and punctuation have no glyph either.
    CreateLabel(0, 0, "aZ!K", "odd");
    EXPECT_EQ(Shown("odd"), "    ");
    UpdateLabel("A0B1", "odd");
    EXPECT_EQ(Shown("odd"), "A0B1");

}

TEST_F(LabelsTest, AGlyphlessCharacterPaintsNothingInItsSlot)
{
    // On the menu, slot i of a label at layout (-400, 0) covers screen x [8.4 i, 8.4 (i + 1)).
    CreateLabel(-400, 0, "-1-", "lifeleft");
    GameState::engine->Draw(false, nullptr);
    auto litPixels = [&](int slot) {
        const int left = slot * 84 / 10;
        const int right = (slot + 1) * 84 / 10;
        int lit = 0;
        const SDL_Surface* surface = screen_->Surface();
        for (int y = 0; y < surface->h; ++y) {
            const Uint32* row =
                reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
            for (int x = left; x < right; ++x)
                lit += (row[x] & 0xffffff) != 0;
        }
        return lit;
    };
    EXPECT_EQ(litPixels(0), 0);
    EXPECT_GT(litPixels(1), 0);
    EXPECT_EQ(litPixels(2), 0);

    UpdateLabel("7-1", "lifeleft");
    GameState::engine->Draw(false, nullptr);
    EXPECT_GT(litPixels(0), 0);
    EXPECT_EQ(litPixels(1), 0);
    EXPECT_GT(litPixels(2), 0);
}

TEST_F(LabelsTest, UpdatingALabelThatDoesNotExistDoesNothing)
{
    UpdateLabel("5", "nosuchlabel");
    GameState::chosenLevel = 2;
    MenuTick(); // no "levelnumber" label yet
    EXPECT_EQ(Tree()->FindByName("levelnumber"), nullptr);

    MvStage* stage = GameState::engine;
    GameState::engine = nullptr;
    MenuTick();
    FollowHeroWithText();
    GameState::engine = stage;
}

TEST_F(LabelsTest, MenuTickShowsTheChosenLevel)
{
    CreateLabel(0, 0, "1", "levelnumber");
    for (int level : {2, 3, 1}) {
        GameState::chosenLevel = level;
        MenuTick();
        EXPECT_EQ(Shown("levelnumber"), NumberToText(level));
    }
}

TEST_F(LabelsTest, TheTextLayerFollowsTheHeroInsideTheScrollLimitsOnly)
{
    GameState::originX = -400;
    GameState::rightBound = 8000;
    MvSpriteNode* hero = new MvSpriteNode(GameState::engine->Vault()->FindSpriteResource(kSpriteHero));
    Tree()->InsertNode(nullptr, hero);
    hero->SetName("track");
    layer_->MoveTo(-400, 30, -1);

    const struct {
        int heroX;
        int layerX; // after the call
    } cases[] = {
        {1000, 1000}, {-404, -404}, {-405, -404}, {-500, -404}, {8002, 8002}, {8003, 8002}, {-400, -400}, {8000, 8000},
    };
    for (const auto& c : cases) {
        hero->MoveTo(c.heroX, 375, -1);
        FollowHeroWithText();
        EXPECT_EQ(layer_->PosX(0), c.layerX) << "hero at " << c.heroX;
        EXPECT_EQ(layer_->PosY(0), 30);
    }
}

TEST_F(LabelsTest, WithoutAHeroTheTextLayerStays)
{
    FollowHeroWithText();
    EXPECT_EQ(layer_->PosX(0), 0);
}

using LabelsDeathTest = LabelsTest;

TEST_F(LabelsDeathTest, CreatingALabelNeedsALayerGlyphsAndANewName)
{
    CreateLabel(0, 0, "1", "time");
    // Each case breaks one precondition of a stage with a "text" layer and a label "time".
    const struct {
        const char* labelName;
        void (*breakIt)(MvSceneNode* layer, SDL_Surface* surface);
        const char* check;
    } cases[] = {
        {"time", [](MvSceneNode*, SDL_Surface*) {}, "nameIsNew"},
        {"flags", [](MvSceneNode* layer, SDL_Surface*) { layer->SetName("other"); }, "layer != nullptr"},
        {"flags",
         [](MvSceneNode*, SDL_Surface* surface) {
             GameState::engine = new MvStage(surface); // nothing loaded into its vault
             MvSceneNode* layer = new MvSceneNode;
             GameState::engine->SceneTree()->InsertNode(nullptr, layer);
             layer->SetName("text");
         },
         "glyphs != nullptr"},
    };
    for (const auto& c : cases) {
        EXPECT_DEATH(
            {
                c.breakIt(layer_, screen_->Surface());
                CreateLabel(0, 0, "1", c.labelName);
            },
            MvFailedCheck(c.check))
            << c.check;
    }
}

} // namespace
