// How a colour transform becomes texture-environment state: the mode, the fragment and
// environment colours, the filter and the wrap modes, read back from OpenGL.

#include "GlTestSupport.h"

#include "MvColorXform.h"
#include "MvLogCapture.h"
#include "MvTextureEnv.h"
#include "MvTextureManager.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

namespace {

class TextureEnvTest : public gltest::GlScreenTest {
protected:
    void SetUp() override
    {
        gltest::GlScreenTest::SetUp();
        log_.reset(new MvLogCapture(MvLogCapture::QuietStdout));
        const std::vector<MvColor> pixels(4, Rgba(10, 20, 30, 255));
        texture_.reset(MvTextureManager::Instance()->NewTexture(pixels.data(), 2, 2));
        glBindTexture(GL_TEXTURE_2D, texture_->Name());
    }
    void TearDown() override
    {
        texture_.reset();
        MvTextureManager::SetSizeLimit(0);
        log_.reset();
        gltest::GlScreenTest::TearDown();
    }

    static std::array<float, 4> Floats(GLenum what)
    {
        std::array<float, 4> v;
        glGetFloatv(what, v.data());
        return v;
    }
    static std::array<float, 4> EnvironmentColor()
    {
        std::array<float, 4> v;
        glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, v.data());
        return v;
    }
    static GLint Mode()
    {
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        return mode;
    }
    static GLint Parameter(GLenum name)
    {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    std::unique_ptr<MvLogCapture> log_;
    std::unique_ptr<MvTextureRef> texture_;
};

void ExpectColor(const std::array<float, 4>& actual, float r, float g, float b, float a, const char* what)
{
    EXPECT_FLOAT_EQ(actual[0], r) << what;
    EXPECT_FLOAT_EQ(actual[1], g) << what;
    EXPECT_FLOAT_EQ(actual[2], b) << what;
    EXPECT_FLOAT_EQ(actual[3], a) << what;
}

TEST_F(TextureEnvTest, EachKindOfTransformSetsItsModeAndColours)
{
    struct Case {
        const char* what;
        int redMul, redAdd, greenMul, greenAdd, blueMul, blueAdd, alpha;
        GLint mode;
        std::array<float, 4> color;       // the fragment colour
        std::array<float, 4> environment; // the texture environment colour
    } cases[] = {
        {"identity", 255, 0, 255, 0, 255, 0, 255, GL_REPLACE, {1, 1, 1, 1}, {0, 0, 0, 1}},
        {"alpha only", 255, 0, 255, 0, 255, 0, 128, GL_MODULATE, {1, 1, 1, 128 / 255.0f}, {0, 0, 0, 1}},
        {"multipliers", 100, 0, 200, 0, 51, 0, 255, GL_MODULATE, {100 / 255.0f, 200 / 255.0f, 51 / 255.0f, 1},
         {0, 0, 0, 1}},
        {"multipliers and alpha", 0, 0, 255, 0, 128, 0, 7, GL_MODULATE, {0, 1, 128 / 255.0f, 7 / 255.0f},
         {0, 0, 0, 1}},
        {"one offset", 255, 0, 255, 0, 200, 50, 255, GL_BLEND, {0, 0, 50 / 255.0f, 1},
         {1, 1, 250 / 255.0f, 1}},
        {"offsets, multipliers and alpha", 155, 100, 55, 200, 0, 255, 64, GL_BLEND,
         {100 / 255.0f, 200 / 255.0f, 1, 64 / 255.0f}, {1, 1, 1, 1}},
        {"brightened", 205, 50, 205, 50, 205, 50, 255, GL_BLEND, {50 / 255.0f, 50 / 255.0f, 50 / 255.0f, 1},
         {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        MvColorXform transform;
        transform.Set(c.redMul, c.redAdd, c.greenMul, c.greenAdd, c.blueMul, c.blueAdd, c.alpha);
        ApplyToTextureEnv(transform, false, *texture_);
        EXPECT_EQ(Mode(), c.mode) << c.what;
        ExpectColor(Floats(GL_CURRENT_COLOR), c.color[0], c.color[1], c.color[2], c.color[3], c.what);
        ExpectColor(EnvironmentColor(), c.environment[0], c.environment[1], c.environment[2], c.environment[3],
                    c.what);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << c.what;
    }
}

TEST_F(TextureEnvTest, FilteringIsLinearWhenScaledOrResampledAndEdgesAreClamped)
{
    const MvColorXform identity;
    ApplyToTextureEnv(identity, false, *texture_);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), GL_CLAMP);

    ApplyToTextureEnv(identity, true, *texture_);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);

    // A resampled copy is filtered even when drawn unscaled.
    MvTextureManager::SetSizeLimit(8);
    const std::vector<MvColor> wide(20, Rgba(1, 2, 3, 255));
    std::unique_ptr<MvTextureRef> resampled(MvTextureManager::Instance()->NewTexture(wide.data(), 20, 1));
    ASSERT_TRUE(resampled->IsScaled());
    glBindTexture(GL_TEXTURE_2D, resampled->Name());
    ApplyToTextureEnv(identity, false, *resampled);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

} // namespace
