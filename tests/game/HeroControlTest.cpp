// The hero's input handlers and its settling against the platforms, on a play screen
// whose level content is replaced by the few platforms each case needs. Positions are
// world coordinates; the hero's hot spot is the middle of its bottom row and platforms'
// the top-left corner of their 25 x 25 tile.

#include "HeroControl.h"
#include "Labels.h"
#include "PlayScreenFixture.h"

#include "MvDrawableNode.h"
#include "MvGrowArray.h"

#include <algorithm>
#include <vector>

namespace {

TEST(ClassifyPlatformContact, TheFirstRuleThatHoldsWins)
{
    const struct {
        int mx, my;
        ContactSide side;
    } cases[] = {
        // platform at (100, 200)
        {98, 211, ContactSide::LeftSide},   {99, 211, ContactSide::Top},      {98, 210, ContactSide::Top},
        {127, 211, ContactSide::RightSide}, {126, 211, ContactSide::Top},     {99, 219, ContactSide::Top},
        {90, 219, ContactSide::LeftSide},   {134, 219, ContactSide::RightSide}, {110, 200, ContactSide::Top},
        {110, 220, ContactSide::None},      {110, 240, ContactSide::None},    {110, 241, ContactSide::Bottom},
        {90, 190, ContactSide::None},       {135, 190, ContactSide::None},
    };
    MvSceneNode platform;
    platform.MoveTo(100, 200, -1);
    for (const auto& c : cases) {
        MvSceneNode mover;
        mover.MoveTo(c.mx, c.my, -1);
        EXPECT_EQ(ClassifyPlatformContact(&mover, &platform), c.side) << c.mx << "," << c.my;
    }
}

TEST_F(PlayScreenTest, AFallingHeroLandsOnTheGroundAndTakesItsY)
{
    GroundAt(-100, 100, 400);
    PlaceHero(0, 300);
    for (int i = 0; i < 20; ++i)
        Tick();
    EXPECT_TRUE(GameState::onGround);
    EXPECT_FALSE(GameState::jumping);
    EXPECT_EQ(GameState::vy, 0);
    EXPECT_EQ(Hero()->PosY(0), 400);
    EXPECT_EQ(HeroAction(), "Stand.Right");
}

TEST_F(PlayScreenTest, WithoutGroundTheHeroFallsInItsStandingPose)
{
    GameState::facingLeft = true;
    GameState::vy = 0;
    Nudge();
    EXPECT_FALSE(GameState::onGround);
    EXPECT_EQ(GameState::vy, 10);
    EXPECT_EQ(HeroAction(), "Stand.Left");
}

TEST_F(PlayScreenTest, KeyboardWalkingAndStoppingByKey)
{
    StandHeroOn(0, 400);
    Send(Key(SDL_KEYDOWN, SDLK_RIGHT));
    EXPECT_EQ(GameState::vx, 5);
    EXPECT_EQ(HeroAction(), "Walk.Right");
    EXPECT_EQ(Hero()->Depth(), 10);
    Tick();
    EXPECT_EQ(Hero()->PosX(0), 5);

    Send(Key(SDL_KEYDOWN, SDLK_LEFT));
    EXPECT_EQ(GameState::vx, -5);
    EXPECT_TRUE(GameState::facingLeft);
    EXPECT_EQ(HeroAction(), "Walk.Left");

    // Releasing Right shows Stand.Right even with Left still held, and leaves vx < 0.
    Send(Key(SDL_KEYUP, SDLK_RIGHT));
    EXPECT_EQ(HeroAction(), "Stand.Right");
    EXPECT_EQ(GameState::vx, -5);
    EXPECT_FALSE(GameState::rightKeyHeld);
    Send(Key(SDL_KEYUP, SDLK_LEFT));
    EXPECT_EQ(HeroAction(), "Stand.Left");
    EXPECT_EQ(GameState::vx, 0);

    // Releasing Left while Right is held keeps the pose.
    Send(Key(SDL_KEYDOWN, SDLK_RIGHT));
    Send(Key(SDL_KEYUP, SDLK_LEFT));
    EXPECT_EQ(HeroAction(), "Walk.Right");
    EXPECT_EQ(GameState::vx, 5);
}

TEST_F(PlayScreenTest, RightWhileAirborneMovesWithoutTurningOrChangingThePose)
{
    GameState::facingLeft = true;
    Nudge(); // falling, no ground
    ASSERT_EQ(HeroAction(), "Stand.Left");
    Send(Key(SDL_KEYDOWN, SDLK_RIGHT));
    EXPECT_EQ(GameState::vx, 5);
    EXPECT_TRUE(GameState::facingLeft);
    EXPECT_EQ(HeroAction(), "Stand.Left");
}

TEST_F(PlayScreenTest, AKeyboardJumpRises125PixelsAtFiveThenFallsBack)
{
    StandHeroOn(0, 400);
    Send(Key(SDL_KEYDOWN, SDLK_UP));
    EXPECT_EQ(GameState::apexY, 275);
    EXPECT_EQ(GameState::vy, -5);
    EXPECT_TRUE(GameState::jumping);
    EXPECT_FALSE(GameState::onGround);
    EXPECT_EQ(HeroAction(), "Jump.Right");
    EXPECT_TRUE(cues_.empty()) << "the keyboard jump is silent";

    int top = 400;
    for (int i = 0; i < 60; ++i) {
        if (!GameState::onGround) {
            Send(Key(SDL_KEYDOWN, SDLK_UP)); // does nothing while rising or falling
        }
        Tick();
        top = std::min(top, Hero()->PosY(0));
    }
    EXPECT_EQ(top, 275);
    EXPECT_EQ(Hero()->PosY(0), 400) << "back on the ground";
    EXPECT_TRUE(GameState::onGround);
}

TEST_F(PlayScreenTest, LettingGoOfUpEndsTheRiseAtOnce)
{
    StandHeroOn(0, 400);
    Send(Key(SDL_KEYDOWN, SDLK_UP));
    Tick();
    Tick();
    Send(Key(SDL_KEYUP, SDLK_UP));
    EXPECT_EQ(GameState::vy, 10);
    EXPECT_FALSE(GameState::jumping);
    Tick();
    EXPECT_EQ(Hero()->PosY(0), 400) << "10 up, then 10 down";
}

TEST_F(PlayScreenTest, AHeadBumpBreaksBricksForTenPointsAndOnlyBumpsOtherBlocks)
{
    const struct {
        const char* block;
        bool breaks;
    } cases[] = {{"Bricks", true}, {"NormBlock", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        ClearLevel();
        cues_.clear();
        GameState::points = 0;
        UpdateLabel("0", "pointsscored");
        // A block above the hero's head: the hero's top row is 34 pixels above its feet.
        PlatformAt(-12, 300, c.block);
        PlaceHero(0, 345);
        GameState::jumping = true;
        GameState::onGround = false;
        GameState::vy = -5;
        GameState::apexY = 200;

        Nudge();

        EXPECT_EQ(GameState::vy, 15);
        EXPECT_FALSE(GameState::jumping);
        EXPECT_EQ(Played(CueHeadBump), 1);
        EXPECT_EQ(Children("platforms").size(), c.breaks ? 0u : 1u);
        EXPECT_EQ(GameState::points, c.breaks ? 10 : 0);
        EXPECT_EQ(Shown("pointsscored"), c.breaks ? "00000010" : "00000000");
    }
}

TEST_F(PlayScreenTest, WallsPushTheHeroBackAndStopIt)
{
    const struct {
        const char* what;
        int wallX;
        int heroX;
        int pushedTo;
    } cases[] = {
        {"a wall on the right", 20, 15, 8},
        {"a wall on the left", -40, -10, -4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLevel();
        GroundAt(-150, 150, 400);
        PlatformAt(c.wallX, 375); // one tile standing on the ground
        PlaceHero(c.heroX, 400);
        GameState::vx = c.wallX > c.heroX ? 5 : -5;
        Nudge();
        EXPECT_EQ(Hero()->PosX(0), c.pushedTo);
        EXPECT_EQ(Hero()->PosY(0), 400);
        EXPECT_EQ(GameState::vx, 0);
    }
}

TEST_F(PlayScreenTest, TheStickWalksAndRunsAndItsCentreStops)
{
    StandHeroOn(0, 400);
    Send(Axis(0, -20001));
    EXPECT_EQ(GameState::vx, -5);
    EXPECT_TRUE(GameState::stickHeld);
    EXPECT_TRUE(GameState::facingLeft);
    EXPECT_EQ(HeroAction(), "Walk.Left");

    Send(Button(SDL_JOYBUTTONDOWN, 0));
    EXPECT_TRUE(GameState::runHeld);
    EXPECT_EQ(GameState::vx, -10) << "the held stick runs once the button is down";
    Send(Axis(0, 30000));
    EXPECT_EQ(GameState::vx, 10);
    EXPECT_FALSE(GameState::facingLeft);
    Send(Button(SDL_JOYBUTTONUP, 0));
    EXPECT_FALSE(GameState::runHeld);
    EXPECT_EQ(GameState::vx, 5);

    Send(Axis(1, 0)); // the vertical axis is the handlers' no concern, but its value
    EXPECT_EQ(GameState::vx, 0) << "is inside the centre band, which stops the hero";
    EXPECT_FALSE(GameState::stickHeld);
    EXPECT_EQ(HeroAction(), "Stand.Right");

    const struct {
        int value;
        bool stops;
    } centre[] = {{-599, true}, {599, true}, {0, true}, {1, false}, {600, false}, {-600, false}, {20000, false}};
    for (const auto& c : centre) {
        Send(Axis(0, 25000));
        ASSERT_TRUE(GameState::stickHeld);
        Send(Axis(0, c.value));
        EXPECT_EQ(!GameState::stickHeld, c.stops) << c.value;
    }
    Send(Axis(0, 25000));
    Send(Key(SDL_KEYUP, SDLK_a));
    EXPECT_TRUE(GameState::stickHeld) << "a keyboard event never stops the stick";
    EXPECT_EQ(GameState::vx, 5);
}

TEST_F(PlayScreenTest, ShiftRunsTheKeyboardWalkAsTheRunButtonRunsTheStick)
{
    const SDL_Event leftShift = Key(SDL_KEYDOWN, SDLK_LSHIFT), leftShiftUp = Key(SDL_KEYUP, SDLK_LSHIFT);
    const SDL_Event rightShift = Key(SDL_KEYDOWN, SDLK_RSHIFT), rightShiftUp = Key(SDL_KEYUP, SDLK_RSHIFT);
    const SDL_Event right = Key(SDL_KEYDOWN, SDLK_RIGHT), rightUp = Key(SDL_KEYUP, SDLK_RIGHT);
    const SDL_Event left = Key(SDL_KEYDOWN, SDLK_LEFT), leftUp = Key(SDL_KEYUP, SDLK_LEFT);
    const SDL_Event run = Button(SDL_JOYBUTTONDOWN, 0), runUp = Button(SDL_JOYBUTTONUP, 0);
    const struct {
        const char* what;
        std::vector<SDL_Event> events;
        int vx;
    } cases[] = {
        {"Right pressed with Shift held", {leftShift, right}, 10},
        {"Left pressed with the other Shift held", {rightShift, left}, -10},
        {"Shift pressed while walking right", {right, rightShift}, 10},
        {"Shift pressed while walking left", {left, leftShift}, -10},
        {"Shift let go while running right", {leftShift, right, leftShiftUp}, 5},
        {"Shift let go while running left", {rightShift, left, rightShiftUp}, -5},
        {"one Shift let go while the other is held", {leftShift, rightShift, right, leftShiftUp}, 10},
        {"a Shift let go that was never pressed", {leftShift, right, rightShiftUp}, 10},
        {"Shift with no direction held", {leftShift}, 0},
        {"Shift pressed and let go with no direction held", {leftShift, leftShiftUp}, 0},
        {"Right let go while Shift is held", {leftShift, right, rightUp}, 0},
        {"Right after Shift was pressed and let go", {leftShift, leftShiftUp, right}, 5},
        {"Left over Right, both running", {leftShift, right, left}, -10},
        {"Left let go with Right held and Shift let go", {leftShift, right, leftUp, leftShiftUp}, 5},
        // Each run control speeds up only its own device's walking.
        {"Shift does not run the stick", {leftShift, Axis(0, 30000)}, 5},
        {"Shift let go while the stick runs", {run, leftShift, Axis(0, 30000), leftShiftUp}, 10},
        {"the run button does not run the keys", {run, right}, 5},
        {"the run button let go while the keys run", {leftShift, run, right, runUp}, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLevel();
        StandHeroOn(0, 400);
        GameState::shiftKeysHeld = 0;
        GameState::runHeld = false;
        GameState::stickHeld = false;
        GameState::rightKeyHeld = false;
        GameState::vx = 0;
        for (const SDL_Event& event : c.events)
            Send(event);
        EXPECT_EQ(GameState::vx, c.vx);
    }
}

TEST_F(PlayScreenTest, ShiftInTheAirKeepsTheDirectionOfTravelNotTheFacing)
{
    GameState::facingLeft = true;
    Nudge(); // falling, no ground
    Send(Key(SDL_KEYDOWN, SDLK_RIGHT));
    Send(Key(SDL_KEYDOWN, SDLK_LSHIFT));
    EXPECT_EQ(GameState::vx, 10);
    Send(Key(SDL_KEYUP, SDLK_LSHIFT));
    EXPECT_EQ(GameState::vx, 5);
    EXPECT_TRUE(GameState::facingLeft);
    EXPECT_EQ(HeroAction(), "Stand.Left");
}

TEST_F(PlayScreenTest, TheJumpButtonJumpsFromTheGroundOnlyWithItsSound)
{
    Send(Button(SDL_JOYBUTTONDOWN, 1)); // in the air
    EXPECT_FALSE(GameState::jumping);
    EXPECT_EQ(Played(CueJoystickJump), 0);

    StandHeroOn(0, 400);
    Send(Button(SDL_JOYBUTTONDOWN, 1));
    EXPECT_TRUE(GameState::jumping);
    EXPECT_EQ(GameState::vy, -10);
    EXPECT_EQ(GameState::apexY, 275);
    EXPECT_EQ(Played(CueJoystickJump), 1);
    EXPECT_EQ(HeroAction(), "Jump.Right");

    Tick();
    Send(Button(SDL_JOYBUTTONUP, 1));
    EXPECT_EQ(GameState::vy, 10);
    EXPECT_FALSE(GameState::jumping);
}

TEST_F(PlayScreenTest, TheStickHeldAwayFromAWallWalksOnWithoutPushBack)
{
    const struct {
        const char* what;
        int wallX;
        int heroX;
        int stick;
        int x;
        int vx;
    } cases[] = {
        {"into a wall on the right", 20, 15, 30000, 8, 0},
        {"away from a wall on the right", 20, 15, -30000, 15, -5},
        {"into a wall on the left", -40, -10, -30000, -4, 0},
        {"away from a wall on the left", -40, -10, 30000, -10, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLevel();
        GroundAt(-150, 150, 400);
        PlatformAt(c.wallX, 375);
        PlaceHero(c.heroX, 400);
        Send(Axis(0, c.stick));
        EXPECT_EQ(Hero()->PosX(0), c.x);
        EXPECT_EQ(GameState::vx, c.vx);
    }
}

TEST_F(PlayScreenTest, OnlyTheFirstFourTouchedPlatformsCount)
{
    // Five tiles under the hero's feet, all touched: four contacts, all Top.
    for (int x = -24; x <= 0; x += 6)
        PlatformAt(x, 400);
    PlaceHero(0, 405);
    Nudge();
    MvGrowArray<MvDrawableNode*> hits;
    ContactSide contacts[ContactCount] = {};
    EXPECT_EQ(FindHeroPlatformContacts(contacts, &hits), 4);
    EXPECT_EQ(hits.Count(), 5);
    for (ContactSide side : contacts)
        EXPECT_EQ(side, ContactSide::Top);
    EXPECT_TRUE(GameState::onGround);
}

} // namespace
