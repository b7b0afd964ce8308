// Textures of the OpenGL path: their sizes, coordinates and texels, the resampled copies
// of images too large for a texture, refreshing them, and the counting of references and
// textures down to the manager's own end.

#include "GlTestSupport.h"

#include "MvLogCapture.h"
#include "MvTexture.h"
#include "MvTextureManager.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>


namespace {

// A width x height image whose every pixel differs from its neighbours: red grows with
// x, green with y, blue and alpha vary with both.
std::vector<MvColor> Gradient(int width, int height)
{
    std::vector<MvColor> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] =
                Rgba((x * 7 + 1) & 255, (y * 11 + 2) & 255, (x * 3 + y * 5) & 255, 255 - ((x + y) & 127));
    return pixels;
}

// The texels of the bound texture, RGBA rows from row 0.
struct Texels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bytes;

    MvColor At(int x, int y) const
    {
        const uint8_t* t = &bytes[(static_cast<size_t>(y) * width + x) * 4];
        return Rgba(t[0], t[1], t[2], t[3]);
    }
};

Texels ReadTexture(const MvTextureRef& ref)
{
    Texels texels;
    glBindTexture(GL_TEXTURE_2D, ref.Name());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texels.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texels.height);
    texels.bytes.resize(static_cast<size_t>(texels.width) * texels.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.bytes.data());
    return texels;
}

std::string ColorText(const MvColor& c)
{
    return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue) + "," +
           std::to_string(c.alpha);
}

// Expects the image at texels (1, 1) to (w, h) with its edge pixels repeated once around
// it; reports the first wrong texel.
void ExpectBordered(const Texels& texels, const std::vector<MvColor>& image, int w, int h)
{
    for (int y = 0; y <= h + 1; ++y) {
        for (int x = 0; x <= w + 1; ++x) {
            const int sx = std::min(std::max(x - 1, 0), w - 1);
            const int sy = std::min(std::max(y - 1, 0), h - 1);
            const MvColor expected = image[static_cast<size_t>(sy) * w + sx];
            if (texels.At(x, y) != expected) {
                ADD_FAILURE() << "texel (" << x << ", " << y << ") is " << ColorText(texels.At(x, y)) << ", expected "
                              << ColorText(expected);
                return;
            }
        }
    }
}

int DriverMaxTextureSize()
{
    GLint n = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &n);
    return n;
}

class TextureTest : public gltest::GlScreenTest {
protected:
    void TearDown() override
    {
        MvTextureManager::SetSizeLimit(0);
        gltest::GlScreenTest::TearDown();
    }
};

// The sizing rule on its own, with a largest texture of 1024.
TEST(MvTextureSize, SmallestPowerOfTwoWithABorderElseScaled)
{
    const struct {
        int width, height;
        int textureWidth, textureHeight;
        bool scaled;
    } cases[] = {
        {30, 14, 32, 16, false},       // 30 + 2 fits 32 exactly
        {31, 10, 64, 16, false},       // 31 + 2 does not fit 32
        {1, 1, 4, 4, false},           // halving stops before 2: 2 < 1 + 2
        {0, 0, 2, 2, false},           // never below 2
        {62, 126, 64, 128, false},
        {63, 127, 128, 256, false},
        {1022, 1022, 1024, 1024, false}, // the largest that fits with its border
        {1023, 8, 1024, 1024, true},   // too wide for its border: resampled
        {8, 1023, 1024, 1024, true},
        {5000, 5000, 1024, 1024, true},
    };
    for (const auto& c : cases) {
        int w = -1, h = -1;
        const bool scaled = MvTextureManager::ChooseTextureSize(1024, c.width, c.height, &w, &h);
        EXPECT_EQ(scaled, c.scaled) << c.width << "x" << c.height;
        EXPECT_EQ(w, c.textureWidth) << c.width << "x" << c.height;
        EXPECT_EQ(h, c.textureHeight) << c.width << "x" << c.height;
    }
    // A largest size that is not a power of two is halved the same way.
    int w, h;
    EXPECT_FALSE(MvTextureManager::ChooseTextureSize(1000, 100, 300, &w, &h));
    EXPECT_EQ(w, 125);
    EXPECT_EQ(h, 500);
}

