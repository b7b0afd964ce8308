#include "Platforms.h"

#include "GameNames.h"
#include "GameState.h"
#include "HeroAndLayer.h"
#include "Labels.h"
#include "MvAssert.h"
#include "MvChildCursor.h"
#include "MvDrawableNode.h"
#include "MvGrowArray.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"
#include "MvStage.h"
#include "Scores.h"
#include "Sound.h"
#include "SpriteIds.h"

#include <cstring>

const SpriteTag BricksTag = {"Bricks"};
const SpriteTag RedFlagTag = {"redflag"};
const SpriteTag BlueFlagTag = {"blueflag"};

namespace {

// Platforms further than this left of the hero are removed.
const int PlatformKeepDistance = 1000;

// The items the hero touches, kept for the whole run so that collecting allocates nothing
// once the list has grown to what a level needs.
MvGrowArray<MvDrawableNode*> itemTouches;

// Makes a sprite of resource at layout (x, y) under the layer named layerName.
MvSpriteNode* PlaceSprite(MvSpriteResource* resource, int x, int y, const char* layerName)
{
    MvAssert(resource != nullptr);
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* layer = tree->FindByName(layerName);
    MvAssert(layer != nullptr);
    MvSpriteNode* sprite = new MvSpriteNode(resource);
    sprite->MoveTo(GameState::originX + x, GameState::originY + y, -1);
    tree->InsertNode(layer, sprite);
    return sprite;
}

MvSpriteResource* SpriteNamed(const char* name)
{
    MvAssert(GameState::engine != nullptr && name != nullptr);
    return GameState::engine->Vault()->FindSpriteResource(name);
}

MvSpriteResource* SpriteWithId(int id)
{
    MvAssert(GameState::engine != nullptr);
    return GameState::engine->Vault()->FindSpriteResource(id);
}

} // namespace

void PlacePlatform(int x, int y, const char* resourceName)
{
    MvSpriteNode* platform = PlaceSprite(SpriteNamed(resourceName), x, y, PlatformLayerName);
    if (std::strcmp(resourceName, "Bricks") == 0)
        SetTag(platform, BricksTag);
}

void PlaceScenery(int x, int y, const char* resourceName)
{
    PlaceSprite(SpriteNamed(resourceName), x, y, BackgroundLayerName);
}

void PlaceRedFlag(int x, int y)
{
    SetTag(PlaceSprite(SpriteWithId(kSpriteRedFlag), x, y, ItemLayerName), RedFlagTag);
}

void PlaceBlueFlag(int x, int y)
{
    SetTag(PlaceSprite(SpriteWithId(kSpriteBlueFlag), x, y, ItemLayerName), BlueFlagTag);
}

void CollectItems()
{
    HeroAndLayer scene;
    if (!scene.Find(ItemLayerName))
        return;
    MvGrowArray<MvDrawableNode*>& touched = itemTouches;
    if (!scene.tree->CollideWithChildrenOf(scene.hero, scene.layer, &touched, 0))
        return;

    PlayCue(CueFlag);
    for (int i = 0; i < touched.Count(); ++i) {
        MvDrawableNode* item = touched[i];
        if (HasTag(item, BlueFlagTag)) {
            GameState::flagsCollected += BlueFlagFlags;
            GameState::points += BlueFlagPoints;
        } else {
            GameState::flagsCollected += RedFlagFlags;
            GameState::points += RedFlagPoints;
        }
        UpdateLabel(NumberToText(GameState::flagsCollected).c_str(), FlagsLabelName);
        UpdateLabel(NumberToText(GameState::points).c_str(), PointsLabelName);
        scene.tree->RemoveNode(item);
    }
}

void RemoveFarPlatforms()
{
    HeroAndLayer scene;
    if (!scene.Find(PlatformLayerName))
        return;
    const int limit = scene.hero->PosX(0) - PlatformKeepDistance;
    MvChildCursor cursor = scene.layer->Children();
    while (!cursor.Done()) {
        MvSceneNode* platform = cursor.Node();
        // The cursor moves on before the platform may leave the list under it.
        cursor.Next();
        if (platform->PosX(0) < limit)
            scene.tree->RemoveNode(platform);
    }
}
