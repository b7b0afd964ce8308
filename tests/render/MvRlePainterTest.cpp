#include "ResourceTestSupport.h"

#include "MvPaintTarget.h"
#include "MvRle.h"
#include "TransformAt.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// The painter against a plain per-pixel reference written from the blend formula: every
// pixel of every stored segment, weighted by the kind the segment's alpha flag and the
// colour transform choose, read back and written through the target's channel layout.
// Translucent images are painted by runs cut from their segments and scaled images by
// gathered samples; both must give exactly what the formula gives, on every target.

namespace {

using namespace restest;

// A target pixel as the blitters see it: three channels read back as 8-bit values, and
// the alpha byte a memory target keeps.
struct Channels {
    uint32_t c[3];
    uint32_t alpha;
};

// One target under test: a screen format or memory.
struct Target {
    const char* what;
    int bits; // 0 for a memory target
    uint32_t masks[3];
};

const Target kTargets[] = {
    {"32 bits, red at 16 (block copy)", 32, {0xFF0000, 0xFF00, 0xFF}},
    {"32 bits, red at 0", 32, {0xFF, 0xFF00, 0xFF0000}},
    {"24 bits", 24, {0xFF0000, 0xFF00, 0xFF}},
    {"16 bits 5-6-5", 16, {0xF800, 0x07E0, 0x001F}},
    {"16 bits 5-5-5", 16, {0x7C00, 0x03E0, 0x001F}}, // after 5-6-5: converted pixels made again
    {"memory", 0, {0xFF0000, 0xFF00, 0xFF}},
};

// A target surface of either kind, filled with a background that is no palette colour,
// with the channel layout the reference writes through.
class Canvas {
public:
    Canvas(const Target& t, int width, int height) : target_(t), width_(width), height_(height)
    {
        if (t.bits == 0) {
            memory_.assign(static_cast<size_t>(width) * height, Rgba(0, 0, 0, 0));
            paint_.reset(new MvPaintTarget(memory_.data(), width, height));
        } else {
            surface_ = MakeSurface(width, height, t.bits, t.masks[0], t.masks[1], t.masks[2]);
            paint_.reset(new MvPaintTarget(surface_.get()));
        }
        for (int ch = 0; ch < 3; ++ch) {
            shift_[ch] = 0;
            while (!((t.masks[ch] >> shift_[ch]) & 1))
                ++shift_[ch];
            loss_[ch] = 8;
            for (uint32_t m = t.masks[ch] >> shift_[ch]; m & 1; m >>= 1)
                --loss_[ch];
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                Write(x, y, {{uint32_t(37 + 5 * x) & 0xFF, uint32_t(90 + 11 * y) & 0xFF, uint32_t(x * y) & 0xFF}, 77});
        }
    }

    const MvPaintTarget& Paint() const { return *paint_; }
    MvIntRect Whole() const { return MvMakeRect(0, 0, width_ - 1, height_ - 1); }

    Channels Read(int x, int y) const
    {
        const uint32_t p = Raw(x, y);
        Channels result;
        for (int ch = 0; ch < 3; ++ch)
            result.c[ch] = ((p & target_.masks[ch]) >> shift_[ch]) << loss_[ch];
        result.alpha = target_.bits == 0 ? p >> 24 : 0;
        return result;
    }

    void Write(int x, int y, const Channels& value)
    {
        uint32_t p = target_.bits == 0 ? value.alpha << 24 : 0;
        for (int ch = 0; ch < 3; ++ch)
            p |= (value.c[ch] >> loss_[ch]) << shift_[ch];
        std::memcpy(Address(x, y), &p, Bytes());
    }