TEST_F(TextureTest, SizesCoordinatesAndTexelsFollowTheDriversLargestTexture)
{
    const int n = DriverMaxTextureSize();
    ASSERT_GE(n, 64);
    struct Case {
        int width, height;
    };
    // The cases of the rule, and the widest image that still fits with its border.
    const Case cases[] = {{30, 14}, {31, 10}, {1, 1}, {n - 2, 1}};
    MvLogCapture log(MvLogCapture::QuietStdout);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        int expectedWidth, expectedHeight;
        ASSERT_FALSE(MvTextureManager::ChooseTextureSize(n, c.width, c.height, &expectedWidth, &expectedHeight));
        const std::vector<MvColor> image = Gradient(c.width, c.height);
        std::unique_ptr<MvTextureRef> ref(MvTextureManager::Instance()->NewTexture(image.data(), c.width, c.height));
        ASSERT_NE(ref, nullptr);
        EXPECT_FALSE(ref->IsScaled());
        EXPECT_FLOAT_EQ(ref->S0(), 1.0f / expectedWidth);
        EXPECT_FLOAT_EQ(ref->T0(), 1.0f / expectedHeight);
        EXPECT_FLOAT_EQ(ref->S1(), float(c.width + 1) / expectedWidth);
        EXPECT_FLOAT_EQ(ref->T1(), float(c.height + 1) / expectedHeight);
        EXPECT_EQ(ref->TexelRect(), MvMakeRect(1, 1, c.width, c.height));
        const Texels texels = ReadTexture(*ref);
        EXPECT_EQ(texels.width, expectedWidth);
        EXPECT_EQ(texels.height, expectedHeight);
        ExpectBordered(texels, image, c.width, c.height);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    // The documented cases come out as the rule says on this driver.
    int w, h;
    MvTextureManager::ChooseTextureSize(n, 30, 14, &w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 16);
    MvTextureManager::ChooseTextureSize(n, 31, 10, &w, &h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 16);
    MvTextureManager::ChooseTextureSize(n, 1, 1, &w, &h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 4);
}

// An image one texel too wide for the largest texture with its border: n - 1 wide. The
// size limit stands in for a small driver so that the n x n texture stays small.
TEST_F(TextureTest, AnImageTooLargeIsResampledOverTheWholeTexture)
{
    const int n = 64;
    MvTextureManager::SetSizeLimit(n);
    ASSERT_EQ(MvTextureManager::MaxTextureSize(), n);
    MvLogCapture log(MvLogCapture::QuietStdout);
    const std::vector<MvColor> image = Gradient(n - 1, 8);
    std::unique_ptr<MvTextureRef> ref(MvTextureManager::Instance()->NewTexture(image.data(), n - 1, 8));
    EXPECT_TRUE(ref->IsScaled());
    EXPECT_EQ(ref->S0(), 0.0f);
    EXPECT_EQ(ref->T0(), 0.0f);
    EXPECT_EQ(ref->S1(), 1.0f);
    EXPECT_EQ(ref->T1(), 1.0f);
    EXPECT_EQ(ref->TexelRect(), MvMakeRect(0, 0, n - 1, n - 1));
    const Texels texels = ReadTexture(*ref);
    ASSERT_EQ(texels.width, n);
    ASSERT_EQ(texels.height, n);
    // Nearest neighbour in 16.16 steps of 63/64 across and 8/64 down.
    const int xStep = int(63.0 / 64 * 65536 + 0.5);
    const int yStep = int(8.0 / 64 * 65536 + 0.5);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const int sx = (x * xStep) >> 16;
            const int sy = (y * yStep) >> 16;
            ASSERT_EQ(texels.At(x, y), image[static_cast<size_t>(sy) * (n - 1) + sx]) << x << "," << y;
        }
    }
    // The limit only ever lowers the driver's size.
    MvTextureManager::SetSizeLimit(1 << 30);
    EXPECT_EQ(MvTextureManager::MaxTextureSize(), DriverMaxTextureSize());
}

TEST_F(TextureTest, UpdatingRewritesTheImageAndItsBorder)
{
    MvLogCapture log(MvLogCapture::QuietStdout);
    std::vector<MvColor> image = Gradient(5, 3);
    std::unique_ptr<MvTextureRef> ref(MvTextureManager::Instance()->NewTexture(image.data(), 5, 3));
    for (MvColor& c : image)
        c = Rgba(255 - c.red, c.blue, c.green, c.alpha ^ 0x55);
    MvTextureManager::Instance()->UpdateTexture(*ref, image.data(), 5, 3);
    const Texels texels = ReadTexture(*ref);
    EXPECT_EQ(texels.width, 8);
    EXPECT_EQ(texels.height, 8);
    // The border too: linear filtering at the edges must not blend in the old picture.
    ExpectBordered(texels, image, 5, 3);
    EXPECT_EQ(log.Text(), "Texture " + std::to_string(ref->Name()) + " created\n");
}

