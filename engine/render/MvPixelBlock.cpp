#include "MvPixelBlock.h"

#include "MvAssert.h"
#include "MvLoadPool.h"
#include "MvLog.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvRle.h"
#include "MvStreamBytes.h"
#include "MvSurfacePen.h"
#include "MvTextureEnv.h"
#include "MvTextureManager.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

#include <algorithm>
#include <new>
#include <vector>

struct MvPixelBlock::ScaledWalk {
    MvIntRect painted;      // the bounds clipped: the target pixels painted
    int boundsWidth;        // width and height of the unclipped bounds
    int boundsHeight;
    int dx;                 // offset of painted's top-left corner inside the bounds
    int dy;
    MvRunBlitter blitter;
};

namespace {

// Moves a 16.16 source position (whole pixel and fraction) on by step.
inline void Advance(int& whole, int64_t& fraction, int64_t step)
{
    fraction += step;
    whole += static_cast<int>(fraction >> 16);
    fraction &= 0xFFFF;
}

// Storage for the width x height pixels of a block being read: from the current pixel pool
// while a load is under way (then *flags gets InPoolFlag), from the heap otherwise. Null,
// with the reader's error set at start, when there is no room or no memory for them.
MvColor* NewPixels(MvResourceReader& reader, long start, int width, int height, uint32_t* flags)
{
    const int count = width * height;
    const size_t poolBytes = static_cast<size_t>(count) * sizeof(MvColor);
    MvLoadPool* const pool = CurrentPixelPool();
    MvColor* pixels = nullptr;
    if (pool != nullptr) {
        if (pool->Remaining() < poolBytes) {
            reader.FailAt(start, "the images hold more pixels than the file's tally");
            return nullptr;
        }
        pixels = static_cast<MvColor*>(pool->Alloc(poolBytes));
        if (pixels != nullptr)
            *flags |= MvPixelBlock::InPoolFlag;
    } else {
        pixels = new (std::nothrow) MvColor[count];
    }
    if (pixels == nullptr)
        reader.FailAt(start, "there is no memory for a pixel block of %d x %d pixels", width, height);
    return pixels;
}

// Reads the stored pixels row by row: one read per row, then the bytes red, green, blue
// (and alpha) spread into the engine's pixel layout. Stops at the reader's first error.
void ReadPixelRows(MvResourceReader& reader, MvColor* pixels, int width, int height, bool hasAlpha)
{
    const int bytesPerPixel = hasAlpha ? 4 : 3;
    std::vector<uint8_t> row(static_cast<size_t>(width) * bytesPerPixel);
    MvColor* out = pixels;
    for (int y = 0; y < height; ++y) {
        if (!reader.ReadBytes(row.data(), row.size()))
            break;
        const uint8_t* in = row.data();
        for (int x = 0; x < width; ++x, ++out, in += bytesPerPixel)
            out->Set(in[0], in[1], in[2], hasAlpha ? in[3] : 255);
    }
}

// One axis of a scaled walk: step, the 16.16 source pixels per target pixel, and the
// source position (whole pixel and fraction) under the first painted target pixel, which
// lies offset pixels into the bounds.
struct AxisWalk {
    AxisWalk(int sourceSize, int boundsSize, int offset)
        : step(static_cast<int64_t>(sourceSize) * 65536 / boundsSize), whole(static_cast<int>(offset * step >> 16)),
          fraction(offset * step & 0xFFFF)
    {
    }

    int64_t step;
    int whole;
    int64_t fraction;
};

} // namespace

MvPixelBlock::MvPixelBlock() : flags_(0), width_(0), height_(0), pixels_(nullptr), texture_(nullptr) { }

MvPixelBlock::~MvPixelBlock()
{
    delete texture_;
    if (!(flags_ & InPoolFlag))
        delete[] pixels_;
}

void MvPixelBlock::Create(int width, int height, bool hasAlpha)
{
    MvAssert(pixels_ == nullptr && width_ == 0 && height_ == 0);
    MvAssert(width >= 0 && width <= MaxSize && height >= 0 && height <= MaxSize);
    const int count = width * height;
    MvColor fill;
    fill.Set(0, 0, 0, hasAlpha ? 0 : 255);
    pixels_ = count > 0 ? new MvColor[count] : nullptr;
    std::fill(pixels_, pixels_ + count, fill);
    width_ = width;
    height_ = height;
    flags_ = hasAlpha ? HasAlphaFlag : 0;
}

