#include "MvDisplay.h"
#include "MvSdl.h"
#include "SurfacePtr.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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

// A switch gives the other mode of the same size and depth, and the next one the first
// mode again, whether the driver switched in place (sdl12-compat's dummy driver would) or
// a new mode had to be set (SDL 1.2.15's dummy driver cannot switch in place).
TEST(MvDisplay, ASwitchGivesTheOtherModeOfTheSameSizeAndDepthAndBack)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    SDL_Surface* screen = MvDisplay::OpenScreen(64, 48, SDL_FULLSCREEN);
    ASSERT_NE(screen, nullptr) << SDL_GetError();
    const int depth = screen->format->BitsPerPixel;

    SDL_Surface* windowed = MvDisplay::ToggleFullScreen(screen);
    ASSERT_NE(windowed, nullptr) << SDL_GetError();
    EXPECT_EQ(windowed, SDL_GetVideoSurface());
    EXPECT_EQ(windowed->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(windowed->w, 64);
    EXPECT_EQ(windowed->h, 48);
    EXPECT_EQ(windowed->format->BitsPerPixel, depth);

    SDL_Surface* fullScreen = MvDisplay::ToggleFullScreen(windowed);
    ASSERT_NE(fullScreen, nullptr) << SDL_GetError();
    EXPECT_EQ(fullScreen, SDL_GetVideoSurface());
    EXPECT_NE(fullScreen->flags & SDL_FULLSCREEN, 0u);
    EXPECT_EQ(fullScreen->w, 64);
    EXPECT_EQ(fullScreen->h, 48);
    EXPECT_EQ(fullScreen->format->BitsPerPixel, depth);
    SDL_Quit();
}

// sdl12-compat would shrink a full-screen picture larger than the desktop to fit it, and
// lose its pixels; the display refuses it, as SDL 1.2.15 finds no such mode. A window of
// that size is still made.
TEST(MvDisplay, AFullScreenLargerThanTheDesktopIsRefused)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
    if (!MvSdl::IsCompat()) {
        SDL_Quit();
        GTEST_SKIP() << "SDL 1.2.15's dummy driver sets any full-screen size; the refusal is sdl12-compat's";
    }
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    ASSERT_NE(info, nullptr);
    const int width = info->current_w + 1, height = info->current_h;
    EXPECT_EQ(MvDisplay::OpenScreen(width, height, SDL_FULLSCREEN), nullptr);
    const std::string error = SDL_GetError();
    EXPECT_NE(error.find("desktop is smaller than " + std::to_string(width) + " x " + std::to_string(height)),
              std::string::npos)
        << error;
    SDL_Surface* window = MvDisplay::OpenScreen(width, height, 0);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    EXPECT_EQ(window->w, width);
    SDL_Quit();
}

} // namespace
