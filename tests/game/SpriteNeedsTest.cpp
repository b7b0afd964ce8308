// What the game needs from its resource file: the built file meets it, and a file with
// one field changed is refused with a message naming the sprite and what it lacks. The
// bound on frame deltas keeps every stepped sprite on the stage however long it runs.

#include "Levels.h"
#include "MvAction.h"
#include "MvLogCapture.h"
#include "MvResourceVault.h"
#include "MvSceneNode.h"
#include "ResourceTestSupport.h"
#include "SpriteIds.h"
#include "SpriteNeeds.h"
#include "SpritesFileEdit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#ifndef MOVO_SPRITES_FILE
#error "MOVO_SPRITES_FILE must name the Images/Sprites.dat the build makes"
#endif

namespace {

// An id that no sprite or action of the built file has.
const int NoSuchId = 999;

// How the messages name the sprite with id, which the game calls who.
std::string Named(int id, const char* who) { return "sprite id " + std::to_string(id) + " (" + who + ")"; }

// What FindUnmetNeed says of the built file after edit; "not loaded: ..." when the edited
// file does not load at all.
std::string UnmetNeedAfter(const std::function<bool(SpritesFileEdit&)>& edit)
{
    SpritesFileEdit file(MOVO_SPRITES_FILE);
    if (!edit(file))
        return "the edit found no such field";
    MvLogCapture log(MvLogCapture::QuietStdout);
    MvResourceVault vault;
    if (!vault.LoadDatFileFromMemory(file.Bytes().data(), static_cast<int>(file.Bytes().size())))
        return "not loaded: " + vault.LoadError();
    return FindUnmetNeed(vault, GameSpriteNeeds());
}

TEST(SpriteNeedsTest, TheBuiltFileMeetsEveryNeed)
{
    EXPECT_EQ(UnmetNeedAfter([](SpritesFileEdit&) { return true; }), "");
}

TEST(SpriteNeedsTest, AFileLackingOneThingIsRefusedNamingIt)
{
    const std::string switching = ", but this sprite changes action as it moves and must not be moved by its frames";
    const struct {
        const char* what;
        std::function<bool(SpritesFileEdit&)> edit;
        std::string message;
    } cases[] = {
        {"the hero's id changed", [](SpritesFileEdit& f) { return f.SetSpriteId(kSpriteHero, NoSuchId); },
         Named(kSpriteHero, "the hero") + " is missing"},
        {"a hero action renamed", [](SpritesFileEdit& f) { return f.RenameAction(kSpriteHero, "Stand.Right"); },
         Named(kSpriteHero, "the hero") + " has no action \"Stand.Right\""},
        {"the blue flag's id changed", [](SpritesFileEdit& f) { return f.SetSpriteId(kSpriteBlueFlag, NoSuchId); },
         Named(kSpriteBlueFlag, "the blue flag") + " is missing"},
        {"the glyphs' id changed", [](SpritesFileEdit& f) { return f.SetSpriteId(kSpriteGlyphs, NoSuchId); },
         Named(kSpriteGlyphs, "the label glyphs") + " is missing"},
        {"a glyph a label uses renamed", [](SpritesFileEdit& f) { return f.RenameAction(kSpriteGlyphs, "charQ"); },
         Named(kSpriteGlyphs, "the label glyphs") + " has no action \"charQ\""},
        {"an enemy direction's id changed",
         [](SpritesFileEdit& f) { return f.SetActionId(kSpriteShellox, "Walk.Left", NoSuchId); },
         Named(kSpriteShellox, "a Shellox") + " has no action id " + std::to_string(SpriteShelloxActions::kWalkLeft)},
        {"an enemy's id changed", [](SpritesFileEdit& f) { return f.SetSpriteId(kSpriteSnapvine, NoSuchId); },
         Named(kSpriteSnapvine, "a Snapvine") + " is missing"},
        {"a platform record of an unknown type ends the load",
         [](SpritesFileEdit& f) { return f.SetSpriteRecordType(kSpriteMidGrass, 99); }, "sprite \"MidGrass\" is missing"},
        {"a hero frame that moves",
         [](SpritesFileEdit& f) { return f.SetFirstFrameDelta(kSpriteHero, "Walk.Left", 100000, 0); },
         Named(kSpriteHero, "the hero") + " action \"Walk.Left\" frame 0 moves by (100000, 0)" + switching},
        {"a moving platform frame that moves too far",
         [](SpritesFileEdit& f) { return f.SetFirstFrameDelta(kSpriteMovingPlatform, "Glide", 100000, 0); },
         "sprite \"MovingPlatform\" action \"Glide\" carries its sprite to (100000, 0) by frame 0, farther than "
         "4096 pixels"},
        {"a moving platform cycle that drifts",
         [](SpritesFileEdit& f) { return f.SetFirstFrameDelta(kSpriteMovingPlatform, "Glide", 2, 0); },
         "sprite \"MovingPlatform\" action \"Glide\" moves its sprite by (1, 0) a cycle, so stepping takes it off "
         "the stage"},
        {"a walking enemy that sinks", [](SpritesFileEdit& f) { return f.SetFirstFrameDelta(kSpriteMulgo, "Walk", 0, 3); },
         Named(kSpriteMulgo, "a Mulgo") + " action \"Walk\" moves its sprite by (0, 3) a cycle, so stepping takes it "
         "off the stage"},
        {"a flag, never stepped, with a delta",
         [](SpritesFileEdit& f) { return f.SetFirstFrameDelta(kSpriteRedFlag, "Wave", 100000, 0); }, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnmetNeedAfter(c.edit), c.message) << c.what;
}

// An action of frames with the given deltas, each a one-pixel picture.
std::unique_ptr<MvAction> ActionMovingBy(const std::vector<std::pair<int, int>>& deltas)
{
    restest::ActionDraft draft{"Go", 1, {}};
    for (const auto& d : deltas)
        draft.frames.push_back({{"R"}, 0, 0, d.first, d.second});
    return std::unique_ptr<MvAction>(restest::MakeAction(draft));
}

// A frame with no visible pixel gives a shown sprite no bounds, which the scene tree does
// not allow: the check refuses it in the first action and in any action the game selects.
TEST(SpriteNeedsTest, AFrameWithNoVisiblePixelIsRefused)
{
    const restest::FrameDraft solid{{"R"}, 0, 0, 0, 0};
    const restest::FrameDraft blank{{".."}, 0, 0, 0, 0};
    const struct {
        const char* what;
        std::vector<restest::FrameDraft> first;
        std::vector<restest::FrameDraft> walk;
        std::string message;
    } cases[] = {
        {"all frames show a pixel", {solid}, {solid, solid}, ""},
        {"a selected action's second frame is blank", {solid}, {solid, blank},
         Named(kSpriteHero, "the hero") + " action \"Walk.Left\" frame 1 has no visible pixel"},
        {"the first action's frame is blank", {blank}, {solid},
         Named(kSpriteHero, "the hero") + " action \"Stand.Right\" frame 0 has no visible pixel"},
    };
    for (const auto& c : cases) {
        MvResourceVault vault;
        vault.AppendResource(
            restest::MakeSprite("track", kSpriteHero, {{"Stand.Right", 1, c.first}, {"Walk.Left", 2, c.walk}}));
        const std::vector<SpriteNeed> needs = {{kSpriteHero, "the hero", {"Walk.Left"}, {}, SpriteMotion::Switching}};
        EXPECT_EQ(FindUnmetNeed(vault, needs), c.message) << c.what;
    }
}

TEST(SpriteNeedsTest, DeltasMayOnlyMoveASpriteWithinItsReachAndBack)
{
    const int reach = MaxStepReach;
    const struct {
        std::vector<std::pair<int, int>> deltas;
        SpriteMotion motion;
        bool accepted;
    } cases[] = {
        {{{0, 0}, {0, 0}}, SpriteMotion::Switching, true},
        {{{1, 0}, {-1, 0}}, SpriteMotion::Switching, false}, // action changes can repeat the +1
        {{{1, 0}, {-1, 0}}, SpriteMotion::OneAction, true},
        {{{reach, -reach}, {-reach, reach}}, SpriteMotion::OneAction, true},
        {{{reach, 0}, {1, 0}, {-reach - 1, 0}}, SpriteMotion::OneAction, false},
        {{{0, -reach - 1}, {0, reach + 1}}, SpriteMotion::OneAction, false},
        {{{3, 0}}, SpriteMotion::OneAction, false},
        {{{0, 1}, {0, 1}, {0, -1}}, SpriteMotion::OneAction, false},
        {{{2147483647, 0}, {2147483647, 0}, {2, 0}}, SpriteMotion::OneAction, false},
        {{{100000, 7}}, SpriteMotion::Still, true},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& d : c.deltas)
            shown += " (" + std::to_string(d.first) + ", " + std::to_string(d.second) + ")";
        EXPECT_EQ(FindDeltaProblem(*ActionMovingBy(c.deltas), c.motion).empty(), c.accepted)
            << "deltas" << shown << " for motion " << static_cast<int>(c.motion);
    }
}

// The check's bound holds for the game's stage: a sprite placed anywhere a level places
// one (with the screen's origin of up to half an 800-pixel window) and carried
// MaxStepReach pixels still lies within MvMaxNodePosition.
TEST(SpriteNeedsTest, ASteppedSpriteStaysWithinTheNodeRange)
{
    const int origin = 400;
    int farthest = 0;
    for (int level = 1; level <= LevelCount; ++level) {
        const LevelTable table = LevelRows(level);
        for (int i = 0; i < table.rowCount; ++i) {
            for (int k = 0; k < table.rows[i].count; ++k) {
                int x = 0, y = 0;
                RunPosition(table.rows[i], k, &x, &y);
                farthest = std::max({farthest, std::abs(x), std::abs(y)});
            }
        }
    }
    EXPECT_LE(farthest + origin + MaxStepReach, MvMaxNodePosition) << "farthest placement " << farthest;
}

} // namespace
