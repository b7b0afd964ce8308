#include "MvRle.h"

#include "MvBitReader.h"
#include "MvBitWriter.h"
#include "MvBlitterSets.h"
#include "MvCollisionMask.h"
#include "MvLoadPool.h"
#include "MvLog.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvResourceReader.h"
#include "MvSurfacePen.h"
#include "MvTextureEnv.h"
#include "MvTextureManager.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Bits needed to store v: 0 for 0, otherwise the smallest b with v < 2^b.
int BitsNeeded(uint32_t v)
{
    int bits = 0;
    while (bits < 32 && (v >> bits) != 0)
        ++bits;
    return bits;
}

// count empty objects made in place in the pool's memory, or null (and the reader's
// error) when the pool has not that much room left.
template <typename T>
T* TakeFromPool(MvLoadPool* pool, int count, MvResourceReader& reader, long offset, const char* tally)
{
    const size_t bytes = sizeof(T) * static_cast<size_t>(count);
    if (pool->Remaining() < bytes) {
        reader.FailAt(offset, "the images hold more %s than the file's tally", tally);
        return nullptr;
    }
    T* items = static_cast<T*>(pool->Alloc(bytes));
    for (int i = 0; i < count; ++i)
        new (items + i) T();
    return items;
}

// Copies count pixels byte for byte. Sprite runs are short, so they are copied here, 32
// bytes a step, without a library call per run.
inline void CopyPixels(uint8_t* target, const MvColor* source, int count)
{
    const uint8_t* from = reinterpret_cast<const uint8_t*>(source);
    size_t bytes = static_cast<size_t>(count) * 4;
#if defined(__SSE2__)
    for (; bytes >= 32; bytes -= 32, from += 32, target += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 16), high);
    }
    if (bytes >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
        bytes -= 16;
        from += 16;
        target += 16;
    }
#endif
    for (; bytes > 0; bytes -= 4, from += 4, target += 4)
        std::memcpy(target, from, 4);
}

// Paints image columns lo to hi of count rows from line on; row is the target address of
// screen column 0 in the first row and left the screen column of image column 0. A run
// is painted by the blitter of its alpha flag. With CopyOpaque (the opaque blitter is
// the block copy "32B_Simple_NoAlpha") opaque runs are copied here byte for byte, as that
// blitter copies them, without a call per run; with Whole no column is clipped.
template <bool CopyOpaque, bool Whole>
void PaintRows(const MvPaintTarget& paint, const MvRunBlitter* blitters, const MvColorXform& cx, const MvRleLine* line,
               int count, uint8_t* row, int left, int lo, int hi)
{
    const int bytesPerPixel = CopyOpaque ? 4 : paint.BytesPerPixel();
    const int pitch = paint.Pitch();
    for (const MvRleLine* const end = line + count; line != end; ++line, row += pitch) {
        const MvRleSegment* segment = line->segments;
        for (const MvRleSegment* const last = segment + line->segmentCount; segment != last; ++segment) {
            int s0 = segment->start;
            int s1 = segment->end;
            if (!Whole) {
                if (s1 < lo)
                    continue;
                if (s0 > hi)
                    break;
                s0 = std::max(s0, lo);
                s1 = std::min(s1, hi);
            }
            uint8_t* const target = row + (left + s0) * bytesPerPixel;
            const MvColor* const source = segment->pixels + (s0 - segment->start);
            const uint32_t alpha = segment->flags & MvRleHasAlpha;
            if (CopyOpaque && !alpha)
                CopyPixels(target, source, s1 - s0 + 1);
            else
                blitters[alpha](paint, target, source, s1 - s0 + 1, cx);
        }
    }
}

typedef void (*RowPainter)(const MvPaintTarget& paint, const MvRunBlitter* blitters, const MvColorXform& cx,
                           const MvRleLine* line, int count, uint8_t* row, int left, int lo, int hi);

// By [opaque runs are copied][no column is clipped].
const RowPainter RowPainters[2][2] = {{PaintRows<false, false>, PaintRows<false, true>},
                                      {PaintRows<true, false>, PaintRows<true, true>}};

} // namespace

