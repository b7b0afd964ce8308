#include "Levels.h"

#include "MvAssert.h"
#include "Platforms.h"

namespace {

using E = LevelElement;
using K = EnemyKind;

// Shorthands that keep a row on one line and in the columns of a design table: element,
// resource, x, y, count.
constexpr LevelRun At(int value) { return {value, value, 0}; }
constexpr LevelRun Run(int from, int to, int step) { return {from, to, step}; }
constexpr LevelRow Platform(const char* name, LevelRun x, LevelRun y, int count) { return {E::Platform, name, x, y, count, K::Mulgo}; }
constexpr LevelRow Scenery(const char* name, LevelRun x, LevelRun y, int count) { return {E::Scenery, name, x, y, count, K::Mulgo}; }
constexpr LevelRow RedFlag(LevelRun x, LevelRun y, int count) { return {E::RedFlag, nullptr, x, y, count, K::Mulgo}; }
constexpr LevelRow BlueFlag(LevelRun x, LevelRun y, int count) { return {E::BlueFlag, nullptr, x, y, count, K::Mulgo}; }
constexpr LevelRow Spawn(EnemyKind kind, LevelRun x, LevelRun y, int count) { return {E::Enemy, nullptr, x, y, count, kind}; }
constexpr LevelRow SkipEnemyId() { return {E::SkipEnemyId, nullptr, At(0), At(0), 1, K::Mulgo}; }

// Level 1: a meadow of "MidGrass" over "Dirt" broken by two gaps to fall through and a
// lower stretch between 4050 and 5000, two block columns to climb, a long overhead ledge
// with a Mulgo and a line of flags on it, Mulgos along the ground and two Snapvines rising
// out of it. The id counter skips 10 before the first Rocketto (row 27a), so its enemies
// number 1 to 9 and 11 to 19. The numbers are those of the design table.
constexpr LevelRow Level1[] = {
    /*  1 */ Platform("MidGrass", Run(-200, 2500, 25), At(550), 109),
    /*  2 */ Platform("Dirt", Run(-200, 2500, 25), At(575), 109),
    /*  3 */ Platform("MidGrass", Run(2600, 4000, 25), At(550), 57),
    /*  4 */ Platform("Dirt", Run(2600, 4000, 25), At(575), 57),
    /*  5 */ Platform("MidGrass", Run(4050, 5000, 25), At(575), 39),
    /*  6 */ Platform("MidGrass", Run(5050, 7800, 25), At(550), 111),
    /*  7 */ Platform("Dirt", Run(5050, 7800, 25), At(575), 111),
    /*  8 */ Platform("MidGrass", Run(8200, 9025, 25), At(550), 34),
    /*  9 */ Platform("Dirt", Run(8200, 9025, 25), At(575), 34),
    /* 10 */ Platform("NormBlock", At(1150), Run(525, 425, -25), 5),
    /* 11 */ Platform("NormBlock", At(1175), Run(525, 400, -25), 6),
    /* 12 */ Platform("NormBlock", Run(2075, 3000, 25), At(350), 38),
    /* 13 */ Platform("NormBlock", At(2000), At(425), 1),
    /* 14 */ Platform("NormBlock", Run(3200, 3300, 25), At(450), 5),
    /* 15 */ Platform("NormBlock", At(6000), Run(525, 425, -25), 5),
    /* 16 */ Platform("NormBlock", At(6025), Run(525, 425, -25), 5),
    /* 17 */ Platform("NormBlock", At(7900), At(525), 1),
    /* 18 */ Platform("NormBlock", At(7925), At(525), 1),
    /* 19 */ Spawn(K::Snapvine, At(4400), At(630), 1),
    /* 20 */ Spawn(K::Snapvine, At(700), At(600), 1),
    /* 21 */ Spawn(K::Mulgo, At(1000), At(550), 1),
    /* 22 */ Spawn(K::Mulgo, At(2000), At(550), 1),
    /* 23 */ Spawn(K::Mulgo, At(5500), At(550), 1),
    /* 24 */ Spawn(K::Mulgo, At(5525), At(550), 1),
    /* 25 */ Spawn(K::Mulgo, At(650), At(548), 1),
    /* 26 */ Spawn(K::Mulgo, At(8500), At(548), 1),
    /* 27 */ Spawn(K::Mulgo, At(8250), At(475), 1),
    /* 27a*/ SkipEnemyId(),
    /* 28 */ Spawn(K::Rocketto, At(1500), At(320), 1),
    /* 29 */ Spawn(K::Rocketto, At(2000), At(450), 1),
    /* 30 */ Spawn(K::Mulgo, Run(3000, 3050, 25), At(548), 3),
    /* 31 */ Spawn(K::Shellox, At(6500), At(548), 1),
    /* 32 */ Spawn(K::Mulgo, At(2275), At(350), 1),
    /* 33 */ Spawn(K::Mulgo, At(4300), At(575), 1),
    /* 34 */ Spawn(K::Mulgo, At(4400), At(575), 1),
    /* 35 */ Scenery("cloudA", At(200), At(40), 1),
    /* 36 */ Scenery("cloudA", At(800), At(33), 1),
    /* 37 */ Scenery("cloudA", At(1000), At(20), 1),
    /* 38 */ Scenery("cloudA", At(2364), At(27), 1),
    /* 39 */ Scenery("cloudA", At(8000), At(225), 1),
    /* 40 */ Scenery("cloudA", At(4225), At(300), 1),
    /* 41 */ Scenery("Meadow", Run(200, 500, 25), At(550), 13),
    /* 42 */ RedFlag(Run(200, 250, 25), At(425), 3),
    /* 43 */ RedFlag(Run(2300, 2450, 25), At(400), 7),
    /* 44 */ RedFlag(At(4500), At(425), 1),
    /* 45 */ RedFlag(At(4525), At(425), 1),
    /* 46 */ RedFlag(At(5875), Run(375, 300, -25), 4),
    /* 47 */ RedFlag(At(1300), Run(325, 275, -25), 3),
    /* 48 */ RedFlag(Run(2150, 2400, 25), At(325), 11),
    /* 49 */ BlueFlag(At(800), At(375), 1),
};

// Level 2, from left to right: a meadow where a Shellox comes running at once; a raised
// step with flags to jump for; a gap; a stretch under a "Bricks" ceiling with a row of
// flags beneath it, a Shellox dropping off the ceiling, a Snapvine in the ground, a Thornel
// and two Rockettos (they pass over a hero that stays on the ground); a long "NormBlock"
// causeway over a chasm, broken by two gaps, where two Mulgos walk; a Thornel near its
// end; stepped ground up to a "Bricks" block to break from below and down again; and a
// last meadow with a Rocketto passing overhead, a stair, the moving platform and two
// ledges as a detour to the blue flag. The ground never rises more than 75 pixels at once
// and every gap is 75 pixels wide.
constexpr LevelRow Level2[] = {
    /*  1 */ Platform("MidGrass", Run(-75, 975, 25), At(550), 43),       // start meadow
    /*  2 */ Platform("Dirt", Run(-75, 975, 25), At(575), 43),
    /*  3 */ Platform("MidGrass", Run(1000, 1450, 25), At(475), 19),     // the first step up
    /*  4 */ Platform("Dirt", Run(1000, 1450, 25), At(500), 19),
    /*  5 */ Platform("Dirt", Run(1000, 1450, 25), At(525), 19),
    /*  6 */ Platform("Dirt", Run(1000, 1450, 25), At(550), 19),
    /*  7 */ Platform("Dirt", Run(1000, 1450, 25), At(575), 19),
    /*  8 */ Platform("MidGrass", Run(1475, 2000, 25), At(550), 22),     // down again
    /*  9 */ Platform("Dirt", Run(1475, 2000, 25), At(575), 22),
    /* 10 */ Platform("MidGrass", Run(2100, 3475, 25), At(550), 56),     // under the Bricks ceiling
    /* 11 */ Platform("Dirt", Run(2100, 3475, 25), At(575), 56),
    /* 12 */ Platform("NormBlock", Run(3500, 3775, 25), At(550), 12),    // the causeway over the chasm
    /* 13 */ Platform("NormBlock", Run(3875, 4325, 25), At(550), 19),
    /* 14 */ Platform("NormBlock", Run(4425, 6250, 25), At(550), 74),
    /* 15 */ Platform("MidGrass", Run(6350, 6975, 25), At(550), 26),     // meadow after the causeway
    /* 16 */ Platform("Dirt", Run(6350, 6975, 25), At(575), 26),
    /* 17 */ Platform("MidGrass", Run(7000, 7200, 25), At(500), 9),      // stepped ground up to the Bricks block
    /* 18 */ Platform("Dirt", Run(7000, 7200, 25), At(525), 9),
    /* 19 */ Platform("Dirt", Run(7000, 7200, 25), At(550), 9),
    /* 20 */ Platform("Dirt", Run(7000, 7200, 25), At(575), 9),
    /* 21 */ Platform("MidGrass", Run(7225, 7575, 25), At(450), 15),
    /* 22 */ Platform("Dirt", Run(7225, 7575, 25), At(475), 15),
    /* 23 */ Platform("Dirt", Run(7225, 7575, 25), At(500), 15),
    /* 24 */ Platform("Dirt", Run(7225, 7575, 25), At(525), 15),
    /* 25 */ Platform("Dirt", Run(7225, 7575, 25), At(550), 15),
    /* 26 */ Platform("Dirt", Run(7225, 7575, 25), At(575), 15),
    /* 27 */ Platform("MidGrass", Run(7600, 7775, 25), At(500), 8),      // and down
    /* 28 */ Platform("Dirt", Run(7600, 7775, 25), At(525), 8),
    /* 29 */ Platform("Dirt", Run(7600, 7775, 25), At(550), 8),
    /* 30 */ Platform("Dirt", Run(7600, 7775, 25), At(575), 8),
    /* 31 */ Platform("Bricks", Run(7300, 7500, 25), At(325), 9),
    /* 32 */ Platform("Bricks", Run(7300, 7500, 25), At(300), 9),
    /* 33 */ Platform("MidGrass", Run(7800, 9775, 25), At(550), 80),     // the last stretch, past the win line
    /* 34 */ Platform("MovingPlatform", At(8500), At(400), 1),
    /* 35 */ Platform("Dirt", Run(7800, 9775, 25), At(575), 80),
    /* 36 */ Platform("NormBlock", At(8400), Run(525, 475, -25), 3),     // the stair to the moving platform
    /* 37 */ Platform("NormBlock", At(8425), Run(525, 475, -25), 3),
    /* 38 */ Platform("NormBlock", Run(8650, 8750, 25), At(325), 5),     // ledges up to the blue flag
    /* 39 */ Platform("NormBlock", Run(8875, 9075, 25), At(250), 9),
    /* 40 */ Platform("Dirt", Run(3500, 3775, 25), At(575), 12),         // banks at the ends of the chasm
    /* 41 */ Platform("Dirt", Run(5775, 6250, 25), At(575), 20),
    /* 42 */ BlueFlag(At(9000), At(225), 1),
    /* 43 */ RedFlag(Run(1175, 1275, 25), At(375), 5),
    /* 44 */ RedFlag(Run(2025, 2075, 25), At(450), 3),
    /* 45 */ Platform("Bricks", Run(2525, 3075, 25), At(300), 23),
    /* 46 */ Spawn(K::Shellox, At(2900), At(300), 1),
    /* 47 */ Spawn(K::Shellox, At(400), At(520), 1),
    /* 48 */ Spawn(K::Shellox, At(1875), At(520), 1),
    /* 49 */ Spawn(K::Rocketto, At(2500), At(375), 1),
    /* 50 */ Spawn(K::Snapvine, At(2600), At(610), 1),
    /* 51 */ Spawn(K::Rocketto, At(3300), At(475), 1),
    /* 52 */ Spawn(K::Thornel, At(3200), At(550), 1),
    /* 53 */ Spawn(K::Mulgo, At(5200), At(520), 1),
    /* 54 */ Spawn(K::Mulgo, At(5100), At(520), 1),
    /* 55 */ Spawn(K::Rocketto, At(8000), At(425), 1),
    /* 56 */ RedFlag(Run(2700, 2900, 25), At(450), 9),
    /* 57 */ Spawn(K::Thornel, At(6000), At(550), 1),
    /* 58 */ RedFlag(Run(600, 650, 25), At(450), 3),
    /* 59 */ RedFlag(Run(3800, 3850, 25), At(450), 3),
    /* 60 */ RedFlag(Run(4350, 4400, 25), At(450), 3),
    /* 61 */ RedFlag(Run(6275, 6325, 25), At(450), 3),
    /* 62 */ RedFlag(Run(3600, 3650, 25), At(425), 3),
    /* 63 */ RedFlag(Run(4650, 4750, 25), At(425), 5),
    /* 64 */ RedFlag(Run(7050, 7150, 25), At(375), 5),
    /* 65 */ RedFlag(Run(7350, 7450, 25), At(375), 5),
    /* 66 */ RedFlag(Run(8675, 8750, 25), At(300), 4),
    /* 67 */ RedFlag(Run(9300, 9350, 25), At(450), 3),
    /* 68 */ Scenery("Bush", At(100), At(550), 1),
    /* 69 */ Scenery("Bush", At(1700), At(550), 1),
    /* 70 */ Scenery("Bush", At(9500), At(550), 1),
    /* 71 */ Scenery("cloudA", At(500), At(60), 1),
    /* 72 */ Scenery("cloudA", At(6000), At(80), 1),
};

// Level 3, a "Floor" level under a ceiling at y 20: a hop up to the moving platform and
// ledges to the first blue flag (a Rocketto comes low along there); a plateau from which
// a Mulgo and a Thornel drop to the floor; stepping stones and "Bricks" steps climbing to
// a brick walk with the second moving platform on it and on up a staircase to the two high
// blue flags; Snapvines hanging in the air (safe to walk under, not to jump into); gaps
// with Rockettos coming low; a pyramid; an arena between two "NormBlock" walls where a
// Mulgo and a Thornel patrol (the walls are safe perches to wait on); and a ledge staircase
// over the last gap. The floor runs unbroken but for 75-pixel gaps, so every ledge, brick
// and high flag is a detour.
constexpr LevelRow Level3[] = {
    /*  1 */ Platform("Floor", Run(-200, 9000, 25), At(20), 369),        // the ceiling
    /*  2 */ Platform("Floor", Run(-200, 1975, 25), At(550), 88),        // floor up to the first gap
    /*  3 */ Platform("MovingPlatform", At(750), At(450), 1),
    /*  4 */ Platform("Floor", Run(675, 700, 25), At(525), 2),           // a hop up to the moving platform
    /*  5 */ Platform("Floor", Run(675, 700, 25), At(500), 2),
    /*  6 */ Platform("Floor", Run(875, 975, 25), At(375), 5),           // ledges to the first blue flag
    /*  7 */ Platform("Floor", Run(1025, 1175, 25), At(325), 7),
    /*  8 */ Platform("Floor", Run(1400, 1875, 25), At(525), 20),        // the plateau the first walkers start on
    /*  9 */ Platform("Floor", Run(1400, 1875, 25), At(500), 20),
    /* 10 */ Platform("Floor", Run(1400, 1875, 25), At(475), 20),
    /* 11 */ Platform("Floor", Run(2075, 4450, 25), At(550), 96),        // floor
    /* 12 */ Platform("Floor", Run(2400, 2450, 25), At(475), 3),         // stepping stones up to the Bricks steps
    /* 13 */ Platform("Floor", At(2600), At(425), 1),
    /* 14 */ Platform("Floor", Run(2925, 2975, 25), At(375), 3),
    /* 15 */ Platform("Floor", Run(4550, 5275, 25), At(550), 30),        // floor between the gaps
    /* 16 */ Platform("Floor", Run(5375, 6675, 25), At(550), 53),
    /* 17 */ Platform("Floor", Run(6775, 8275, 25), At(550), 61),
    /* 18 */ Platform("Floor", Run(8375, 9000, 25), At(550), 26),
    /* 19 */ Platform("Bricks", Run(3000, 3300, 25), At(350), 13),
    /* 20 */ Platform("Bricks", Run(2800, 2850, 25), At(375), 3),
    /* 21 */ Platform("Bricks", At(2700), At(425), 1),
    /* 22 */ Platform("Floor", Run(3375, 3450, 25), At(300), 4),         // the staircase to the two high blue flags
    /* 23 */ Platform("Floor", Run(3525, 3600, 25), At(250), 4),
    /* 24 */ Platform("Floor", Run(3675, 3775, 25), At(225), 5),
    /* 25 */ Platform("Bricks", At(2500), At(450), 1),
    /* 26 */ Platform("Bricks", At(2500), At(425), 1),
    /* 27 */ Platform("Floor", Run(3850, 3950, 25), At(175), 5),
    /* 28 */ Spawn(K::Mulgo, At(1500), At(450), 1),
    /* 29 */ Spawn(K::Thornel, At(1650), At(450), 1),
    /* 30 */ Spawn(K::Snapvine, At(4200), At(425), 1),
    /* 31 */ Spawn(K::Rocketto, At(4750), At(200), 1),
    /* 32 */ Spawn(K::Snapvine, At(4200), At(425), 1),
    /* 33 */ Spawn(K::Mulgo, At(7300), At(500), 1),
    /* 34 */ Spawn(K::Thornel, At(7500), At(500), 1),
    /* 35 */ Spawn(K::Rocketto, At(3700), At(375), 1),
    /* 36 */ Spawn(K::Rocketto, At(1000), At(425), 1),
    /* 37 */ Spawn(K::Rocketto, At(5500), At(425), 1),
    /* 38 */ Spawn(K::Rocketto, At(5550), At(400), 1),
    /* 39 */ BlueFlag(At(1100), At(300), 1),
    /* 40 */ Platform("Floor", At(6200), At(525), 1),                    // the pyramid
    /* 41 */ Platform("Floor", At(6225), Run(525, 500, -25), 2),
    /* 42 */ Platform("Floor", At(6250), Run(525, 475, -25), 3),
    /* 43 */ Platform("Floor", At(6275), Run(525, 450, -25), 4),
    /* 44 */ Platform("Floor", At(6300), Run(525, 475, -25), 3),
    /* 45 */ Platform("Floor", At(6325), Run(525, 500, -25), 2),
    /* 46 */ Platform("NormBlock", At(7000), Run(525, 475, -25), 3),     // walls of the walkers' arena
    /* 47 */ Platform("NormBlock", At(7800), Run(525, 475, -25), 3),
    /* 48 */ Platform("Floor", Run(8000, 8075, 25), At(475), 4),         // a ledge staircase over the last gap
    /* 49 */ Platform("Floor", Run(8125, 8200, 25), At(400), 4),
    /* 50 */ Platform("MovingPlatform", At(3100), At(325), 1),
    /* 51 */ BlueFlag(At(3700), At(200), 1),
    /* 52 */ BlueFlag(At(3900), At(150), 1),
    /* 53 */ Platform("Floor", Run(8250, 8350, 25), At(325), 5),
    /* 54 */ Platform("Floor", Run(8400, 8475, 25), At(400), 4),
    /* 55 */ Platform("Floor", Run(8525, 8600, 25), At(475), 4),
    /* 56 */ RedFlag(Run(450, 500, 25), At(450), 3),
    /* 57 */ RedFlag(Run(875, 975, 25), At(350), 5),
    /* 58 */ RedFlag(Run(1550, 1600, 25), At(375), 3),
    /* 59 */ RedFlag(At(2700), At(400), 1),
    /* 60 */ RedFlag(At(2825), At(350), 1),
    /* 61 */ RedFlag(At(4150), At(475), 1),
    /* 62 */ RedFlag(At(4250), At(475), 1),
    /* 63 */ RedFlag(Run(5300, 5350, 25), At(450), 3),
    /* 64 */ RedFlag(Run(6250, 6300, 25), At(350), 3),
    /* 65 */ RedFlag(Run(7325, 7375, 25), At(450), 3),
};

template <int N>
constexpr bool TableIsConsistent(const LevelRow (&rows)[N])
{
    for (int i = 0; i < N; ++i)
        if (!RowIsConsistent(rows[i]))
            return false;
    return true;
}

static_assert(TableIsConsistent(Level1), "a level 1 row does not match its count");
static_assert(TableIsConsistent(Level2), "a level 2 row does not match its count");
static_assert(TableIsConsistent(Level3), "a level 3 row does not match its count");

constexpr LevelTable Tables[LevelCount] = {
    {Level1, static_cast<int>(sizeof Level1 / sizeof Level1[0])},
    {Level2, static_cast<int>(sizeof Level2 / sizeof Level2[0])},
    {Level3, static_cast<int>(sizeof Level3 / sizeof Level3[0])},
};

} // namespace

