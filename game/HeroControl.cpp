#include "HeroControl.h"

#include "GameNames.h"
#include "GameState.h"
#include "Labels.h"
#include "MvAssert.h"
#include "MvDrawableNode.h"
#include "MvGrowArray.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvStage.h"
#include "Platforms.h"
#include "Scores.h"
#include "Sound.h"

#include <cstring>

namespace {

const int WalkSpeed = 5;
const int RunSpeed = 10;
const int JumpHeight = 125;
const int KeyboardRiseSpeed = 5;
const int JumpRiseSpeed = 10;
const int FallSpeed = 10;
const int HeadBumpFallSpeed = 15;
const int StickThreshold = 20000;
const int StickCentre = 600;
const int HeroDepth = 10;
// Where a wall puts the hero: this far left of a platform on its right, or right of the
// x of a platform on its left.
const int WallLeftGap = 12;
const int WallRightGap = 36;

const int JumpButton = 1;
const int RunButton = 0;

// The hero, or null when there is no stage or no hero.
MvSceneNode* FindHero()
{
    if (GameState::engine == nullptr)
        return nullptr;
    return GameState::engine->SceneTree()->FindByName(HeroName);
}

// The hero raised above the platforms, as the key and joystick handlers want it.
MvSpriteNode* HeroInFront()
{
    MvSceneNode* hero = FindHero();
    if (hero == nullptr)
        return nullptr;
    hero->SetDepth(HeroDepth);
    return hero->AsSprite();
}

int StickSpeed() { return GameState::runHeld ? RunSpeed : WalkSpeed; }

// Left and Right run while either Shift key is held. The keys have their own flag, apart
// from the run button's, so that each run control speeds up only its own device's walking.
int KeySpeed() { return GameState::shiftKeysHeld != 0 ? RunSpeed : WalkSpeed; }

int ShiftBit(int sym) { return sym == SDLK_LSHIFT ? 1 : 2; }

// A Shift key pressed or let go: a hero moving by keyboard, on the ground or in the air,
// goes on the same way at the new speed. A held stick sets its own speed after every event.
void SetShiftKey(int sym, bool held)
{
    if (held)
        GameState::shiftKeysHeld |= ShiftBit(sym);
    else
        GameState::shiftKeysHeld &= ~ShiftBit(sym);
    if (GameState::vx != 0)
        GameState::vx = GameState::vx > 0 ? KeySpeed() : -KeySpeed();
}

void Show(MvSpriteNode* hero, const char* left, const char* right)
{
    hero->SelectAction(GameState::facingLeft ? left : right);
}

} // namespace

void OnKeyDown(SDL_Event event, bool* quit)
{
    MvAssert(quit != nullptr);
    MvSpriteNode* hero = HeroInFront();
    const int sym = event.key.keysym.sym;
    if (sym == SDLK_ESCAPE) {
        *quit = true;
        return;
    }
    if (hero == nullptr)
        return;
    switch (sym) {
    case SDLK_UP:
        if (GameState::onGround && !GameState::jumping) {
            GameState::apexY = hero->PosY(0) - JumpHeight;
            GameState::vy = -KeyboardRiseSpeed;
            GameState::jumping = true;
            GameState::onGround = false;
            Show(hero, HeroJumpLeft, HeroJumpRight);
            GameState::engine->Draw(true, nullptr);
        }
        break;
    case SDLK_RIGHT:
        GameState::rightKeyHeld = true;
        if (GameState::onGround) {
            hero->SelectAction(HeroWalkRight);
            GameState::facingLeft = false;
        }
        GameState::vx = KeySpeed();
        break;
    case SDLK_LEFT:
        if (GameState::onGround) {
            hero->SelectAction(HeroWalkLeft);
            GameState::facingLeft = true;
        }
        GameState::vx = -KeySpeed();
        break;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        SetShiftKey(sym, true);
        break;
    default:
        break;
    }
}

void OnKeyUp(SDL_Event event)
{
    MvSpriteNode* hero = HeroInFront();
    if (hero == nullptr)
        return;
    switch (event.key.keysym.sym) {
    case SDLK_UP:
        if (!GameState::onGround && GameState::vy < 0) {
            GameState::vy = FallSpeed;
            GameState::jumping = false;
        }
        break;
    case SDLK_RIGHT:
        GameState::rightKeyHeld = false;
        hero->SelectAction(HeroStandRight);
        if (GameState::vx > 0)
            GameState::vx = 0;
        break;
    case SDLK_LEFT:
        if (!GameState::rightKeyHeld)
            hero->SelectAction(HeroStandLeft);
        if (GameState::vx < 0)
            GameState::vx = 0;
        break;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        SetShiftKey(event.key.keysym.sym, false);
        break;
    default:
        break;
    }
}

