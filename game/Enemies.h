#ifndef ENEMIES_H
#define ENEMIES_H

#include "ContactSide.h"
#include "SpriteTag.h"

class MvSceneNode;
template <typename T>
class MvGrowArray;
class MvDrawableNode;

// The enemies of the play screen: sprites in the "enemies" layer, each tagged with its
// kind and numbered with its enemy id, which indexes the process-wide table of enemy
// states. Walkers (Mulgo, Shellox, Thornel) walk, turn at walls and fall off edges;
// Rocketto flies left; Snapvine rises and sinks in place. Enemies far from the hero stand
// still, so a level costs only what is near the hero. Landing on a plain enemy stomps it;
// landing on a spiky one, or touching any from the side, costs a life.

// The kinds of enemy. Each has one row in the kind table of Enemies.cpp (sprite, tag,
// starting state, what a stomp does) naming its step rule: walker, flier or riser.
enum class EnemyKind { Mulgo, Shellox, Thornel, Snapvine, Rocketto };

// Every kind, in the order of the kind table.
constexpr EnemyKind EnemyKinds[] = {EnemyKind::Mulgo, EnemyKind::Shellox, EnemyKind::Thornel, EnemyKind::Snapvine,
                                    EnemyKind::Rocketto};

// What an enemy of a kind is made of: its sprite id, and the ids of the actions that show
// it walking left and right (0 for a kind that shows no direction and stays in its first
// action).
struct EnemyLook {
    int spriteId;
    int leftAction;
    int rightAction;
};
EnemyLook EnemyLookOf(EnemyKind kind);

// The kind tags, one per kind.
extern const SpriteTag MulgoTag;
extern const SpriteTag ShelloxTag;
extern const SpriteTag ThornelTag;
extern const SpriteTag SnapvineTag;
extern const SpriteTag RockettoTag;

// The tag of kind.
const SpriteTag& EnemyTag(EnemyKind kind);
// The kind node is tagged with; false when it carries no enemy tag.
bool EnemyKindOf(const MvSceneNode* node, EnemyKind* kind);

// The moving state of one enemy; row id - 1 of the table belongs to enemy id.
struct EnemyState {
    bool onGround;
    int speed;         // pixels per step to the left (negative: to the right)
    int verticalSpeed; // pixels per step down (negative: up)
    int lowestY;       // Snapvine: the y it spawned at
    int highestY;      // Snapvine: spawn y - 50
};

// The number of enemy ids a level may hand out.
constexpr int MaxEnemies = 64;

// The state of enemy id. Asserts 1 <= id <= MaxEnemies.
EnemyState& EnemyStateOf(int id);

// Makes an enemy of kind at layout (x, y) with enemy id id under "enemies" and sets its
// state row. Asserts there is a stage with the layer and the kind's sprite, and that id is
// within the table.
void SpawnEnemy(EnemyKind kind, int x, int y, int id);

// Settles enemy on the platforms of layer: records the side of each of the first
// ContactCount touched platforms in contacts and takes the y of each it stands on top
// of. The touched platforms are left in hits. True when it touched any.
bool SettleOnPlatforms(MvSceneNode* enemy, MvSceneNode* layer, ContactSide* contacts,
                       MvGrowArray<MvDrawableNode*>* hits);

// The side from which the hero touches enemy, printed as "EnemyTop", "EnemyLeftSide" or
// "EnemyRightSide" (nothing for None).
ContactSide ClassifyEnemyContact(MvSceneNode* hero, MvSceneNode* enemy);

// Runs every enemy's step rule once, in the child order of the "enemies" layer; enemies
// whose id lies outside the table are left alone. Does nothing without a stage, a hero or
// the layer.
void StepEveryEnemy();

// Decides what the hero's contacts with enemies do after a play event, recording each
// contact's side in the ContactCount entries of contacts (asserted not null): stomps,
// hurts, and the level lost with the last life.
void ResolveEnemyContacts(ContactSide* contacts);

#endif
