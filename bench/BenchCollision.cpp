// Cost of the game's contact query: CollideWithChildrenOf of a hero-sized sprite against
// a layer of 600 platform sprites laid out as a level's ground, with the hero standing on
// the ground (contact), touching a platform's rectangle only with transparent pixels,
// between platforms inside the layer's rectangle, and far above the layer. Then a whole
// frame of a crowded layer: 10 of its N sprites move, the stage draws, and each moved
// sprite is tested against its siblings, at N = 1,000 and 10,000.

#include "MvAction.h"
#include "MvPaintTarget.h"
#include "MvRle.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"

#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPlatforms = 600;
constexpr int kGroundBlocks = 500; // the rest float above the ground
constexpr int kBlock = 32;
constexpr int kGroundTop = 568;
constexpr int kFloatingTop = 440;
constexpr int kHeroWidth = 24;
constexpr int kHeroHeight = 40;

// A sprite resource with one action of one frame made from the picture ('#' opaque,
// anything else transparent), its hot spot at the top-left corner.
MvSpriteResource* MakeSprite(const char* name, const std::vector<std::string>& picture)
{
    const int width = static_cast<int>(picture[0].size());
    const int height = static_cast<int>(picture.size());
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < width; ++x)
            row[x] = picture[y][x] == '#' ? 0xFF60A040u : 0;
    }
    MvAction* action = new MvAction("Stand");
    action->SetIdentity("Stand", 1);
    action->SetFrameCount(1);
    MvPaintTarget source(surface);
    action->FrameAt(0)->Create(source, 0, 0, width, height, 0, 0, 0, 0);
    SDL_FreeSurface(surface);
    MvSpriteResource* sprite = new MvSpriteResource(name);
    sprite->AppendAction(action);
    return sprite;
}

// 24 x 40: a head, a body, and two legs, so the bottom corners and the gap between the
// legs are transparent.
std::vector<std::string> HeroPicture()
{
    std::vector<std::string> rows;
    for (int y = 0; y < kHeroHeight; ++y) {
        std::string row(kHeroWidth, '.');
        for (int x = 0; x < kHeroWidth; ++x) {
            const bool head = y < 8 && x >= 8 && x < 16;
            const bool body = y >= 8 && y < 32 && x >= 2 && x < 22;
            const bool legs = y >= 32 && ((x >= 4 && x < 10) || (x >= 14 && x < 20));
            if (head || body || legs)
                row[x] = '#';
        }
        rows.push_back(row);
    }
    return rows;
}

// Ground block i's left edge: runs of 20 blocks with gaps of 3 blocks between them.
int GroundX(int i) { return i * kBlock + (i / 20) * 3 * kBlock; }
// Floating block k's left edge: one every 160 pixels from x = 200.
int FloatingX(int k) { return 200 + k * 160; }

// An 800 x 600 stage with a "platforms" layer of 600 solid 32 x 32 blocks (500 on the
// ground, 100 floating above it) and a "hero" layer with the hero.
class Level {
public:
    Level()
    {
        screen_ = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        stage_.reset(new MvStage(screen_));
        block_.reset(MakeSprite("block", std::vector<std::string>(kBlock, std::string(kBlock, '#'))));
        heroSprite_.reset(MakeSprite("hero", HeroPicture()));

        MvSceneTree* tree = stage_->SceneTree();
        platforms_ = new MvSceneNode();
        platforms_->SetName("platforms");
        tree->InsertNode(nullptr, platforms_);
        for (int i = 0; i < kPlatforms; ++i) {
            MvSpriteNode* node = new MvSpriteNode(block_.get());
            if (i < kGroundBlocks)
                node->MoveTo(GroundX(i), kGroundTop);
            else
                node->MoveTo(FloatingX(i - kGroundBlocks), kFloatingTop);
            tree->InsertNode(platforms_, node);
        }
        MvSceneNode* heroLayer = new MvSceneNode();
        heroLayer->SetName("hero");
        heroLayer->SetDepth(1);
        tree->InsertNode(nullptr, heroLayer);
        hero_ = new MvSpriteNode(heroSprite_.get());
        tree->InsertNode(heroLayer, hero_);
        tree->Recompute();
    }

    ~Level()
    {
        stage_.reset();
        SDL_FreeSurface(screen_);
    }

    // Moves the hero and recomputes, so bounds and subtree bounds are current.
    void PlaceHero(int x, int y)
    {
        hero_->MoveTo(x, y);
        stage_->SceneTree()->Recompute();
        stage_->DirtyList(0).Clear();
    }

    MvSceneTree* Tree() const { return stage_->SceneTree(); }
    MvSceneNode* Platforms() const { return platforms_; }
    MvSpriteNode* Hero() const { return hero_; }

private:
    SDL_Surface* screen_;
    std::unique_ptr<MvSpriteResource> block_;
    std::unique_ptr<MvSpriteResource> heroSprite_;
    std::unique_ptr<MvStage> stage_;
    MvSceneNode* platforms_;
    MvSpriteNode* hero_;
};

// Made once and kept for every benchmark; making it is in no figure.
Level& TheLevel()
{
    static Level level;
    return level;
}

