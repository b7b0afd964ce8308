#include "Enemies.h"

#include "GameState.h"
#include "GameWorld.h"
#include "HeroAndLayer.h"
#include "HeroControl.h"
#include "Labels.h"
#include "MvAssert.h"
#include "MvChildCursor.h"
#include "MvDrawableNode.h"
#include "MvGrowArray.h"
#include "MvLog.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "MvSceneTree.h"
#include "MvSpriteNode.h"
#include "MvStage.h"
#include "Sound.h"

const SpriteTag MulgoTag = {"Mulgo"};
const SpriteTag ShelloxTag = {"Shellox"};
const SpriteTag ThornelTag = {"Thornel"};
const SpriteTag SnapvineTag = {"Snapvine"};
const SpriteTag RockettoTag = {"Rocketto"};

namespace {

// What sets one kind apart: its sprite, its tag, its starting state and how fast it falls.
struct KindInfo {
    EnemyKind kind;
    const SpriteTag* tag;
    int spriteId;
    bool onGround;
    int speed;
    int verticalSpeed;
    int fallSpeed;
    bool spiky;
};

const KindInfo Kinds[] = {
    {EnemyKind::Mulgo, &MulgoTag, 2, true, 4, 0, 5, false},
    {EnemyKind::Shellox, &ShelloxTag, 5, true, 8, 0, 7, false},
    {EnemyKind::Thornel, &ThornelTag, 62, true, 5, 0, 7, true},
    {EnemyKind::Snapvine, &SnapvineTag, 59, false, 0, -1, 0, true},
    {EnemyKind::Rocketto, &RockettoTag, 8, false, 10, 0, 0, false},
};

// Shellox and Thornel show which way they walk with these action ids.
const int ShelloxLeftAction = 3;
const int ShelloxRightAction = 4;
const int ThornelLeftAction = 60;
const int ThornelRightAction = 61;

// Enemies act only this close to the hero (exclusive); a Snapvine reaches farther.
const int EnemyReach = 500;
const int SnapvineReach = 800;
const int SnapvineBand = 50;
const int WalkerDepth = 8;
const int SnapvineDepth = 1;
const int StompBounce = 40;

EnemyState enemyStates[MaxEnemies];

const KindInfo& InfoOf(EnemyKind kind)
{
    for (const KindInfo& info : Kinds)
        if (info.kind == kind)
            return info;
    MvAssert(false);
    return Kinds[0];
}

// Walker step: Mulgo, Shellox and Thornel.
void StepWalker(MvSceneTree* tree, MvSceneNode* enemy, EnemyKind kind, EnemyState& state, int hx)
{
    MvSceneNode* platforms = tree->FindByName("platforms");
    const bool inReach = enemy->PosX(0) > hx - EnemyReach && enemy->PosX(0) < hx + EnemyReach;
    enemy->SetDepth(WalkerDepth);

    MvGrowArray<MvDrawableNode*> hits;
    ContactSide contacts[ContactCount] = {};
    if (inReach && platforms != nullptr) {
        if (tree->CollideWithChildrenOf(enemy, platforms, &hits, 0)) {
            SettleOnPlatforms(enemy, platforms, contacts, &hits);
            state.onGround = true;
            if (kind != EnemyKind::Mulgo)
                enemy->MoveTo(enemy->PosX(0), hits[0]->PosY(0), -1);
        } else {
            state.onGround = false;
        }
        state.verticalSpeed = state.onGround ? 0 : InfoOf(kind).fallSpeed;
    }

    const int touched = hits.Count() < ContactCount ? hits.Count() : ContactCount;
    for (int i = 0; i < touched; ++i) {
        if (contacts[i] != ContactSide::LeftSide && contacts[i] != ContactSide::RightSide)
            continue;
        state.speed = -state.speed;
        const bool left = contacts[i] == ContactSide::LeftSide;
        if (kind == EnemyKind::Shellox)
            enemy->AsSprite()->SelectActionById(left ? ShelloxLeftAction : ShelloxRightAction);
        else if (kind == EnemyKind::Thornel)
            enemy->AsSprite()->SelectActionById(left ? ThornelLeftAction : ThornelRightAction);
        break;
    }
    hits.Clear();

    if (inReach)
        enemy->MoveTo(enemy->PosX(0) - state.speed, enemy->PosY(0) + state.verticalSpeed, -1);
}

void StepRocketto(MvSceneNode* enemy, const EnemyState& state, int hx)
{
    const int ex = enemy->PosX(0);
    if (ex > hx - EnemyReach && ex < hx + EnemyReach)
        enemy->MoveTo(ex - state.speed, enemy->PosY(0) + state.verticalSpeed, -1);
}

void StepSnapvine(MvSceneNode* enemy, EnemyState& state, int hx)
{
    const int ex = enemy->PosX(0);
    const int ey = enemy->PosY(0);
    if (ey < state.highestY || ey > state.lowestY)
        state.verticalSpeed = -state.verticalSpeed;
    if (ex > hx - SnapvineReach && ex < hx + SnapvineReach)
        enemy->MoveTo(ex, ey + state.verticalSpeed, -1);
}

// The hero's last life is gone: the music stops, the death sound plays through the pause.
void LoseLevel()
{
    PlayDeath();
    GameState::lost = true;
}

// One life less, shown on the counter, with the sound of the hurt; the level is lost when
// that was the last one. A second hurt in the same event takes the count below zero,
// which the counter shows as a blank, and loses nothing more.
void Hurt(SoundCue cue)
{
    GameState::lives -= 1;
    PlayCue(cue);
    UpdateLabel(NumberToText(GameState::lives).c_str(), "lifeleft");
    if (GameState::lives == 0)
        LoseLevel();
}

} // namespace

