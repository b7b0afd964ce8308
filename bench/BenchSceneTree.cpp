// Cost of the scene tree's per-tick work on a game-sized tree of 1,000 application nodes
// and on one ten times larger: the recompute walk with nothing changed and after the scene
// root moved, and a name lookup; beside them, as the floor, a plain loop over the same
// nodes doing only the subtree-bounds merges that the walk does for every node.

#include "MvDrawableNode.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvStage.h"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// A drawable node that only covers a rectangle; the benchmarks never paint.
class BoxNode : public MvDrawableNode {
public:
    BoxNode(int width, int height) : width_(width), height_(height) {}

    void ComputeTransform(int window) override
    {
        MvSceneNode::ComputeTransform(window);
        bounds_[window] = MvMakeRect(0, 0, width_ - 1, height_ - 1);
        bounds_[window].Transform(screenXform_[window]);
    }
    void Paint(MvPaintTarget*, const MvIntRect&, int) override {}
    void QueryBoundingBox(MvIntRect* out, int window) override { *out = bounds_[window]; }
    MvResource* Resource() override { return nullptr; }

private:
    int width_;
    int height_;
};

// The layers of a game level and how many nodes each holds, the layer node included:
// 1,000 application nodes in all at scale 1.
struct LayerPlan {
    const char* name;
    int nodes;
};
const LayerPlan kLayers[] = {{"background", 100}, {"platforms", 600}, {"enemies", 150},
                             {"items", 120},      {"text", 30}};
constexpr int kLayerCount = sizeof kLayers / sizeof kLayers[0];
constexpr int kApplicationNodes = 1000;

// An 800 x 600 stage holding a level-like tree: five layers; platforms of 32 x 32 in rows
// across a level far wider than the screen, some of them grouping a few decorations;
// enemies, items and labels scattered among them. At scale s every layer holds s times its
// planned nodes, spread over a level s times as wide.
class LevelTree {
public:
    explicit LevelTree(int scale)
    {
        screen_ = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        stage_.reset(new MvStage(screen_));
        MvSceneTree* tree = stage_->SceneTree();
        int made = 0;
        for (int l = 0; l < kLayerCount; ++l) {
            MvSceneNode* layer = new MvSceneNode();
            layer->SetName(kLayers[l].name);
            layer->SetDepth(l);
            tree->InsertNode(nullptr, layer);
            ++made;
            MvSceneNode* group = nullptr;
            const int width = std::min(6000 * scale, MvMaxNodePosition);
            for (int i = 0; i < kLayers[l].nodes * scale - 1; ++i) {
                // Every fifth platform carries the next four nodes as its decorations.
                const bool decoration = l == 1 && group != nullptr && i % 5 != 0;
                BoxNode* node = new BoxNode(32, 32);
                char name[32];
                std::snprintf(name, sizeof name, "%s%d", kLayers[l].name, i);
                node->SetName(name);
                node->MoveTo((i * 53 + l * 17) % width, 40 + (i * 37 + l * 101) % 520);
                tree->InsertNode(decoration ? group : layer, node);
                if (l == 1 && i % 5 == 0)
                    group = node;
                ++made;
            }
        }
        count_ = made;
        expected_ = kApplicationNodes * scale;
        stage_->Draw(false);
    }

    ~LevelTree()
    {
        stage_.reset();
        SDL_FreeSurface(screen_);
    }

    MvSceneTree* Tree() const { return stage_->SceneTree(); }
    MvStage* Stage() const { return stage_.get(); }
    int ApplicationNodes() const { return count_; }
    int ExpectedNodes() const { return expected_; }

private:
    SDL_Surface* screen_;
    std::unique_ptr<MvStage> stage_;
    int count_;
    int expected_;
};

// The tree of the benchmark's node count (its first argument, 1,000 by default), made once
// and kept for every benchmark; making it is in no figure.
LevelTree& Level(const benchmark::State& state)
{
    if (state.range(0) == 10 * kApplicationNodes) {
        static LevelTree large(10);
        return large;
    }
    static LevelTree small(1);
    return small;
}

// The timed recompute, kept out of line so that callgrind can collect it alone.
__attribute__((noinline)) void TimedRecompute(MvSceneTree* tree) { tree->Recompute(); }

void CheckSize(benchmark::State& state)
{
    if (Level(state).ApplicationNodes() != Level(state).ExpectedNodes() ||
        Level(state).ApplicationNodes() != state.range(0))
        state.SkipWithError("the level tree does not hold the asked number of nodes");
}

