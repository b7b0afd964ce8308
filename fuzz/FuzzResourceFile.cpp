// Fuzz target: a resource file from bytes. A file that loads is then used the way a game
// uses one, so that a file that is well formed but holds nonsense is exercised too: every
// frame of every sprite action, every tile in all eight orientations, every font glyph and
// every canvas made from a frame are drawn into a 32-bit memory screen at several scales
// and colour transforms; points are picked and every drawable node is tested for
// collisions; text and binary data are read.

#include "MvAction.h"
#include "MvBinaryDataResource.h"
#include "MvCanvasNode.h"
#include "MvCanvasResource.h"
#include "MvColorXform.h"
#include "MvDrawableNode.h"
#include "MvFixed.h"
#include "MvFontResource.h"
#include "MvGrowArray.h"
#include "MvIntRect.h"
#include "MvLog.h"
#include "MvResource.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "MvTextDataResource.h"
#include "MvTextNode.h"
#include "MvTileNode.h"
#include "MvTileResource.h"

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

const int ScreenWidth = 64;
const int ScreenHeight = 48;
const int MaxCanvasSide = 256;

// The scales each scene is drawn at, in 16.16 fixed point: half, whole and one and a half.
const int32_t Scales[] = {0x8000, 0x10000, 0x18000};

// Keeps node for the scene when its picture covers a pixel (a precondition of a drawable
// node in a tree); deletes it otherwise.
void Keep(MvDrawableNode* node, MvGrowArray<MvSceneNode*>* nodes)
{
    MvIntRect box;
    node->QueryBoundingBox(&box, 0);
    if (box.IsValid())
        nodes->Append(node);
    else
        delete node;
}

// Every drawable node a resource gives that covers a pixel.
void AddNodes(MvSceneTree* tree, MvResource* resource, MvGrowArray<MvSceneNode*>* nodes)
{
    if (MvSpriteResource* sprite = resource->AsSpriteResource()) {
        for (int a = 0; a < sprite->ActionCount(); ++a) {
            MvAction* action = sprite->ActionAt(a);
            for (int f = 0; f < action->FrameCount(); ++f) {
                MvSpriteNode* node = new MvSpriteNode(sprite);
                node->SelectActionById(action->Id());
                if (f < node->FrameCount())
                    node->SelectFrame(f);
                Keep(node, nodes);
                // A canvas holds every pixel of the frame's rectangle, which a small file
                // may make large: only small frames get one. It goes to the vault, which
                // outlives the nodes.
                const MvRle* frame = action->FrameAt(f);
                if (frame->Width() <= MaxCanvasSide && frame->Height() <= MaxCanvasSide) {
                    int hotX = 0, hotY = 0;
                    MvCanvasResource* canvas = action->MakeCanvas(f, &hotX, &hotY);
                    tree->Stage()->Vault()->AppendResource(canvas);
                    Keep(new MvCanvasNode(canvas), nodes);
                }
            }
        }
    } else if (MvTileResource* tile = resource->AsTileResource()) {
        for (int orientation = 0; orientation < 8; ++orientation)
            Keep(new MvTileNode(tile, orientation), nodes);
    } else if (MvFontResource* font = resource->AsFontResource()) {
        char text[256];
        for (int i = 0; i < 255; ++i)
            text[i] = static_cast<char>(i + 1);
        text[255] = 0;
        nodes->Append(new MvTextNode(font, text));
        nodes->Append(new MvTextNode(font, "Ag 09 x"));
    } else if (MvTextDataResource* textData = resource->AsTextDataResource()) {
        MvGrowArray<std::string> lines;
        textData->GetLines(&lines);
    } else if (MvBinaryDataResource* binary = resource->AsBinaryDataResource()) {
        volatile uint32_t sum = 0;
        for (int i = 0; i < binary->Length(); ++i)
            sum = sum + binary->Data()[i];
    }
}

// Places the nodes around the middle of the screen, draws the scene at every scale with a colour transform of its own, then picks a grid of
// points and collides every node with all others.
void Exercise(MvStage* stage, MvGrowArray<MvSceneNode*>& nodes)
{
    MvSceneTree* tree = stage->SceneTree();
    for (int i = 0; i < nodes.Count(); ++i) {
        nodes[i]->MoveTo(ScreenWidth / 2 - 8 + i % 16, ScreenHeight / 2 - 8 + i / 16 % 16);
        tree->InsertNode(nullptr, nodes[i]);
    }
    for (size_t s = 0; s < sizeof Scales / sizeof Scales[0]; ++s) {
        MvColorXform xform;
        if (s == 1)
            xform.Set(128, 20, 200, 10, 255, 0, 160);
        else if (s == 2)
            xform.Darken(90);
        for (int i = 0; i < nodes.Count(); ++i) {
            // A shown node must cover a pixel: only pictures of 2 pixels or more a side
            // are scaled down.
            MvIntRect box;
            nodes[i]->AsDrawable()->QueryBoundingBox(&box, 0);
            if (box.Width() >= 2 && box.Height() >= 2)
                nodes[i]->SetScaling(MvFixed::FromRaw(Scales[s]), MvFixed::FromRaw(Scales[2 - s]));
            nodes[i]->SetColorXform(xform);
        }
        stage->Draw(false);
    }
    MvGrowArray<MvSceneNode*> hits;
    for (int y = 0; y < ScreenHeight; y += 5) {
        for (int x = 0; x < ScreenWidth; x += 5) {
            int window = -1;
            tree->PickAt(x, y, MvPickAll, &hits, &window);
        }
    }
    for (int i = 0; i < nodes.Count(); ++i)
        nodes[i]->SetScaling(MvFixed::FromInt(1), MvFixed::FromInt(1));
    stage->Draw(false);
    MvGrowArray<MvDrawableNode*> touching;
    for (int i = 0; i < nodes.Count(); ++i)
        tree->CollideWithAll(nodes[i], &touching, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    // Most inputs are refused: their error lines would drown the fuzzer's own output.
    MvSetErrorStream(nullptr);
    SDL_Surface* screen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, ScreenWidth, ScreenHeight, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    {
        MvStage stage(screen);
        MvResourceVault* vault = stage.Vault();
        if (vault->LoadDatFileFromMemory(data, static_cast<int>(size))) {
            vault->AddScaleCache(MvFixed::FromRaw(Scales[2]), MvFixed::FromRaw(Scales[2]));
            MvGrowArray<MvSceneNode*> nodes;
            const int loaded = vault->ResourceCount();
            for (int i = 0; i < loaded; ++i)
                AddNodes(stage.SceneTree(), vault->ResourceAt(i), &nodes);
            Exercise(&stage, nodes);
        }
    }
    SDL_FreeSurface(screen);
    return 0;
}