void OnStickMotion(SDL_Event event)
{
    MvSpriteNode* hero = HeroInFront();
    if (hero == nullptr || event.jaxis.axis != 0)
        return;
    const int value = event.jaxis.value;
    const bool walkingPose = GameState::onGround && !GameState::jumping;
    if (value < -StickThreshold) {
        GameState::vx = -StickSpeed();
        GameState::stickHeld = true;
        GameState::facingLeft = true;
        hero->SelectAction(walkingPose ? HeroWalkLeft : HeroStandLeft);
    } else if (value > StickThreshold) {
        GameState::vx = StickSpeed();
        GameState::stickHeld = true;
        GameState::facingLeft = false;
        hero->SelectAction(walkingPose ? HeroWalkRight : HeroStandRight);
    }
}

void OnButtonDown(SDL_Event event)
{
    MvSpriteNode* hero = HeroInFront();
    if (hero == nullptr)
        return;
    if (event.jbutton.button == JumpButton) {
        if (GameState::onGround) {
            StartJump(hero, JumpHeight);
            SDL_PauseAudio(0);
            PlayCue(CueJoystickJump);
        }
    } else if (event.jbutton.button == RunButton) {
        GameState::runHeld = true;
    }
}

void OnButtonUp(SDL_Event event)
{
    if (event.jbutton.button == JumpButton) {
        if (!GameState::onGround && GameState::vy < 0) {
            GameState::vy = FallSpeed;
            GameState::jumping = false;
        }
    } else if (event.jbutton.button == RunButton) {
        if (GameState::stickHeld)
            GameState::vx = GameState::facingLeft ? -WalkSpeed : WalkSpeed;
        GameState::runHeld = false;
    }
}

void ReleaseHeldInput()
{
    MvSpriteNode* hero = HeroInFront();
    if (hero == nullptr)
        return;
    SDL_Event release;
    std::memset(&release, 0, sizeof release);
    release.type = SDL_KEYUP;
    release.key.state = SDL_RELEASED;
    // The Shift keys first, so that a running hero drops to walking and then stops.
    for (const SDLKey shift : {SDLK_LSHIFT, SDLK_RSHIFT}) {
        if ((GameState::shiftKeysHeld & ShiftBit(shift)) == 0)
            continue;
        release.key.keysym.sym = shift;
        OnKeyUp(release);
    }
    if (GameState::rightKeyHeld || (GameState::vx < 0 && !GameState::stickHeld)) {
        release.key.keysym.sym = GameState::rightKeyHeld ? SDLK_RIGHT : SDLK_LEFT;
        OnKeyUp(release);
    }
    // Up and the jump button end a rise alike.
    release.key.keysym.sym = SDLK_UP;
    OnKeyUp(release);
    if (GameState::runHeld) {
        SDL_Event button;
        std::memset(&button, 0, sizeof button);
        button.type = SDL_JOYBUTTONUP;
        button.jbutton.button = RunButton;
        OnButtonUp(button);
    }
    if (GameState::stickHeld) {
        GameState::vx = 0;
        GameState::stickHeld = false;
        Show(hero, HeroStandLeft, HeroStandRight);
    }
}

void StartJump(MvSpriteNode* hero, int height)
{
    MvAssert(hero != nullptr);
    GameState::apexY = hero->PosY(0) - height;
    GameState::vy = -JumpRiseSpeed;
    GameState::jumping = true;
    GameState::onGround = false;
    Show(hero, HeroJumpLeft, HeroJumpRight);
    GameState::engine->Draw(true, nullptr);
}

ContactSide ClassifyPlatformContact(MvSceneNode* m, MvSceneNode* p)
{
    MvAssert(m != nullptr && p != nullptr);
    const int mx = m->PosX(0);
    const int my = m->PosY(0);
    const int px = p->PosX(0);
    const int py = p->PosY(0);
    if (my > py + 10 && mx < px - 1)
        return ContactSide::LeftSide;
    if (my > py + 10 && mx > px + 26)
        return ContactSide::RightSide;
    if (my < py + 20 && mx > px - 10 && mx < px + 35)
        return ContactSide::Top;
    if (my > py + 40)
        return ContactSide::Bottom;
    return ContactSide::None;
}

int FindHeroPlatformContacts(ContactSide* contacts, MvGrowArray<MvDrawableNode*>* hits)
{
    MvAssert(contacts != nullptr && hits != nullptr);
    GameState::onGround = false;
    MvSceneNode* hero = FindHero();
    if (hero == nullptr)
        return 0;
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* platforms = tree->FindByName(PlatformLayerName);
    if (platforms == nullptr || !tree->CollideWithChildrenOf(hero, platforms, hits, 0))
        return 0;
    const int count = hits->Count() < ContactCount ? hits->Count() : ContactCount;
    for (int i = 0; i < count; ++i)
        contacts[i] = ClassifyPlatformContact(hero, (*hits)[i]);
    for (int i = 0; i < count; ++i) {
        if (contacts[i] == ContactSide::Top && !GameState::jumping) {
            GameState::onGround = true;
            break;
        }
    }
    return count;
}

