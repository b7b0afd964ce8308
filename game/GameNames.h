#ifndef GAME_NAMES_H
#define GAME_NAMES_H

// The names the game finds its parts by: the nodes it looks up by name on the current
// stage, and the actions of the hero's sprite. A lookup that finds nothing makes its step
// do nothing, so each name is spelled here once and used through its constant everywhere.
// The texts are those of the resource file and of the stage the player sees. The sprites
// the game makes by id take their ids from SpriteIds.h, which the build writes from the
// resource file's definition (assets/sprites/Sprites.xml).

// The hero's node.
constexpr const char* HeroName = "track";

// The layers every screen has.
constexpr const char* TextLayerName = "text";
constexpr const char* PlatformLayerName = "platforms";
constexpr const char* EnemyLayerName = "enemies";
constexpr const char* BackgroundLayerName = "background";
constexpr const char* ItemLayerName = "items";

// The labels whose text changes after they are made.
constexpr const char* TimeLabelName = "time";
constexpr const char* FlagsLabelName = "flags";
constexpr const char* LivesLabelName = "lifeleft";
constexpr const char* PointsLabelName = "pointsscored";
constexpr const char* DefeatedLabelName = "Defeated";
constexpr const char* LevelNumberLabelName = "levelnumber";
// The label shown while the play screen is paused.
constexpr const char* PausedLabelName = "paused";

// The actions the hero is shown in, by name; it starts in HeroStartAction. The hero's
// rules select them through these names only, so that the check of the resource file
// (HeroActionNames) covers every one of them.
constexpr const char* HeroStandLeft = "Stand.Left";
constexpr const char* HeroStandRight = "Stand.Right";
constexpr const char* HeroWalkLeft = "Walk.Left";
constexpr const char* HeroWalkRight = "Walk.Right";
constexpr const char* HeroJumpLeft = "Jump.Left";
constexpr const char* HeroJumpRight = "Jump.Right";
constexpr const char* HeroActionNames[] = {HeroStandLeft, HeroStandRight, HeroWalkLeft,
                                           HeroWalkRight, HeroJumpLeft,   HeroJumpRight};
constexpr int HeroActionCount = sizeof HeroActionNames / sizeof HeroActionNames[0];
constexpr const char* HeroStartAction = HeroStandRight;

#endif
