#include "HeroAndLayer.h"

#include "GameNames.h"
#include "GameState.h"
#include "MvSceneTree.h"
#include "MvStage.h"

bool HeroAndLayer::Find(const char* layerName)
{
    tree = nullptr;
    hero = nullptr;
    layer = nullptr;
    if (GameState::engine == nullptr)
        return false;
    MvSceneTree* sceneTree = GameState::engine->SceneTree();
    MvSceneNode* track = sceneTree->FindByName(HeroName);
    MvSceneNode* named = sceneTree->FindByName(layerName);
    if (track == nullptr || named == nullptr)
        return false;
    tree = sceneTree;
    hero = track;
    layer = named;
    return true;
}
