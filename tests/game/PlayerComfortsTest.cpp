#include "GameNames.h"
#include "PlayerComforts.h"
#include "PlayScreenFixture.h"

#include <memory>
#include <vector>

namespace {

// Every pixel of a 32-bit surface, row by row.
std::vector<uint32_t> SurfacePixels(const SDL_Surface* surface)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            pixels.push_back(SurfacePixel(surface, x, y));
    return pixels;
}

// The comfort keys on a real play screen: events go through PlayerComforts first, and
// only those it leaves reach the play sequence, as in the program's screen loops.
class PlayerComfortsTest : public PlayScreenTest {
protected:
    void SetUp() override
    {
        PlayScreenTest::SetUp();
        comforts_ = std::make_unique<PlayerComforts>(screen_->Surface());
        comforts_->EnterPlayScreen();
    }

    void TearDown() override
    {
        SetMuted(false);
        comforts_.reset();
        PlayScreenTest::TearDown();
    }

    // Hands event to the comforts and, unless they take it, to the play sequence; true
    // when the play sequence got it.
    bool Deliver(const SDL_Event& event)
    {
        if (comforts_->Take(event))
            return false;
        Send(event);
        return true;
    }
    void Press(int sym) { Deliver(Key(SDL_KEYDOWN, sym)); }
    void Release(int sym) { Deliver(Key(SDL_KEYUP, sym)); }
    void PressAndRelease(int sym)
    {
        Press(sym);
        Release(sym);
    }

    static SDL_Event AltKey(Uint8 type, int sym)
    {
        SDL_Event event = Key(type, sym);
        event.key.keysym.mod = KMOD_LALT;
        return event;
    }

    std::unique_ptr<PlayerComforts> comforts_;
};

// The comfort keys never reach a screen, down or up, and so run no play step: the
// enemies, which step after every event the play screen sees, stay where they are.
TEST_F(PlayerComfortsTest, ComfortKeysNeverReachTheScreen)
{
    struct Case {
        const char* what;
        std::vector<SDL_Event> events;
    };
    const Case cases[] = {
        {"F11", {Key(SDL_KEYDOWN, SDLK_F11), Key(SDL_KEYUP, SDLK_F11)}},
        {"Alt+Return, Return let go first", {AltKey(SDL_KEYDOWN, SDLK_RETURN), AltKey(SDL_KEYUP, SDLK_RETURN)}},
        {"Alt+Return, Alt let go first", {AltKey(SDL_KEYDOWN, SDLK_RETURN), Key(SDL_KEYUP, SDLK_RETURN)}},
        {"M twice", {Key(SDL_KEYDOWN, SDLK_m), Key(SDL_KEYUP, SDLK_m), Key(SDL_KEYDOWN, SDLK_m),
                     Key(SDL_KEYUP, SDLK_m)}},
        {"P twice", {Key(SDL_KEYDOWN, SDLK_p), Key(SDL_KEYUP, SDLK_p), Key(SDL_KEYDOWN, SDLK_p),
                     Key(SDL_KEYUP, SDLK_p)}},
    };
    for (const Case& c : cases) {
        for (const SDL_Event& event : c.events)
            EXPECT_TRUE(comforts_->Take(event)) << c.what;
        EXPECT_FALSE(comforts_->Paused()) << c.what;
        EXPECT_FALSE(Muted()) << c.what;
    }
    // Everything else goes on to the screen, a Return without Alt too.
    for (const SDL_Event& event : {Key(SDL_KEYDOWN, SDLK_RETURN), Key(SDL_KEYUP, SDLK_RETURN),
                                   Key(SDL_KEYDOWN, SDLK_RIGHT), Key(SDL_KEYDOWN, SDLK_ESCAPE),
                                   OfType(SDL_USEREVENT), Axis(0, 30000), Button(SDL_JOYBUTTONDOWN, 1)})
        EXPECT_FALSE(comforts_->Take(event)) << "event type " << int(event.type);
}

TEST_F(PlayerComfortsTest, PauseStopsTheGameAndShowsPaused)
{
    StandHeroOn(200, 400);
    Tick();
    const int ticks = GameState::ticks;
    const int heroX = Hero()->PosX(0);

    PressAndRelease(SDLK_p);
    ASSERT_TRUE(comforts_->Paused());
    MvSceneNode* label = Find(PausedLabelName);
    ASSERT_NE(label, nullptr) << "no \"PAUSED\" label";
    // Six glyphs, in the middle of the screen.
    int glyphs = 0;
    for (MvChildCursor cursor = label->Children(); !cursor.Done(); cursor.Next())
        glyphs += cursor.Node()->AsSprite() != nullptr;
    EXPECT_EQ(glyphs, 6);
    const MvIntRect& bounds = label->SubtreeBounds(0);
    EXPECT_NEAR((bounds.left + bounds.right) / 2, 400, 1);
    EXPECT_NEAR((bounds.top + bounds.bottom) / 2, 300, 1);

    // Nothing moves the game: not the clock, not keys, the stick or buttons.
    for (const SDL_Event& event : {OfType(SDL_USEREVENT), Key(SDL_KEYDOWN, SDLK_RIGHT), Key(SDL_KEYDOWN, SDLK_UP),
                                   Key(SDL_KEYDOWN, SDLK_RETURN), Axis(0, 30000), Button(SDL_JOYBUTTONDOWN, 1),
                                   OfType(SDL_MOUSEMOTION)})
        EXPECT_FALSE(Deliver(event)) << "event type " << int(event.type) << " reached the paused screen";
    EXPECT_EQ(GameState::ticks, ticks);
    EXPECT_EQ(Hero()->PosX(0), heroX);

    // P again resumes where the game stopped, without the label.
    PressAndRelease(SDLK_p);
    EXPECT_FALSE(comforts_->Paused());
    EXPECT_EQ(Find(PausedLabelName), nullptr);
    Tick();
    EXPECT_EQ(GameState::ticks, ticks + 1);
}

