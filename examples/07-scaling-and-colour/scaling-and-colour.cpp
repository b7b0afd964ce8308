// Scaling and colour: sprites drawn larger and smaller, and tinted, faded and brightened.
//
// On the left the same robot stands at four scales (SetScaling with 16.16 MvFixed values),
// twice. The upper row is scaled as it is drawn, every frame, by taking the nearest pixel.
// The lower row shows a second copy of the robot whose resource has a scale cache
// (AddScaleCache): copies of its frames scaled once, at load, with smoothing, which then
// draw as fast as at scale 1. A scale that changes every frame, like the beating heart's,
// can only be scaled as drawn. On the right each robot has a colour transform
// (MvColorXform): every channel is multiplied and offset, ((c * mul) >> 8) + add, and an
// alpha fades the whole node.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int UpperShelfY = 190;
const int LowerShelfY = 350;
const int ScaleQuarters[4] = {2, 4, 6, 8}; // the robots' scales: 0.5, 1, 1.5 and 2
const int ScaleX[4] = {36, 88, 152, 226};  // and where they stand
const char* const ScaleLabels[4] = {"ScaleHalf", "ScaleOne", "ScaleOneHalf", "ScaleTwo"};
const int ColourX[3] = {384, 480, 580};
const int Hues[6][3] = {{255, 80, 80}, {255, 255, 60}, {80, 255, 80}, {60, 255, 255}, {80, 80, 255}, {255, 60, 255}};

// quarters / 4 as a 16.16 number.
MvFixed Quarters(int quarters) { return MvFixed::FromRaw(quarters * MvFixedOne / 4); }

// Counts 0, 1, ... half - 1, half, half - 1, ... 1 and round again.
int Triangle(int frame, int half) { return half - std::abs(frame % (2 * half) - half); }

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
    MvColor wall;
    wall.Set(0x27, 0x30, 0x4a, 255);
    stage->SetBackgroundColor(&wall);

    const std::string dataFile = run.DataFile("scaling-and-colour.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "scaling-and-colour: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }
    // Scaled copies of every frame of the cached robot, at each scale but 1.
    MvSpriteResource* cachedRobot = stage->Vault()->FindSpriteResource("RobotCached");
    for (int quarters : ScaleQuarters)
        if (quarters != 4)
            cachedRobot->AddScaleCache(Quarters(quarters), Quarters(quarters));

    AddSprite(stage, "Title", 16, 12);
    AddSprite(stage, "RowDrawn", 16, 62);
    AddSprite(stage, "RowCached", 16, 222);
    AddSprite(stage, "RowColour", 352, 62);
    AddSprite(stage, "Footer", 16, 420);
    for (int x = 0; x < ScreenWidth; x += 64) {
        AddSprite(stage, "Shelf", x < 320 ? x : x + 16, UpperShelfY);
        AddSprite(stage, "Shelf", x < 320 ? x : x + 16, LowerShelfY);
    }

    for (int i = 0; i < 4; ++i) {
        const MvFixed scale = Quarters(ScaleQuarters[i]);
        AddSprite(stage, "Robot", ScaleX[i], UpperShelfY)->SetScaling(scale, scale);
        AddSprite(stage, "RobotCached", ScaleX[i], LowerShelfY)->SetScaling(scale, scale);
        AddSprite(stage, ScaleLabels[i], ScaleX[i], LowerShelfY + 20);
    }
    MvSpriteNode* heart = AddSprite(stage, "Heart", 290, UpperShelfY);
    AddSprite(stage, "ScaleBeat", 290, UpperShelfY + 20);

    // Six robots at twice their size, each with its own colour transform. Names have their
    // hot spot in the middle of their top row, so they centre under x.
    const char* const colourLabels[6] = {"None", "Fade", "Tint", "Hues", "Brighten", "Darken"};
    MvSpriteNode* tinted[6];
    for (int i = 0; i < 6; ++i) {
        const int x = ColourX[i % 3];
        const int y = i < 3 ? UpperShelfY : LowerShelfY;
        tinted[i] = AddSprite(stage, "Robot", x, y);
        tinted[i]->SetScaling(Quarters(8), Quarters(8));
        AddSprite(stage, colourLabels[i], x, y + 20);
    }
    MvColorXform warm; // red kept, green and blue cut, then a little red and green added
    warm.Set(200, 55, 150, 30, 80, 10, 255);
    tinted[2]->SetColorXform(warm);
    MvColorXform brighter;
    brighter.Brighten(120);
    tinted[4]->SetColorXform(brighter);
    MvColorXform darker;
    darker.Darken(120);
    tinted[5]->SetColorXform(darker);

    while (run.Running()) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            run.Watch(event);

        const int frame = run.Frame();
        // The heart beats between 1 and 2 in sixteenths.
        const MvFixed beat = MvFixed::FromRaw(MvFixedOne + MvFixedOne * Triangle(frame, 16) / 16);
        heart->SetScaling(beat, beat);

        MvColorXform fade; // from opaque to nearly gone and back, every four seconds
        fade.SetAlpha(255 - 200 * Triangle(frame, 120) / 120);
        tinted[1]->SetColorXform(fade);
        const int* hue = Hues[frame / 30 % 6]; // a new colour every half second
        MvColorXform tint;
        tint.Set(hue[0], 0, hue[1], 0, hue[2], 0, 255);
        tinted[3]->SetColorXform(tint);

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
