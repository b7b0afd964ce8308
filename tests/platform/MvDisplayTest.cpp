#include "MvDisplay.h"
#include "SurfacePtr.h"

#include <gtest/gtest.h>

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

} // namespace
