// Hello, stage: one sprite walking across the screen.
//
// The smallest complete Movo program. It opens a window, makes a stage on it, loads the
// example's resource file into the stage's vault and hangs sprite nodes in the stage's
// scene tree; then, once a frame, it changes a few nodes and lets stage->Draw repaint what
// changed. Look at the loop: Pip either walks, where Step moves the node by the shown
// frame's delta and shows the next frame of "Walk.Right" or "Walk.Left", or, at an edge of
// the meadow, waves at the viewer for a second: SelectAction("Wave") switches to the
// waving pictures and SelectFrame picks one by the frame number, before SelectAction turns
// Pip round.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <cstdio>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int GroundY = 400;     // the top row of the grass
const int LeftEdge = 48;     // Pip turns round when it reaches these x
const int RightEdge = 592;
const int WaveFrames = 60;   // one second of waving at each edge
const int CloudCycle = 780;  // a cloud leaving on the left comes back on the right

// A new sprite node showing the named sprite resource, inserted under the scene root at
// (x, y). The tree owns the node from now on.
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

    // Set-up: a window and a stage on its surface, filled with the sky's colour.
    SDL_Surface* screen = run.OpenWindow(ScreenWidth, ScreenHeight);
    MvStage* stage = new MvStage(screen);
    MvColor sky;
    sky.Set(0x8f, 0xd0, 0xf4, 255);
    stage->SetBackgroundColor(&sky);

    // Loading: the pictures, made by the build from hello-stage.xml.
    const std::string dataFile = run.DataFile("hello-stage.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "hello-stage: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }

    // The scene. Nodes of equal depth are drawn in the order they were inserted, so the
    // scenery comes first and Pip, inserted last, walks in front of it.
    AddSprite(stage, "Sun", 500, 36);
    MvSpriteNode* clouds[] = {AddSprite(stage, "CloudBig", 0, 84), AddSprite(stage, "CloudSmall", 0, 140),
                              AddSprite(stage, "CloudBig", 0, 190)};
    const int cloudStart[] = {200, 470, 720};
    AddSprite(stage, "HillFar", -60, GroundY + 4);
    AddSprite(stage, "HillFar", 380, GroundY + 4);
    AddSprite(stage, "HillNear", 150, GroundY + 4);
    AddSprite(stage, "HillNear", 470, GroundY + 4);
    AddSprite(stage, "Tree", 96, GroundY + 4);
    AddSprite(stage, "Tree", 560, GroundY + 4);
    for (int x = 0; x < ScreenWidth; x += 64)
        AddSprite(stage, "Ground", x, GroundY);
    const int flowers[] = {30, 150, 178, 262, 410, 436, 520, 618};
    for (int i = 0; i < 8; ++i)
        AddSprite(stage, i % 2 ? "FlowerYellow" : "FlowerPink", flowers[i], GroundY + 2);
    AddSprite(stage, "Title", 18, 16);
    AddSprite(stage, "Subtitle", 20, 54);

    MvSpriteNode* pip = AddSprite(stage, "Pip", LeftEdge, GroundY + 2);
    pip->SelectAction("Walk.Right");
    bool walkingRight = true;
    int waveEnd = -1; // the frame at which the waving ends, -1 while Pip walks

    // The loop: events, update, draw.
    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        const int frame = run.Frame();
        // The clouds drift left by one pixel every third frame.
        for (int i = 0; i < 3; ++i) {
            const int x = ((cloudStart[i] - frame / 3) % CloudCycle + CloudCycle) % CloudCycle;
            clouds[i]->MoveTo(x - 120, clouds[i]->PosY(0));
        }

        if (waveEnd < 0) {
            pip->Step();
            const int x = pip->PosX(0);
            if ((walkingRight && x >= RightEdge) || (!walkingRight && x <= LeftEdge)) {
                walkingRight = !walkingRight;
                pip->SelectAction("Wave");
                waveEnd = frame + WaveFrames;
            }
        } else if (frame < waveEnd) {
            pip->SelectFrame(frame / 12 % 2);
        } else {
            pip->SelectAction(walkingRight ? "Walk.Right" : "Walk.Left");
            waveEnd = -1;
        }

        stage->Draw(true);
        run.FrameDone(stage);
    }

    // Shut-down: the stage deletes its tree with every node and its vault with every
    // resource; the screen is SDL's.
    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