// Every per-frame benchmark runs on 1,000 and on 10,000 application nodes.
void NodeCounts(benchmark::internal::Benchmark* b) { b->Arg(kApplicationNodes)->Arg(10 * kApplicationNodes); }

// Recompute with nothing changed: every node visited, renumbered and merged, nothing
// computed or queued.
void BM_RecomputeUnchanged(benchmark::State& state)
{
    CheckSize(state);
    MvSceneTree* tree = Level(state).Tree();
    tree->Recompute();
    for (auto _ : state) {
        TimedRecompute(tree);
        benchmark::ClobberMemory();
    }
    if (Level(state).Stage()->DirtyList(0).Count() != 0)
        state.SkipWithError("an unchanged tree queued rectangles");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecomputeUnchanged)->Apply(NodeCounts);

// Recompute after the scene root moved by one pixel: every node is recomputed and the
// window's area is queued. The dirty list is emptied each time, as the stage's Draw does.
void BM_RecomputeAfterSceneRootMoved(benchmark::State& state)
{
    CheckSize(state);
    MvSceneTree* tree = Level(state).Tree();
    MvSceneNode* root = tree->SceneRoot();
    MvDirtyList& dirty = Level(state).Stage()->DirtyList(0);
    int step = 1;
    for (auto _ : state) {
        root->MoveBy(step, 0, -1);
        step = -step;
        TimedRecompute(tree);
        dirty.Clear();
        benchmark::ClobberMemory();
    }
    root->MoveTo(0, 0);
    tree->Recompute();
    dirty.Clear();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RecomputeAfterSceneRootMoved)->Apply(NodeCounts);

// The floor: the same nodes in walk order, each one's bounds copied and merged into its
// parent's subtree bounds, in a plain loop without the walk's visits.
void BM_FloorMergeLoop(benchmark::State& state)
{
    CheckSize(state);
    MvSceneTree* tree = Level(state).Tree();
    struct Entry {
        const MvSceneNode* node;
        int parent; // index in the list, -1 for the scene root
    };
    std::vector<Entry> entries;
    std::vector<MvSceneNode*> stack;
    std::vector<int> stackIndex;
    for (MvChildCursor c = tree->SceneRoot()->Children(); !c.Done(); c.Next()) {
        stack.push_back(c.Node());
        stackIndex.push_back(-1);
    }
    while (!stack.empty()) {
        MvSceneNode* node = stack.back();
        int parent = stackIndex.back();
        stack.pop_back();
        stackIndex.pop_back();
        entries.push_back({node, parent});
        const int index = static_cast<int>(entries.size()) - 1;
        for (MvChildCursor c = node->Children(); !c.Done(); c.Next()) {
            stack.push_back(c.Node());
            stackIndex.push_back(index);
        }
    }
    if (static_cast<int64_t>(entries.size()) != state.range(0))
        state.SkipWithError("the floor does not cover every node");
    std::vector<MvIntRect> subtree(entries.size());
    MvIntRect all;
    for (auto _ : state) {
        for (size_t i = 0; i < entries.size(); ++i)
            subtree[i] = entries[i].node->Bounds(0);
        all.SetEmpty();
        // Children come after their parents in the list, so a backward pass merges each
        // subtree into its parent before the parent is merged further up.
        for (size_t i = entries.size(); i-- > 0;) {
            const MvIntRect& r = subtree[i];
            if (!r.IsValid())
                continue;
            MvIntRect& into = entries[i].parent >= 0 ? subtree[static_cast<size_t>(entries[i].parent)] : all;
            if (into.IsValid())
                into.Merge(r);
            else
                into = r;
        }
        benchmark::DoNotOptimize(all);
        benchmark::ClobberMemory();
    }
    if (all != tree->SceneRoot()->SubtreeBounds(0))
        state.SkipWithError("the floor's merges disagree with the walk's");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FloorMergeLoop)->Apply(NodeCounts);

// A layer looked up by name, as the game does several times per tick.
void BM_FindByName(benchmark::State& state)
{
    CheckSize(state);
    MvSceneTree* tree = Level(state).Tree();
    const char* names[] = {"enemies", "platforms", "text", "platforms517", "no such layer"};
    size_t i = 0;
    for (auto _ : state) {
        MvSceneNode* found = tree->FindByName(names[i]);
        benchmark::DoNotOptimize(found);
        i = (i + 1) % (sizeof names / sizeof names[0]);
    }
    if (tree->FindByName("platforms517") == nullptr || tree->FindByName("enemies") == nullptr)
        state.SkipWithError("a name is missing from the tree");
}
BENCHMARK(BM_FindByName)->Arg(kApplicationNodes);

} // namespace
