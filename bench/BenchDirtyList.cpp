// Cost of MvDirtyList::AddRect: on a nearly full list (the longest walks), on a full list
// (the overflow collapse), and over a typical frame of moving sprites.

#include "MvDirtyList.h"

#include <benchmark/benchmark.h>

namespace {

const MvIntRect kWindow = MvMakeRect(0, 0, 799, 599);

// 127 disjoint 6 x 6 entries spread over an 800 x 600 window, 16 per row of the pattern,
// so every block of the grid holds some.
MvDirtyList NearlyFullList()
{
    MvDirtyList list;
    list.SetClipRect(kWindow);
    for (int i = 0; i < MvDirtyListCapacity - 1; ++i) {
        int x = 10 + (i % 16) * 50;
        int y = 10 + (i / 16) * 75;
        list.AddRect(MvMakeRect(x, y, x + 5, y + 5));
    }
    return list;
}

// The copy every measured add starts from; subtract it from the figures below.
void BM_DirtyListCopy(benchmark::State& state)
{
    const MvDirtyList pristine = NearlyFullList();
    for (auto _ : state) {
        MvDirtyList list = pristine;
        benchmark::DoNotOptimize(&list);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DirtyListCopy);

// Adds one rectangle to a copy of the 127-entry list.
void AddToNearlyFull(benchmark::State& state, const MvIntRect& r, int expectedCount)
{
    const MvDirtyList pristine = NearlyFullList();
    {
        MvDirtyList check = pristine;
        check.AddRect(r);
        if (check.Count() != expectedCount)
            state.SkipWithError("the rectangle does not do what the benchmark names");
    }
    for (auto _ : state) {
        MvDirtyList list = pristine;
        list.AddRect(r);
        benchmark::DoNotOptimize(list.Count());
        benchmark::ClobberMemory();
    }
}

// Lies between entries, sharing their blocks but none of their pixels: the whole walk runs
// and the rectangle is appended.
void BM_AddRectNearlyFullOverlapsNothing(benchmark::State& state)
{
    AddToNearlyFull(state, MvMakeRect(20, 20, 55, 80), MvDirtyListCapacity);
}
BENCHMARK(BM_AddRectNearlyFullOverlapsNothing);

// Sticks out below one entry only: the new rectangle is cut below it and appended.
void BM_AddRectNearlyFullOverlapsOneCut(benchmark::State& state)
{
    AddToNearlyFull(state, MvMakeRect(411, 538, 414, 560), MvDirtyListCapacity);
}
BENCHMARK(BM_AddRectNearlyFullOverlapsOneCut);

// Shares left and right with one entry: merged with it, and the walk starts over.
void BM_AddRectNearlyFullOverlapsOneMerge(benchmark::State& state)
{
    AddToNearlyFull(state, MvMakeRect(410, 540, 415, 560), MvDirtyListCapacity - 1);
}
BENCHMARK(BM_AddRectNearlyFullOverlapsOneMerge);

// Lies inside the last entry added: the walk runs to it and drops the rectangle.
void BM_AddRectNearlyFullCovered(benchmark::State& state)
{
    AddToNearlyFull(state, MvMakeRect(712, 537, 713, 538), MvDirtyListCapacity - 1);
}
BENCHMARK(BM_AddRectNearlyFullCovered);

// The 129th disjoint rectangle: the list collapses into grid blocks.
void BM_AddRectOverflowCollapse(benchmark::State& state)
{
    MvDirtyList pristine = NearlyFullList();
    pristine.AddRect(MvMakeRect(20, 20, 25, 25));
    const MvIntRect last = MvMakeRect(30, 30, 35, 35);
    for (auto _ : state) {
        MvDirtyList list = pristine;
        list.AddRect(last);
        benchmark::DoNotOptimize(list.Count());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AddRectOverflowCollapse);

// A typical frame: the list is cleared, then each of state.range(0) sprites of 32 x 32
// pixels, moving a few pixels per frame, adds its old and its new rectangle.
void BM_DirtyListFrameOfMovingSprites(benchmark::State& state)
{
    const int sprites = static_cast<int>(state.range(0));
    MvDirtyList list;
    list.SetClipRect(kWindow);
    int frame = 0;
    for (auto _ : state) {
        list.Clear();
        for (int s = 0; s < sprites; ++s) {
            int dx = (s % 5) - 2;
            int dy = (s % 3) - 1;
            int x = (37 * s + dx * frame) % 760 + 4;
            int y = (53 * s + dy * frame) % 560 + 4;
            if (x < 4)
                x += 760;
            if (y < 4)
                y += 560;
            list.AddRect(MvMakeRect(x - dx, y - dy, x - dx + 31, y - dy + 31));
            list.AddRect(MvMakeRect(x, y, x + 31, y + 31));
        }
        benchmark::DoNotOptimize(list.Count());
        ++frame;
    }
    state.SetItemsProcessed(state.iterations() * sprites * 2);
}
BENCHMARK(BM_DirtyListFrameOfMovingSprites)->Arg(10)->Arg(40)->Arg(100);

} // namespace