const SpriteTag& EnemyTag(EnemyKind kind) { return *InfoOf(kind).tag; }

bool EnemyKindOf(const MvSceneNode* node, EnemyKind* kind)
{
    MvAssert(node != nullptr && kind != nullptr);
    for (const KindInfo& info : Kinds) {
        if (HasTag(node, *info.tag)) {
            *kind = info.kind;
            return true;
        }
    }
    return false;
}

EnemyState& EnemyStateOf(int id)
{
    MvAssert(id >= 1 && id <= MaxEnemies);
    return enemyStates[id - 1];
}

void SpawnEnemy(EnemyKind kind, int x, int y, int id)
{
    MvAssert(GameState::engine != nullptr);
    const KindInfo& info = InfoOf(kind);
    MvSceneTree* tree = GameState::engine->SceneTree();
    MvSceneNode* layer = tree->FindByName("enemies");
    MvAssert(layer != nullptr);
    MvSpriteResource* resource = GameState::engine->Vault()->FindSpriteResource(info.spriteId);
    MvAssert(resource != nullptr);
    EnemyState& state = EnemyStateOf(id);

    MvSpriteNode* enemy = new MvSpriteNode(resource);
    enemy->MoveTo(GameState::originX + x, GameState::originY + y, -1);
    tree->InsertNode(layer, enemy);
    if (kind == EnemyKind::Shellox)
        enemy->SelectActionById(ShelloxLeftAction);
    SetTag(enemy, *info.tag);
    enemy->SetId(id);
    if (kind == EnemyKind::Thornel)
        enemy->SelectActionById(ThornelLeftAction);

    state = EnemyState{info.onGround, info.speed, info.verticalSpeed, 0, 0};
    if (kind == EnemyKind::Snapvine) {
        state.highestY = enemy->PosY(0) - SnapvineBand;
        state.lowestY = enemy->PosY(0);
        enemy->SetDepth(SnapvineDepth);
    }
}

bool SettleOnPlatforms(MvSceneNode* enemy, MvSceneNode* layer, ContactSide* contacts,
                       MvGrowArray<MvDrawableNode*>* hits)
{
    MvAssert(enemy != nullptr && layer != nullptr && contacts != nullptr && hits != nullptr);
    if (!GameState::engine->SceneTree()->CollideWithChildrenOf(enemy, layer, hits, 0))
        return false;
    const int touched = hits->Count() < ContactCount ? hits->Count() : ContactCount;
    for (int i = 0; i < touched; ++i) {
        MvDrawableNode* platform = (*hits)[i];
        contacts[i] = ClassifyPlatformContact(enemy, platform);
        if (contacts[i] == ContactSide::Top)
            enemy->MoveTo(enemy->PosX(0), platform->PosY(0), -1);
    }
    return true;
}

