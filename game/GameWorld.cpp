#include "GameWorld.h"

#include "MvAssert.h"

GameWorld* GameWorld::instance_ = nullptr;

GameWorld::GameWorld()
{
    MvAssert(instance_ == nullptr);
    instance_ = this;
}

GameWorld::~GameWorld() { instance_ = nullptr; }

GameWorld& GameWorld::Instance()
{
    MvAssert(instance_ != nullptr);
    return *instance_;
}

void GameWorld::LoadScreen() {}

void GameWorld::BuildMenu() { BuildScreen(0); }

void GameWorld::BuildPlay() {}

void GameWorld::BuildEnd() { BuildScreen(9); }

void GameWorld::BuildScreen(int) {}