void MvPixelBlock::CreateFromImage(const MvPaintTarget& source, int x, int y, int width, int height)
{
    MvAssert(pixels_ == nullptr && width_ == 0 && height_ == 0);
    MvAssert(x >= 0 && y >= 0 && width >= 0 && height >= 0);
    MvAssert(width <= MaxSize && height <= MaxSize);
    MvAssert(x + width <= source.Width() && y + height <= source.Height());
    const int count = width * height;
    pixels_ = count > 0 ? new MvColor[count] : nullptr;
    width_ = width;
    height_ = height;
    flags_ = 0;
    if (count == 0)
        return;
    MvSurfacePen pen(source);
    MvColor* out = pixels_;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column, ++out) {
            *out = pen.ReadColor(x + column, y + row);
            if (out->alpha != 255)
                flags_ |= HasAlphaFlag;
        }
    }
}

void MvPixelBlock::CreateFromRle(const MvRle& image)
{
    Create(image.Width(), image.Height(), true);
    int hotX, hotY;
    image.Unpack(pixels_, width_, &hotX, &hotY);
}

bool MvPixelBlock::Read(SDL_RWops* stream, const char* streamName)
{
    MvResourceReader reader(stream, streamName);
    return Read(reader);
}

bool MvPixelBlock::Read(MvResourceReader& reader)
{
    MvAssert(pixels_ == nullptr && width_ == 0 && height_ == 0);
    const long start = reader.Offset();
    uint32_t flags = 0;
    int32_t width = 0, height = 0;
    reader.ReadUint32(&flags);
    reader.ReadInt32(&width);
    reader.ReadInt32(&height);
    if (reader.Failed())
        return false;
    if (width < 0 || width > MaxSize || height < 0 || height > MaxSize)
        return reader.FailAt(start + 4, "the pixel block size %d x %d lies outside 0..%d", width, height, MaxSize);
    // Only the alpha bit belongs to the stored form; whether the pixels lie in a pool is
    // decided here, never by the file.
    const bool hasAlpha = (flags & HasAlphaFlag) != 0;
    const int bytesPerPixel = hasAlpha ? 4 : 3;
    const int count = width * height;
    const int64_t bytes = static_cast<int64_t>(count) * bytesPerPixel;
    if (bytes > reader.Remaining())
        return reader.Fail("the pixel block of %d x %d pixels needs %lld bytes, but the data ends early (%ld "
                           "bytes left)",
                           width, height, static_cast<long long>(bytes), reader.Remaining());

    MvColor* pixels = nullptr;
    uint32_t ownFlags = hasAlpha ? HasAlphaFlag : 0;
    if (count > 0) {
        pixels = NewPixels(reader, start, width, height, &ownFlags);
        if (pixels == nullptr)
            return false;
    }
    MvAddBlockPixels(count);
    if (count > 0)
        ReadPixelRows(reader, pixels, width, height, hasAlpha);
    if (reader.Failed()) {
        if (!(ownFlags & InPoolFlag))
            delete[] pixels;
        return false;
    }
    flags_ = ownFlags;
    width_ = width;
    height_ = height;
    pixels_ = pixels;
    return true;
}

bool MvPixelBlock::Write(SDL_RWops* stream) const
{
    MvAssert(stream != nullptr);
    MvLog("Writing tile size=(%d,%d) (", width_, height_);
    if (HasAlpha())
        MvLog("ALPHA ");
    MvLog(")\n");
    bool ok = MvWriteLE32(stream, flags_ & HasAlphaFlag);
    ok = MvWriteLE32(stream, static_cast<uint32_t>(width_)) && ok;
    ok = MvWriteLE32(stream, static_cast<uint32_t>(height_)) && ok;
    const int bytesPerPixel = HasAlpha() ? 4 : 3;
    std::vector<uint8_t> row(static_cast<size_t>(width_) * bytesPerPixel);
    const MvColor* in = pixels_;
    for (int y = 0; y < height_ && width_ > 0; ++y) {
        uint8_t* out = row.data();
        for (int x = 0; x < width_; ++x, ++in, out += bytesPerPixel) {
            out[0] = in->red;
            out[1] = in->green;
            out[2] = in->blue;
            if (bytesPerPixel == 4)
                out[3] = in->alpha;
        }
        ok = MvWriteBytes(stream, row.data(), row.size()) && ok;
    }
    return ok;
}

