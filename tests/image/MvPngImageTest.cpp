#include "MvFailedCheck.h"
#include "MvScratchFolder.h"
#include "ToolTestSupport.h"

#include "MvPngImage.h"
#include "MvSurfacePen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

using namespace tooltest;

// Saving and loading keeps every channel exactly, translucent and transparent pixels too.
TEST(MvPngImage, SaveAndLoadKeepEveryPixel)
{
    ScratchFolder scratch;
    const MvPngImage original = Picture({"R.aG", "bWB.", "...."});
    std::string error;
    ASSERT_TRUE(original.Save(scratch / "p.png", &error)) << error;
    MvPngImage loaded;
    ASSERT_TRUE(loaded.Load(scratch / "p.png", &error)) << error;
    ASSERT_EQ(4, loaded.Width());
    ASSERT_EQ(3, loaded.Height());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(original.At(x, y), loaded.At(x, y)) << x << "," << y;
}

// A file that is missing, not a PNG, or too large to be a sprite sheet is refused with a
// message naming it; the picture is left empty.
TEST(MvPngImage, UnreadableFilesNameThePath)
{
    ScratchFolder scratch;
    WriteFile(scratch / "text.png", "this is not a picture");
    // A text chunk that claims 2 GB in a file of a few bytes: libpng would allocate it.
    const std::string header("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x02\0\0\0\x02\x08\x02\0\0\0\xfd\xd4\x9a\x73", 33);
    WriteFile(scratch / "claims.png", header + std::string("\x7f\xff\xff\xffiTXtabc", 11));
    std::string saveError;
    ASSERT_TRUE(MvPngImage(40000, 1).Save(scratch / "wide.png", &saveError)) << saveError;
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {scratch / "missing.png", "No such file"},
        {scratch / "text.png", "cannot read picture"},
        {scratch / "wide.png", "is 40000 x 1 pixels, more than 32767 on a side"},
        {scratch / "claims.png", "its chunk 'iTXt' at byte 33 claims 2147483647 bytes, but only 3 follow"},
    };
    for (const auto& c : cases) {
        MvPngImage picture(2, 2);
        std::string error;
        EXPECT_FALSE(picture.Load(c.path, &error));
        EXPECT_NE(std::string::npos, error.find("'" + c.path + "'")) << error;
        EXPECT_NE(std::string::npos, error.find(c.why)) << error;
        EXPECT_EQ(0, picture.Width());
        EXPECT_EQ(nullptr, picture.Pixels());
    }
}

TEST(MvPngImage, SaveIntoAMissingFolderFails)
{
    std::string error;
    EXPECT_FALSE(Picture({"R"}).Save("/nonexistent/folder/p.png", &error));
    EXPECT_NE(std::string::npos, error.find("'/nonexistent/folder/p.png'")) << error;
}

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

// Stores value as pixel (x, y) of surface, in its own byte order.
void StorePixel(SDL_Surface* surface, int x, int y, Uint32 value)
{
    const int bytes = surface->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
    if (bytes == 3) {
        const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
        for (int i = 0; i < 3; ++i)
            p[i] = static_cast<Uint8>(value >> (little ? 8 * i : 8 * (2 - i)));
    } else if (bytes == 2) {
        const Uint16 word = static_cast<Uint16>(value);
        std::memcpy(p, &word, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

// A surface is written as its colour channels say, whatever its layout: every pixel of an
// odd-sized surface (rows padded in the narrower formats) holds a different colour, and
// the file read back gives each as SDL_GetRGB reads it from the surface, opaque.
// Narrow channels are widened as the engine's pen reads them, the same on every SDL (SDL
// 1.2.15's SDL_GetRGB and sdl12-compat's widen them differently).
TEST(MvPngImage, SaveSurfaceWritesEveryLayoutAsThePenReadsIt)
{
    const struct {
        const char* what;
        int bits;
        Uint32 redMask, greenMask, blueMask;
    } layouts[] = {
        {"32 bits, red high", 32, 0x00FF0000, 0x0000FF00, 0x000000FF},
        {"32 bits, blue high", 32, 0x000000FF, 0x0000FF00, 0x00FF0000},
        {"32 bits, red in the top byte", 32, 0xFF000000, 0x00FF0000, 0x0000FF00},
        {"24 bits", 24, 0x00FF0000, 0x0000FF00, 0x000000FF},
        {"16 bits, 5-6-5", 16, 0xF800, 0x07E0, 0x001F},
        {"15 bits, 5-5-5", 15, 0x7C00, 0x03E0, 0x001F},
    };
    const int width = 13, height = 7;
    MvScratchFolder scratch;
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.what);
        SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, layout.bits, layout.redMask,
                                                layout.greenMask, layout.blueMask, 0),
                           SDL_FreeSurface);
        ASSERT_NE(nullptr, surface);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                StorePixel(surface.get(), x, y,
                           SDL_MapRGB(surface->format, static_cast<Uint8>(x * 19 + y), static_cast<Uint8>(y * 37 + 5),
                                      static_cast<Uint8>(255 - x * 11 - y * 3)));
        const std::string path = scratch / "surface.png";
        std::string error;
        ASSERT_TRUE(MvPngImage::SaveSurface(surface.get(), path, &error)) << error;
        MvPngImage loaded;
        ASSERT_TRUE(loaded.Load(path, &error)) << error;
        ASSERT_EQ(width, loaded.Width());
        ASSERT_EQ(height, loaded.Height());
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                                 x * surface->format->BytesPerPixel;
                Uint32 value = 0;
                std::memcpy(&value, p, surface->format->BytesPerPixel);
                MvColor expected;
                MvSurfacePen::SplitValue(value, surface->format, &expected.red, &expected.green, &expected.blue,
                                         &expected.alpha);
                if (loaded.At(x, y) != expected && wrong++ == 0)
                    ADD_FAILURE() << "first wrong pixel: " << x << "," << y;
            }
        EXPECT_EQ(0, wrong);
    }
}

// A surface that cannot be written, whether the file cannot be made or its bytes find no
// room (the small picture stays in the stream's buffer until the file is closed), fails
// with a message naming the file and why.
TEST(MvPngImage, SaveSurfaceIntoAnUnwritablePlaceFails)
{
    MvScratchFolder scratch;
    SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 2, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0),
                       SDL_FreeSurface);
    ASSERT_NE(nullptr, surface);
    std::filesystem::create_directory(scratch / "folder.png");
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {scratch / "missing/shot.png", "No such file or directory"},
        {scratch / "folder.png", "Is a directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.path == "/dev/full" && !std::filesystem::exists(c.path)) {
            std::printf("skipped: this system has no /dev/full\n");
            continue;
        }
        std::string error;
        EXPECT_FALSE(MvPngImage::SaveSurface(surface.get(), c.path, &error));
        EXPECT_NE(std::string::npos, error.find("cannot write picture '" + c.path + "'")) << error;
        EXPECT_NE(std::string::npos, error.find(c.why)) << error;
    }
}

TEST(MvPngImageDeathTest, PixelOutsideThePictureAsserts)
{
    MvPngImage picture(2, 2);
    EXPECT_DEATH(picture.At(2, 0), MvFailedCheck("x >= 0 && x < width_ && y >= 0 && y < height_"));
    EXPECT_DEATH(picture.At(0, -1), MvFailedCheck("x >= 0 && x < width_ && y >= 0 && y < height_"));
}

} // namespace
