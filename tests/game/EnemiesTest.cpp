// Enemies on a play screen whose level content is replaced by what each case needs:
// spawning per kind, the walkers' turning, falling and landing, Rocketto's flight,
// Snapvine's band, standing still out of reach, and the hero's contacts with them.
// Positions are world coordinates (layout x = world x + 400 on a level); enemy hot spots
// are the middle of the bottom row.

#include "Enemies.h"
#include "Labels.h"
#include "PlayScreenFixture.h"
#include "SpriteIds.h"

#include "MvLogCapture.h"
#include "MvResourceVault.h"
#include "MvSpriteResource.h"

#include <algorithm>

namespace {

class EnemiesTest : public PlayScreenTest {
protected:
    // Spawns an enemy with its hot spot at world (x, y) and returns it.
    static MvSceneNode* Spawn(EnemyKind kind, int x, int y, int id)
    {
        SpawnEnemy(kind, x - GameState::originX, y - GameState::originY, id);
        for (MvSceneNode* enemy : Children("enemies"))
            if (enemy->Id() == id)
                return enemy;
        return nullptr;
    }
    // Runs ResolveEnemyContacts on current positions.
    static void ResolveContacts(ContactSide* contacts)
    {
        Tree()->Recompute();
        ResolveEnemyContacts(contacts);
    }
};

TEST_F(EnemiesTest, EachKindSpawnsWithItsSpriteTagIdAndState)
{
    const struct {
        EnemyKind kind;
        int spriteId;
        const SpriteTag* tag;
        int actionId; // -1: the sprite's first action
        bool onGround;
        int speed;
        int verticalSpeed;
        int depth;
    } cases[] = {
        {EnemyKind::Mulgo, kSpriteMulgo, &MulgoTag, -1, true, 4, 0, 0},
        {EnemyKind::Shellox, kSpriteShellox, &ShelloxTag, SpriteShelloxActions::kWalkLeft, true, 8, 0, 0},
        {EnemyKind::Thornel, kSpriteThornel, &ThornelTag, SpriteThornelActions::kWalkLeft, true, 5, 0, 0},
        {EnemyKind::Rocketto, kSpriteRocketto, &RockettoTag, -1, false, 10, 0, 0},
        {EnemyKind::Snapvine, kSpriteSnapvine, &SnapvineTag, -1, false, 0, -1, 1},
    };
    int id = 0;
    for (const auto& c : cases) {
        ++id;
        SCOPED_TRACE(id);
        MvSceneNode* enemy = Spawn(c.kind, 100 * id, 300, id);
        ASSERT_NE(enemy, nullptr);
        MvSpriteNode* sprite = enemy->AsSprite();
        EXPECT_EQ(sprite->SpriteResource()->Id(), c.spriteId);
        EXPECT_EQ(enemy->UserData(), c.tag);
        EnemyKind kind;
        ASSERT_TRUE(EnemyKindOf(enemy, &kind));
        EXPECT_EQ(kind, c.kind);
        if (c.actionId >= 0) {
            EXPECT_EQ(sprite->CurrentAction()->Id(), c.actionId);
        }
        EXPECT_EQ(enemy->PosX(0), 100 * id);
        EXPECT_EQ(enemy->PosY(0), 300);
        EXPECT_EQ(enemy->Depth(), c.depth);
        const EnemyState& state = EnemyStateOf(id);
        EXPECT_EQ(state.onGround, c.onGround);
        EXPECT_EQ(state.speed, c.speed);
        EXPECT_EQ(state.verticalSpeed, c.verticalSpeed);
    }
    EXPECT_EQ(EnemyStateOf(5).highestY, 250);
    EXPECT_EQ(EnemyStateOf(5).lowestY, 300);
}

TEST_F(EnemiesTest, WalkersTurnAtWallsShowingTheirDirection)
{
    const struct {
        EnemyKind kind;
        int speed;
        int leftActionId;  // shown after touching a wall on the right (-1: none)
        int rightActionId; // shown after touching a wall on the left
    } cases[] = {
        {EnemyKind::Mulgo, 4, -1, -1},
        {EnemyKind::Shellox, 8, SpriteShelloxActions::kWalkLeft, SpriteShelloxActions::kWalkRight},
        {EnemyKind::Thornel, 5, SpriteThornelActions::kWalkLeft, SpriteThornelActions::kWalkRight},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        ClearLevel();
        // Ground from -200 to 224 at y 400 with a wall tile at each end standing on it.
        GroundAt(-200, 200, 400);
        PlatformAt(-150, 375);
        PlatformAt(150, 375);
        PlaceHero(0, 100); // in reach, out of the way
        MvSceneNode* enemy = Spawn(c.kind, 0, 400, 1);

        int minX = 0, maxX = 0;
        bool turnedRight = false, turnedLeftAgain = false;
        for (int i = 0; i < 200 && !turnedLeftAgain; ++i) {
            Nudge();
            EXPECT_EQ(enemy->PosY(0), 400) << "walks on the ground";
            minX = std::min(minX, enemy->PosX(0));
            maxX = std::max(maxX, enemy->PosX(0));
            const int speed = EnemyStateOf(1).speed;
            if (!turnedRight && speed < 0) {
                turnedRight = true;
                EXPECT_EQ(speed, -c.speed);
                if (c.rightActionId >= 0) {
                    EXPECT_EQ(enemy->AsSprite()->CurrentAction()->Id(), c.rightActionId);
                }
            } else if (turnedRight && speed > 0) {
                turnedLeftAgain = true;
                if (c.leftActionId >= 0) {
                    EXPECT_EQ(enemy->AsSprite()->CurrentAction()->Id(), c.leftActionId);
                }
            }
        }
        EXPECT_TRUE(turnedLeftAgain);
        // It meets the walls and never walks through them.
        EXPECT_GT(minX, -150 + 26 - c.speed);
        EXPECT_LT(minX, -150 + 25 + 15);
        EXPECT_LT(maxX, 150);
        EXPECT_GT(maxX, 150 - 20);
        EXPECT_EQ(enemy->Depth(), 8);
    }
}

TEST_F(EnemiesTest, AWalkerFallsOffAnEdgeAtItsFallSpeedAndLandsBelow)
{
    const struct {
        EnemyKind kind;
        int fallSpeed;
    } cases[] = {{EnemyKind::Mulgo, 5}, {EnemyKind::Shellox, 7}, {EnemyKind::Thornel, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        ClearLevel();
        GroundAt(0, 50, 400);    // a ledge
        GroundAt(-800, 100, 500); // the ground below, long enough for 80 steps
        PlaceHero(0, 100);
        MvSceneNode* enemy = Spawn(c.kind, 60, 400, 1);
        std::vector<int> ys;
        for (int i = 0; i < 80; ++i) {
            Nudge();
            ys.push_back(enemy->PosY(0));
        }
        EXPECT_EQ(ys.back(), 500) << "landed on the ground below";
        EXPECT_TRUE(EnemyStateOf(1).onGround);
        bool fellAtSpeed = false;
        for (size_t i = 1; i < ys.size(); ++i)
            fellAtSpeed |= ys[i] - ys[i - 1] == c.fallSpeed;
        EXPECT_TRUE(fellAtSpeed);
        for (size_t i = 1; i < ys.size(); ++i)
            EXPECT_LE(ys[i] - ys[i - 1], c.fallSpeed) << i;
    }
}

TEST_F(EnemiesTest, RockettoFliesLeftThroughEverythingWhileInReach)
{
    PlatformAt(-60, 290); // in its way; it never collides
    PlaceHero(300, 100);
    MvSceneNode* rocket = Spawn(EnemyKind::Rocketto, 0, 300, 1);
    for (int i = 1; i <= 20; ++i) {
        Nudge();
        EXPECT_EQ(rocket->PosX(0), -10 * i);
        EXPECT_EQ(rocket->PosY(0), 300);
    }
    // Now 500 away from the hero: it stops.
    PlaceHero(300, 100);
    ASSERT_EQ(rocket->PosX(0), -200);
    PlaceHero(301, 100);
    Nudge();
    EXPECT_EQ(rocket->PosX(0), -200);
    EXPECT_EQ(rocket->Depth(), 0);
}

TEST_F(EnemiesTest, SnapvineRisesAndSinksInItsBandOnePixelPerStep)
{
    PlaceHero(700, 100); // within 800
    MvSceneNode* vine = Spawn(EnemyKind::Snapvine, 0, 500, 1);
    int minY = 500, maxY = 500;
    for (int i = 0; i < 300; ++i) {
        const int before = vine->PosY(0);
        Nudge();
        EXPECT_EQ(std::abs(vine->PosY(0) - before), 1);
        minY = std::min(minY, vine->PosY(0));
        maxY = std::max(maxY, vine->PosY(0));
    }
    EXPECT_EQ(minY, 449);
    EXPECT_EQ(maxY, 501);

    PlaceHero(800, 100);
    const int y = vine->PosY(0);
    Nudge();
    EXPECT_EQ(vine->PosY(0), y) << "800 away it stands still";
}

TEST_F(EnemiesTest, EnemiesOutOfReachStandStillButStillAnimate)
{
    GroundAt(-100, 600, 400);
    MvSceneNode* walker = Spawn(EnemyKind::Mulgo, 500, 400, 1);
    PlaceHero(0, 100);
    Nudge();
    EXPECT_EQ(walker->PosX(0), 500);
    EXPECT_EQ(walker->Depth(), 8) << "the depth is set in or out of reach";
    const int frame = walker->AsSprite()->CurrentFrame();
    Tick();
    EXPECT_EQ(walker->PosX(0), 500);
    EXPECT_EQ(walker->AsSprite()->CurrentFrame(), frame + 1);
    PlaceHero(1, 100);
    Nudge();
    EXPECT_EQ(walker->PosX(0), 496) << "499 away it walks";
}

TEST_F(EnemiesTest, ClassifyEnemyContactBySideAndBand)
{
    const struct {
        int hx, hy;
        ContactSide side;
        const char* printed;
    } cases[] = {
        // enemy at (100, 300)
        {100, 289, ContactSide::Top, "EnemyTop\n"},
        {100, 271, ContactSide::Top, "EnemyTop\n"},
        {139, 280, ContactSide::Top, "EnemyTop\n"},
        {61, 280, ContactSide::Top, "EnemyTop\n"},
        {100, 270, ContactSide::None, ""},
        {100, 290, ContactSide::LeftSide, "EnemyLeftSide\n"},
        {140, 285, ContactSide::LeftSide, "EnemyLeftSide\n"},
        {73, 300, ContactSide::LeftSide, "EnemyLeftSide\n"},
        {72, 300, ContactSide::RightSide, "EnemyRightSide\n"},
        {30, 359, ContactSide::RightSide, "EnemyRightSide\n"},
        {100, 360, ContactSide::None, ""},
        {100, 282, ContactSide::Top, "EnemyTop\n"},
        {60, 282, ContactSide::None, ""},
        {60, 283, ContactSide::RightSide, "EnemyRightSide\n"},
        {100, 250, ContactSide::None, ""},
    };
    MvSceneNode enemy;
    enemy.MoveTo(100, 300, -1);
    for (const auto& c : cases) {
        MvSceneNode hero;
        hero.MoveTo(c.hx, c.hy, -1);
        ContactSide side;
        std::string printed;
        {
            MvLogCapture log(MvLogCapture::QuietStdout);
            side = ClassifyEnemyContact(&hero, &enemy);
            printed = log.Text();
        }
        EXPECT_EQ(side, c.side) << c.hx << "," << c.hy;
        EXPECT_EQ(printed, c.printed) << c.hx << "," << c.hy;
    }
}

TEST_F(EnemiesTest, StompingAPlainEnemyScoresAndBouncesTheHero)
{
    for (EnemyKind kind : {EnemyKind::Mulgo, EnemyKind::Shellox, EnemyKind::Rocketto}) {
        SCOPED_TRACE(static_cast<int>(kind));
        ClearLevel();
        cues_.clear();
        const int defeated = GameState::enemiesDefeated;
        const int points = GameState::points;
        Spawn(kind, 0, 400, 1);
        PlaceHero(0, 388);
        GameState::facingLeft = false;
        ContactSide contacts[ContactCount] = {};
        ResolveContacts(contacts);

        EXPECT_EQ(contacts[0], ContactSide::Top);
        EXPECT_TRUE(Children("enemies").empty());
        EXPECT_EQ(GameState::enemiesDefeated, defeated + 1);
        EXPECT_EQ(GameState::points, points + 100);
        EXPECT_EQ(GameState::lives, 2);
        EXPECT_EQ(Played(CueStomp), 1);
        EXPECT_TRUE(GameState::jumping);
        EXPECT_EQ(GameState::vy, -10);
        EXPECT_EQ(GameState::apexY, 388 - 40);
        EXPECT_EQ(HeroAction(), "Jump.Right");
    }
    EXPECT_EQ(Shown("Defeated"), "003");
    EXPECT_EQ(Shown("pointsscored"), "00000300");
}

TEST_F(EnemiesTest, LandingOnASpikyEnemyCostsALifeAndRemovesIt)
{
    const struct {
        EnemyKind kind;
        int heroY; // inside the stomp band, touching the enemy's top
    } cases[] = {{EnemyKind::Thornel, 388}, {EnemyKind::Snapvine, 388}};
    int lives = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        ClearLevel();
        cues_.clear();
        Spawn(c.kind, 0, 400, 1);
        PlaceHero(0, c.heroY);
        ContactSide contacts[ContactCount] = {};
        ResolveContacts(contacts);
        --lives;
        EXPECT_EQ(contacts[0], ContactSide::Top);
        EXPECT_EQ(GameState::lives, lives);
        EXPECT_EQ(Shown("lifeleft"), NumberToText(lives));
        EXPECT_EQ(Played(CueHurtAbove), 1);
        EXPECT_EQ(Played(CueStomp), 0);
        EXPECT_FALSE(GameState::jumping) << "no bounce";
        EXPECT_TRUE(Children("enemies").empty());
        EXPECT_EQ(GameState::enemiesDefeated, 0);
    }
    EXPECT_TRUE(GameState::lost) << "the second hurt was the last life";
    EXPECT_EQ(Played(CueDeath), 1);
}

TEST_F(EnemiesTest, SideContactsHurtAndTheSecondLosesTheLevel)
{
    ASSERT_NE(GameState::music, nullptr);
    Spawn(EnemyKind::Mulgo, 0, 400, 1);
    PlaceHero(8, 400);
    ContactSide contacts[ContactCount] = {};
    ResolveContacts(contacts);
    EXPECT_EQ(contacts[0], ContactSide::LeftSide);
    EXPECT_EQ(GameState::lives, 1);
    EXPECT_EQ(Shown("lifeleft"), "1");
    EXPECT_EQ(Played(CueHurtSide), 1);
    EXPECT_TRUE(Children("enemies").empty());
    EXPECT_FALSE(GameState::lost);
    EXPECT_TRUE(pauses_.empty());
    EXPECT_NE(GameState::music, nullptr);

    Spawn(EnemyKind::Shellox, 0, 400, 2);
    ResolveContacts(contacts);
    EXPECT_EQ(GameState::lives, 0);
    EXPECT_TRUE(GameState::lost);
    EXPECT_EQ(GameState::music, nullptr) << "the music stops before the death sound";
    EXPECT_EQ(Played(CueDeath), 1);
    EXPECT_EQ(pauses_, std::vector<Uint32>{5000});
}

TEST_F(EnemiesTest, TwoHurtsInOneEventWithOneLifeLeftLoseOnceAndGoOn)
{
    GameState::lives = 1;
    UpdateLabel("1", "lifeleft");
    Spawn(EnemyKind::Mulgo, 0, 400, 1);
    Spawn(EnemyKind::Mulgo, 2, 400, 2);
    PlaceHero(8, 400);
    Nudge();
    EXPECT_EQ(GameState::lives, -1);
    EXPECT_TRUE(GameState::lost);
    EXPECT_EQ(Played(CueDeath), 1);
    EXPECT_EQ(pauses_.size(), 1u);
    EXPECT_TRUE(Children("enemies").empty());
    MvSceneNode* lifeGlyph = Find("lifeleft")->Children().Node();
    EXPECT_FALSE(lifeGlyph->IsShown(0)) << "the minus sign has no glyph: a blank";
    Tick(); // the screen goes on drawing
}

TEST_F(EnemiesTest, AHeroAboveASnapvinesReachOutsideEveryBandLeavesIt)
{
    Spawn(EnemyKind::Snapvine, 0, 400, 1); // 39 tall: its top is 38 above its foot
    PlaceHero(0, 370);
    Tree()->Recompute();
    MvGrowArray<MvDrawableNode*> touched;
    ASSERT_TRUE(Tree()->CollideWithChildrenOf(Hero(), Find("enemies"), &touched, 0));
    ContactSide contacts[ContactCount] = {};
    ResolveEnemyContacts(contacts);
    EXPECT_EQ(contacts[0], ContactSide::None);
    EXPECT_EQ(Children("enemies").size(), 1u);
    EXPECT_EQ(GameState::lives, 2);
}

TEST_F(EnemiesTest, EveryEnemyStepsOnceAnEventWhileWalkersChangeTheirDepth)
{
    // The walkers' first step raises their depth, which moves them behind the others in
    // the layer; the enemies after them must step all the same, and only once.
    GroundAt(-200, 200, 400);
    PlaceHero(0, 100);
    MvSceneNode* mulgo = Spawn(EnemyKind::Mulgo, 0, 400, 1);
    MvSceneNode* shellox = Spawn(EnemyKind::Shellox, 100, 400, 2);
    MvSceneNode* vine = Spawn(EnemyKind::Snapvine, -100, 450, 3);
    MvSceneNode* rocket = Spawn(EnemyKind::Rocketto, 150, 200, 4);
    for (int step = 1; step <= 3; ++step) {
        Nudge();
        EXPECT_EQ(mulgo->PosX(0), -4 * step) << step;
        EXPECT_EQ(shellox->PosX(0), 100 - 8 * step) << step;
        EXPECT_EQ(vine->PosY(0), 450 - step) << step;
        EXPECT_EQ(rocket->PosX(0), 150 - 10 * step) << step;
    }
}

TEST_F(EnemiesTest, StepEnemiesSkipsChildrenOfNoKnownKind)
{
    MvSpriteNode* stranger = new MvSpriteNode(GameState::engine->Vault()->FindSpriteResource(kSpriteMulgo));
    stranger->MoveTo(10, 300, -1);
    Tree()->InsertNode(Find("enemies"), stranger);
    PlaceHero(0, 100);
    Nudge();
    EXPECT_EQ(stranger->PosX(0), 10);
    EXPECT_EQ(stranger->PosY(0), 300);
}

} // namespace
