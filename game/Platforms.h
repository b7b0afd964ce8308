#ifndef PLATFORMS_H
#define PLATFORMS_H

#include "SpriteTag.h"

// Everything the hero can stand on, pass behind or pick up. Platforms are sprites in the
// "platforms" layer and are what the hero and the walking enemies collide with; scenery
// sits in the "background" layer and never collides; red and blue flags sit in the
// "items" layer and are collected by touching them. Placement takes layout coordinates:
// a sprite at layout (x, y) goes to world (originX + x, originY + y) on the current stage.
// Platforms far behind the hero are removed for good, so a level costs less the further
// the hero gets, at the price of no way back.

// Breakable platforms ("Bricks"): the hero's head breaks them for 10 points.
extern const SpriteTag BricksTag;
// Red flags: 1 flag and 50 points.
extern const SpriteTag RedFlagTag;
// Blue flags: 5 flags and 300 points.
extern const SpriteTag BlueFlagTag;

// Places the platform sprite named resourceName under "platforms", tagged BricksTag when
// the name is "Bricks". Asserts there is a stage with the layer and the sprite resource.
void PlacePlatform(int x, int y, const char* resourceName);

// Places the scenery sprite named resourceName under "background", untagged. Asserts
// there is a stage with the layer and the sprite resource.
void PlaceScenery(int x, int y, const char* resourceName);

// Places a red flag (sprite id 18) under "items". Asserts as PlaceScenery.
void PlaceRedFlag(int x, int y);

// Places a blue flag (sprite id 19) under "items". Asserts as PlaceScenery.
void PlaceBlueFlag(int x, int y);

// Collects every flag the hero touches: one coin sound however many there are, the flag
// and point counters raised per flag, their labels updated and the flags removed. Does
// nothing without a stage, a hero ("track") or an "items" layer.
void CollectItems();

// Removes, for good, every platform whose x is more than 1000 pixels left of the hero.
// Does nothing without a stage, a hero or a "platforms" layer.
void RemoveFarPlatforms();

#endif
