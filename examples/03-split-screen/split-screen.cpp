// Split screen: one scene tree shown in four windows, each with its own view of it.
//
// The stage is made with four windows: two views side by side, each following one walker
// through a world twice as wide as the screen, a map of the whole world below them, and a
// caption strip. There is only one tree, and every node in it has a place, a scale and a
// shown flag per window: look at the setters with a window index. The world node moves by
// a different amount in each view (MoveTo(x, y, window)) and is halved in the map
// (SetScaling(half, half, 2)); the names, the caption and the frames that mark the views
// in the map are shown in one window only (SetShown(false, window)). A scale cache made
// once at half size lets the map draw from scaled copies instead of scaling every frame.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int WorldWidth = 1280;
const int WorldHeight = 300;
const int GroundY = 250;
const int ViewWidth = 318;
enum { LeftView, RightView, Map, Caption, WindowCount };
const MvIntRect Windows[WindowCount] = {
    {0, 0, ViewWidth - 1, WorldHeight - 1},        // the left view, Pip's
    {322, 0, 322 + ViewWidth - 1, WorldHeight - 1}, // the right view, Pep's
    {0, 304, ScreenWidth - 1, 304 + WorldHeight / 2 - 1}, // the map, the world at half size
    {0, 458, ScreenWidth - 1, ScreenHeight - 1},   // the caption
};

MvSpriteNode* AddSprite(MvStage* stage, MvSceneNode* parent, const char* name, int x, int y)
{
    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource(name));
    stage->SceneTree()->InsertNode(parent, node);
    node->MoveTo(x, y);
    return node;
}

// Hides node in every window but one.
void ShowOnlyIn(MvSceneNode* node, int window)
{
    for (int i = 0; i < WindowCount; ++i)
        node->SetShown(i == window, i);
}

// A walker steps along the ground and turns round at either end of the world.
void Walk(MvSpriteNode* walker)
{
    walker->Step();
    if (walker->PosX(0) >= WorldWidth - 40)
        walker->SelectAction("Walk.Left");
    else if (walker->PosX(0) <= 40)
        walker->SelectAction("Walk.Right");
}

} // namespace

int main(int argc, char** argv)
{
    ExampleRun run(argc, argv);

    SDL_Surface* screen = run.OpenWindow(ScreenWidth, ScreenHeight);
    // The windows, and the colour of the gaps between them.
    MvColor sky, night;
    sky.Set(0x8f, 0xd0, 0xf4, 255);
    night.Set(0x2b, 0x1d, 0x3a, 255);
    MvStage* stage = new MvStage(screen, WindowCount, Windows, &night);
    stage->SetBackgroundColor(&sky);
    stage->SetWindowBackground(Caption, &night);

    const std::string dataFile = run.DataFile("split-screen.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "split-screen: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }
    const MvFixed half = MvFixed::FromDouble(0.5);
    stage->Vault()->AddScaleCache(half, half);

    // The world: one node whose children are everything that lives in it.
    MvSceneNode* world = new MvSceneNode();
    stage->SceneTree()->InsertNode(nullptr, world);
    MvSpriteNode* clouds[4];
    for (int i = 0; i < 4; ++i)
        clouds[i] = AddSprite(stage, world, "Cloud", 0, 24 + i % 2 * 46);
    for (int x = -40; x < WorldWidth; x += 340)
        AddSprite(stage, world, "HillFar", x + 130, GroundY + 4);
    for (int x = 150; x < WorldWidth; x += 360)
        AddSprite(stage, world, "HillNear", x + 100, GroundY + 4);
    AddSprite(stage, world, "Cottage", 210, GroundY + 2);
    MvSpriteNode* windmill = AddSprite(stage, world, "Windmill", 760, GroundY + 2);
    const int trees[] = {90, 330, 560, 1010, 1220};
    for (int i = 0; i < 5; ++i)
        AddSprite(stage, world, i % 2 ? "TreeAutumn" : "Tree", trees[i], GroundY + 4);
    for (int x = 0; x < 4; ++x) {
        AddSprite(stage, world, "Fence", 420 + x * 32, GroundY + 4);
        AddSprite(stage, world, "Fence", 1090 + x * 32, GroundY + 4);
    }
    for (int x = 0; x < WorldWidth; x += 64)
        AddSprite(stage, world, "Ground", x, GroundY);
    for (int x = 30; x < WorldWidth; x += 97)
        AddSprite(stage, world, "Flower", x, GroundY + 2);

    MvSpriteNode* walkers[2] = {AddSprite(stage, world, "Pip", 100, GroundY + 2),
                                AddSprite(stage, world, "Pep", 1000, GroundY + 2)};
    walkers[0]->SelectAction("Walk.Right");
    walkers[1]->SelectAction("Walk.Left");

    // Each view's frame in the map: four bars round a view-sized rectangle of the world.
    MvSceneNode* frames[2];
    const char* bars[2][2] = {{"FramePipAcross", "FramePipDown"}, {"FramePepAcross", "FramePepDown"}};
    for (int i = 0; i < 2; ++i) {
        frames[i] = new MvSceneNode();
        stage->SceneTree()->InsertNode(world, frames[i]);
        ShowOnlyIn(frames[i], Map);
        AddSprite(stage, frames[i], bars[i][0], 0, 0);
        AddSprite(stage, frames[i], bars[i][0], 0, WorldHeight - 4);
        AddSprite(stage, frames[i], bars[i][1], 0, 0);
        AddSprite(stage, frames[i], bars[i][1], ViewWidth - 4, 0);
    }

    // The labels hang from the scene root beside the world, so they neither scroll nor scale.
    ShowOnlyIn(AddSprite(stage, nullptr, "NamePip", 8, 8), LeftView);
    ShowOnlyIn(AddSprite(stage, nullptr, "NamePep", 8, 8), RightView);
    ShowOnlyIn(AddSprite(stage, nullptr, "Caption", 8, 2), Caption);
    world->SetShown(false, Caption);
    world->SetScaling(half, half, Map); // the map: the whole world at half size

    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        const int frame = run.Frame();
        for (int i = 0; i < 4; ++i)
            clouds[i]->MoveTo((i * 360 + 1400 - frame / 3 % 1400) % 1400 - 120, clouds[i]->PosY(0));
        windmill->SelectFrame(frame / 8 % 3);
        for (int view = LeftView; view <= RightView; ++view) {
            Walk(walkers[view]);
            // The view keeps its walker in the middle, but does not look past the world's ends.
            const int left = std::clamp(walkers[view]->PosX(0) - ViewWidth / 2, 0, WorldWidth - ViewWidth);
            world->MoveTo(-left, 0, view);
            frames[view]->MoveTo(left, 0);
        }

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