MvRle::MvRle()
    : flags_(0), rows_(nullptr), offsetX_(0), offsetY_(0), width_(0), height_(0), deltaX_(0), deltaY_(0),
      collisionMask_(nullptr), texture_(nullptr)
{
}

MvRle::~MvRle() { Release(); }

void MvRle::Release()
{
    delete collisionMask_;
    collisionMask_ = nullptr;
    delete texture_;
    texture_ = nullptr;
    if (rows_ != nullptr) {
        if (flags_ & MvRleInPool) {
            // Made in place in pool memory: finish them, the memory stays the pool's.
            for (int i = 0; i < height_; ++i)
                rows_[i].~MvRleLine();
        } else {
            delete[] rows_;
        }
    }
    flags_ = 0;
    rows_ = nullptr;
    offsetX_ = offsetY_ = 0;
    width_ = height_ = 0;
    deltaX_ = deltaY_ = 0;
}

void MvRle::Create(const MvPaintTarget& source, int x, int y, int width, int height, int hotX, int hotY, int deltaX,
                   int deltaY)
{
    Encode(source, x, y, width, height, hotX, hotY, deltaX, deltaY, true);
}

void MvRle::Encode(const MvPaintTarget& source, int x, int y, int width, int height, int hotX, int hotY, int deltaX,
                   int deltaY, bool storedLimits)
{
    MvAssert(rows_ == nullptr && width_ == 0 && height_ == 0);
    MvAssert(x >= 0 && y >= 0 && width >= 0 && height >= 0);
    MvAssert(x + width <= source.Width() && y + height <= source.Height());
    MvSurfacePen pen(source);
    deltaX_ = deltaX;
    deltaY_ = deltaY;

    // Trim to the columns and rows that hold a pixel with alpha above 0.
    const int bottom = y + height - 1;
    int c0 = x;
    while (c0 < x + width && pen.CountTransparentInColumn(c0, y, bottom) == height)
        ++c0;
    if (height == 0 || c0 == x + width) {
        offsetX_ = x + width - hotX;
        offsetY_ = -hotY;
        return;
    }
    int c1 = x + width - 1;
    while (pen.CountTransparentInColumn(c1, y, bottom) == height)
        --c1;
    const int span = c1 - c0 + 1;
    int r0 = y;
    while (pen.CountTransparentInRow(r0, c0, c1) == span)
        ++r0;
    int r1 = bottom;
    while (pen.CountTransparentInRow(r1, c0, c1) == span)
        --r1;
    MvAssert(span <= 0xFFFF);

    width_ = span;
    height_ = r1 - r0 + 1;
    rows_ = new MvRleLine[height_];
    std::vector<int> runs; // first and last column of each run
    for (int k = 0; k < height_; ++k) {
        const int row = r0 + k;
        runs.clear();
        int col = c0;
        while (col <= c1) {
            col += pen.CountTransparentInRow(row, col, c1);
            if (col > c1)
                break;
            const int visible = pen.CountVisibleInRow(row, col, c1);
            runs.push_back(col);
            runs.push_back(col + visible - 1);
            col += visible;
        }
        MvRleLine& line = rows_[k];
        const int count = static_cast<int>(runs.size() / 2);
        MvAssert(!storedLimits || count <= MaxCreatedSegmentsPerRow);
        if (count == 0)
            continue;
        line.segments = new MvRleSegment[count];
        line.segmentCount = count;
        for (int s = 0; s < count; ++s) {
            MvRleSegment& segment = line.segments[s];
            const int first = runs[2 * s];
            const int length = runs[2 * s + 1] - first + 1;
            MvAssert(!storedLimits || length <= MaxSegmentLength);
            segment.start = static_cast<uint16_t>(first - c0);
            segment.end = static_cast<uint16_t>(first - c0 + length - 1);
            segment.pixels = new MvColor[length];
            for (int i = 0; i < length; ++i) {
                segment.pixels[i] = pen.ReadColor(first + i, row);
                if (segment.pixels[i].alpha < 255)
                    segment.flags |= MvRleHasAlpha;
            }
            line.flags |= segment.flags & MvRleHasAlpha;
        }
        flags_ |= line.flags & MvRleHasAlpha;
    }

    offsetX_ = c0 - hotX;
    offsetY_ = r0 - hotY;
    if (storedLimits) {
        MvAssert(offsetX_ >= -MaxWrittenOffset && offsetX_ <= MaxWrittenOffset);
        MvAssert(offsetY_ >= -MaxWrittenOffset && offsetY_ <= MaxWrittenOffset);
    }
}

