#include "PlaySequence.h"

#include "Enemies.h"
#include "GameNames.h"
#include "GameState.h"
#include "GameWorld.h"
#include "HeroControl.h"
#include "Labels.h"
#include "MvAssert.h"
#include "MvChildCursor.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvStage.h"
#include "Platforms.h"
#include "Sound.h"

namespace {

// Below this y the hero has fallen out of the level.
const int FallLineY = 650;
// The level is won this far right of the last scrolling position.
const int WinDistance = 500;

// Shared by the hero's settling and the enemy contacts, for the whole run.
ContactSide contacts[ContactCount];

MvSceneNode* Hero(MvSceneTree* tree)
{
    MvSceneNode* hero = tree->FindByName(HeroName);
    MvAssert(hero != nullptr);
    return hero;
}

// The timer event: animation, the hero's motion, the fall test, the clock and the frame.
void Tick(MvSceneTree* tree, bool* done)
{
    if (MvSceneNode* enemies = tree->FindByName(EnemyLayerName)) {
        for (MvChildCursor cursor = enemies->Children(); !cursor.Done(); cursor.Next()) {
            if (MvSpriteNode* enemy = cursor.Node()->AsSprite())
                enemy->Step();
        }
    }

    MvSceneNode* hero = Hero(tree);
    if (MvSpriteNode* sprite = hero->AsSprite())
        sprite->Step();
    hero->MoveBy(GameState::vx, GameState::vy, -1);

    if (hero->PosY(0) > FallLineY) {
        PlayDeath();
        GameState::lost = true;
        *done = true;
    }

    GameState::ticks += 1;
    UpdateLabel(NumberToText(GameState::ticks / TicksPerTimeUnit).c_str(), TimeLabelName);
    GameState::engine->Draw(true, nullptr);
}

// The steps that follow every play event, in their fixed order.
void AfterEvent(MvSceneTree* tree, const SDL_Event& event, bool* done)
{
    GameWorld& world = GameWorld::Instance();

    tree->Recompute();
    UpdateHero(contacts, event);
    world.StepEnemies();
    world.StepPlatforms();
    for (ContactSide& contact : contacts)
        contact = ContactSide::None;
    ResolveEnemyContacts(contacts);

    const int hx = Hero(tree)->PosX(0);
    if (hx >= GameState::originX && hx <= GameState::rightBound)
        world.ScrollToHero();
    FollowHeroWithText();
    RemoveFarPlatforms();
    CollectItems();

    if (Hero(tree)->PosX(0) > GameState::rightBound + WinDistance) {
        GameState::lost = false;
        *done = true;
        ReleaseMusic();
    }
}

} // namespace

void HandlePlayEvent(const SDL_Event& event, bool* quit, bool* done)
{
    MvAssert(GameState::engine != nullptr);
    MvAssert(quit != nullptr && done != nullptr);
    MvSceneTree* tree = GameState::engine->SceneTree();

    switch (event.type) {
    case SDL_KEYDOWN:
        OnKeyDown(event, quit);
        break;
    case SDL_KEYUP:
        OnKeyUp(event);
        break;
    case SDL_JOYAXISMOTION:
        OnStickMotion(event);
        break;
    case SDL_JOYBUTTONDOWN:
        OnButtonDown(event);
        break;
    case SDL_JOYBUTTONUP:
        OnButtonUp(event);
        break;
    case SDL_USEREVENT:
        Tick(tree, done);
        break;
    default:
        break;
    }

    AfterEvent(tree, event, done);
}

const ContactSide* PlayContacts() { return contacts; }
