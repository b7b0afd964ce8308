#ifndef SPRITE_TAG_H
#define SPRITE_TAG_H

#include "MvSceneNode.h"

// What kind of game object a sprite is, kept in the node's user data: one constant per
// kind, told apart by its address, never by its name, which is only there for reading in
// a debugger. Untagged sprites keep null user data.
struct SpriteTag {
    const char* name;
};

// Marks node (asserted not null) as being of kind tag.
void SetTag(MvSceneNode* node, const SpriteTag& tag);

// True when node (asserted not null) carries tag.
bool HasTag(const MvSceneNode* node, const SpriteTag& tag);

#endif