bool MvRle::Read(SDL_RWops* stream, const char* streamName)
{
    MvResourceReader reader(stream, streamName);
    return Read(reader);
}

bool MvRle::Read(MvResourceReader& reader)
{
    MvAssert(rows_ == nullptr && width_ == 0 && height_ == 0);
    const long start = reader.Offset();
    uint16_t flags = 0;
    int32_t offsetX, offsetY, width, height, deltaX, deltaY;
    uint8_t channels[8]; // minimum and bits of red, green, blue and alpha
    reader.ReadUint16(&flags);
    reader.ReadInt32(&offsetX);
    reader.ReadInt32(&offsetY);
    reader.ReadInt32(&width);
    reader.ReadInt32(&height);
    reader.ReadInt32(&deltaX);
    reader.ReadInt32(&deltaY);
    reader.ReadBytes(channels, sizeof channels);
    if (reader.Failed())
        return false;
    if (offsetX < -MaxReadOffset || offsetX > MaxReadOffset || offsetY < -MaxReadOffset || offsetY > MaxReadOffset)
        return reader.FailAt(start + 2, "the image offset (%d, %d) lies outside -%d..%d", offsetX, offsetY,
                             MaxReadOffset, MaxReadOffset);
    if (width < 0 || width > MaxSize || height < 0 || height > MaxSize)
        return reader.FailAt(start + 10, "the image size %d x %d lies outside 0..%d", width, height, MaxSize);
    if ((width == 0) != (height == 0))
        return reader.FailAt(start + 10, "the image size %d x %d is empty in one direction only", width, height);
    for (int c = 0; c < 4; ++c) {
        if (channels[2 * c + 1] > 8)
            return reader.FailAt(start + 27 + 2 * c, "a colour channel takes %d bits, more than 8",
                                 channels[2 * c + 1]);
    }

    flags_ = flags & MvRleHasAlpha;
    offsetX_ = offsetX;
    offsetY_ = offsetY;
    deltaX_ = deltaX;
    deltaY_ = deltaY;
    if (height == 0)
        return false;
    width_ = width;
    height_ = height;
    const uint8_t minimum[4] = {channels[0], channels[2], channels[4], channels[6]};
    const uint8_t bits[4] = {channels[1], channels[3], channels[5], channels[7]};
    if (!ReadRows(reader, minimum, bits)) {
        Release();
        return false;
    }
    return true;
}