TEST_F(TextureTest, UpdatingAResampledTextureResamplesAgain)
{
    MvTextureManager::SetSizeLimit(16);
    MvLogCapture log(MvLogCapture::QuietStdout);
    std::vector<MvColor> image = Gradient(40, 2);
    std::unique_ptr<MvTextureRef> ref(MvTextureManager::Instance()->NewTexture(image.data(), 40, 2));
    ASSERT_TRUE(ref->IsScaled());
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = Rgba(int(i) & 255, 9, 200, 255);
    MvTextureManager::Instance()->UpdateTexture(*ref, image.data(), 40, 2);
    const Texels texels = ReadTexture(*ref);
    ASSERT_EQ(texels.width, 16);
    ASSERT_EQ(texels.height, 16);
    // Steps of 40/16 = 2.5 columns and 2/16 rows.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(texels.At(x, y), image[static_cast<size_t>((y * 8192) >> 16) * 40 + ((x * 163840) >> 16)])
                << x << "," << y;
}

TEST_F(TextureTest, TheLastReferenceDeletesTheTextureAndTheLastTextureTheManager)
{
    MvLogCapture log(MvLogCapture::QuietStdout);
    const std::vector<MvColor> image = Gradient(3, 3);
    ASSERT_EQ(MvTextureManager::Current(), nullptr);
    MvTextureManager* manager = MvTextureManager::Instance();
    EXPECT_EQ(manager->TextureCount(), 0);

    MvTextureRef* first = manager->NewTexture(image.data(), 3, 3);
    MvTextureRef* second = manager->NewTexture(image.data(), 3, 3);
    const GLuint firstName = first->Name();
    const GLuint secondName = second->Name();
    EXPECT_NE(firstName, secondName);
    EXPECT_TRUE(glIsTexture(firstName));
    EXPECT_EQ(manager->TextureCount(), 2);
    EXPECT_EQ(first->Texture()->ReferenceCount(), 1);
    EXPECT_EQ(log.Text(), "Texture " + std::to_string(firstName) + " created\nTexture " +
                              std::to_string(secondName) + " created\n");

    // Another reference to the first texture: dropping one of the two deletes nothing.
    MvTextureRef* shared = new MvTextureRef(*first);
    EXPECT_EQ(first->Texture()->ReferenceCount(), 2);
    EXPECT_EQ(shared->Name(), firstName);
    EXPECT_EQ(shared->TexelRect(), first->TexelRect());
    log.Clear();
    delete first;
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(shared->Texture()->ReferenceCount(), 1);
    EXPECT_EQ(manager->TextureCount(), 2);

    delete shared;
    EXPECT_EQ(log.Text(), "Texture " + std::to_string(firstName) + " deleting. Count=1\n");
    EXPECT_FALSE(glIsTexture(firstName));
    EXPECT_EQ(MvTextureManager::Current(), manager);

    log.Clear();
    delete second;
    EXPECT_EQ(log.Text(),
              "Texture " + std::to_string(secondName) + " deleting. Count=0\nMvTextureManager destructor.\n");
    EXPECT_EQ(MvTextureManager::Current(), nullptr);

    // The next texture makes a fresh manager.
    std::unique_ptr<MvTextureRef> again(MvTextureManager::Instance()->NewTexture(image.data(), 3, 3));
    EXPECT_EQ(MvTextureManager::Current()->TextureCount(), 1);
}

TEST_F(TextureTest, BrokenCallsAreCaught)
{
    const std::vector<MvColor> image = Gradient(4, 4);
    EXPECT_DEATH(MvTextureManager::Instance()->NewTexture(nullptr, 4, 4), "pixels != nullptr");
    EXPECT_DEATH(MvTextureManager::Instance()->NewTexture(image.data(), 0, 4), "width >= 1");
    EXPECT_DEATH(MvTextureManager::SetSizeLimit(1), "limit >= 2");
    EXPECT_DEATH(MvTextureManager::ChooseTextureSize(1, 4, 4, nullptr, nullptr), "maxSize >= 2");
    EXPECT_DEATH(
        {
            MvLogCapture log(MvLogCapture::QuietStdout);
            std::unique_ptr<MvTextureRef> ref(MvTextureManager::Instance()->NewTexture(image.data(), 4, 4));
            MvTextureManager::Instance()->UpdateTexture(*ref, image.data(), 2, 8);
        },
        "texels.Width");
}

} // namespace