namespace {

// The platforms the hero touches, kept for the whole run so that settling the hero after
// an event allocates nothing once the list has grown to what a level needs.
MvGrowArray<MvDrawableNode*> heroHits;

// Walking away from a wall with the stick: the wall does not hold the hero back, and its
// contact is dropped. Otherwise the stick keeps the hero walking after a push-back.
void WalkAwayFromWalls(ContactSide* contacts, int count)
{
    bool keepSpeed = true;
    for (int i = 0; i < count; ++i) {
        if (contacts[i] == ContactSide::LeftSide && GameState::facingLeft && GameState::stickHeld) {
            GameState::vx = -StickSpeed();
            contacts[i] = ContactSide::None;
            keepSpeed = false;
        } else if (contacts[i] == ContactSide::RightSide && !GameState::facingLeft && GameState::stickHeld) {
            GameState::vx = StickSpeed();
            contacts[i] = ContactSide::None;
            keepSpeed = false;
        }
    }
    if (keepSpeed && GameState::stickHeld)
        GameState::vx = GameState::facingLeft ? -StickSpeed() : StickSpeed();
}

// The stick back in its centre band stops the hero.
void StopAtStickCentre(MvSpriteNode* hero, const SDL_Event& event)
{
    if (event.type == SDL_JOYAXISMOTION && event.jaxis.value > -StickCentre && event.jaxis.value < StickCentre &&
        event.jaxis.value != 1) {
        GameState::vx = 0;
        Show(hero, HeroStandLeft, HeroStandRight);
        GameState::stickHeld = false;
    }
}

// The top of the rise, and a fall wherever nothing holds the hero up.
void RiseOrFall(MvSpriteNode* hero)
{
    if (GameState::jumping && GameState::vy < 0 && hero->PosY(0) <= GameState::apexY) {
        GameState::vy = FallSpeed;
        GameState::jumping = false;
    }
    if (!GameState::onGround && !GameState::jumping) {
        GameState::vy = FallSpeed;
        Show(hero, HeroStandLeft, HeroStandRight);
    }
}

// Breaks every "Bricks" platform the hero's head touches, for BrickPoints each; true when
// the head touched any platform from below.
bool BreakBricksAbove(const ContactSide* contacts, const MvGrowArray<MvDrawableNode*>& hits, int count)
{
    bool bumped = false;
    for (int i = 0; i < count; ++i) {
        if (contacts[i] != ContactSide::Bottom)
            continue;
        bumped = true;
        if (HasTag(hits[i], BricksTag)) {
            GameState::engine->SceneTree()->RemoveNode(hits[i]);
            GameState::points += BrickPoints;
            UpdateLabel(NumberToText(GameState::points).c_str(), PointsLabelName);
        }
    }
    return bumped;
}

// Standing: the hero takes the y of the first platform touched. In the air, a head bump
// ends the rise with a sound.
void StandOrBumpHead(MvSpriteNode* hero, const ContactSide* contacts, const MvGrowArray<MvDrawableNode*>& hits,
                     int count)
{
    if (GameState::onGround && !GameState::jumping) {
        GameState::vy = 0;
        if (GameState::stickHeld)
            Show(hero, HeroWalkLeft, HeroWalkRight);
        hero->MoveTo(hero->PosX(0), hits[0]->PosY(0), -1);
    } else if (!GameState::onGround && BreakBricksAbove(contacts, hits, count)) {
        PlayCue(CueHeadBump);
        GameState::vy = HeadBumpFallSpeed;
        GameState::jumping = false;
    }
}

// Push-back from walls. A brick broken above cannot be a wall: it was a Bottom contact.
void PushBackFromWalls(MvSpriteNode* hero, const ContactSide* contacts, const MvGrowArray<MvDrawableNode*>& hits,
                       int count)
{
    for (int i = 0; i < count; ++i) {
        if (contacts[i] == ContactSide::LeftSide) {
            GameState::vx = 0;
            hero->MoveTo(hits[i]->PosX(0) - WallLeftGap, hero->PosY(0), -1);
        } else if (contacts[i] == ContactSide::RightSide) {
            GameState::vx = 0;
            hero->MoveTo(hits[i]->PosX(0) + WallRightGap, hero->PosY(0), -1);
        }
    }
}

} // namespace

void UpdateHero(ContactSide* contacts, SDL_Event event)
{
    MvAssert(contacts != nullptr);
    for (int i = 0; i < ContactCount; ++i)
        contacts[i] = ContactSide::None;
    MvGrowArray<MvDrawableNode*>& hits = heroHits;
    hits.Empty();
    const int count = FindHeroPlatformContacts(contacts, &hits);
    MvSceneNode* heroNode = FindHero();
    if (heroNode == nullptr)
        return;
    MvSpriteNode* hero = heroNode->AsSprite();

    WalkAwayFromWalls(contacts, count);
    StopAtStickCentre(hero, event);
    RiseOrFall(hero);
    StandOrBumpHead(hero, contacts, hits, count);
    PushBackFromWalls(hero, contacts, hits, count);
}
