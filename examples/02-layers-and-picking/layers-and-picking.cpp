// Layers and picking: group nodes under plain parents, order them by depth, and find the
// node under the mouse.
//
// The scene hangs from four layers, plain MvSceneNode parents: the sea bed, the fish, the
// plants in front and the labels. The layers are inserted front first on purpose: SetDepth,
// not the order of insertion, decides what is drawn on top, among the layers as among the
// fish in one layer. Hiding a layer (keys 1, 2, 3) hides everything below it. Each frame
// MvSceneTree::PickAt lists the nodes under the mouse, topmost first; the first fish or
// plant among them gets a brightening colour transform, and a click raises a fish above
// the others with SetDepth. With --frames the mouse rests where two fish cross.

#include "ExampleRun.h"

#include <movo/Movo.h>

#include <cstdio>
#include <string>

namespace {

const int ScreenWidth = 640;
const int ScreenHeight = 480;
const int SeaFloorY = 432;       // the top of the sand
const int ScriptedMouseX = 306;  // where the mouse rests with --frames
const int ScriptedMouseY = 236;

// Where each fish starts, how fast it swims (pixels per two frames; negative is to the
// left) and its depth in the fish layer: higher is in front.
struct Fish { const char* sprite; int x, y, speed, depth; };
const Fish Fishes[] = {
    {"Orange", 240, 214, 1, 2}, {"Blue", 360, 244, -1, 3}, {"Yellow", 500, 150, -2, 1},
    {"Orange", 420, 340, -1, 1}, {"Yellow", 60, 310, 2, 4},  {"Blue", 40, 130, 1, 2},
};
const int FishCount = 6;
const int Bob[8] = {0, 1, 2, 2, 1, 0, -1, -1}; // a slow rise and fall, two pixels each way

MvSpriteNode* AddSprite(MvStage* stage, MvSceneNode* layer, const char* name, int x, int y)
{
    MvSpriteNode* node = new MvSpriteNode(stage->Vault()->FindSpriteResource(name));
    stage->SceneTree()->InsertNode(layer, node);
    node->MoveTo(x, y);
    return node;
}

MvSceneNode* AddLayer(MvStage* stage, int depth)
{
    MvSceneNode* layer = new MvSceneNode();
    stage->SceneTree()->InsertNode(nullptr, layer);
    layer->SetDepth(depth);
    return layer;
}

} // namespace

