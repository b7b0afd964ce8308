#ifndef LEVELS_H
#define LEVELS_H

#include "Enemies.h"

// The three levels as data: one row per placement run, in placement order, so that each
// table reads like the design it was drawn from. The order is part of the design: it is
// the child order of each layer, which decides which touched platform a collision result
// lists first and so the y a landing hero or enemy takes. Rows are checked when the
// program is compiled (every Count matches its run), which keeps the tables honest at no
// cost at run time, at the price of tables that must be constant expressions.

// What a row places. Enemy spawns enemies of the row's kind; SkipEnemyId places nothing
// and only uses up the next enemy id.
enum class LevelElement {
    Platform,
    Scenery,
    RedFlag,
    BlueFlag,
    Enemy,
    SkipEnemyId,
};

// One coordinate of a run in layout pixels: from, from + step, ... up to and including to.
// Step 0 is a single value (to equals from); a negative step counts down, so a column is
// built from the bottom up.
struct LevelRun {
    int from;
    int to;
    int step;
};

// One placement run: element i is placed at (x.from + i * x.step, y.from + i * y.step).
struct LevelRow {
    LevelElement element;
    const char* resource; // sprite name of a platform or scenery row; null otherwise
    LevelRun x;
    LevelRun y;
    int count;       // the number of elements the run places
    EnemyKind enemy; // the kind an Enemy row spawns; ignored by other rows
};

// A level's rows in placement order.
struct LevelTable {
    const LevelRow* rows;
    int rowCount;
};

// The number of levels the game has.
constexpr int LevelCount = 3;

// The number of values run takes, or 0 when it is not a run (to not reached from from in
// whole steps, or step 0 with to different from from).
constexpr int RunLength(const LevelRun& run)
{
    if (run.step == 0)
        return run.from == run.to ? 1 : 0;
    const int span = run.to - run.from;
    if (span % run.step != 0 || span / run.step < 0)
        return 0;
    return span / run.step + 1;
}

// True when row's runs agree with each other and with its Count: a varying coordinate has
// exactly count values, a fixed one has a single value, and a row places at least one.
constexpr bool RowIsConsistent(const LevelRow& row)
{
    const int xs = RunLength(row.x);
    const int ys = RunLength(row.y);
    if (xs == 0 || ys == 0 || row.count < 1)
        return false;
    const bool resourceNeeded = row.element == LevelElement::Platform || row.element == LevelElement::Scenery;
    if (resourceNeeded != (row.resource != nullptr))
        return false;
    return (row.x.step == 0 || xs == row.count) && (row.y.step == 0 || ys == row.count) &&
           (row.x.step != 0 || row.y.step != 0 || row.count == 1);
}

// The rows of level (1 to LevelCount). Asserts the level exists.
LevelTable LevelRows(int level);

// Layout position of element index of row's run. Asserts 0 <= index < row.count.
void RunPosition(const LevelRow& row, int index, int* x, int* y);

// Places every row of level on the current stage, in order: platforms and scenery by
// name, flags, and enemies, each of which takes id *enemyCount + 1 and then raises
// *enemyCount by one; a SkipEnemyId row raises it without an enemy. Asserts the level
// exists and enemyCount is not null (the placement operations assert the stage).
void PlaceLevel(int level, int* enemyCount);

#endif
