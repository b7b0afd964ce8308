#include "MvFailedCheck.h"
#include "ToolTestSupport.h"

#include "MvPngImage.h"

#include <gtest/gtest.h>

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

TEST(MvPngImageDeathTest, PixelOutsideThePictureAsserts)
{
    MvPngImage picture(2, 2);
    EXPECT_DEATH(picture.At(2, 0), MvFailedCheck("x >= 0 && x < width_ && y >= 0 && y < height_"));
    EXPECT_DEATH(picture.At(0, -1), MvFailedCheck("x >= 0 && x < width_ && y >= 0 && y < height_"));
}

} // namespace