    // Expects every pixel, its colour channels and a memory target's alpha, to equal other's.
    void ExpectSame(const Canvas& other) const
    {
        int wrong = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const Channels a = Read(x, y), b = other.Read(x, y);
                if (a.c[0] == b.c[0] && a.c[1] == b.c[1] && a.c[2] == b.c[2] && a.alpha == b.alpha)
                    continue;
                if (wrong++ == 0)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << a.c[0] << " " << a.c[1] << " " << a.c[2]
                                  << " alpha " << a.alpha << ", expected " << b.c[0] << " " << b.c[1] << " "
                                  << b.c[2] << " alpha " << b.alpha;
            }
        }
        EXPECT_EQ(0, wrong) << "pixels differ";
    }

private:
    int Bytes() const { return target_.bits == 0 ? 4 : target_.bits / 8; }
    uint8_t* Address(int x, int y) const
    {
        return target_.bits == 0 ? reinterpret_cast<uint8_t*>(&memory_[static_cast<size_t>(y) * width_ + x])
                                 : static_cast<uint8_t*>(surface_->pixels) + y * surface_->pitch + x * Bytes();
    }
    uint32_t Raw(int x, int y) const
    {
        uint32_t p = 0;
        std::memcpy(&p, Address(x, y), Bytes());
        return p;
    }

    const Target target_;
    const int width_, height_;
    mutable std::vector<MvColor> memory_;
    SurfacePtr surface_;
    std::unique_ptr<MvPaintTarget> paint_;
    int shift_[3];
    int loss_[3];
};

// Paints source pixel s of a segment with the given alpha flag at (x, y) of canvas, by the
// formula: the value is the source channel, or s * mul / 256 + add with a colour change;
// the weight is none or the source alpha (opaque and transparent pixels short-cut)
// without a transform alpha A, A or (A * source alpha) >> 8 with one.
void PaintByFormula(Canvas* canvas, int x, int y, const MvColor& s, bool translucentSegment, const MvColorXform& cx)
{
    const uint32_t source[3] = {s.red, s.green, s.blue};
    const uint32_t mul[3] = {cx.mul.red, cx.mul.green, cx.mul.blue};
    const uint32_t add[3] = {cx.add.red, cx.add.green, cx.add.blue};
    Channels value;
    for (int ch = 0; ch < 3; ++ch)
        value.c[ch] = cx.hasColor ? source[ch] * mul[ch] / 256 + add[ch] : source[ch];
    value.alpha = cx.hasColor ? 255 : s.alpha;
    int weight = -1; // unblended
    if (cx.hasAlpha)
        weight = translucentSegment ? (cx.add.alpha * s.alpha) >> 8 : cx.add.alpha;
    else if (translucentSegment && s.alpha < 255)
        weight = s.alpha;
    if (weight == 0 && !cx.hasAlpha)
        return;
    if (weight >= 0) {
        const Channels dest = canvas->Read(x, y);
        for (int ch = 0; ch < 3; ++ch)
            value.c[ch] = (weight * value.c[ch] + (255 - weight) * dest.c[ch]) >> 8;
        value.alpha = static_cast<uint32_t>(weight);
    }
    canvas->Write(x, y, value);
}

// The stored segment of row k holding column, or null.
const MvRleSegment* SegmentAt(const MvRle& image, int k, int column)
{
    const MvRleLine& line = image.Row(k);
    for (int s = 0; s < line.segmentCount; ++s) {
        if (line.segments[s].start <= column && column <= line.segments[s].end)
            return &line.segments[s];
    }
    return nullptr;
}

// image drawn by t inside clip, pixel by pixel by the formula: each screen pixel of the
// bounds takes the source pixel at its 16.16 position (nearest neighbour, as a scaled draw
// samples; at scale 1.0 the pixel itself).
void DrawByFormula(Canvas* canvas, const MvRle& image, const MvTransform& t, const MvColorXform& cx,
                   const MvIntRect& clip)
{
    MvIntRect bounds;
    image.ComputeBounds(t, &bounds);
    const int64_t xStep = static_cast<int64_t>(image.Width()) * 65536 / bounds.Width();
    const int64_t yStep = static_cast<int64_t>(image.Height()) * 65536 / bounds.Height();
    for (int y = std::max(bounds.top, clip.top); y <= std::min(bounds.bottom, clip.bottom); ++y) {
        const int k = static_cast<int>((y - bounds.top) * yStep >> 16);
        for (int x = std::max(bounds.left, clip.left); x <= std::min(bounds.right, clip.right); ++x) {
            const int column = static_cast<int>((x - bounds.left) * xStep >> 16);
            if (const MvRleSegment* segment = SegmentAt(image, k, column))
                PaintByFormula(canvas, x, y, segment->pixels[column - segment->start], segment->HasAlpha(), cx);
        }
    }
}