bool MvRle::ReadRows(MvResourceReader& reader, const uint8_t* minimum, const uint8_t* bits)
{
    // Every row takes at least 6 bits and every segment at least 7: counts that the data
    // left cannot hold are refused before anything is allocated for them.
    const int64_t bitsLeft = static_cast<int64_t>(reader.Remaining()) * 8;
    if (static_cast<int64_t>(height_) * 6 > bitsLeft)
        return reader.Fail("the image's %d rows need at least %lld bits, but the data ends early (%lld bits left)",
                           height_, static_cast<long long>(height_) * 6, static_cast<long long>(bitsLeft));
    MvLoadPool* const linePool = CurrentLinePool();
    MvLoadPool* const segmentPool = CurrentSegmentPool();
    MvLoadPool* const pixelPool = CurrentPixelPool();
    if (linePool != nullptr) {
        rows_ = TakeFromPool<MvRleLine>(linePool, height_, reader, reader.Offset(), "rows");
        if (rows_ == nullptr)
            return false;
        flags_ |= MvRleInPool;
    } else {
        rows_ = new MvRleLine[height_];
    }

    const uint32_t redMin = minimum[0], greenMin = minimum[1], blueMin = minimum[2], alphaMin = minimum[3];
    const int pixelBits = bits[0] + bits[1] + bits[2] + bits[3];
    const int blueShift = bits[3], greenShift = bits[2] + bits[3], redShift = bits[1] + bits[2] + bits[3];
    const uint32_t redMask = (1u << bits[0]) - 1, greenMask = (1u << bits[1]) - 1;
    const uint32_t blueMask = (1u << bits[2]) - 1, alphaMask = (1u << bits[3]) - 1;
    MvBitReader in(reader);
    bool imageTranslucent = false;
    for (int k = 0; k < height_; ++k) {
        MvRleLine& line = rows_[k];
        const uint32_t rowFlags = in.Read(2) & MvRleHasAlpha;
        const uint32_t count = in.Read(in.Read(4));
        if (reader.Failed())
            return false;
        if (count > MaxSegmentsPerRow)
            return reader.FailAt(in.ByteOffset(), "row %d has %u segments, more than %d", k, count, MaxSegmentsPerRow);
        if (static_cast<int64_t>(count) * 7 > in.BitsLeft())
            return reader.FailAt(in.ByteOffset(), "row %d has %u segments, but the data ends early (%lld bits left)", k,
                                 count, static_cast<long long>(in.BitsLeft()));
        line.flags = rowFlags;
        if (count > 0) {
            if (segmentPool != nullptr) {
                line.segments = TakeFromPool<MvRleSegment>(segmentPool, count, reader, in.ByteOffset(), "segments");
                if (line.segments == nullptr)
                    return false;
                line.flags |= MvRleInPool;
            } else {
                line.segments = new MvRleSegment[count];
            }
            line.segmentCount = static_cast<int32_t>(count);
        }

        int previousEnd = -2;
        bool rowTranslucent = false;
        for (uint32_t s = 0; s < count; ++s) {
            MvRleSegment& segment = line.segments[s];
            const uint32_t segmentFlags = in.Read(3) & MvRleHasAlpha;
            const int columnBits = static_cast<int>(in.Read(4));
            const uint32_t first = in.Read(columnBits);
            const uint32_t last = in.Read(columnBits);
            if (reader.Failed())
                return false;
            if (first > last)
                return reader.FailAt(in.ByteOffset(), "row %d: a segment starts at column %u, after its end %u", k,
                                     first, last);
            if (last >= static_cast<uint32_t>(width_))
                return reader.FailAt(in.ByteOffset(), "row %d: a segment ends at column %u, outside the image width %d",
                                     k, last, width_);
            if (static_cast<int>(first) <= previousEnd + 1)
                return reader.FailAt(in.ByteOffset(),
                                     "row %d: the segment at column %u overlaps or touches the one before it", k,
                                     first);
            const int length = static_cast<int>(last - first) + 1;
            if (length > MaxSegmentLength)
                return reader.FailAt(in.ByteOffset(), "row %d: a segment of %d pixels is longer than %d", k, length,
                                     MaxSegmentLength);
            if (static_cast<int64_t>(length) * pixelBits > in.BitsLeft())
                return reader.FailAt(in.ByteOffset(),
                                     "row %d: a segment of %d pixels needs %lld bits, but the data ends early (%lld "
                                     "bits left)",
                                     k, length, static_cast<long long>(length) * pixelBits,
                                     static_cast<long long>(in.BitsLeft()));
            MvColor* pixels;
            if (pixelPool != nullptr) {
                pixels = TakeFromPool<MvColor>(pixelPool, length, reader, in.ByteOffset(), "pixels");
                if (pixels == nullptr)
                    return false;
                segment.flags = MvRleInPool;
            } else {
                pixels = new MvColor[length];
            }
            segment.pixels = pixels;
            segment.flags |= segmentFlags;
            segment.start = static_cast<uint16_t>(first);
            segment.end = static_cast<uint16_t>(last);
            MvAddRlePixels(length);

            uint32_t all = 0;
            bool translucent = false;
            bool invisible = false;
            for (int i = 0; i < length; ++i) {
                // The four channels of a pixel take at most 32 bits: one read, then split.
                const uint32_t packed = in.Read(pixelBits);
                const uint32_t red = (packed >> redShift & redMask) + redMin;
                const uint32_t green = (packed >> greenShift & greenMask) + greenMin;
                const uint32_t blue = (packed >> blueShift & blueMask) + blueMin;
                const uint32_t alpha = (packed & alphaMask) + alphaMin;
                all |= red | green | blue | alpha;
                translucent |= alpha < 255;
                invisible |= alpha == 0;
                pixels[i].Set(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue),
                              static_cast<uint8_t>(alpha));
            }
            if (reader.Failed())
                return false;
            if (all > 255)
                return reader.FailAt(in.ByteOffset(),
                                     "row %d: a pixel channel of the segment at column %u is above 255", k, first);
            if (invisible)
                return reader.FailAt(in.ByteOffset(),
                                     "row %d: the segment at column %u stores a fully transparent pixel", k, first);
            if (translucent && !segmentFlags)
                return reader.FailAt(in.ByteOffset(),
                                     "row %d: the segment at column %u is marked opaque but has translucent pixels", k,
                                     first);
            rowTranslucent |= translucent;
            previousEnd = static_cast<int>(last);
        }
        if (rowTranslucent && !rowFlags)
            return reader.FailAt(in.ByteOffset(), "row %d is marked opaque but has translucent pixels", k);
        imageTranslucent |= rowTranslucent;
    }
    if (imageTranslucent && !(flags_ & MvRleHasAlpha))
        return reader.FailAt(in.ByteOffset(), "the image is marked opaque but has translucent pixels");
    return true;
}

