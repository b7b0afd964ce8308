// Canvas collision: a picture the program paints every frame, and a sprite that collides
// with its painted pixels, pixel for pixel.
//
// The cave is an MvCanvasResource, a true-colour picture the program owns and paints:
// PaintCave writes its pixels, rock or fully transparent air, and NotifyChanged tells the
// canvas so, which redraws the MvCanvasNode that shows it and drops the canvas's old
// collision map. Look at the loop: after the pod and the cave have changed, Recompute
// brings the bounds up to date and Collide compares the pod's visible pixels with the
// cave's painted ones, only where their rectangles meet. The pod turns red while it
// touches the rock; when only its transparent corners or its bounding box reach into a
// stalactite, it does not. The program made the canvas, so it deletes it, after the stage
// that deletes the node showing it.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int ScrollSpeed = 2; // pixels a frame
const int PodX = 200;
const int BobHeight = 70;
const int BobPhase = 5;

MvColor Rgb(int red, int green, int blue)
{
    MvColor c;
    c.Set(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue), 255);
    return c;
}

// How far a spike of the given width and length reaches at position p of its base.
int Spike(int p, int width, int length)
{
    if (p >= width)
        return 0;
    const int fromMiddle = 2 * p - (width - 1);
    return length * (width - (fromMiddle < 0 ? -fromMiddle : fromMiddle)) / width;
}

// Rock at depth pixels inside its edge, at column u of the cave and row y: floor says
// whether it is the floor, which has moss on top; deep inside, strata and crystals.
MvColor RockColor(int depth, bool floor, int u, int y)
{
    if (floor && depth <= 4)
        return depth <= 2 ? Rgb(0x8e, 0xd8, 0x6e) : Rgb(0x4f, 0x9a, 0x56);
    if (depth <= 2)
        return Rgb(0xb0, 0x9c, 0xd0);
    if (depth <= 7)
        return Rgb(0x7a, 0x66, 0x94);
    // A crystal in some squares of 14 x 14 pixels, a diamond in the middle.
    const int across = u % 14 - 7 < 0 ? 7 - u % 14 : u % 14 - 7;
    const int down = y % 14 - 7 < 0 ? 7 - y % 14 : y % 14 - 7;
    if (depth > 12 && (u / 14 * 7 + y / 14 * 3 + u / 14 * (y / 14) % 5) % 13 == 0 && across + down <= 4)
        return across + down <= 1 ? Rgb(0xe0, 0xfc, 0xff) : Rgb(0x62, 0xc8, 0xee);
    return (y * 2 + u) / 14 % 3 == 0 ? Rgb(0x4a, 0x3a, 0x62) : Rgb(0x5c, 0x4a, 0x74);
}

// The rows of the cave's ceiling and floor u pixels from its start, spikes left out.
void CaveWalls(int u, int* ceiling, int* floor)
{
    *ceiling = static_cast<int>(150 + 35 * std::sin(u / 53.0) + 15 * std::sin(u / 19.0 + 1));
    *floor = static_cast<int>(400 + 30 * std::sin(u / 61.0 + 2) + 12 * std::sin(u / 23.0));
}

// Paints the cave as it is scroll pixels on: rock above the ceiling and below the floor,
// with a stalactite and a stalagmite every 170 pixels; transparent air between.
void PaintCave(MvCanvasResource* cave, int scroll)
{
    MvColor air;
    air.Set(0, 0, 0, 0);
    MvColor* pixels = cave->Pixels();
    const int width = cave->Width();
    for (int x = 0; x < width; ++x) {
        const int u = x + scroll;
        int ceiling, floor;
        CaveWalls(u, &ceiling, &floor);
        ceiling += Spike(u % 170, 26, 70);
        floor -= Spike((u + 85) % 170, 30, 56);
        for (int y = 0; y < cave->Height(); ++y) {
            MvColor& pixel = pixels[y * width + x];
            if (y < ceiling)
                pixel = RockColor(ceiling - y, false, u, y);
            else if (y >= floor)
                pixel = RockColor(y - floor + 1, true, u, y);
            else
                pixel = air;
        }
    }
    cave->NotifyChanged();
}

MvSpriteNode* AddSprite(MvStage* stage, const char* name, int x, int y)
{
    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource(name));
    stage->SceneTree()->InsertNode(nullptr, node);
    node->MoveTo(x, y);
    return node;
}

} // namespace

int main(int argc, char** argv)
{
    ExampleRun run(argc, argv);

    SDL_Surface* screen = run.OpenWindow(ScreenWidth, ScreenHeight);
    MvStage* stage = new MvStage(screen);
    MvColor dark = Rgb(0x1a, 0x12, 0x2e);
    stage->SetBackgroundColor(&dark);

    const std::string dataFile = run.DataFile("canvas-collision.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "canvas-collision: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }

    // The canvas, with alpha so that the air is transparent, and the node that shows it
    // (inserted first, so everything else lies on it).
    MvCanvasResource* cave = new MvCanvasResource("Cave", ScreenWidth, ScreenHeight, true);
    MvCanvasNode* caveNode = new MvCanvasNode(cave);
    stage->SceneTree()->InsertNode(nullptr, caveNode);

    MvSpriteNode* pod = AddSprite(stage, "Pod", 0, 0);
    AddSprite(stage, "Title", 18, 16);
    AddSprite(stage, "Subtitle", 20, 54);
    MvSpriteNode* touching = AddSprite(stage, "Touching", 440, 16);
    MvSpriteNode* clear = AddSprite(stage, "Clear", 506, 16);

    MvColorXform red; // the pod's colours pulled towards red
    red.Set(255, 0, 110, 0, 110, 0, 255);

    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        // The pod keeps to the middle of the cave, bobbing up and down.
        const int frame = run.Frame();
        PaintCave(cave, frame * ScrollSpeed);
        int ceiling, floor;
        CaveWalls(PodX + frame * ScrollSpeed, &ceiling, &floor);
        pod->MoveTo(PodX, (ceiling + floor) / 2 + static_cast<int>(BobHeight * std::sin((frame + BobPhase) / 17.0)));
        pod->SelectFrame(frame / 4 % 2);

        // Collide answers for the bounds of the last recompute: bring them up to date first.
        stage->SceneTree()->Recompute();
        const bool hit = pod->Collide(caveNode, 0);
        pod->SetColorXform(hit ? red : MvColorXform());
        touching->SetShown(hit);
        clear->SetShown(!hit);

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    delete cave;
    SDL_Quit();
    return run.ExitCode();
}