// Times the query with the hero at (x, y); expectedHits is checked before timing.
void RunQuery(benchmark::State& state, int x, int y, int expectedHits)
{
    Level& level = TheLevel();
    level.PlaceHero(x, y);
    MvGrowArray<MvDrawableNode*> hits;
    level.Tree()->CollideWithChildrenOf(level.Hero(), level.Platforms(), &hits, 0);
    if (hits.Count() != expectedHits) {
        state.SkipWithError(("expected " + std::to_string(expectedHits) + " hits, found " +
                             std::to_string(hits.Count()))
                                .c_str());
        return;
    }
    for (auto _ : state) {
        bool found = level.Tree()->CollideWithChildrenOf(level.Hero(), level.Platforms(), &hits, 0);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kPlatforms);
}

// Standing on ground block 5: the bottom row of the legs lies on the block's top row.
void BM_CollideStandingOnGround(benchmark::State& state)
{
    RunQuery(state, GroundX(5) + 4, kGroundTop - kHeroHeight + 1, 1);
}
BENCHMARK(BM_CollideStandingOnGround);

// The hero's transparent bottom-left corner on the top-right corner of a floating block:
// the rectangles meet, the bit maps are compared, and nothing is found.
void BM_CollideRectanglesOnlyTouch(benchmark::State& state)
{
    RunQuery(state, FloatingX(0) + kBlock - 4, kFloatingTop - kHeroHeight + 1, 0);
}
BENCHMARK(BM_CollideRectanglesOnlyTouch);

// Between two floating blocks: inside the layer's rectangle, so every platform's
// rectangle is tested, and none meets the hero.
void BM_CollideInReachNoContact(benchmark::State& state)
{
    RunQuery(state, FloatingX(0) + kBlock + 20, kFloatingTop - 10, 0);
}
BENCHMARK(BM_CollideInReachNoContact);

// Far above the level: the layer's rectangle alone rejects it.
void BM_CollideOutOfReach(benchmark::State& state) { RunQuery(state, 400, 100, 0); }
BENCHMARK(BM_CollideOutOfReach);

constexpr int kCrowdBlock = 16;
constexpr int kCrowdMoved = 10;

// An 800 x 600 stage with a grey background and one layer of count 16 x 16 sprites
// scattered over a level about six pixels wide per sprite, so that a screen shows a
// similar crowd whatever the count.
class Crowd {
public:
    explicit Crowd(int count)
    {
        screen_ = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
        stage_.reset(new MvStage(screen_));
        MvColor grey;
        grey.Set(96, 96, 96, 255);
        stage_->SetBackgroundColor(&grey);
        block_.reset(MakeSprite("crowd", std::vector<std::string>(kCrowdBlock, std::string(kCrowdBlock, '#'))));
        MvSceneTree* tree = stage_->SceneTree();
        MvSceneNode* layer = new MvSceneNode();
        tree->InsertNode(nullptr, layer);
        const int width = std::min(6 * count, MvMaxNodePosition);
        for (int i = 0; i < count; ++i) {
            MvSpriteNode* node = new MvSpriteNode(block_.get());
            node->MoveTo((i * 53) % width, (i * 37) % 580);
            tree->InsertNode(layer, node);
            nodes_.push_back(node);
        }
        // The moved ones are spread over the layer, the first of them on screen.
        for (int k = 0; k < kCrowdMoved; ++k)
            moved_.push_back(nodes_[static_cast<size_t>(k * (count / kCrowdMoved))]);
        stage_->Draw(false);
    }

    ~Crowd()
    {
        stage_.reset();
        SDL_FreeSurface(screen_);
    }

    // Moves every moved sprite by (dx, 0), draws the frame and runs each one's sibling
    // query; returns the number of hits. Kept out of line so that callgrind can count it.
    __attribute__((noinline)) int Frame(int dx, MvGrowArray<MvDrawableNode*>* hits)
    {
        for (MvSpriteNode* node : moved_)
            node->MoveBy(dx, 0);
        stage_->Draw(false);
        int found = 0;
        for (MvSpriteNode* node : moved_) {
            stage_->SceneTree()->CollideWithSiblings(node, hits, 0);
            found += hits->Count();
        }
        return found;
    }

    int Count() const { return static_cast<int>(nodes_.size()); }

private:
    SDL_Surface* screen_;
    std::unique_ptr<MvSpriteResource> block_;
    std::unique_ptr<MvStage> stage_;
    std::vector<MvSpriteNode*> nodes_;
    std::vector<MvSpriteNode*> moved_;
};

// A frame in which 10 of N sprites move by a pixel (back and forth): the recompute walk,
// the painting of the dirty rectangles and ten sibling queries.
void BM_FrameTenMoved(benchmark::State& state)
{
    static Crowd small(1000);
    static Crowd large(10000);
    Crowd& crowd = state.range(0) == 10000 ? large : small;
    if (crowd.Count() != state.range(0)) {
        state.SkipWithError("no crowd of that size");
        return;
    }
    MvGrowArray<MvDrawableNode*> hits;
    int dx = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(crowd.Frame(dx, &hits));
        dx = -dx;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FrameTenMoved)->Arg(1000)->Arg(10000);

} // namespace
