#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvSurfacePen.h"
#include "TransformAt.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace restest;

// A 32-bit screen cleared to black, with its paint target.
class Screen {
public:
    Screen(int width, int height)
        : surface_(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0)),
          target_(surface_.get()), pen_(target_)
    {
    }
    const MvPaintTarget& Target() const { return target_; }
    MvIntRect Whole() const { return MvMakeRect(0, 0, surface_->w - 1, surface_->h - 1); }
    // Rows separated by '|': the palette character shown at each pixel, '.' for black.
    std::string Show(const std::string& palette) const
    {
        std::string text;
        for (int y = 0; y < surface_->h; ++y) {
            if (y > 0)
                text += "|";
            for (int x = 0; x < surface_->w; ++x) {
                const MvColor c = pen_.ReadColor(x, y);
                char shown = c == Rgba(0, 0, 0, 255) ? '.' : '?';
                for (char p : palette)
                    if (c == PaletteColor(p))
                        shown = p;
                text += shown;
            }
        }
        return text;
    }

private:
    SurfacePtr surface_;
    MvPaintTarget target_;
    MvSurfacePen pen_;
};

// Actions are found by exact name or by id; with duplicates the one added first wins and
// the later one is reachable only by index.
TEST(MvSpriteResource, FindsActionsByNameAndIdFirstAddedWins)
{
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite("hero", 7, {{"Walk", 1, {}}, {"Stand", 2, {}},
                                                                    {"Walk", 3, {}}, {"Jump", 2, {}}}));
    ASSERT_EQ(4, sprite->ActionCount());
    EXPECT_EQ(sprite->ActionAt(0), sprite->FindAction("Walk"));
    EXPECT_EQ(sprite->ActionAt(1), sprite->FindAction("Stand"));
    EXPECT_EQ(sprite->ActionAt(3), sprite->FindAction("Jump"));
    EXPECT_EQ(sprite->ActionAt(0), sprite->FindAction(1));
    EXPECT_EQ(sprite->ActionAt(1), sprite->FindAction(2));
    EXPECT_EQ(sprite->ActionAt(2), sprite->FindAction(3));
    EXPECT_EQ(nullptr, sprite->FindAction("walk"));
    EXPECT_EQ(nullptr, sprite->FindAction(4));
    EXPECT_STREQ("Walk", sprite->ActionAt(2)->Name());
    EXPECT_EQ(3, sprite->ActionAt(2)->Id());
}

// Drawing by action name paints that action's frame; a missing action only logs a warning.
TEST(MvSpriteResource, DrawsTheNamedActionOrWarns)
{
    std::unique_ptr<MvSpriteResource> sprite(
        MakeSprite("hero", 7, {{"Stand", 1, {{{"RG"}, 0, 0, 0, 0}, {{"B"}, 0, 0, 0, 0}}}}));
    Screen screen(3, 1);
    sprite->Draw(screen.Target(), "Stand", 1, At(2, 0), MvColorXform(), screen.Whole(), 0);
    sprite->Draw(screen.Target(), "Stand", 0, At(0, 0), MvColorXform(), screen.Whole(), 0);
    EXPECT_EQ("RGB", screen.Show("RGB"));
    Screen other(3, 1);
    MvLogCapture log;
    sprite->Draw(other.Target(), "Jump", 0, At(0, 0), MvColorXform(), other.Whole(), 0);
    EXPECT_EQ("WARING MvSpriteResource::Draw failed to find action Jump\n", log.Text());
    EXPECT_EQ("...", other.Show("RGB"));
}

// An action without frames draws nothing and has empty bounds; frames placed by the hot
// spot give bounds and hits.
TEST(MvAction, DrawsBoundsAndHitsItsFrames)
{
    MvAction none("Idle");
    Screen screen(4, 3);
    none.Draw(screen.Target(), 0, At(1, 1), MvColorXform(), screen.Whole(), 0);
    EXPECT_EQ("....|....|....", screen.Show("R"));
    MvIntRect bounds;
    none.ComputeBounds(0, At(1, 1), &bounds);
    EXPECT_FALSE(bounds.IsValid());

    std::unique_ptr<MvAction> walk(MakeAction({"Walk", 5, {{{"R.", ".R"}, 1, 1, 2, 0}}}));
    walk->Draw(screen.Target(), 0, At(2, 2), MvColorXform(), screen.Whole(), 0);
    EXPECT_EQ("....|.R..|..R.", screen.Show("R"));
    walk->ComputeBounds(0, At(2, 2), &bounds);
    EXPECT_EQ(MvMakeRect(1, 1, 2, 2), bounds);
    EXPECT_TRUE(walk->HitTest(0, -1, -1));
    EXPECT_FALSE(walk->HitTest(0, 0, -1));
    EXPECT_TRUE(walk->HitTest(0, 0, 0));
    EXPECT_EQ(2, walk->FrameAt(0)->DeltaX());
}