MvColorXform Transform(int kind)
{
    MvColorXform cx;
    if (kind == 1)
        cx.Set(200, 30, 128, 0, 255, 0, 255); // colour change
    else if (kind == 2)
        cx.SetAlpha(150);
    else if (kind == 3)
        cx.Set(100, 20, 255, 0, 10, 200, 90); // colour change and alpha
    return cx;
}
const char* const kTransformNames[] = {"identity", "colour change", "alpha", "colour change and alpha"};

// Pictures whose segments a painter could cut: opaque cores with soft rims, opaque
// stretches shorter and longer than a cut is worth at either end or in the middle of a
// segment, translucent and opaque pixels alone, fully translucent and fully opaque rows.
const std::vector<std::string> kSoftPicture = {
    "..ab123456789123456789ba..",
    ".a1234567891234567891234a.",
    "a123.d12345678912345678d1a",
    "abadbcabadbcabadbcabadbcab",
    "12345678912345678912345678",
    "R.a.G.b.1234567.d12345678.",
    "1234567a12345678a123456789",
    "d123456789123456789123456d",
};

// The ways an image is made: by Create, read back from its stored form, and as a scaled
// copy (of 1.5 x 1.2, which adds translucent pixels where it blends neighbours).
enum class Made { Create, Read, ScaledCopy };

std::unique_ptr<MvRle> MakeImage(const std::vector<std::string>& rows, Made made)
{
    std::unique_ptr<MvRle> image(new MvRle);
    CreateFrame(image.get(), rows, 3, 2);
    if (made == Made::ScaledCopy)
        return std::unique_ptr<MvRle>(image->MakeScaledCopy(MvFixed::FromRaw(98304), MvFixed::FromRaw(78643)));
    if (made == Made::Read) {
        const std::vector<uint8_t> bytes = StoredImage(*image);
        MvMemoryStream stream(bytes.data(), bytes.size());
        std::unique_ptr<MvRle> read(new MvRle);
        EXPECT_TRUE(read->Read(stream.Stream()));
        return read;
    }
    return image;
}

// Unscaled: every picture, every way of making it, every transform kind, every target and
// clips that cut runs, opaque ones among them, in the middle.
TEST(MvRlePainter, PaintsWhatTheFormulaGivesPixelForPixel)
{
    struct Picture {
        const char* what;
        std::vector<std::string> rows;
    };
    const Picture pictures[] = {
        {"soft rims around opaque cores", kSoftPicture},
        {"all translucent", {"abadbcab", "dddddddd", "c.a.b.d."}},
        {"all opaque", {"123456789123", "R.G.B.W.K...", "999999999999"}},
        {"single pixels", {"R.a.d.1", ".b.c.G.", "d......"}},
    };
    const Made ways[] = {Made::Create, Made::Read, Made::ScaledCopy};
    const char* const wayNames[] = {"Create", "Read", "MakeScaledCopy"};
    const MvIntRect clips[] = {
        MvMakeRect(0, 0, 39, 13),  // all of it
        MvMakeRect(10, 0, 39, 13), // left part cut inside the opaque cores
        MvMakeRect(0, 0, 14, 13),  // right part cut inside the opaque cores
        MvMakeRect(9, 3, 9, 11),   // one column
        MvMakeRect(7, 4, 21, 4),   // one row, cut on both sides
    };
    for (const Picture& picture : pictures) {
        for (int way = 0; way < 3; ++way) {
            const std::unique_ptr<MvRle> image = MakeImage(picture.rows, ways[way]);
            for (int kind = 0; kind < 4; ++kind) {
                const MvColorXform cx = Transform(kind);
                for (const Target& target : kTargets) {
                    for (const MvIntRect& clip : clips) {
                        SCOPED_TRACE(std::string(picture.what) + ", " + wayNames[way] + ", " + kTransformNames[kind] +
                                     ", " + target.what + ", clip " + std::to_string(clip.left) + "-" +
                                     std::to_string(clip.right) + " x " + std::to_string(clip.top) + "-" +
                                     std::to_string(clip.bottom));
                        Canvas painted(target, 40, 14), expected(target, 40, 14);
                        image->Draw(painted.Paint(), At(6, 4), cx, clip, 0);
                        DrawByFormula(&expected, *image, At(6, 4), cx, clip);
                        painted.ExpectSame(expected);
                    }
                }
            }
        }
    }
}

