#include "MvRleEncoder.h"

#include "MvAssert.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvRle.h"
#include "MvSurfacePen.h"

#include <vector>

namespace {

// Create's limits, under the names its checks print.
constexpr int MaxSegmentLength = MvRle::MaxSegmentLength;
constexpr int MaxCreatedSegmentsPerRow = MvRle::MaxCreatedSegmentsPerRow;

// The columns c0 to c1 and rows r0 to r1 (inclusive) of a picture that hold a visible pixel.
struct VisibleArea {
    int c0, c1, r0, r1;
};

// Trims the rectangle (x, y, width, height) to its visible pixels; false when it has none.
bool TrimToVisible(const MvSurfacePen& pen, int x, int y, int width, int height, VisibleArea* area)
{
    if (height == 0)
        return false; // a rectangle without rows has no column to look at
    const int bottom = y + height - 1;
    int c0 = x;
    while (c0 < x + width && pen.CountTransparentInColumn(c0, y, bottom) == height)
        ++c0;
    if (c0 == x + width)
        return false;
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
    *area = {c0, c1, r0, r1};
    return true;
}

// The first and last column of each run of visible pixels in columns c0 to c1 of row.
void FindRuns(const MvSurfacePen& pen, int row, int c0, int c1, std::vector<int>* runs)
{
    runs->clear();
    int col = c0;
    while (col <= c1) {
        col += pen.CountTransparentInRow(row, col, c1);
        if (col > c1)
            break;
        const int visible = pen.CountVisibleInRow(row, col, c1);
        runs->push_back(col);
        runs->push_back(col + visible - 1);
        col += visible;
    }
}

// Fills line with the runs of row, columns measured from c0; runs holds their first and
// last columns.
void EncodeRow(const MvSurfacePen& pen, int row, int c0, const std::vector<int>& runs, bool storedLimits,
               MvRleLine* line)
{
    const int count = static_cast<int>(runs.size() / 2);
    MvAssert(!storedLimits || count <= MaxCreatedSegmentsPerRow);
    if (count == 0)
        return;
    line->segments = new MvRleSegment[count];
    line->segmentCount = count;
    for (int s = 0; s < count; ++s) {
        MvRleSegment& segment = line->segments[s];
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
        line->flags |= segment.flags & MvRleHasAlpha;
    }
}

} // namespace

bool MvRleEncoder::Encode(MvRle* image, const MvPaintTarget& source, int x, int y, int width, int height, int hotX,
                          int hotY, int deltaX, int deltaY, bool storedLimits)
{
    MvAssert(x >= 0 && y >= 0 && width >= 0 && height >= 0);
    MvAssert(x + width <= source.Width() && y + height <= source.Height());
    MvSurfacePen pen(source);
    image->deltaX_ = deltaX;
    image->deltaY_ = deltaY;

    VisibleArea area;
    if (!TrimToVisible(pen, x, y, width, height, &area)) {
        image->offsetX_ = x + width - hotX;
        image->offsetY_ = -hotY;
        return false;
    }
    image->width_ = area.c1 - area.c0 + 1;
    image->height_ = area.r1 - area.r0 + 1;
    image->rows_ = new MvRleLine[image->height_];
    std::vector<int> runs;
    for (int k = 0; k < image->height_; ++k) {
        const int row = area.r0 + k;
        FindRuns(pen, row, area.c0, area.c1, &runs);
        EncodeRow(pen, row, area.c0, runs, storedLimits, &image->rows_[k]);
        image->flags_ |= image->rows_[k].flags & MvRleHasAlpha;
    }
    image->offsetX_ = area.c0 - hotX;
    image->offsetY_ = area.r0 - hotY;
    return true;
}

MvRle* MvRleEncoder::MakeScaledCopy(const MvRle& image, MvFixed xScale, MvFixed yScale)
{
    // The hot spot and the delta scale with the picture. The hot spot's place in the
    // scaled picture is what the encoder needs to give the copy its offset.
    const int hotX = (-xScale * MvFixed::FromInt(image.OffsetX())).RoundToInt();
    const int hotY = (-yScale * MvFixed::FromInt(image.OffsetY())).RoundToInt();
    const int deltaX = (xScale * MvFixed::FromInt(image.DeltaX())).RoundToInt();
    const int deltaY = (yScale * MvFixed::FromInt(image.DeltaY())).RoundToInt();
    MvRle* copy = new MvRle;

    const MvTransform scaled = MvTransform::Scaled(xScale, yScale);
    // The frame's pixels in full, the working surface that is drawn scaled.
    MvPixelBlock source;
    MvIntRect bounds;
    bounds.SetEmpty();
    if (image.Height() > 0) {
        source.CreateFromRle(image);
        source.ComputeBounds(scaled, &bounds);
    }
    if (image.Height() == 0 || !bounds.IsValid()) {
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
    MvPixelBlock block;
    block.Create(width, height, true);
    MvPaintTarget target(block.Pixels(), width, height);
    source.Draw(target, scaled, false, MvColorXform(), MvMakeRect(0, 0, width - 1, height - 1),
                MvPixelBlock::QualityBest, 0);
    Encode(copy, target, 0, 0, width, height, hotX, hotY, deltaX, deltaY, false);
    return copy;
}
