// The three level tables, checked on what GameWorld::BuildScreen really places on a stage
// over an off-screen 800 x 600 32-bit surface with the game's sprites: counts per kind,
// every element of the tables at its place on the stage, enemy ids, walkers over ground,
// the gaps of level 1, the two Snapvines of level 3, the layout grid, and a rough static
// look at whether the hero can walk and jump from the start past the win line. That each
// level can be won is shown by the replays of the whole game.

#include "Enemies.h"
#include "GameNames.h"
#include "GameScreenTest.h"
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
#include <map>
#include <set>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

// One placed element as the level shows it: what it is ("platform MidGrass", "enemy
// Mulgo", "scenery Bush", "red flag", "blue flag"), its layout position, for an enemy
// its id, and the layer holding it.
struct Placed {
    std::string what;
    int x;
    int y;
    int id;
    std::string layer = "";
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

class LevelsTest : public GameScreenTest {
protected:
    // A fresh stage with level built on it, as the play screen builds it without the hero.
    void Build(int level)
    {
        TearDown();
        SetUp();
        world_.BuildScreen(level);
    }

    // Everything the level placed, layer by layer, in child order.
    static std::vector<Placed> Placements()
    {
        std::vector<Placed> placed;
        for (const char* layer : {PlatformLayerName, BackgroundLayerName, ItemLayerName, EnemyLayerName}) {
            for (MvChildCursor cursor = Find(layer)->Children(); !cursor.Done(); cursor.Next()) {
                MvSceneNode* node = cursor.Node();
                Placed p{"", node->PosX(0) - GameState::originX, node->PosY(0) - GameState::originY, 0, layer};
                EnemyKind kind;
                if (layer == PlatformLayerName)
                    p.what = std::string("platform ") + node->AsSprite()->SpriteResource()->Name();
                else if (layer == BackgroundLayerName)
                    p.what = std::string("scenery ") + node->AsSprite()->SpriteResource()->Name();
                else if (layer == ItemLayerName)
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

// What Placed::what says for an element of row.
std::string WhatOf(const LevelRow& row)
{
    switch (row.element) {
    case LevelElement::Platform:
        return std::string("platform ") + row.resource;
    case LevelElement::Scenery:
        return std::string("scenery ") + row.resource;
    case LevelElement::RedFlag:
        return "red flag";
    case LevelElement::BlueFlag:
        return "blue flag";
    case LevelElement::Enemy:
        return std::string("enemy ") + KindName(row.enemy);
    case LevelElement::SkipEnemyId:
        break;
    }
    return "nothing";
}

// The layer an element of row goes to.
const char* LayerOf(const LevelRow& row)
{
    switch (row.element) {
    case LevelElement::Platform:
        return PlatformLayerName;
    case LevelElement::Scenery:
        return BackgroundLayerName;
    case LevelElement::Enemy:
        return EnemyLayerName;
    default:
        return ItemLayerName;
    }
}

bool operator==(const Placed& a, const Placed& b)
{
    return a.what == b.what && a.x == b.x && a.y == b.y && a.id == b.id;
}

std::ostream& operator<<(std::ostream& out, const Placed& p)
{
    return out << p.what << " at (" << p.x << ", " << p.y << ") id " << p.id;
}

TEST_F(LevelsTest, TheStageHoldsEveryElementOfItsTableAtItsPlace)
{
    for (int level = 1; level <= LevelCount; ++level) {
        SCOPED_TRACE(level);
        Build(level);

        // The table read as the design reads it: every element of every run, in order,
        // each enemy numbered after the ids used up before it.
        std::map<std::string, std::vector<Placed>> expected;
        const LevelTable table = LevelRows(level);
        int lastId = 0;
        for (int r = 0; r < table.rowCount; ++r) {
            const LevelRow& row = table.rows[r];
            for (int i = 0; i < row.count; ++i) {
                int x = 0;
                int y = 0;
                RunPosition(row, i, &x, &y);
                if (row.element == LevelElement::SkipEnemyId) {
                    ++lastId;
                    continue;
                }
                const int id = row.element == LevelElement::Enemy ? ++lastId : 0;
                expected[LayerOf(row)].push_back({WhatOf(row), x, y, id});
            }
        }

        // The stage in child order, but for the enemies, whose depths differ by kind:
        // they compare in the order of their ids, which is the order they were placed in.
        std::map<std::string, std::vector<Placed>> onStage;
        for (const Placed& p : Placements())
            onStage[p.layer].push_back(p);
        std::stable_sort(onStage[EnemyLayerName].begin(), onStage[EnemyLayerName].end(),
                         [](const Placed& a, const Placed& b) { return a.id < b.id; });

        for (const char* layer : {PlatformLayerName, BackgroundLayerName, ItemLayerName, EnemyLayerName}) {
            SCOPED_TRACE(layer);
            const std::vector<Placed>& want = expected[layer];
            const std::vector<Placed>& have = onStage[layer];
            EXPECT_EQ(have.size(), want.size());
            for (size_t k = 0; k < want.size() && k < have.size(); ++k)
                EXPECT_EQ(have[k], want[k]) << "element " << k;
        }
    }
}

// Every walker starts over something to walk on: within its own width, a platform lies
// below it or at most 25 pixels above its feet, so that it lands rather than falling out
// of the level.
TEST_F(LevelsTest, EveryWalkerStartsOverGround)
{
    for (int level = 1; level <= LevelCount; ++level) {
        SCOPED_TRACE(level);
        Build(level);
        const std::vector<Placed> placed = Placements();
        for (const Placed& walker : placed) {
            if (walker.what != "enemy Mulgo" && walker.what != "enemy Shellox" && walker.what != "enemy Thornel")
                continue;
            const bool overGround = std::any_of(placed.begin(), placed.end(), [&](const Placed& p) {
                return p.layer == PlatformLayerName && p.x > walker.x - 25 && p.x < walker.x + 25 &&
                       p.y >= walker.y - 25;
            });
            EXPECT_TRUE(overGround) << walker;
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
        {"a run along x", {LevelElement::Platform, "Dirt", {0, 100, 25}, {550, 550, 0}, 5, EnemyKind::Mulgo}, true},
        {"a column from the bottom up", {LevelElement::Platform, "Dirt", {0, 0, 0}, {525, 425, -25}, 5, EnemyKind::Mulgo}, true},
        {"a single enemy", {LevelElement::Enemy, nullptr, {10, 10, 0}, {548, 548, 0}, 1, EnemyKind::Mulgo}, true},
        {"a count one short", {LevelElement::Platform, "Dirt", {0, 100, 25}, {550, 550, 0}, 4, EnemyKind::Mulgo}, false},
        {"a run that misses its end", {LevelElement::Platform, "Dirt", {0, 110, 25}, {550, 550, 0}, 5, EnemyKind::Mulgo}, false},
        {"a run stepping away from its end", {LevelElement::RedFlag, nullptr, {100, 0, 25}, {550, 550, 0}, 5, EnemyKind::Mulgo}, false},
        {"a fixed value that moves", {LevelElement::RedFlag, nullptr, {0, 25, 0}, {550, 550, 0}, 1, EnemyKind::Mulgo}, false},
        {"several at one spot", {LevelElement::Enemy, nullptr, {0, 0, 0}, {425, 425, 0}, 2, EnemyKind::Snapvine}, false},
        {"a platform without a name", {LevelElement::Platform, nullptr, {0, 0, 0}, {425, 425, 0}, 1, EnemyKind::Mulgo}, false},
        {"a flag with a name", {LevelElement::BlueFlag, "Dirt", {0, 0, 0}, {425, 425, 0}, 1, EnemyKind::Mulgo}, false},
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
