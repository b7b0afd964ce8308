// OpenGL: the same kind of scene on an SDL_OPENGL screen, from day into night.
//
// The only OpenGL in this program is the screen: SDL_SetVideoMode with SDL_OPENGL and a
// double buffer. The stage sees it and draws every node as a textured quad, each picture
// uploaded once into a texture, and redraws the whole window each frame; the nodes, the
// setters and stage->Draw are those of a software screen. Look at what the texture path
// does well: the landscape layer's colour transform darkens everything in it at once as
// night falls (the transforms of parents and children combine), stars and fireflies fade in
// through their alpha, and the fireflies' soft glow is scaled up and down every frame
// with smooth filtering.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int GroundY = 400;
const int DayLength = 600; // frames from noon to midnight and back
const int Stars[12][2] = {{40, 110}, {120, 60},  {180, 140}, {250, 100}, {300, 170}, {360, 120},
                          {420, 180}, {470, 90}, {520, 200}, {590, 150}, {610, 40},  {80, 190}};

// Counts 0 up to half and back down to 0 over 2 * half frames, and round again.
int Triangle(int frame, int half) { return half - std::abs(frame % (2 * half) - half); }

// a, or b, or in between by night / 256.
int Mix(int a, int b, int night) { return a + (b - a) * night / 256; }

MvSpriteNode* AddSprite(MvStage* stage, MvSceneNode* parent, const char* name, int x, int y)
{
    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource(name));
    stage->SceneTree()->InsertNode(parent, node);
    node->MoveTo(x, y);
    return node;
}

MvSceneNode* AddLayer(MvStage* stage)
{
    MvSceneNode* layer = new MvSceneNode();
    stage->SceneTree()->InsertNode(nullptr, layer);
    return layer;
}

} // namespace

int main(int argc, char** argv)
{
    ExampleRun run(argc, argv);

    // The OpenGL screen: everything after this line is as on a software screen.
    SDL_Surface* screen = nullptr;
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        screen = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 0, SDL_OPENGL);
    }
    if (!screen) {
        std::fprintf(stderr, "opengl: cannot open an OpenGL window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_WM_SetCaption("Movo example: opengl", nullptr);
    MvStage* stage = new MvStage(screen);

    const std::string dataFile = run.DataFile("opengl.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "opengl: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }

    // The sky: moon and stars, which only the night shows.
    MvSceneNode* sky = AddLayer(stage);
    MvSpriteNode* stars[12];
    for (int i = 0; i < 12; ++i)
        stars[i] = AddSprite(stage, sky, i % 3 ? "StarSmall" : "StarBig", Stars[i][0], Stars[i][1]);
    MvSpriteNode* moon = AddSprite(stage, sky, "Moon", 540, 90);
    AddSprite(stage, sky, "Title", 18, 16);
    AddSprite(stage, sky, "Subtitle", 20, 54);

    // The landscape, one layer whose colour transform is the light of the hour.
    MvSceneNode* land = AddLayer(stage);
    MvSpriteNode* cloud = AddSprite(stage, land, "Cloud", 0, 120);
    AddSprite(stage, land, "HillFar", 120, GroundY + 4);
    AddSprite(stage, land, "HillFar", 520, GroundY + 4);
    AddSprite(stage, land, "HillNear", 330, GroundY + 4);
    AddSprite(stage, land, "Tree", 70, GroundY + 4);
    AddSprite(stage, land, "Tree", 590, GroundY + 4);
    AddSprite(stage, land, "Cottage", 200, GroundY + 2);
    for (int x = 0; x < ScreenWidth; x += 64)
        AddSprite(stage, land, "Ground", x, GroundY);
    MvSpriteNode* pip = AddSprite(stage, land, "Pip", 300, GroundY + 2);
    pip->SelectAction("Walk.Right");

    // The lights: not darkened by the night, but faded in with it.
    MvSceneNode* lights = AddLayer(stage);
    AddSprite(stage, lights, "CottageLight", 170, GroundY - 33);
    AddSprite(stage, lights, "CottageLight", 214, GroundY - 33);
    MvSpriteNode* fireflies[6];
    for (int i = 0; i < 6; ++i)
        fireflies[i] = AddSprite(stage, lights, "Firefly", 0, 0);

    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        const int frame = run.Frame();
        const int night = Triangle(frame, DayLength / 2) * 256 / (DayLength / 2); // 0 at noon, 256 at midnight

        MvColor skyColour;
        skyColour.Set(Mix(0x8f, 0x10, night), Mix(0xd0, 0x18, night), Mix(0xf4, 0x3c, night), 255);
        stage->SetBackgroundColor(&skyColour);
        MvColorXform light;
        light.Set(Mix(255, 70, night), 0, Mix(255, 84, night), 0, Mix(255, 150, night), 0, 255);
        land->SetColorXform(light);
        MvColorXform glow;
        glow.SetAlpha(std::min(255, night));
        lights->SetColorXform(glow);
        for (int i = 0; i < 12; ++i) { // the stars twinkle, each at its own beat
            MvColorXform twinkle;
            twinkle.SetAlpha(std::min(255, night) * (160 + Triangle(frame + i * 13, 24) * 4) / 256);
            stars[i]->SetColorXform(twinkle);
        }
        moon->MoveTo(540, Mix(300, 100, night)); // the moon rises from behind the hill

        cloud->MoveTo((frame / 2) % 760 - 120, 120);
        pip->Step();
        if (pip->PosX(0) >= 600)
            pip->SelectAction("Walk.Left");
        else if (pip->PosX(0) <= 300)
            pip->SelectAction("Walk.Right");
        for (int i = 0; i < 6; ++i) { // loops over the meadow, and a glow that swells
            const double t = frame * 0.02 + i * 1.7;
            fireflies[i]->MoveTo(90 + i * 90 + int(40 * std::sin(t * 1.3)), 330 + int(30 * std::sin(t * 2.1)));
            const MvFixed size = MvFixed::FromRaw(MvFixedOne + MvFixedOne * Triangle(frame + i * 11, 20) / 20);
            fireflies[i]->SetScaling(size, size);
        }

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