bool MvRle::Write(SDL_RWops* stream) const
{
    MvAssert(stream != nullptr);
    MvAssert(offsetX_ >= -MaxWrittenOffset && offsetX_ <= MaxWrittenOffset);
    MvAssert(offsetY_ >= -MaxWrittenOffset && offsetY_ <= MaxWrittenOffset);
    MvAssert(width_ <= MaxSize && height_ <= MaxSize);
    MvLog("Writing RLE: (");
    if (HasAlpha())
        MvLog("ALPHA ");

    bool ok = SDL_WriteLE16(stream, static_cast<Uint16>(flags_ & MvRleHasAlpha)) == 1;
    const int32_t numbers[6] = {offsetX_, offsetY_, width_, height_, deltaX_, deltaY_};
    for (int32_t n : numbers)
        ok = SDL_WriteLE32(stream, static_cast<Uint32>(n)) == 1 && ok;

    // Each channel is stored relative to its smallest value, in the bits its range needs.
    int low[4] = {255, 255, 255, 255};
    int high[4] = {0, 0, 0, 0};
    bool anyPixel = false;
    for (int k = 0; k < height_; ++k) {
        const MvRleLine& line = rows_[k];
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            for (int i = 0; i < segment.Length(); ++i) {
                const MvColor& c = segment.pixels[i];
                const int value[4] = {c.red, c.green, c.blue, c.alpha};
                for (int ch = 0; ch < 4; ++ch) {
                    low[ch] = std::min(low[ch], value[ch]);
                    high[ch] = std::max(high[ch], value[ch]);
                }
                anyPixel = true;
            }
        }
    }
    uint8_t channels[8];
    int bits[4];
    for (int ch = 0; ch < 4; ++ch) {
        if (!anyPixel)
            low[ch] = high[ch] = 0;
        bits[ch] = BitsNeeded(static_cast<uint32_t>(high[ch] - low[ch]));
        channels[2 * ch] = static_cast<uint8_t>(low[ch]);
        channels[2 * ch + 1] = static_cast<uint8_t>(bits[ch]);
    }
    ok = SDL_RWwrite(stream, channels, 1, sizeof channels) == static_cast<int>(sizeof channels) && ok;

    MvBitWriter out(stream);
    for (int k = 0; k < height_; ++k) {
        const MvRleLine& line = rows_[k];
        const uint32_t count = static_cast<uint32_t>(line.segmentCount);
        const int countBits = BitsNeeded(count);
        out.Write(line.flags & MvRleHasAlpha, 2);
        out.Write(static_cast<uint32_t>(countBits), 4);
        out.Write(count, countBits);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            const int columnBits = BitsNeeded(segment.end);
            out.Write(segment.flags & MvRleHasAlpha, 3);
            out.Write(static_cast<uint32_t>(columnBits), 4);
            out.Write(segment.start, columnBits);
            out.Write(segment.end, columnBits);
            for (int i = 0; i < segment.Length(); ++i) {
                const MvColor& c = segment.pixels[i];
                out.Write(static_cast<uint32_t>(c.red - low[0]), bits[0]);
                out.Write(static_cast<uint32_t>(c.green - low[1]), bits[1]);
                out.Write(static_cast<uint32_t>(c.blue - low[2]), bits[2]);
                out.Write(static_cast<uint32_t>(c.alpha - low[3]), bits[3]);
            }
        }
    }
    ok = out.Flush() && ok;
    MvLog(")\n size cx=%d cy=%d\n", width_, height_);
    return ok;
}

