// The three level tables, checked on what GameWorld::BuildScreen really places on a stage
// over an off-screen 800 x 600 32-bit surface with the game's sprites: counts per kind,
// the rows the design fixes at their places, enemy ids, the gaps of level 1, the two
// Snapvines of level 3, the layout grid, and a rough static look at whether the hero can
// walk and jump from the start past the win line.

#include "Enemies.h"
#include "GameScreenStage.h"
#include "GameState.h"
#include "GameStateValues.h"
#include "GameWorld.h"
#include "Levels.h"
#include "MvChildCursor.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "Platforms.h"
#include "Sound.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

// One placed element as the level shows it: what it is ("platform MidGrass", "enemy
// Mulgo", "scenery Bush", "red flag", "blue flag"), its layout position and, for an
// enemy, its id.
struct Placed {
    std::string what;
    int x;
    int y;
    int id;
};

const char* KindName(EnemyKind kind)
{
    switch (kind) {
    case EnemyKind::Mulgo:
        return "Mulgo";
    case EnemyKind::Shellox:
        return "Shellox";
    case EnemyKind::Thornel:
        return "Thornel";
    case EnemyKind::Snapvine:
        return "Snapvine";
    case EnemyKind::Rocketto:
        return "Rocketto";
    }
    return "?";
}

// The layout x beyond which each level is won.
int WinLine(int level) { return level == 2 ? 9700 : 8900; }

class LevelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        screen_.reset(new GameScreenStage);
        ASSERT_NE(GameState::engine, nullptr);
        ASSERT_TRUE(screen_->LoadSprites());
    }
    void TearDown() override
    {
        StopMusic();
        screen_.reset();
    }

    // A fresh stage with level built on it, as the play screen builds it without the hero.
    void Build(int level)
    {
        TearDown();
        SetUp();
        world_.BuildScreen(level);
    }

    static MvSceneNode* Find(const char* name) { return GameState::engine->SceneTree()->FindByName(name); }

    // Everything the level placed, layer by layer, in child order.
    static std::vector<Placed> Placements()
    {
        std::vector<Placed> placed;
        for (const char* layer : {"platforms", "background", "items", "enemies"}) {
            for (MvChildCursor cursor = Find(layer)->Children(); !cursor.Done(); cursor.Next()) {
                MvSceneNode* node = cursor.Node();
                Placed p{"", node->PosX(0) - GameState::originX, node->PosY(0) - GameState::originY, 0};
                EnemyKind kind;
                if (std::strcmp(layer, "platforms") == 0)
                    p.what = std::string("platform ") + node->AsSprite()->SpriteResource()->Name();
                else if (std::strcmp(layer, "background") == 0)
                    p.what = std::string("scenery ") + node->AsSprite()->SpriteResource()->Name();
                else if (std::strcmp(layer, "items") == 0)
                    p.what = HasTag(node, BlueFlagTag) ? "blue flag" : HasTag(node, RedFlagTag) ? "red flag" : "item?";
                else if (EnemyKindOf(node, &kind)) {
                    p.what = std::string("enemy ") + KindName(kind);
                    p.id = node->Id();
                } else
                    p.what = "enemy?";
                placed.push_back(p);
            }
        }
        return placed;
    }

    static std::map<std::string, int> CountPerKind(const std::vector<Placed>& placed)
    {
        std::map<std::string, int> counts;
        for (const Placed& p : placed)
            ++counts[p.what];
        return counts;
    }

    GameStateGuard state_;
    std::unique_ptr<GameScreenStage> screen_;
    GameWorld world_;
};