// SetFrameCount adds empty frames behind the existing ones, which stay where they are.
TEST(MvAction, SetFrameCountGrowsKeepingFramesInFront)
{
    MvAction action("Grow");
    action.SetFrameCount(2);
    MvRle* first = action.FrameAt(0);
    CreateFrame(first, {"R"}, 0, 0);
    action.SetFrameCount(5);
    EXPECT_EQ(5, action.FrameCount());
    EXPECT_EQ(first, action.FrameAt(0));
    EXPECT_EQ(1, action.FrameAt(0)->Width());
    EXPECT_EQ(0, action.FrameAt(4)->Width());
}

// Cached copies are used for exactly their scale pair, drawn unscaled, for drawing and
// for bounds; other scales scale the frame while drawing; clearing empties the cache.
TEST(MvAction, ScaleCacheServesExactlyItsScalePair)
{
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite(
        "hero", 7, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}, {"Walk", 2, {{{"G"}, 0, 0, 0, 0}}}}));
    MvAction* stand = sprite->ActionAt(0);
    const MvFixed two = MvFixed::FromInt(2);
    const MvFixed almostTwo = MvFixed::FromRaw(2 * MvFixedOne - 1);
    EXPECT_FALSE(sprite->HasScaleCache(two, two));

    // A stand-in copy that is easy to tell from a scaled frame: 3 x 1 blue.
    MvRle** copies = new MvRle*[1];
    copies[0] = new MvRle;
    CreateFrame(copies[0], {"BBB"}, 0, 0);
    stand->AddScaleCacheEntry(two, two, copies);
    EXPECT_TRUE(sprite->HasScaleCache(two, two));
    EXPECT_TRUE(stand->HasScaleCache(two, two));
    EXPECT_FALSE(stand->HasScaleCache(two, almostTwo));
    EXPECT_FALSE(sprite->ActionAt(1)->HasScaleCache(two, two));

    Screen cached(4, 2);
    stand->Draw(cached.Target(), 0, At(1, 0, two, two), MvColorXform(), cached.Whole(), 0);
    EXPECT_EQ(".BBB|....", cached.Show("RB"));
    MvIntRect bounds;
    stand->ComputeBounds(0, At(1, 0, two, two), &bounds);
    EXPECT_EQ(MvMakeRect(1, 0, 3, 0), bounds);

    Screen scaled(4, 2);
    stand->Draw(scaled.Target(), 0, At(1, 0, two, almostTwo), MvColorXform(), scaled.Whole(), 0);
    EXPECT_EQ(".RR.|.RR.", scaled.Show("RB"));

    sprite->ClearScaleCache();
    EXPECT_FALSE(sprite->HasScaleCache(two, two));
    Screen cleared(4, 2);
    stand->Draw(cleared.Target(), 0, At(1, 0, two, two), MvColorXform(), cleared.Whole(), 0);
    EXPECT_EQ(".RR.|.RR.", cleared.Show("RB"));
    stand->ComputeBounds(0, At(1, 0, two, two), &bounds);
    EXPECT_EQ(MvMakeRect(1, 0, 2, 1), bounds);
}

// Save writes one sprite record that the reading constructor reads back exactly, and adds
// every frame's pixels, rows and segments to the tallies.
TEST(MvSpriteResource, SaveAndReadBack)
{
    std::unique_ptr<MvSpriteResource> sprite(
        MakeSprite("hero", 7, {{"Walk.Right", 1, {{{"R.a", "GG."}, 1, 1, 3, 0}, {{"..", ".."}, 0, 0, 0, 0}}},
                               {"Empty", 2, {}},
                               {"", -5, {{{"1234", "5..6"}, 0, 3, -1, 2}}}}));
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    sprite->Save(writer);
    EXPECT_FALSE(writer.Failed());
    EXPECT_EQ(4 + 6, writer.PixelTally());
    EXPECT_EQ(2 + 2, writer.LineTally());
    EXPECT_EQ(3 + 3, writer.SegmentTally());

    const std::vector<uint8_t>& bytes = stream.Bytes();
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(2, bytes[0]);
    EXPECT_EQ(bytes.size() - 8, size_t(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24));

    MvMemoryStream in(bytes.data() + 8, bytes.size() - 8);
    MvResourceReader reader(in.Stream(), "saved.dat");
    MvLogCapture log;
    MvSpriteResource back(static_cast<uint32_t>(bytes.size() - 8), reader);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(0, reader.Remaining());
    EXPECT_TRUE(log.Contains("Sprite or Font resource 'hero' id=7\n"));
    EXPECT_TRUE(log.Contains("Action 'Walk.Right' id=1 numFrames=2\n"));
    EXPECT_TRUE(log.Contains("Action 'Empty' id=2 numFrames=0\n"));
    EXPECT_STREQ("hero", back.Name());
    EXPECT_EQ(7, back.Id());
    ASSERT_EQ(3, back.ActionCount());
    for (int a = 0; a < 3; ++a) {
        SCOPED_TRACE(a);
        const MvAction* original = sprite->ActionAt(a);
        const MvAction* read = back.ActionAt(a);
        EXPECT_STREQ(original->Name(), read->Name());
        EXPECT_EQ(original->Id(), read->Id());
        ASSERT_EQ(original->FrameCount(), read->FrameCount());
        for (int f = 0; f < original->FrameCount(); ++f)
            EXPECT_TRUE(SameImage(*original->FrameAt(f), *read->FrameAt(f)));
    }
    EXPECT_EQ(back.ActionAt(2), back.FindAction(""));
    EXPECT_EQ(back.ActionAt(2), back.FindAction(-5));
}