void MvRle::ComputeBounds(const MvTransform& t, MvIntRect* bounds) const
{
    MvAssert(bounds != nullptr);
    if (!t.HasScale()) {
        const int left = t.x.ToInt() + offsetX_;
        const int top = t.y.ToInt() + offsetY_;
        bounds->Set(left, top, left + width_ - 1, top + height_ - 1);
        return;
    }
    const MvFixed ox = t.xScale * MvFixed::FromInt(offsetX_);
    const MvFixed oy = t.yScale * MvFixed::FromInt(offsetY_);
    const MvFixed scaledWidth = t.xScale * MvFixed::FromInt(width_);
    const MvFixed scaledHeight = t.yScale * MvFixed::FromInt(height_);
    bounds->Set((t.x + ox).RoundToInt(), (t.y + oy).RoundToInt(), (t.x + ox + scaledWidth).RoundToInt() - 1,
                (t.y + oy + scaledHeight).RoundToInt() - 1);
    // Rounding both edges keeps each size between the floor and the ceiling of the
    // scaled size.
    MvAssert(bounds->Width() >= scaledWidth.Raw() >> 16 && bounds->Width() <= (scaledWidth.Raw() + 0xFFFF) >> 16);
    MvAssert(bounds->Height() >= scaledHeight.Raw() >> 16 && bounds->Height() <= (scaledHeight.Raw() + 0xFFFF) >> 16);
}

void MvRle::Draw(const MvPaintTarget& paint, const MvTransform& t, const MvColorXform& cx, const MvIntRect& clip,
                 int openGLZ) const
{
    if (height_ == 0 || width_ == 0)
        return;
    if (paint.IsOpenGL()) {
        DrawOpenGL(t, cx, openGLZ);
        return;
    }
    if (t.HasScale()) {
        DrawScaled(paint, t, cx, clip);
        return;
    }
    MvIntRect bounds;
    ComputeBounds(t, &bounds);
    MvIntRect visible = bounds;
    visible.ClipTo(clip);
    if (!visible.IsValid())
        return;
    MvAssert(visible.left >= 0 && visible.top >= 0 && visible.right < paint.Width() && visible.bottom < paint.Height());

    // The blitters for opaque and for translucent runs, chosen once for the whole image.
    const MvRunBlitter blitters[2] = {paint.PickBlitter(false, cx), paint.PickBlitter(true, cx)};
    const int lo = visible.left - bounds.left;
    const int hi = visible.right - bounds.left;
    const bool copyOpaque = blitters[0] == MvBlit32BSimpleNoAlpha;
    const bool whole = lo == 0 && hi == width_ - 1;
    RowPainters[copyOpaque][whole](paint, blitters, cx, rows_ + (visible.top - bounds.top), visible.Height(),
                                   paint.Pixels() + paint.Pitch() * visible.top, bounds.left, lo, hi);
}