TEST_F(PlayerComfortsTest, EscapeStillQuitsWhilePaused)
{
    PressAndRelease(SDLK_p);
    EXPECT_TRUE(Deliver(Key(SDL_KEYDOWN, SDLK_ESCAPE)));
    EXPECT_TRUE(quit_);
    EXPECT_FALSE(Deliver(Key(SDL_KEYUP, SDLK_ESCAPE)));
}

// What was held when the game paused is let go on resume: the real releases may have
// come during the pause, where nothing saw them.
TEST_F(PlayerComfortsTest, ResumingLetsGoOfWhatWasHeld)
{
    struct Case {
        const char* what;
        std::vector<SDL_Event> hold;
    };
    const Case cases[] = {
        {"Right", {Key(SDL_KEYDOWN, SDLK_RIGHT)}},
        {"Left", {Key(SDL_KEYDOWN, SDLK_LEFT)}},
        {"Shift and Right", {Key(SDL_KEYDOWN, SDLK_LSHIFT), Key(SDL_KEYDOWN, SDLK_RIGHT)}},
        {"the stick", {Axis(0, -30000)}},
        {"the stick and the run button", {Button(SDL_JOYBUTTONDOWN, 0), Axis(0, 30000)}},
    };
    for (const Case& c : cases) {
        StandHeroOn(200, 400);
        for (const SDL_Event& event : c.hold)
            ASSERT_TRUE(Deliver(event)) << c.what;
        ASSERT_NE(GameState::vx, 0) << c.what;
        PressAndRelease(SDLK_p);
        PressAndRelease(SDLK_p);
        EXPECT_EQ(GameState::vx, 0) << c.what;
        EXPECT_FALSE(GameState::rightKeyHeld) << c.what;
        EXPECT_FALSE(GameState::stickHeld) << c.what;
        EXPECT_FALSE(GameState::runHeld) << c.what;
        EXPECT_EQ(GameState::shiftKeysHeld, 0) << c.what;
        const int x = Hero()->PosX(0);
        Tick();
        EXPECT_EQ(Hero()->PosX(0), x) << c.what << ": the hero ran on by itself";
    }
}

TEST_F(PlayerComfortsTest, ResumingEndsARise)
{
    StandHeroOn(200, 400);
    ASSERT_TRUE(Deliver(Key(SDL_KEYDOWN, SDLK_UP)));
    Tick();
    ASSERT_LT(GameState::vy, 0);
    PressAndRelease(SDLK_p);
    PressAndRelease(SDLK_p);
    EXPECT_GT(GameState::vy, 0) << "Up, taken as let go, ends the rise";
    EXPECT_FALSE(GameState::jumping);
}

TEST_F(PlayerComfortsTest, POnlyPausesThePlayScreen)
{
    comforts_->LeavePlayScreen();
    EXPECT_TRUE(comforts_->Take(Key(SDL_KEYDOWN, SDLK_p)));
    EXPECT_FALSE(comforts_->Paused());
    EXPECT_EQ(Find(PausedLabelName), nullptr);

    // A pause ends with its play screen.
    comforts_->EnterPlayScreen();
    PressAndRelease(SDLK_p);
    ASSERT_TRUE(comforts_->Paused());
    comforts_->LeavePlayScreen();
    EXPECT_FALSE(comforts_->Paused());
    EXPECT_FALSE(comforts_->Take(OfType(SDL_USEREVENT)));
}

// M silences every channel and gives the volume back; what plays goes on playing, so the
// music is heard again where it has got to.
TEST_F(PlayerComfortsTest, MMutesAndUnmutesEverything)
{
    StartLevelMusic(1);
    ASSERT_NE(GameState::music, nullptr) << "no music file";
    PressAndRelease(SDLK_m);
    EXPECT_TRUE(Muted());
    EXPECT_EQ(Mix_Volume(0, -1), 0);
    EXPECT_EQ(Mix_Volume(1, -1), 0);
    EXPECT_NE(Mix_Playing(0), 0) << "the music stopped";
    PlayCue(CueFlag);
    EXPECT_EQ(Mix_Volume(1, -1), 0) << "an effect started while muted is heard";

    PressAndRelease(SDLK_m);
    EXPECT_FALSE(Muted());
    EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME);
    EXPECT_EQ(Mix_Volume(1, -1), MIX_MAX_VOLUME);
    EXPECT_NE(Mix_Playing(0), 0);
}

// A memory screen has no full screen to leave: the switch keeps it, and the stage
// repaints and presents all of it, to the same pixels.
TEST_F(PlayerComfortsTest, SwitchOnAMemoryScreenRedrawsItWhole)
{
    StandHeroOn(200, 400);
    Tick();
    SDL_Surface* surface = screen_->Surface();
    const std::vector<uint32_t> before = SurfacePixels(surface);
    PressAndRelease(SDLK_F11);
    EXPECT_EQ(comforts_->Screen(), surface);
    EXPECT_FALSE(comforts_->ScreenLost());
    EXPECT_EQ(SurfacePixels(surface), before);
    MvGrowArray<MvIntRect> presented;
    GameState::engine->Draw(false, &presented);
    EXPECT_EQ(presented.Count(), 0) << "the switch drew the whole screen at once";
}

} // namespace