// Counts in a sprite payload are checked against the bytes left before anything is made
// for them.
TEST(MvSpriteResource, RefusesCountsThePayloadCannotHold)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> payload;
        const char* message;
    };
    const Case cases[] = {
        {"too many actions", ByteBuilder().Name("s").U32(1).U32(2).Name("a").U32(1).U32(0).Bytes(),
         "at byte 6: sprite 's' has 2 actions, more than the 10 bytes left can hold"},
        {"too many frames", ByteBuilder().Name("s").U32(1).U32(1).Name("a").U32(1).U32(1).Raw(std::vector<uint8_t>(33))
                                .Bytes(),
         "at byte 16: action 'a' has 1 frames, more than the 33 bytes left can hold"},
        {"a name without its zero byte", ByteBuilder().U8('s').Bytes(), "the file ends early"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvMemoryStream in(c.payload.data(), c.payload.size());
        MvResourceReader reader(in.Stream(), "sprites.dat");
        MvSpriteResource sprite(static_cast<uint32_t>(c.payload.size()), reader);
        EXPECT_TRUE(reader.Failed());
        EXPECT_NE(std::string::npos, reader.Error().find(c.message)) << reader.Error();
        EXPECT_EQ(0, sprite.ActionCount());
    }
}

TEST(MvSpriteResourceDeathTest, BrokenPreconditionsAreCaught)
{
    MvSpriteResource empty("empty");
    const MvFixed one = MvFixed::FromInt(1);
    std::unique_ptr<MvAction> action(MakeAction({"Walk", 1, {{{"R"}, 0, 0, 0, 0}}}));
    std::unique_ptr<MvAction> cached(MakeAction({"Walk", 1, {{{"R"}, 0, 0, 0, 0}}}));
    MvRle** copies = new MvRle*[1];
    copies[0] = new MvRle;
    cached->AddScaleCacheEntry(one, one, copies);
    MvIntRect bounds;
    MvRle* more[1] = {nullptr};

    const char* const frameIndex = "index >= 0 && index < frames_.Count()";
    const MvDeathCase cases[] = {
        {"HasScaleCache without actions", [&] { empty.HasScaleCache(one, one); }, "actions_.Count() > 0"},
        {"AppendAction(null)", [&] { empty.AppendAction(nullptr); }, "action != nullptr"},
        {"ActionAt without actions", [&] { empty.ActionAt(0); }, "index >= 0 && index < count_"},
        {"FrameAt past the end", [&] { action->FrameAt(1); }, frameIndex},
        {"FrameAt(-1)", [&] { action->FrameAt(-1); }, frameIndex},
        {"HitTest of a frame past the end", [&] { action->HitTest(1, 0, 0); }, frameIndex},
        {"SetFrameCount that does not grow", [&] { action->SetFrameCount(1); }, "count > frames_.Count()"},
        {"ComputeBounds of a frame past the end", [&] { action->ComputeBounds(2, At(0, 0), &bounds); }, frameIndex},
        {"a cache entry without frames", [&] { action->AddScaleCacheEntry(one, one, nullptr); }, "frames != nullptr"},
        {"SetFrameCount with a scale cached", [&] { cached->SetFrameCount(2); }, "scaleCache_.Count() == 0"},
        {"a scale cached twice", [&] { cached->AddScaleCacheEntry(one, one, more); }, "!HasScaleCache(xScale, yScale)"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
