#include "MvDisplay.h"
#include "SurfacePtr.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The memory screen is what the replay tool draws on: the layout its screenshots read.
TEST(MvDisplay, MemoryScreenIsBlackXrgbWithoutLocking)
{
    SurfacePtr screen(MvDisplay::CreateMemoryScreen(8, 3));
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    EXPECT_EQ(screen->w, 8);
    EXPECT_EQ(screen->h, 3);
    const SDL_PixelFormat* format = screen->format;
    EXPECT_EQ(format->BytesPerPixel, 4);
    EXPECT_EQ(format->Rmask, 0x00FF0000u);
    EXPECT_EQ(format->Gmask, 0x0000FF00u);
    EXPECT_EQ(format->Bmask, 0x000000FFu);
    EXPECT_EQ(format->Amask, 0u);
    EXPECT_EQ(format->Rshift, 16);
    EXPECT_EQ(format->Gshift, 8);
    EXPECT_EQ(format->Bshift, 0);
    EXPECT_FALSE(MvDisplay::MustLock(screen.get()));
    for (int y = 0; y < screen->h; ++y)
        for (int x = 0; x < screen->w; ++x)
            EXPECT_EQ(static_cast<const Uint32*>(screen->pixels)[y * screen->pitch / 4 + x], 0u);
}

// A memory screen has nothing to switch.
TEST(MvDisplay, ASwitchLeavesAMemoryScreenAlone)
{
    SurfacePtr screen(MvDisplay::CreateMemoryScreen(8, 3));
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    EXPECT_EQ(MvDisplay::ToggleFullScreen(screen.get()), screen.get());
}

// SDL's dummy video driver cannot switch in place, as many cannot: the switch sets the
// other mode again, of the same size and depth, and back.
TEST(MvDisplay, WhereTheDisplayCannotSwitchInPlaceANewModeIsSet)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    SDL_Surface* screen = SDL_SetVideoMode(64, 48, 32, SDL_FULLSCREEN);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    ASSERT_EQ(SDL_WM_ToggleFullScreen(screen), 0) << "this driver switches in place after all";

    SDL_Surface* windowed = MvDisplay::ToggleFullScreen(screen);
    ASSERT_NE(windowed, nullptr) << SDL_GetError();
    EXPECT_EQ(windowed, SDL_GetVideoSurface());
    EXPECT_EQ(windowed->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(windowed->w, 64);
    EXPECT_EQ(windowed->h, 48);
    EXPECT_EQ(windowed->format->BitsPerPixel, 32);

    SDL_Surface* fullScreen = MvDisplay::ToggleFullScreen(windowed);
    ASSERT_NE(fullScreen, nullptr) << SDL_GetError();
    EXPECT_NE(fullScreen->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(fullScreen->format->BitsPerPixel, 32);
    SDL_Quit();
}

} // namespace