LevelTable LevelRows(int level)
{
    MvAssert(level >= 1 && level <= LevelCount);
    return Tables[level - 1];
}

void RunPosition(const LevelRow& row, int index, int* x, int* y)
{
    MvAssert(index >= 0 && index < row.count && x != nullptr && y != nullptr);
    *x = row.x.from + index * row.x.step;
    *y = row.y.from + index * row.y.step;
}

void PlaceLevel(int level, int* enemyCount)
{
    MvAssert(enemyCount != nullptr);
    const LevelTable table = LevelRows(level);
    for (int r = 0; r < table.rowCount; ++r) {
        const LevelRow& row = table.rows[r];
        for (int i = 0; i < row.count; ++i) {
            int x = 0;
            int y = 0;
            RunPosition(row, i, &x, &y);
            switch (row.element) {
            case E::Platform:
                PlacePlatform(x, y, row.resource);
                break;
            case E::Scenery:
                PlaceScenery(x, y, row.resource);
                break;
            case E::RedFlag:
                PlaceRedFlag(x, y);
                break;
            case E::BlueFlag:
                PlaceBlueFlag(x, y);
                break;
            case E::SkipEnemyId:
                ++*enemyCount;
                break;
            case E::Enemy:
                SpawnEnemy(row.enemy, x, y, *enemyCount + 1);
                ++*enemyCount;
                break;
            }
        }
    }
}
