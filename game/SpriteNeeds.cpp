#include "SpriteNeeds.h"

#include "Enemies.h"
#include "GameNames.h"
#include "Labels.h"
#include "Levels.h"
#include "MvAction.h"
#include "MvAssert.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "SpriteIds.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// How messages name the sprite of need.
std::string Who(const SpriteNeed& need)
{
    if (need.id != 0)
        return "sprite id " + std::to_string(need.id) + " (" + need.name + ")";
    return "sprite \"" + need.name + "\"";
}

// Adds each platform and scenery name of the levels, once, in the order first placed.
void AddLevelSprites(std::vector<SpriteNeed>* needs)
{
    for (int level = 1; level <= LevelCount; ++level) {
        const LevelTable table = LevelRows(level);
        for (int i = 0; i < table.rowCount; ++i) {
            const LevelRow& row = table.rows[i];
            if (row.resource == nullptr)
                continue;
            auto listed = std::find_if(needs->begin(), needs->end(), [&](const SpriteNeed& need) {
                return need.id == 0 && need.name == row.resource;
            });
            if (listed == needs->end()) {
                needs->push_back({0, row.resource, {}, {}, SpriteMotion::Still});
                listed = needs->end() - 1;
            }
            // Platforms near the hero are stepped; scenery never is.
            if (row.element == LevelElement::Platform)
                listed->motion = SpriteMotion::OneAction;
        }
    }
}

// What is wrong with action (null when the sprite has none called which) of need's
// sprite, moved as motion; empty when nothing.
std::string ActionProblem(const SpriteNeed& need, const MvAction* action, const std::string& which,
                          SpriteMotion motion)
{
    if (action == nullptr)
        return Who(need) + " has no action " + which;
    if (action->FrameCount() == 0)
        return Who(need) + " action " + which + " has no frames";
    // A shown sprite must cover a pixel: a frame with no visible pixel has no bounds.
    for (int i = 0; i < action->FrameCount(); ++i) {
        const MvRle* frame = action->FrameAt(i);
        if (frame->Width() == 0 || frame->Height() == 0)
            return Who(need) + " action " + which + " frame " + std::to_string(i) + " has no visible pixel";
    }
    const std::string deltas = FindDeltaProblem(*action, motion);
    if (!deltas.empty())
        return Who(need) + " action " + which + " " + deltas;
    return std::string();
}

std::string Quoted(const char* text) { return std::string("\"") + text + "\""; }

} // namespace

std::vector<SpriteNeed> GameSpriteNeeds()
{
    std::vector<SpriteNeed> needs;
    needs.push_back({kSpriteHero, "the hero", {HeroActionNames, HeroActionNames + HeroActionCount}, {},
                     SpriteMotion::Switching});
    needs.push_back({kSpriteRedFlag, "the red flag", {}, {}, SpriteMotion::Still});
    needs.push_back({kSpriteBlueFlag, "the blue flag", {}, {}, SpriteMotion::Still});
    SpriteNeed glyphs{kSpriteGlyphs, "the label glyphs", {}, {}, SpriteMotion::Still};
    for (const char* c = LabelCharacters; *c != '\0'; ++c)
        glyphs.actionNames.push_back(GlyphActionName(*c));
    needs.push_back(glyphs);
    for (EnemyKind kind : EnemyKinds) {
        const EnemyLook look = EnemyLookOf(kind);
        SpriteNeed enemy{look.spriteId, std::string("a ") + EnemyTag(kind).name, {}, {}, SpriteMotion::OneAction};
        if (look.leftAction != 0) {
            enemy.actionIds = {look.leftAction, look.rightAction};
            enemy.motion = SpriteMotion::Switching;
        }
        needs.push_back(enemy);
    }
    AddLevelSprites(&needs);
    return needs;
}

std::string FindUnmetNeed(const MvResourceVault& vault, const std::vector<SpriteNeed>& needs)
{
    for (const SpriteNeed& need : needs) {
        const MvSpriteResource* sprite =
            need.id != 0 ? vault.FindSpriteResource(need.id) : vault.FindSpriteResource(need.name.c_str());
        if (sprite == nullptr)
            return Who(need) + " is missing";
        if (sprite->ActionCount() == 0)
            return Who(need) + " has no actions";
        // A new sprite node shows the first action; a Switching sprite is given another
        // before it is stepped.
        const MvAction* first = sprite->ActionAt(0);
        std::string problem = ActionProblem(
            need, first, Quoted(first->Name()),
            need.motion == SpriteMotion::Switching ? SpriteMotion::Still : need.motion);
        for (size_t i = 0; i < need.actionNames.size() && problem.empty(); ++i)
            problem = ActionProblem(need, sprite->FindAction(need.actionNames[i].c_str()),
                                    Quoted(need.actionNames[i].c_str()), need.motion);
        for (size_t i = 0; i < need.actionIds.size() && problem.empty(); ++i)
            problem = ActionProblem(need, sprite->FindAction(static_cast<int32_t>(need.actionIds[i])),
                                    "id " + std::to_string(need.actionIds[i]), need.motion);
        if (!problem.empty())
            return problem;
    }
    return std::string();
}

std::string FindDeltaProblem(const MvAction& action, SpriteMotion motion)
{
    MvAssert(action.FrameCount() > 0);
    if (motion == SpriteMotion::Still)
        return std::string();
    // Sums in 64 bits: a file's deltas are any 32-bit numbers.
    int64_t x = 0;
    int64_t y = 0;
    for (int i = 0; i < action.FrameCount(); ++i) {
        const MvRle* frame = action.FrameAt(i);
        const int dx = frame->DeltaX();
        const int dy = frame->DeltaY();
        if (motion == SpriteMotion::Switching && (dx != 0 || dy != 0))
            return "frame " + std::to_string(i) + " moves by (" + std::to_string(dx) + ", " + std::to_string(dy) +
                   "), but this sprite changes action as it moves and must not be moved by its frames";
        x += dx;
        y += dy;
        if (std::llabs(x) > MaxStepReach || std::llabs(y) > MaxStepReach)
            return "carries its sprite to (" + std::to_string(x) + ", " + std::to_string(y) + ") by frame " +
                   std::to_string(i) + ", farther than " + std::to_string(MaxStepReach) + " pixels";
    }
    if (x != 0 || y != 0)
        return "moves its sprite by (" + std::to_string(x) + ", " + std::to_string(y) +
               ") a cycle, so stepping takes it off the stage";
    return std::string();
}
