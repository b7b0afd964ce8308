// Sprite nodes at a scale their resource has cached: they collide pixel for pixel through
// the scaled copies (and only then), and they draw the copy over the same rectangle that
// scaling while drawing covers.

#include "SceneTestSupport.h"

#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvSpriteNode.h"
#include "MvSpriteResource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using scenetest::StageOnScreen;

const MvFixed kTwo = MvFixed::FromInt(2);

// Two red pixels three columns apart. At 2.0 the bilinear copy is red at columns 0 to 2
// (fading towards the gap) and 6 to 7, transparent at 3 to 5; scaling while drawing
// (nearest) paints columns 0, 1, 6 and 7.
const std::vector<std::string> kBar = {"R..R"};

// A 200 x 100 stage with one layer; sprites show the one-frame action "Stand" of their
// resource with the hot spot at the picture's top-left corner.
class ScaledSpriteFixture : public testing::Test {
protected:
    ScaledSpriteFixture() : s(200, 100)
    {
        layer = new MvSceneNode();
        layer->SetName("sprites");
        s.Insert(nullptr, layer);
    }

    MvSpriteResource* Resource(const std::vector<std::string>& picture)
    {
        const std::string name = "sprite" + std::to_string(resources.size());
        resources.emplace_back(restest::MakeSprite(name.c_str(), 0, {{"Stand", 1, {{picture, 0, 0, 0, 0}}}}));
        return resources.back().get();
    }

    MvSpriteNode* Sprite(MvSpriteResource* resource, int x, int y)
    {
        MvSpriteNode* node = new MvSpriteNode(resource);
        node->MoveTo(x, y);
        return s.Insert(layer, node);
    }

    // The smallest rectangle holding every pixel of the screen that differs from the
    // window colour, searched in columns left to right of it; invalid when none.
    MvIntRect Painted(int left, int right) const
    {
        const Uint32 background = s.screen.Pixel(199, 99);
        MvIntRect r;
        r.SetEmpty();
        for (int y = 0; y < 100; ++y)
            for (int x = left; x <= right; ++x)
                if (s.screen.Pixel(x, y) != background) {
                    if (!r.IsValid())
                        r = MvMakeRect(x, y, x, y);
                    r.left = std::min(r.left, x);
                    r.right = std::max(r.right, x);
                    r.top = std::min(r.top, y);
                    r.bottom = std::max(r.bottom, y);
                }
        return r;
    }

    // Declared before the stage so that the nodes go before the resources they show.
    std::vector<std::unique_ptr<MvSpriteResource>> resources;
    StageOnScreen s;
    MvSceneNode* layer;
};

// Sends every logged line to standard error, where a death test can see it.
void LogToStandardError(const char* text, void*) { std::fputs(text, stderr); }

// Death tests run first; the fixture is the same.
typedef ScaledSpriteFixture ScaledSpriteDeathTest;

// Uncached, a sprite at 2.0 has no collision map: the resource reports it and the check
// stops the program. Once its resource cached 2.0 the same pair collides exactly where
// the copy has visible pixels, whichever node asks.
TEST_F(ScaledSpriteDeathTest, ASpriteAtTwoCollidesOnlyOnceTheScaleIsCached)
{
    MvSpriteResource* bar = Resource(kBar);
    bar->SetIdentity("bar", 5);
    MvSpriteNode* big = Sprite(bar, 100, 50);
    big->SetScaling(kTwo, kTwo, -1);
    MvSpriteNode* probe = Sprite(Resource({"R"}), 102, 51);
    s.Tree().Recompute();
    ASSERT_EQ(MvMakeRect(100, 50, 107, 51), big->Bounds(0));
    EXPECT_DEATH(
        {
            MvSetDebugSink(LogToStandardError, nullptr);
            big->Collide(probe, 0);
        },
        "ERROR: Collision only allowed with cahed sprites!\nSpriteResource 'bar' for Action 'Stand' Frame 0 scale "
        "2.000000, 2.000000\n");

    bar->AddScaleCache(kTwo, kTwo);
    s.Tree().Recompute();
    struct Case {
        int x, y;
        bool collide;
    };
    const Case cases[] = {{100, 50, true}, {102, 51, true}, {103, 50, false}, {105, 51, false},
                          {106, 50, true}, {107, 51, true}, {108, 51, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        probe->MoveTo(c.x, c.y);
        s.Tree().Recompute();
        EXPECT_EQ(c.collide, big->Collide(probe, 0));
        EXPECT_EQ(c.collide, probe->Collide(big, 0));
    }
}

// Two sprites of the same picture at 2.0, one resource cached, one not: both cover the
// same size, the bounds of the scaled picture, but only the cached one shows the copy's
// bilinear pixels (column 2 is painted from the copy, left empty by nearest sampling).
TEST_F(ScaledSpriteFixture, DrawsTheSamePictureSizeFromTheCache)
{
    MvSpriteResource* scaledWhileDrawn = Resource(kBar);
    MvSpriteResource* cached = Resource(kBar);
    cached->AddScaleCache(kTwo, kTwo);
    MvSpriteNode* plain = Sprite(scaledWhileDrawn, 20, 30);
    MvSpriteNode* fromCache = Sprite(cached, 120, 30);
    plain->SetScaling(kTwo, kTwo, -1);
    fromCache->SetScaling(kTwo, kTwo, -1);
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        s.stage->Draw(false);
    }
    EXPECT_EQ(MvMakeRect(20, 30, 27, 31), plain->Bounds(0));
    EXPECT_EQ(MvMakeRect(120, 30, 127, 31), fromCache->Bounds(0));
    EXPECT_EQ(plain->Bounds(0), Painted(0, 99));
    EXPECT_EQ(fromCache->Bounds(0), Painted(100, 199));

    const Uint32 background = s.screen.Pixel(199, 99);
    for (int y = 30; y <= 31; ++y) {
        EXPECT_EQ(background, s.screen.Pixel(22, y));
        EXPECT_NE(background, s.screen.Pixel(122, y));
        EXPECT_EQ(background, s.screen.Pixel(123, y));
    }
}

} // namespace