int main(int argc, char** argv)
{
    ExampleRun run(argc, argv);

    SDL_Surface* screen = run.OpenWindow(ScreenWidth, ScreenHeight);
    SDL_ShowCursor(SDL_DISABLE); // the pointer is a sprite, so screenshots show it too
    MvStage* stage = new MvStage(screen);
    MvColor water;
    water.Set(0x1d, 0x5a, 0x8c, 255);
    stage->SetBackgroundColor(&water);

    const std::string dataFile = run.DataFile("layers-and-picking.dat");
    if (!stage->Vault()->LoadDatFile(dataFile.c_str())) {
        std::fprintf(stderr, "layers-and-picking: cannot load %s\n", dataFile.c_str());
        delete stage;
        SDL_Quit();
        return 1;
    }

    // The layers, front first: their depths put them in order.
    MvSceneNode* labels = AddLayer(stage, 3);
    MvSceneNode* plants = AddLayer(stage, 2);
    MvSceneNode* fishLayer = AddLayer(stage, 1);
    MvSceneNode* seaBed = AddLayer(stage, 0);

    for (int x = -20; x < ScreenWidth; x += 150)
        AddSprite(stage, seaBed, "LightRay", x, 0);
    const int backWeeds[] = {30, 70, 200, 330, 470, 600};
    for (int x : backWeeds)
        AddSprite(stage, seaBed, "SeaweedBack", x, SeaFloorY + 6)->SelectFrame(x / 10 % 2);
    AddSprite(stage, seaBed, "RockBig", 140, SeaFloorY + 8);
    AddSprite(stage, seaBed, "RockSmall", 420, SeaFloorY + 8);
    for (int x = 0; x < ScreenWidth; x += 128)
        AddSprite(stage, seaBed, "Sand", x, SeaFloorY);

    MvSpriteNode* fish[FishCount];
    for (int i = 0; i < FishCount; ++i) {
        fish[i] = AddSprite(stage, fishLayer, Fishes[i].sprite, Fishes[i].x, Fishes[i].y);
        fish[i]->SelectAction(Fishes[i].speed > 0 ? "Swim.Right" : "Swim.Left");
        fish[i]->SetDepth(Fishes[i].depth);
    }
    int topDepth = 4; // the highest fish depth so far

    MvSpriteNode* weeds[4];
    const int frontWeeds[] = {100, 250, 520, 580};
    for (int i = 0; i < 4; ++i)
        weeds[i] = AddSprite(stage, plants, "SeaweedFront", frontWeeds[i], SeaFloorY + 14);
    AddSprite(stage, plants, "Coral", 380, SeaFloorY + 14);
    MvSpriteNode* bubbles[3];
    for (int i = 0; i < 3; ++i)
        bubbles[i] = AddSprite(stage, plants, i == 0 ? "BubbleBig" : "BubbleSmall", 0, 0);

    AddSprite(stage, labels, "Title", 18, 16);
    AddSprite(stage, labels, "Hints", 20, 52);
    MvSpriteNode* pointer = AddSprite(stage, labels, "Pointer", ScriptedMouseX, ScriptedMouseY);

    MvSceneNode* const keyLayers[3] = {seaBed, fishLayer, plants}; // for keys 1, 2 and 3
    MvColorXform highlight;
    highlight.Brighten(96);
    MvSceneNode* highlighted = nullptr;
    int mouseX = ScriptedMouseX;
    int mouseY = ScriptedMouseY;

    while (run.Running()) {
        bool clicked = false;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            run.Watch(event);
            if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT)
                clicked = true;
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym >= SDLK_1 && event.key.keysym.sym <= SDLK_3) {
                MvSceneNode* layer = keyLayers[event.key.keysym.sym - SDLK_1];
                layer->SetShown(!layer->IsShown(0));
            }
        }
        if (!run.Scripted())
            SDL_GetMouseState(&mouseX, &mouseY);

        // Picking answers for what the screen shows, the frame drawn last, so it comes
        // before anything moves. The sea bed and the labels are not for picking: the first
        // hit in the fish or the plants wins.
        MvGrowArray<MvSceneNode*> hits;
        int window = -1;
        stage->SceneTree()->PickAt(mouseX, mouseY, MvPickAll, &hits, &window);
        MvSceneNode* picked = nullptr;
        for (int i = 0; i < hits.Count() && picked == nullptr; ++i)
            if (hits[i]->Parent() == fishLayer || hits[i]->Parent() == plants)
                picked = hits[i];
        if (picked != highlighted) {
            if (highlighted != nullptr)
                highlighted->SetColorXform(MvColorXform());
            if (picked != nullptr)
                picked->SetColorXform(highlight);
            highlighted = picked;
        }
        if (clicked && picked != nullptr && picked->Parent() == fishLayer)
            picked->SetDepth(++topDepth);

        const int frame = run.Frame();
        for (int i = 0; i < FishCount; ++i) {
            const int x = ((Fishes[i].x + Fishes[i].speed * frame / 2 + 80) % 800 + 800) % 800 - 80;
            fish[i]->MoveTo(x, Fishes[i].y + Bob[(frame / 12 + i * 3) % 8]);
            fish[i]->SelectFrame((frame / 10 + i) % 2);
        }
        for (int i = 0; i < 4; ++i)
            weeds[i]->SelectFrame((frame / 30 + i) % 2);
        for (int i = 0; i < 3; ++i) {
            const int rise = (frame + i * 90) % 270; // from the coral to the surface
            bubbles[i]->MoveTo(392 + i * 6 + Bob[(frame / 6 + i) % 8] * 2, SeaFloorY - 30 - rise * 15 / 10);
        }
        pointer->MoveTo(mouseX, mouseY);

        stage->Draw(true);
        run.FrameDone(stage);
    }

    delete stage;
    SDL_Quit();
    return run.ExitCode();
}
