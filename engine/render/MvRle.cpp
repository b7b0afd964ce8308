#include "MvRle.h"

#include "MvCollisionMask.h"
#include "MvPaintTarget.h"
#include "MvResourceReader.h"
#include "MvRleEncoder.h"
#include "MvRleFile.h"
#include "MvRlePainter.h"
#include "MvRleRuns.h"
#include "MvTextureRef.h"

#include <cstring>

MvRle::MvRle()
    : flags_(0), rows_(nullptr), offsetX_(0), offsetY_(0), width_(0), height_(0), deltaX_(0), deltaY_(0),
      collisionMask_(nullptr), runs_(nullptr), texture_(nullptr)
{
}

MvRle::~MvRle() { Release(); }

void MvRle::Release()
{
    delete collisionMask_;
    collisionMask_ = nullptr;
    delete texture_;
    texture_ = nullptr;
    delete runs_;
    runs_ = nullptr;
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
    MvAssert(rows_ == nullptr && width_ == 0 && height_ == 0);
    if (!MvRleEncoder::Encode(this, source, x, y, width, height, hotX, hotY, deltaX, deltaY, true))
        return;
    CutRuns();
    MvAssert(offsetX_ >= -MaxWrittenOffset && offsetX_ <= MaxWrittenOffset);
    MvAssert(offsetY_ >= -MaxWrittenOffset && offsetY_ <= MaxWrittenOffset);
}

bool MvRle::Read(SDL_RWops* stream, const char* streamName)
{
    MvResourceReader reader(stream, streamName);
    return Read(reader);
}

bool MvRle::Read(MvResourceReader& reader)
{
    MvAssert(rows_ == nullptr && width_ == 0 && height_ == 0);
    if (!MvRleFile::Read(this, reader))
        return false;
    CutRuns();
    return true;
}

void MvRle::CutRuns()
{
    MvAssert(runs_ == nullptr);
    if (height_ > 0)
        runs_ = new MvRleRuns(*this);
}

bool MvRle::Write(SDL_RWops* stream) const
{
    MvAssert(stream != nullptr);
    MvAssert(offsetX_ >= -MaxWrittenOffset && offsetX_ <= MaxWrittenOffset);
    MvAssert(offsetY_ >= -MaxWrittenOffset && offsetY_ <= MaxWrittenOffset);
    MvAssert(width_ <= MaxSize && height_ <= MaxSize);
    return MvRleFile::Write(*this, stream);
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
    MvIntRect bounds;
    ComputeBounds(t, &bounds);
    // Scaled below one pixel across or down, the image covers nothing.
    if (!bounds.IsValid())
        return;
    if (paint.IsOpenGL()) {
        if (texture_ == nullptr)
            texture_ = MvRlePainter::MakeTexture(*this);
        MvRlePainter::DrawTextured(*texture_, bounds, cx, t.HasScale(), openGLZ);
        return;
    }
    MvIntRect visible = bounds;
    visible.ClipTo(clip);
    if (!visible.IsValid())
        return;
    MvAssert(visible.left >= 0 && visible.top >= 0 && visible.right < paint.Width() && visible.bottom < paint.Height());
    if (t.HasScale())
        MvRlePainter::PaintScaled(*this, paint, cx, bounds, visible);
    else
        MvRlePainter::Paint(*this, paint, cx, bounds, visible);
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
    MvRle* const copy = MvRleEncoder::MakeScaledCopy(*this, xScale, yScale);
    copy->CutRuns();
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