void MvRle::DrawOpenGL(const MvTransform& t, const MvColorXform& cx, int openGLZ) const
{
    if (texture_ == nullptr) {
        MvPixelBlock pixels;
        pixels.Create(width_, height_, true);
        int hotX, hotY;
        Unpack(pixels.Pixels(), width_, &hotX, &hotY);
        texture_ = MvTextureManager::Instance()->NewTexture(pixels.Pixels(), width_, height_);
    }
    MvIntRect b;
    ComputeBounds(t, &b);
    glBindTexture(GL_TEXTURE_2D, texture_->Name());
    ApplyToTextureEnv(cx, t.HasScale(), *texture_);
    MvAssert(openGLZ >= 1 && openGLZ <= 50000);
    const int w = b.Width();
    const int h = b.Height();
    const GLint z = openGLZ;
    glBegin(GL_QUADS);
    glTexCoord2f(texture_->S0(), texture_->T0());
    glVertex3i(b.left, b.top, z);
    glTexCoord2f(texture_->S1(), texture_->T0());
    glVertex3i(b.left + w, b.top, z);
    glTexCoord2f(texture_->S1(), texture_->T1());
    glVertex3i(b.left + w, b.top + h, z);
    glTexCoord2f(texture_->S0(), texture_->T1());
    glVertex3i(b.left, b.top + h, z);
    glEnd();
}

void MvRle::DrawScaled(const MvPaintTarget& paint, const MvTransform& t, const MvColorXform& cx,
                       const MvIntRect& clip) const
{
    MvIntRect bounds;
    ComputeBounds(t, &bounds);
    MvIntRect visible = bounds;
    visible.ClipTo(clip);
    if (!visible.IsValid())
        return;
    MvAssert(visible.left >= 0 && visible.top >= 0 && visible.right < paint.Width() && visible.bottom < paint.Height());

    const int bytesPerPixel = paint.BytesPerPixel();
    const MvRunBlitter blitters[2] = {paint.PickBlitter(false, cx), paint.PickBlitter(true, cx)};
    // 16.16 source pixels per screen pixel.
    const int64_t xStep = static_cast<int64_t>(width_) * 65536 / bounds.Width();
    const int64_t yStep = static_cast<int64_t>(height_) * 65536 / bounds.Height();
    const int64_t yStart = yStep * (visible.top - bounds.top);
    int sourceRow = static_cast<int>(yStart >> 16);
    int64_t fraction = yStart & 0xFFFF;
    uint8_t* row = paint.Pixels() + paint.Pitch() * visible.top;
    for (int y = visible.top; y <= visible.bottom && sourceRow < height_; ++y, row += paint.Pitch()) {
        const MvRleLine& line = rows_[sourceRow];
        int x = bounds.left;
        int64_t position = 0;
        for (int s = 0; s < line.segmentCount && x <= visible.right; ++s) {
            const MvRleSegment& segment = line.segments[s];
            while ((position >> 16) < segment.start && x <= visible.right) {
                ++x;
                position += xStep;
            }
            const MvRunBlitter blitter = blitters[segment.flags & MvRleHasAlpha];
            while ((position >> 16) <= segment.end && x <= visible.right) {
                if (x >= visible.left)
                    blitter(paint, row + x * bytesPerPixel, segment.pixels + ((position >> 16) - segment.start), 1, cx);
                ++x;
                position += xStep;
            }
        }
        fraction += yStep;
        while (fraction > 0xFFFF) {
            fraction -= 0x10000;
            ++sourceRow;
        }
    }
}

bool MvRle::HitTest(int x, int y) const
{
    const int column = x - offsetX_;
    const int row = y - offsetY_;
    if (column < 0 || column >= width_ || row < 0 || row >= height_)
        return false;
    const MvRleLine& line = rows_[row];
    for (int s = 0; s < line.segmentCount; ++s) {
        const MvRleSegment& segment = line.segments[s];
        if (segment.start <= column && column <= segment.end)
            return segment.pixels[column - segment.start].alpha > 0;
    }
    return false;
}