void MvPixelBlock::ComputeBounds(const MvTransform& xform, MvIntRect* bounds) const
{
    MvAssert(bounds != nullptr);
    bounds->Set(xform.x.RoundToInt(), xform.y.RoundToInt(),
                (xform.x + xform.xScale * MvFixed::FromInt(width_)).RoundToInt() - 1,
                (xform.y + xform.yScale * MvFixed::FromInt(height_)).RoundToInt() - 1);
}

void MvPixelBlock::Draw(const MvPaintTarget& paintInfo, const MvTransform& xform, bool flipVertical,
                        const MvColorXform& cform, const MvIntRect& clip, int quality, int openGLZ) const
{
    MvAssert(quality >= QualityNearest && quality <= QualityBest);
    if (paintInfo.IsOpenGL()) {
        DrawOpenGL(paintInfo, xform, cform, clip, flipVertical ? 4 : 0, openGLZ);
        return;
    }
    if (!xform.HasScale()) {
        DrawUnscaled(paintInfo, xform, flipVertical, cform, clip);
        return;
    }

    ScaledWalk walk;
    MvIntRect bounds;
    ComputeBounds(xform, &bounds);
    walk.painted = bounds;
    walk.painted.ClipTo(clip);
    if (!walk.painted.IsValid())
        return;
    const MvIntRect& painted = walk.painted;
    MvAssert(painted.left >= 0 && painted.top >= 0 && painted.right < paintInfo.Width() &&
             painted.bottom < paintInfo.Height());
    walk.boundsWidth = bounds.Width();
    walk.boundsHeight = bounds.Height();
    walk.dx = painted.left - bounds.left;
    walk.dy = painted.top - bounds.top;
    walk.blitter = paintInfo.PickBlitter(HasAlpha(), cform);
    if (walk.blitter == nullptr)
        return;

    const bool halfOrLess = xform.xScale.Raw() <= MvFixedOne / 2 && xform.yScale.Raw() <= MvFixedOne / 2;
    if (flipVertical || quality == QualityNearest)
        DrawNearest(paintInfo, walk, flipVertical, cform);
    else if (quality == QualityBest && halfOrLess)
        DrawBox(paintInfo, walk, cform);
    else
        DrawBilinear(paintInfo, walk, cform);
}

void MvPixelBlock::DrawUnscaled(const MvPaintTarget& paint, const MvTransform& xform, bool flipVertical,
                                const MvColorXform& cform, const MvIntRect& clip) const
{
    MvIntRect bounds;
    ComputeBounds(xform, &bounds);
    MvIntRect painted = bounds;
    painted.ClipTo(clip);
    if (!painted.IsValid())
        return;
    MvAssert(painted.left >= 0 && painted.top >= 0 && painted.right < paint.Width() && painted.bottom < paint.Height());
    const MvRunBlitter blitter = paint.PickBlitter(HasAlpha(), cform);
    if (blitter == nullptr)
        return;
    const int dx = painted.left - bounds.left;
    const int dy = painted.top - bounds.top;
    // A flipped block is walked upwards from its bottom row: the mirror costs nothing.
    const int rowStep = flipVertical ? -width_ : width_;
    const MvColor* source = pixels_ + (flipVertical ? height_ - 1 - dy : dy) * width_ + dx;
    uint8_t* target = paint.PixelAddress(painted.left, painted.top);
    const int count = painted.Width();
    for (int y = painted.top; y <= painted.bottom; ++y, source += rowStep, target += paint.Pitch())
        blitter(paint, target, source, count, cform);
}