ContactSide ClassifyEnemyContact(MvSceneNode* hero, MvSceneNode* enemy)
{
    MvAssert(hero != nullptr && enemy != nullptr);
    const int hx = hero->PosX(0);
    const int hy = hero->PosY(0);
    const int ex = enemy->PosX(0);
    const int ey = enemy->PosY(0);
    if (hy > ey - 30 && hy < ey - 10 && hx > ex - 40 && hx < ex + 40) {
        MvLog("EnemyTop\n");
        return ContactSide::Top;
    }
    if (hy > ey - 18 && hy < ey + 60 && hx > ex - 28) {
        MvLog("EnemyLeftSide\n");
        return ContactSide::LeftSide;
    }
    if (hy > ey - 18 && hy < ey + 60 && hx < ex + 28) {
        MvLog("EnemyRightSide\n");
        return ContactSide::RightSide;
    }
    return ContactSide::None;
}

void ResolveEnemyContacts(ContactSide* contacts)
{
    MvAssert(contacts != nullptr);
    HeroAndLayer scene;
    if (!scene.Find("enemies"))
        return;
    MvSceneTree* tree = scene.tree;
    MvSceneNode* hero = scene.hero;
    MvGrowArray<MvDrawableNode*> touched;
    if (!tree->CollideWithChildrenOf(hero, scene.layer, &touched, 0))
        return;

    const int count = touched.Count() < ContactCount ? touched.Count() : ContactCount;
    for (int i = 0; i < count; ++i) {
        MvDrawableNode* enemy = touched[i];
        contacts[i] = ClassifyEnemyContact(hero, enemy);
        EnemyKind kind = EnemyKind::Mulgo;
        const bool spiky = EnemyKindOf(enemy, &kind) && InfoOf(kind).spiky;
        switch (contacts[i]) {
        case ContactSide::Top:
            if (spiky) {
                Hurt(CueHurtAbove);
            } else {
                StartJump(hero->AsSprite(), StompBounce);
                PlayCue(CueStomp);
                GameState::enemiesDefeated += 1;
                GameState::points += 100;
                UpdateLabel(NumberToText(GameState::enemiesDefeated).c_str(), "Defeated");
                UpdateLabel(NumberToText(GameState::points).c_str(), "pointsscored");
            }
            tree->RemoveNode(enemy);
            break;
        case ContactSide::LeftSide:
        case ContactSide::RightSide:
            Hurt(CueHurtSide);
            tree->RemoveNode(enemy);
            break;
        default:
            break;
        }
    }
}

void GameWorld::StepEnemies()
{
    HeroAndLayer scene;
    if (!scene.Find("enemies"))
        return;
    MvSceneTree* tree = scene.tree;
    MvSceneNode* enemies = scene.layer;
    const int hx = scene.hero->PosX(0);
    // A walker's step sets its depth, which moves it within the layer's depth-ordered
    // children; walking the live list would then skip or repeat enemies. The step walks a
    // copy of the list taken first, so every enemy steps exactly once, in child order.
    MvGrowArray<MvSceneNode*> order;
    for (MvChildCursor cursor = enemies->Children(); !cursor.Done(); cursor.Next())
        order.Append(cursor.Node());
    for (int i = 0; i < order.Count(); ++i) {
        MvSceneNode* enemy = order[i];
        EnemyKind kind;
        if (!EnemyKindOf(enemy, &kind) || enemy->Id() < 1 || enemy->Id() > MaxEnemies)
            continue;
        EnemyState& state = EnemyStateOf(enemy->Id());
        switch (kind) {
        case EnemyKind::Mulgo:
        case EnemyKind::Shellox:
        case EnemyKind::Thornel:
            StepWalker(tree, enemy, kind, state, hx);
            break;
        case EnemyKind::Rocketto:
            StepRocketto(enemy, state, hx);
            break;
        case EnemyKind::Snapvine:
            StepSnapvine(enemy, state, hx);
            break;
        }
    }
}