void MvRle::Unpack(MvColor* pixels, int pitch, int* hotX, int* hotY) const
{
    MvAssert(hotX != nullptr && hotY != nullptr);
    *hotX = -offsetX_;
    *hotY = -offsetY_;
    if (height_ == 0)
        return;
    MvAssert(pixels != nullptr && pitch >= width_);
    for (int k = 0; k < height_; ++k) {
        const MvRleLine& line = rows_[k];
        MvColor* const row = pixels + static_cast<size_t>(k) * static_cast<size_t>(pitch);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            MvAssert(segment.end < width_);
            std::memcpy(row + segment.start, segment.pixels, sizeof(MvColor) * static_cast<size_t>(segment.Length()));
        }
    }
}

MvRle* MvRle::MakeScaledCopy(MvFixed xScale, MvFixed yScale) const
{
    MvAssert(xScale > 0 && yScale > 0);
    // The hot spot and the delta scale with the picture. The hot spot's place in the
    // scaled picture is what the encoder needs to give the copy its offset.
    const int hotX = (-xScale * MvFixed::FromInt(offsetX_)).RoundToInt();
    const int hotY = (-yScale * MvFixed::FromInt(offsetY_)).RoundToInt();
    const int deltaX = (xScale * MvFixed::FromInt(deltaX_)).RoundToInt();
    const int deltaY = (yScale * MvFixed::FromInt(deltaY_)).RoundToInt();
    MvRle* copy = new MvRle;

    MvTransform scaled;
    scaled.x = scaled.y = MvFixed::FromInt(0);
    scaled.xScale = xScale;
    scaled.yScale = yScale;
    // The frame's pixels in full, the working surface that is drawn scaled.
    MvPixelBlock source;
    MvIntRect bounds;
    bounds.SetEmpty();
    if (height_ > 0) {
        source.Create(width_, height_, true);
        int sourceHotX, sourceHotY;
        Unpack(source.Pixels(), width_, &sourceHotX, &sourceHotY);
        source.ComputeBounds(scaled, &bounds);
    }
    if (height_ == 0 || !bounds.IsValid()) {
        // Nothing visible at this scale: an empty copy placed as Create places one.
        copy->offsetX_ = -hotX;
        copy->offsetY_ = -hotY;
        copy->deltaX_ = deltaX;
        copy->deltaY_ = deltaY;
        return copy;
    }
    MvAssert(bounds.left == 0 && bounds.top == 0);
    const int width = bounds.Width();
    const int height = bounds.Height();
    MvAssert(width <= MvPixelBlock::MaxSize && height <= MvPixelBlock::MaxSize);
    {
        MvPixelBlock block;
        block.Create(width, height, true);
        MvPaintTarget target(block.Pixels(), width, height);
        source.Draw(target, scaled, false, MvColorXform(), MvMakeRect(0, 0, width - 1, height - 1),
                    MvPixelBlock::QualityBest, 0);
        copy->Encode(target, 0, 0, width, height, hotX, hotY, deltaX, deltaY, false);
    }
    return copy;
}

MvCollisionMask* MvRle::GetCollisionMask(MvFixed xScale, MvFixed yScale)
{
    if (collisionMask_ != nullptr) {
        MvAssert(collisionMask_->XScale() == xScale && collisionMask_->YScale() == yScale);
        return collisionMask_;
    }
    collisionMask_ = new MvCollisionMask(width_, height_, xScale, yScale);
    for (int k = 0; k < height_; ++k) {
        const MvRleLine& line = rows_[k];
        for (int s = 0; s < line.segmentCount; ++s)
            collisionMask_->SetSpan(k, line.segments[s].start, line.segments[s].end);
    }
    return collisionMask_;
}

int MvRle::SegmentCount() const
{
    int count = 0;
    for (int k = 0; k < height_; ++k)
        count += rows_[k].segmentCount;
    return count;
}

int MvRle::PixelCount() const
{
    int count = 0;
    for (int k = 0; k < height_; ++k) {
        for (int s = 0; s < rows_[k].segmentCount; ++s)
            count += rows_[k].segments[s].Length();
    }
    return count;
}