void MvPixelBlock::DrawNearest(const MvPaintTarget& paint, const ScaledWalk& walk, bool flipVertical,
                               const MvColorXform& cform) const
{
    const AxisWalk across(width_, walk.boundsWidth, walk.dx);
    const AxisWalk down(height_, walk.boundsHeight, walk.dy);
    const int bytesPerPixel = paint.BytesPerPixel();
    int row = down.whole;
    int64_t yFraction = down.fraction;
    const MvIntRect& painted = walk.painted;
    for (int y = painted.top; y <= painted.bottom; ++y) {
        const int blockRow = flipVertical ? height_ - 1 - row : row;
        const MvColor* const source = pixels_ + blockRow * width_;
        int column = across.whole;
        int64_t xFraction = across.fraction;
        uint8_t* target = paint.PixelAddress(painted.left, y);
        for (int x = painted.left; x <= painted.right; ++x, target += bytesPerPixel) {
            walk.blitter(paint, target, source + column, 1, cform);
            Advance(column, xFraction, across.step);
        }
        Advance(row, yFraction, down.step);
    }
}

void MvPixelBlock::DrawBilinear(const MvPaintTarget& paint, const ScaledWalk& walk, const MvColorXform& cform) const
{
    // With these steps the last target pixel lies before the last source column or row,
    // so the right and lower neighbours exist, except in a block one pixel wide or high:
    // there the neighbour is the pixel itself (its weight is 0 anyway).
    const AxisWalk across(width_ - 1, walk.boundsWidth, walk.dx);
    const AxisWalk down(height_ - 1, walk.boundsHeight, walk.dy);
    const int bytesPerPixel = paint.BytesPerPixel();
    const int lastColumn = width_ - 1;
    int row = down.whole;
    int64_t yFraction = down.fraction;
    const MvIntRect& painted = walk.painted;
    for (int y = painted.top; y <= painted.bottom; ++y) {
        const MvColor* const upper = pixels_ + row * width_;
        const MvColor* const lower = pixels_ + std::min(row + 1, height_ - 1) * width_;
        const uint32_t fy = static_cast<uint32_t>(yFraction);
        int column = across.whole;
        int64_t xFraction = across.fraction;
        uint8_t* target = paint.PixelAddress(painted.left, y);
        for (int x = painted.left; x <= painted.right; ++x, target += bytesPerPixel) {
            const int next = std::min(column + 1, lastColumn);
            const uint8_t* tl = reinterpret_cast<const uint8_t*>(upper + column);
            const uint8_t* tr = reinterpret_cast<const uint8_t*>(upper + next);
            const uint8_t* bl = reinterpret_cast<const uint8_t*>(lower + column);
            const uint8_t* br = reinterpret_cast<const uint8_t*>(lower + next);
            const uint32_t fx = static_cast<uint32_t>(xFraction);
            MvColor mixed;
            uint8_t* out = reinterpret_cast<uint8_t*>(&mixed);
            // Weighted sums rounded once per stage: the weights add up to 65536, so an area
            // of one colour keeps it exactly (an opaque block stays opaque when enlarged).
            for (int channel = 0; channel < 4; ++channel) { // blue, green, red, alpha
                const uint32_t top = (tl[channel] * (65536 - fx) + tr[channel] * fx + 32768) >> 16;
                const uint32_t bottom = (bl[channel] * (65536 - fx) + br[channel] * fx + 32768) >> 16;
                out[channel] = static_cast<uint8_t>((top * (65536 - fy) + bottom * fy + 32768) >> 16);
            }
            walk.blitter(paint, target, &mixed, 1, cform);
            Advance(column, xFraction, across.step);
        }
        Advance(row, yFraction, down.step);
    }
}

