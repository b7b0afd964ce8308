#ifndef GAME_NAMES_H
#define GAME_NAMES_H

// The names and numbers the game finds its parts by: the nodes it looks up by name on
// the current stage, and the sprites it makes by id from "Images/Sprites.dat". A lookup
// that finds nothing makes its step do nothing, so each name is spelled here once and
// used through its constant everywhere. The texts are those of the resource file and of
// the stage the player sees.

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

// The sprites made by id.
constexpr int HeroSpriteId = 12;
constexpr int RedFlagSpriteId = 18;
constexpr int BlueFlagSpriteId = 19;
constexpr int GlyphSpriteId = 58;

// The actions the hero is shown in, by name; it starts in HeroStartAction.
constexpr const char* HeroActionNames[] = {"Stand.Left", "Stand.Right", "Walk.Left",
                                           "Walk.Right", "Jump.Left",   "Jump.Right"};
constexpr int HeroActionCount = sizeof HeroActionNames / sizeof HeroActionNames[0];
constexpr const char* HeroStartAction = HeroActionNames[1];

#endif