// Scaled: the samples gathered run by run give what painting each sampled pixel by the
// formula gives, at scales below, near and above 1.0 and with clips at odd places.
TEST(MvRlePainter, ScaledDrawPaintsTheNearestSampleByTheFormula)
{
    struct Scale {
        const char* what;
        MvFixed x, y;
    };
    const Scale scales[] = {
        {"0.5", MvFixed::FromRaw(32768), MvFixed::FromRaw(32768)},
        {"1.2, as labels are drawn", MvFixed::FromRaw(78643), MvFixed::FromRaw(78643)},
        {"2.0", MvFixed::FromInt(2), MvFixed::FromInt(2)},
        {"1.7 by 0.8", MvFixed::FromRaw(111411), MvFixed::FromRaw(52429)},
    };
    const MvIntRect clips[] = {MvMakeRect(0, 0, 69, 23), MvMakeRect(13, 1, 41, 20), MvMakeRect(27, 0, 27, 23),
                               MvMakeRect(0, 9, 69, 9), MvMakeRect(8, 5, 12, 17)};
    const std::unique_ptr<MvRle> image = MakeImage(kSoftPicture, Made::Create);
    for (const Scale& scale : scales) {
        for (int kind = 0; kind < 4; ++kind) {
            const MvColorXform cx = Transform(kind);
            for (const Target& target : kTargets) {
                for (const MvIntRect& clip : clips) {
                    SCOPED_TRACE(std::string("scale ") + scale.what + ", " + kTransformNames[kind] + ", " +
                                 target.what + ", clip " + std::to_string(clip.left) + "-" +
                                 std::to_string(clip.right) + " x " + std::to_string(clip.top) + "-" +
                                 std::to_string(clip.bottom));
                    const MvTransform t = At(9.5, 3.25, scale.x, scale.y);
                    Canvas painted(target, 70, 24), expected(target, 70, 24);
                    image->Draw(painted.Paint(), t, cx, clip, 0);
                    DrawByFormula(&expected, *image, t, cx, clip);
                    painted.ExpectSame(expected);
                }
            }
        }
    }
}

// A run longer than the painter gathers at once is painted in pieces, each sample still
// taken from its own source pixel.
TEST(MvRlePainter, ScaledDrawOfALongRunMatchesTheFormula)
{
    std::vector<std::string> rows(2);
    for (int i = 0; i < 300; ++i)
        rows[0] += static_cast<char>('1' + i % 9);
    rows[1] = "ab" + rows[0].substr(2, 296) + "dc";
    MvRle image;
    CreateFrame(&image, rows, 0, 0);
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.what);
        Canvas painted(target, 700, 5), expected(target, 700, 5);
        const MvTransform t = At(1, 0, MvFixed::FromRaw(150000), MvFixed::FromInt(2));
        image.Draw(painted.Paint(), t, MvColorXform(), painted.Whole(), 0);
        DrawByFormula(&expected, image, t, MvColorXform(), expected.Whole());
        painted.ExpectSame(expected);
    }
}

} // namespace