TEST_F(LevelsTest, EachLevelPlacesItsCountsPerKind)
{
    const struct {
        int level;
        int total;
        std::map<std::string, int> counts;
    } cases[] = {
        {1,
         796,
         {{"platform MidGrass", 350},
          {"platform Dirt", 311},
          {"platform NormBlock", 67},
          {"enemy Snapvine", 2},
          {"enemy Mulgo", 13},
          {"enemy Rocketto", 2},
          {"enemy Shellox", 1},
          {"scenery cloudA", 6},
          {"scenery Meadow", 13},
          {"red flag", 30},
          {"blue flag", 1}}},
        {2,
         977,
         {{"platform MidGrass", 278},
          {"platform Dirt", 461},
          {"platform NormBlock", 125},
          {"platform Bricks", 41},
          {"platform MovingPlatform", 1},
          {"red flag", 54},
          {"blue flag", 1},
          {"enemy Shellox", 3},
          {"enemy Rocketto", 3},
          {"enemy Snapvine", 1},
          {"enemy Thornel", 2},
          {"enemy Mulgo", 2},
          {"scenery Bush", 3},
          {"scenery cloudA", 2}}},
        {3,
         925,
         {{"platform Floor", 860},
          {"platform MovingPlatform", 2},
          {"platform Bricks", 19},
          {"platform NormBlock", 6},
          {"enemy Mulgo", 2},
          {"enemy Thornel", 2},
          {"enemy Snapvine", 2},
          {"enemy Rocketto", 5},
          {"blue flag", 3},
          {"red flag", 24}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        Build(c.level);
        const std::vector<Placed> placed = Placements();
        EXPECT_EQ(static_cast<int>(placed.size()), c.total);
        EXPECT_EQ(CountPerKind(placed), c.counts);
    }
}

// The rows of levels 2 and 3 that the design fixes, by their number in the level's
// table, with the enemy id each enemy of the row takes (0 for other rows).
struct ListedRow {
    int level;
    int number;
    LevelElement element;
    const char* resource;
    LevelRun x;
    LevelRun y;
    int count;
    int firstId;
};

const ListedRow ListedRows[] = {
    {2, 31, LevelElement::Platform, "Bricks", {7300, 7500, 25}, {325, 325, 0}, 9, 0},
    {2, 32, LevelElement::Platform, "Bricks", {7300, 7500, 25}, {300, 300, 0}, 9, 0},
    {2, 34, LevelElement::Platform, "MovingPlatform", {8500, 8500, 0}, {400, 400, 0}, 1, 0},
    {2, 42, LevelElement::BlueFlag, nullptr, {9000, 9000, 0}, {225, 225, 0}, 1, 0},
    {2, 45, LevelElement::Platform, "Bricks", {2525, 3075, 25}, {300, 300, 0}, 23, 0},
    {2, 46, LevelElement::Shellox, nullptr, {2900, 2900, 0}, {300, 300, 0}, 1, 1},
    {2, 47, LevelElement::Shellox, nullptr, {400, 400, 0}, {520, 520, 0}, 1, 2},
    {2, 48, LevelElement::Shellox, nullptr, {1875, 1875, 0}, {520, 520, 0}, 1, 3},
    {2, 49, LevelElement::Rocketto, nullptr, {2500, 2500, 0}, {375, 375, 0}, 1, 4},
    {2, 50, LevelElement::Snapvine, nullptr, {2600, 2600, 0}, {610, 610, 0}, 1, 5},
    {2, 51, LevelElement::Rocketto, nullptr, {3300, 3300, 0}, {475, 475, 0}, 1, 6},
    {2, 52, LevelElement::Thornel, nullptr, {3200, 3200, 0}, {550, 550, 0}, 1, 7},
    {2, 53, LevelElement::Mulgo, nullptr, {5200, 5200, 0}, {520, 520, 0}, 1, 8},
    {2, 54, LevelElement::Mulgo, nullptr, {5100, 5100, 0}, {520, 520, 0}, 1, 9},
    {2, 55, LevelElement::Rocketto, nullptr, {8000, 8000, 0}, {425, 425, 0}, 1, 10},
    {2, 57, LevelElement::Thornel, nullptr, {6000, 6000, 0}, {550, 550, 0}, 1, 11},
    {3, 3, LevelElement::Platform, "MovingPlatform", {750, 750, 0}, {450, 450, 0}, 1, 0},
    {3, 19, LevelElement::Platform, "Bricks", {3000, 3300, 25}, {350, 350, 0}, 13, 0},
    {3, 20, LevelElement::Platform, "Bricks", {2800, 2850, 25}, {375, 375, 0}, 3, 0},
    {3, 21, LevelElement::Platform, "Bricks", {2700, 2700, 0}, {425, 425, 0}, 1, 0},
    {3, 25, LevelElement::Platform, "Bricks", {2500, 2500, 0}, {450, 450, 0}, 1, 0},
    {3, 26, LevelElement::Platform, "Bricks", {2500, 2500, 0}, {425, 425, 0}, 1, 0},
    {3, 28, LevelElement::Mulgo, nullptr, {1500, 1500, 0}, {450, 450, 0}, 1, 1},
    {3, 29, LevelElement::Thornel, nullptr, {1650, 1650, 0}, {450, 450, 0}, 1, 2},
    {3, 30, LevelElement::Snapvine, nullptr, {4200, 4200, 0}, {425, 425, 0}, 1, 3},
    {3, 31, LevelElement::Rocketto, nullptr, {4750, 4750, 0}, {200, 200, 0}, 1, 4},
    {3, 32, LevelElement::Snapvine, nullptr, {4200, 4200, 0}, {425, 425, 0}, 1, 5},
    {3, 33, LevelElement::Mulgo, nullptr, {7300, 7300, 0}, {500, 500, 0}, 1, 6},
    {3, 34, LevelElement::Thornel, nullptr, {7500, 7500, 0}, {500, 500, 0}, 1, 7},
    {3, 35, LevelElement::Rocketto, nullptr, {3700, 3700, 0}, {375, 375, 0}, 1, 8},
    {3, 36, LevelElement::Rocketto, nullptr, {1000, 1000, 0}, {425, 425, 0}, 1, 9},
    {3, 37, LevelElement::Rocketto, nullptr, {5500, 5500, 0}, {425, 425, 0}, 1, 10},
    {3, 38, LevelElement::Rocketto, nullptr, {5550, 5550, 0}, {400, 400, 0}, 1, 11},
    {3, 39, LevelElement::BlueFlag, nullptr, {1100, 1100, 0}, {300, 300, 0}, 1, 0},
    {3, 50, LevelElement::Platform, "MovingPlatform", {3100, 3100, 0}, {325, 325, 0}, 1, 0},
    {3, 51, LevelElement::BlueFlag, nullptr, {3700, 3700, 0}, {200, 200, 0}, 1, 0},
    {3, 52, LevelElement::BlueFlag, nullptr, {3900, 3900, 0}, {150, 150, 0}, 1, 0},
};

// What Placed::what says for element and resource.
std::string WhatOf(LevelElement element, const char* resource)
{
    switch (element) {
    case LevelElement::Platform:
        return std::string("platform ") + resource;
    case LevelElement::Scenery:
        return std::string("scenery ") + resource;
    case LevelElement::RedFlag:
        return "red flag";
    case LevelElement::BlueFlag:
        return "blue flag";
    case LevelElement::Mulgo:
        return "enemy Mulgo";
    case LevelElement::Shellox:
        return "enemy Shellox";
    case LevelElement::Thornel:
        return "enemy Thornel";
    case LevelElement::Snapvine:
        return "enemy Snapvine";
    case LevelElement::Rocketto:
        return "enemy Rocketto";
    case LevelElement::SkipEnemyId:
        break;
    }
    return "nothing";
}

TEST_F(LevelsTest, TheFixedRowsOfLevelsTwoAndThreeAreAtTheirPlaces)
{
    for (int level : {2, 3}) {
        Build(level);
        const std::vector<Placed> placed = Placements();
        const LevelTable table = LevelRows(level);
        for (const ListedRow& want : ListedRows) {
            if (want.level != level)
                continue;
            SCOPED_TRACE(::testing::Message() << "level " << level << " row " << want.number);
            ASSERT_LE(want.number, table.rowCount);
            const LevelRow& row = table.rows[want.number - 1];
            EXPECT_EQ(row.element, want.element);
            EXPECT_EQ(WhatOf(row.element, row.resource), WhatOf(want.element, want.resource));
            EXPECT_EQ(row.x.from, want.x.from);
            EXPECT_EQ(row.x.to, want.x.to);
            EXPECT_EQ(row.x.step, want.x.step);
            EXPECT_EQ(row.y.from, want.y.from);
            EXPECT_EQ(row.y.to, want.y.to);
            EXPECT_EQ(row.y.step, want.y.step);
            EXPECT_EQ(row.count, want.count);

            // And the stage holds each element of the row, enemies with their ids.
            for (int i = 0; i < want.count; ++i) {
                const int x = want.x.from + i * want.x.step;
                const int y = want.y.from + i * want.y.step;
                const int id = want.firstId == 0 ? 0 : want.firstId + i;
                const std::string what = WhatOf(want.element, want.resource);
                const bool found = std::any_of(placed.begin(), placed.end(), [&](const Placed& p) {
                    return p.what == what && p.x == x && p.y == y && p.id == id;
                });
                EXPECT_TRUE(found) << what << " at (" << x << ", " << y << ") id " << id;
            }
        }
    }
}

TEST_F(LevelsTest, EnemyIdsRunFromOneWithoutTenOnLevelOne)
{
    const struct {
        int level;
        std::vector<int> ids;
    } cases[] = {
        {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}},
        {2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        Build(c.level);
        std::vector<int> ids;
        for (const Placed& p : Placements())
            if (p.what.rfind("enemy ", 0) == 0)
                ids.push_back(p.id);
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, c.ids);
        EXPECT_EQ(world_.enemyCount, c.ids.back());
        for (int id : c.ids) {
            EXPECT_NE(GameState::engine->SceneTree()->FindById(id), nullptr) << id;
        }
    }
}

TEST_F(LevelsTest, LevelOneHasItsGapsInTheGround)
{
    Build(1);
    const std::vector<Placed> placed = Placements();
    auto groundAt = [&](int x) {
        return std::any_of(placed.begin(), placed.end(), [&](const Placed& p) {
            return p.x == x && (p.what == "platform MidGrass" || p.what == "platform Dirt");
        });
    };
    // No ground tile strictly between the edges, and ground at both edges, so that the
    // gap is where the design puts it and not wider.
    const struct {
        int left;
        int right;
    } gaps[] = {{2500, 2600}, {7800, 8200}, {4000, 4050}, {5000, 5050}};
    for (const auto& gap : gaps) {
        SCOPED_TRACE(gap.left);
        EXPECT_TRUE(groundAt(gap.left));
        EXPECT_TRUE(groundAt(gap.right));
        for (const Placed& p : placed) {
            const bool ground = p.what == "platform MidGrass" || p.what == "platform Dirt";
            EXPECT_FALSE(ground && p.x > gap.left && p.x < gap.right) << p.what << " at " << p.x;
        }
    }
}

TEST_F(LevelsTest, LevelThreeHasTwoSnapvinesAtOneSpotThatActOnTheirOwn)
{
    GameState::chosenLevel = 3;
    world_.BuildPlay();
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* first = tree->FindById(3);
    MvSceneNode* second = tree->FindById(5);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    for (MvSceneNode* vine : {first, second}) {
        EXPECT_TRUE(HasTag(vine, SnapvineTag));
        EXPECT_EQ(vine->PosX(0) - GameState::originX, 4200);
        EXPECT_EQ(vine->PosY(0), 425);
    }

    // With the hero near, both rise one pixel a step; removing one (as a contact does)
    // leaves the other going. The first steps are left out of the count, because the
    // walkers take their depth then and the order of the layer settles.
    auto step = [this](int steps) {
        for (int i = 0; i < steps; ++i)
            world_.StepEnemies();
    };
    tree->FindByName("track")->MoveTo(GameState::originX + 4000, 550, -1);
    step(10);
    const int settled = first->PosY(0);
    EXPECT_LT(settled, 425);
    EXPECT_EQ(second->PosY(0), settled);
    step(10);
    EXPECT_EQ(first->PosY(0), settled - 10);
    EXPECT_EQ(second->PosY(0), settled - 10);
    tree->RemoveNode(first);
    step(10);
    EXPECT_EQ(tree->FindById(3), nullptr);
    EXPECT_EQ(second->PosY(0), settled - 20);
}

TEST_F(LevelsTest, PlatformsAndFlagsSitOnTheGridAndRunsStepByOneTile)
{
    for (int level = 1; level <= LevelCount; ++level) {
        SCOPED_TRACE(level);
        const LevelTable table = LevelRows(level);
        for (int r = 0; r < table.rowCount; ++r) {
            const LevelRow& row = table.rows[r];
            EXPECT_TRUE(RowIsConsistent(row)) << "row index " << r;
            for (const LevelRun& run : {row.x, row.y})
                EXPECT_TRUE(run.step == 0 || run.step == 25 || run.step == -25) << "row index " << r;
        }
        // Level 3's ceiling row is the one platform row off the grid: at y 20, above the
        // heads of a hero on its highest ledges.
        Build(level);
        for (const Placed& p : Placements()) {
            if (p.what.rfind("platform ", 0) == 0 || p.what.find("flag") != std::string::npos) {
                const bool ceiling = level == 3 && p.what == "platform Floor" && p.y == 20;
                EXPECT_EQ(p.x % 25, 0) << p.what << " at " << p.x << ", " << p.y;
                EXPECT_TRUE(p.y % 25 == 0 || ceiling) << p.what << " at " << p.x << ", " << p.y;
            }
        }
    }
}

TEST(LevelRowTest, ARowMustMatchItsCount)
{
    const struct {
        const char* what;
        LevelRow row;
        bool consistent;
    } cases[] = {
        {"a run along x", {LevelElement::Platform, "Dirt", {0, 100, 25}, {550, 550, 0}, 5}, true},
        {"a column from the bottom up", {LevelElement::Platform, "Dirt", {0, 0, 0}, {525, 425, -25}, 5}, true},
        {"a single enemy", {LevelElement::Mulgo, nullptr, {10, 10, 0}, {548, 548, 0}, 1}, true},
        {"a count one short", {LevelElement::Platform, "Dirt", {0, 100, 25}, {550, 550, 0}, 4}, false},
        {"a run that misses its end", {LevelElement::Platform, "Dirt", {0, 110, 25}, {550, 550, 0}, 5}, false},
        {"a run stepping away from its end", {LevelElement::RedFlag, nullptr, {100, 0, 25}, {550, 550, 0}, 5}, false},
        {"a fixed value that moves", {LevelElement::RedFlag, nullptr, {0, 25, 0}, {550, 550, 0}, 1}, false},
        {"several at one spot", {LevelElement::Snapvine, nullptr, {0, 0, 0}, {425, 425, 0}, 2}, false},
        {"a platform without a name", {LevelElement::Platform, nullptr, {0, 0, 0}, {425, 425, 0}, 1}, false},
        {"a flag with a name", {LevelElement::BlueFlag, "Dirt", {0, 0, 0}, {425, 425, 0}, 1}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowIsConsistent(c.row), c.consistent) << c.what;
}

// A rough static look at the ground from the start to past the win line, not a proof
// that a level can be won. Per 25-pixel column, the ground is the top of the stack of
// tiles standing on the column's lowest tile, when that lies at y 450 or below (higher
// tiles are ledges and ceilings); the moving platforms are left out. Wide gaps, steps
// higher than a jump and tiles where a standing hero's head would be are reported.
struct GroundReport {
    std::vector<std::pair<int, int>> wideGaps; // left and right edge of each
    std::vector<int> highSteps;                // x of each column rising more than 125
    std::vector<int> lowCeilings;              // x of each column with a tile in the hero
    bool groundPastWinLine = false;
};

GroundReport LookAtGround(const std::vector<Placed>& placed, int winLine)
{
    std::map<int, std::set<int>> columns;
    for (const Placed& p : placed)
        if (p.what.rfind("platform ", 0) == 0 && p.what != "platform MovingPlatform")
            columns[p.x].insert(p.y);
    auto ground = [&](int x) {
        auto found = columns.find(x);
        if (found == columns.end() || *found->second.rbegin() < 450)
            return -1;
        int y = *found->second.rbegin();
        while (found->second.count(y - 25))
            y -= 25;
        return y;
    };

    const int heroHeight = 35;
    const int jumpHeight = 125;
    const int widestGap = 100;
    GroundReport report;
    int lastGround = -1;
    int gapStart = -1;
    for (int x = 0; x <= winLine + 25; x += 25) {
        const int y = ground(x);
        if (y < 0) {
            if (gapStart < 0)
                gapStart = x;
            continue;
        }
        if (gapStart >= 0 && x - gapStart > widestGap)
            report.wideGaps.push_back({gapStart, x});
        gapStart = -1;
        if (lastGround >= 0 && lastGround - y > jumpHeight)
            report.highSteps.push_back(x);
        for (int tile : columns[x])
            if (tile < y && tile + 25 > y - heroHeight)
                report.lowCeilings.push_back(x);
        lastGround = y;
    }
    report.groundPastWinLine = ground(winLine) >= 0 && ground(winLine + 25) >= 0;
    return report;
}

TEST_F(LevelsTest, TheGroundCanBeWalkedAndJumpedToPastTheWinLine)
{
    // Level 1's last gap, from the two stepping stones at 7900 and 7925 to the ground at
    // 8200, is 250 pixels: wider than a keyboard jump at walking speed (about 200) and
    // kept because the level is laid out that way.
    const struct {
        int level;
        std::vector<std::pair<int, int>> wideGaps;
    } cases[] = {
        {1, {{7950, 8200}}},
        {2, {}},
        {3, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        Build(c.level);
        const GroundReport report = LookAtGround(Placements(), WinLine(c.level));
        EXPECT_EQ(report.wideGaps, c.wideGaps);
        EXPECT_EQ(report.highSteps, std::vector<int>{});
        EXPECT_EQ(report.lowCeilings, std::vector<int>{});
        EXPECT_TRUE(report.groundPastWinLine);
        EXPECT_EQ(WinLine(c.level), GameState::rightBound + 500 - GameState::originX);
    }
}

TEST(GroundReportTest, FindsWhatWouldStopTheHero)
{
    // A made-up strip: ground at 550, a 125-pixel gap, a wall six tiles high, and a tile
    // leaving 25 pixels of headroom above the ground.
    std::vector<Placed> placed;
    for (int x = 0; x <= 300; x += 25)
        if (x < 100 || x > 200)
            placed.push_back({"platform MidGrass", x, 550, 0});
    for (int y = 525; y >= 400; y -= 25)
        placed.push_back({"platform NormBlock", 250, y, 0});
    placed.push_back({"platform NormBlock", 50, 500, 0});
    placed.push_back({"platform MovingPlatform", 150, 550, 0}); // moves away: no ground
    const GroundReport report = LookAtGround(placed, 250);
    EXPECT_EQ(report.wideGaps, (std::vector<std::pair<int, int>>{{100, 225}}));
    EXPECT_EQ(report.highSteps, std::vector<int>{250});
    EXPECT_EQ(report.lowCeilings, std::vector<int>{50});
    EXPECT_TRUE(report.groundPastWinLine);
}

} // namespace
