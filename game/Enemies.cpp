#include "Enemies.h"

#include "GameNames.h"
#include "GameState.h"
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
#include "Scores.h"
#include "Sound.h"
#include "SpriteIds.h"

const SpriteTag MulgoTag = {"Mulgo"};
const SpriteTag ShelloxTag = {"Shellox"};
const SpriteTag ThornelTag = {"Thornel"};
const SpriteTag SnapvineTag = {"Snapvine"};
const SpriteTag RockettoTag = {"Rocketto"};

namespace {

struct KindInfo;

// The rule that moves one enemy of a kind for one step, with the hero at x hx.
using StepRule = void (*)(MvSceneTree* tree, MvSceneNode* enemy, const KindInfo& info, EnemyState& state, int hx);

void StepWalker(MvSceneTree* tree, MvSceneNode* enemy, const KindInfo& info, EnemyState& state, int hx);
void StepFlier(MvSceneTree* tree, MvSceneNode* enemy, const KindInfo& info, EnemyState& state, int hx);
void StepRiser(MvSceneTree* tree, MvSceneNode* enemy, const KindInfo& info, EnemyState& state, int hx);

// Marks a kind that shows no walking direction.
const int NoAction = 0;
// Marks a kind whose depth in its layer is left as the layer gives it.
const int LayerDepth = -1;

// What sets one kind apart: its sprite, its tag, its starting state, how it moves and
// how a stomp on it ends.
struct KindInfo {
    EnemyKind kind;
    const SpriteTag* tag;
    int spriteId;
    int leftAction;  // walking left, NoAction when the kind shows no direction
    int rightAction; // walking right
    bool onGround;
    int speed;
    int verticalSpeed;
    int fallSpeed;
    bool spiky;          // hurts a hero landing on it
    bool takesPlatformY; // a landing puts it at the y of the first platform touched
    int band;            // pixels it rises above its spawn y before sinking back; 0 for none
    int spawnDepth;      // LayerDepth or the depth it is given when it spawns
    StepRule step;
};

const KindInfo Kinds[] = {
    {EnemyKind::Mulgo, &MulgoTag, kSpriteMulgo, NoAction, NoAction,
     true, 4, 0, 5, false, false, 0, LayerDepth, StepWalker},
    {EnemyKind::Shellox, &ShelloxTag, kSpriteShellox, SpriteShelloxActions::kWalkLeft, SpriteShelloxActions::kWalkRight,
     true, 8, 0, 7, false, true, 0, LayerDepth, StepWalker},
    {EnemyKind::Thornel, &ThornelTag, kSpriteThornel, SpriteThornelActions::kWalkLeft, SpriteThornelActions::kWalkRight,
     true, 5, 0, 7, true, true, 0, LayerDepth, StepWalker},
    {EnemyKind::Snapvine, &SnapvineTag, kSpriteSnapvine, NoAction, NoAction,
     false, 0, -1, 0, true, false, 50, 1, StepRiser},
    {EnemyKind::Rocketto, &RockettoTag, kSpriteRocketto, NoAction, NoAction,
     false, 10, 0, 0, false, false, 0, LayerDepth, StepFlier},
};

// Enemies act only this close to the hero (exclusive); a Snapvine reaches farther.
const int EnemyReach = 500;
const int SnapvineReach = 800;
const int WalkerDepth = 8;
const int StompBounce = 40;

EnemyState enemyStates[MaxEnemies];

// Scratch lists of the steps, kept for the whole run: once they have grown to what a
// level needs, the steps allocate nothing.
MvGrowArray<MvDrawableNode*> walkerHits;   // platforms one walker touches
MvGrowArray<MvDrawableNode*> heroTouches;  // enemies the hero touches
MvGrowArray<MvSceneNode*> stepOrder;       // the enemy layer's children, in child order

const KindInfo& InfoOf(EnemyKind kind)
{
    for (const KindInfo& info : Kinds)
        if (info.kind == kind)
            return info;
    MvAssert(false);
    return Kinds[0];
}

// The kind's row for node; null when node carries no enemy tag.
const KindInfo* InfoOf(const MvSceneNode* node)
{
    for (const KindInfo& info : Kinds)
        if (HasTag(node, *info.tag))
            return &info;
    return nullptr;
}

bool WithinReach(int ex, int hx, int reach) { return ex > hx - reach && ex < hx + reach; }

// Shows the walking direction on enemy, for a kind that has one.
void ShowDirection(MvSceneNode* enemy, const KindInfo& info, bool left)
{
    if (info.leftAction != NoAction)
        enemy->AsSprite()->SelectActionById(left ? info.leftAction : info.rightAction);
}

// Walkers walk, fall off edges, land on platforms and turn at the first wall they touch.
void StepWalker(MvSceneTree* tree, MvSceneNode* enemy, const KindInfo& info, EnemyState& state, int hx)
{
    MvSceneNode* platforms = tree->FindByName(PlatformLayerName);
    const bool inReach = WithinReach(enemy->PosX(0), hx, EnemyReach);
    enemy->SetDepth(WalkerDepth);

    MvGrowArray<MvDrawableNode*>& hits = walkerHits;
    hits.Empty();
    ContactSide contacts[ContactCount] = {};
    if (inReach && platforms != nullptr) {
        if (tree->CollideWithChildrenOf(enemy, platforms, &hits, 0)) {
            SettleOnPlatforms(enemy, platforms, contacts, &hits);
            state.onGround = true;
            if (info.takesPlatformY)
                enemy->MoveTo(enemy->PosX(0), hits[0]->PosY(0), -1);
        } else {
            state.onGround = false;
        }
        state.verticalSpeed = state.onGround ? 0 : info.fallSpeed;
    }

    const int touched = hits.Count() < ContactCount ? hits.Count() : ContactCount;
    for (int i = 0; i < touched; ++i) {
        if (contacts[i] != ContactSide::LeftSide && contacts[i] != ContactSide::RightSide)
            continue;
        state.speed = -state.speed;
        ShowDirection(enemy, info, contacts[i] == ContactSide::LeftSide);
        break;
    }

    if (inReach)
        enemy->MoveTo(enemy->PosX(0) - state.speed, enemy->PosY(0) + state.verticalSpeed, -1);
}

// Fliers keep their speed, through platforms and all.
void StepFlier(MvSceneTree*, MvSceneNode* enemy, const KindInfo&, EnemyState& state, int hx)
{
    const int ex = enemy->PosX(0);
    if (WithinReach(ex, hx, EnemyReach))
        enemy->MoveTo(ex - state.speed, enemy->PosY(0) + state.verticalSpeed, -1);
}

// Risers move up and down in place, turning at either end of their band.
void StepRiser(MvSceneTree*, MvSceneNode* enemy, const KindInfo&, EnemyState& state, int hx)
{
    const int ex = enemy->PosX(0);
    const int ey = enemy->PosY(0);
    if (ey < state.highestY || ey > state.lowestY)
        state.verticalSpeed = -state.verticalSpeed;
    if (WithinReach(ex, hx, SnapvineReach))
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
    UpdateLabel(NumberToText(GameState::lives).c_str(), LivesLabelName);
    if (GameState::lives == 0)
        LoseLevel();
}

} // namespace