void MvPixelBlock::DrawBox(const MvPaintTarget& paint, const ScaledWalk& walk, const MvColorXform& cform) const
{
    const AxisWalk across(width_, walk.boundsWidth, walk.dx);
    const AxisWalk down(height_, walk.boundsHeight, walk.dy);
    const int64_t xStep = across.step;
    const int64_t yStep = down.step;
    MvAssert(xStep >= 0x1000 && yStep >= 0x1000);
    const int bytesPerPixel = paint.BytesPerPixel();
    int row = down.whole;
    int64_t yFraction = down.fraction;
    const MvIntRect& painted = walk.painted;
    for (int y = painted.top; y <= painted.bottom; ++y) {
        const int boxHeight = static_cast<int>((yStep + yFraction) >> 16);
        int column = across.whole;
        int64_t xFraction = across.fraction;
        uint8_t* target = paint.PixelAddress(painted.left, y);
        for (int x = painted.left; x <= painted.right; ++x, target += bytesPerPixel) {
            const int boxWidth = static_cast<int>((xStep + xFraction) >> 16);
            // Transparent pixels have no colour to give: only visible ones are averaged.
            uint64_t sum[4] = {0, 0, 0, 0};
            uint64_t visible = 0;
            for (int r = row; r < row + boxHeight; ++r) {
                const MvColor* p = pixels_ + r * width_ + column;
                for (int c = 0; c < boxWidth; ++c, ++p) {
                    if (p->alpha == 0)
                        continue;
                    sum[0] += p->blue;
                    sum[1] += p->green;
                    sum[2] += p->red;
                    sum[3] += p->alpha;
                    ++visible;
                }
            }
            MvColor mixed;
            mixed.Set(0, 0, 0, 0);
            if (visible != 0) {
                MvAssert(sum[0] / visible <= 255 && sum[1] / visible <= 255 && sum[2] / visible <= 255 &&
                         sum[3] / visible <= 255);
                mixed.Set(static_cast<uint8_t>(sum[2] / visible), static_cast<uint8_t>(sum[1] / visible),
                          static_cast<uint8_t>(sum[0] / visible), static_cast<uint8_t>(sum[3] / visible));
            }
            MvAssert(HasAlpha() || mixed.alpha == 255);
            walk.blitter(paint, target, &mixed, 1, cform);
            Advance(column, xFraction, xStep);
        }
        Advance(row, yFraction, yStep);
    }
}

void MvPixelBlock::DrawOpenGL(const MvPaintTarget& paintInfo, const MvTransform& xform, const MvColorXform& cform,
                              const MvIntRect& clip, int orientation, int openGLZ) const
{
    (void)clip;
    MvAssert(paintInfo.IsOpenGL());
    MvAssert(orientation >= 0 && orientation <= 7);
    if (pixels_ == nullptr)
        return;
    if (texture_ == nullptr)
        texture_ = MvTextureManager::Instance()->NewTexture(pixels_, width_, height_);
    MvAssert(texture_ != nullptr);
    glBindTexture(GL_TEXTURE_2D, texture_->Name());
    ApplyToTextureEnv(cform, xform.HasScale(), *texture_);

    MvIntRect b;
    ComputeBounds(xform, &b);
    const int w = b.Width();
    const int h = b.Height();
    // Corners numbered top-left 0, top-right 1, bottom-right 2, bottom-left 3, for the
    // quad's vertices and the image's texture coordinates alike. Turning by o quarters
    // clockwise puts the image's corner k on vertex (k + o) mod 4; orientations 4 to 7 are
    // then mirrored top to bottom by exchanging the top and bottom vertices' coordinates.
    const GLint vertices[4][2] = {{b.left, b.top}, {b.left + w, b.top}, {b.left + w, b.top + h}, {b.left, b.top + h}};
    const GLfloat corners[4][2] = {{texture_->S0(), texture_->T0()},
                                   {texture_->S1(), texture_->T0()},
                                   {texture_->S1(), texture_->T1()},
                                   {texture_->S0(), texture_->T1()}};
    GLfloat coordinates[4][2];
    for (int k = 0; k < 4; ++k) {
        const int vertex = (k + orientation) % 4;
        coordinates[vertex][0] = corners[k][0];
        coordinates[vertex][1] = corners[k][1];
    }
    if (orientation > 3) {
        std::swap(coordinates[0], coordinates[3]);
        std::swap(coordinates[1], coordinates[2]);
    }
    glBegin(GL_QUADS);
    for (int vertex = 0; vertex < 4; ++vertex) {
        glTexCoord2f(coordinates[vertex][0], coordinates[vertex][1]);
        glVertex3i(vertices[vertex][0], vertices[vertex][1], openGLZ);
    }
    glEnd();
    MvAssert(glGetError() == GL_NO_ERROR);
}

void MvPixelBlock::RefreshTexture()
{
    if (texture_ != nullptr && pixels_ != nullptr)
        MvTextureManager::Instance()->UpdateTexture(*texture_, pixels_, width_, height_);
}