const SpriteTag& EnemyTag(EnemyKind kind) { return *InfoOf(kind).tag; }

EnemyLook EnemyLookOf(EnemyKind kind)
{
    const KindInfo& info = InfoOf(kind);
    return {info.spriteId, info.leftAction, info.rightAction};
}

bool EnemyKindOf(const MvSceneNode* node, EnemyKind* kind)
{
    MvAssert(node != nullptr && kind != nullptr);
    const KindInfo* info = InfoOf(node);
    if (info == nullptr)
        return false;
    *kind = info->kind;
    return true;
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
    MvSceneNode* layer = tree->FindByName(EnemyLayerName);
    MvAssert(layer != nullptr);
    MvSpriteResource* resource = GameState::engine->Vault()->FindSpriteResource(info.spriteId);
    MvAssert(resource != nullptr);
    EnemyState& state = EnemyStateOf(id);

    MvSpriteNode* enemy = new MvSpriteNode(resource);
    enemy->MoveTo(GameState::originX + x, GameState::originY + y, -1);
    tree->InsertNode(layer, enemy);
    ShowDirection(enemy, info, true);
    SetTag(enemy, *info.tag);
    enemy->SetId(id);

    state = EnemyState{info.onGround, info.speed, info.verticalSpeed, 0, 0};
    if (info.band > 0) {
        state.highestY = enemy->PosY(0) - info.band;
        state.lowestY = enemy->PosY(0);
    }
    if (info.spawnDepth != LayerDepth)
        enemy->SetDepth(info.spawnDepth);
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
    if (!scene.Find(EnemyLayerName))
        return;
    MvSceneTree* tree = scene.tree;
    MvSceneNode* hero = scene.hero;
    MvGrowArray<MvDrawableNode*>& touched = heroTouches;
    if (!tree->CollideWithChildrenOf(hero, scene.layer, &touched, 0))
        return;

    const int count = touched.Count() < ContactCount ? touched.Count() : ContactCount;
    for (int i = 0; i < count; ++i) {
        MvDrawableNode* enemy = touched[i];
        contacts[i] = ClassifyEnemyContact(hero, enemy);
        const KindInfo* info = InfoOf(enemy);
        const bool spiky = info != nullptr && info->spiky;
        switch (contacts[i]) {
        case ContactSide::Top:
            if (spiky) {
                Hurt(CueHurtAbove);
            } else {
                StartJump(hero->AsSprite(), StompBounce);
                PlayCue(CueStomp);
                GameState::enemiesDefeated += 1;
                GameState::points += StompPoints;
                UpdateLabel(NumberToText(GameState::enemiesDefeated).c_str(), DefeatedLabelName);
                UpdateLabel(NumberToText(GameState::points).c_str(), PointsLabelName);
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

void StepEveryEnemy()
{
    HeroAndLayer scene;
    if (!scene.Find(EnemyLayerName))
        return;
    const int hx = scene.hero->PosX(0);
    // A walker's step sets its depth, which moves it within the layer's depth-ordered
    // children; walking the live list would then skip or repeat enemies. The step walks a
    // copy of the list taken first, so every enemy steps exactly once, in child order.
    MvGrowArray<MvSceneNode*>& order = stepOrder;
    order.Empty();
    for (MvChildCursor cursor = scene.layer->Children(); !cursor.Done(); cursor.Next())
        order.Append(cursor.Node());
    for (int i = 0; i < order.Count(); ++i) {
        MvSceneNode* enemy = order[i];
        const KindInfo* info = InfoOf(enemy);
        if (info == nullptr || enemy->Id() < 1 || enemy->Id() > MaxEnemies)
            continue;
        info->step(scene.tree, enemy, *info, EnemyStateOf(enemy->Id()), hx);
    }
}
