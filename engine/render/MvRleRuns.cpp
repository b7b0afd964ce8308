#include "MvRleRuns.h"

#include "MvAssert.h"
#include "MvColorXform.h"
#include "MvPaintTarget.h"
#include "MvRle.h"

namespace {

// A stretch of a segment's pixels, first to last - 1.
struct Stretch {
    int first;
    int last;
};

// The stretches of at least MvRleRuns::MinOpaqueLength opaque pixels among count pixels.
void FindOpaqueStretches(const MvColor* pixels, int count, std::vector<Stretch>* opaque)
{
    opaque->clear();
    for (int i = 0; i < count;) {
        int j = i;
        while (j < count && pixels[j].alpha == 255)
            ++j;
        if (j - i >= MvRleRuns::MinOpaqueLength)
            opaque->push_back({i, j});
        i = j + 1;
    }
}

// Takes need pixels from an opaque stretch if it stays at least MinOpaqueLength long:
// from its start (fromStart) or its end. Returns whether it could.
bool Lend(Stretch* opaque, int need, bool fromStart)
{
    if (opaque->last - opaque->first - need < MvRleRuns::MinOpaqueLength)
        return false;
    if (fromStart)
        opaque->first += need;
    else
        opaque->last -= need;
    return true;
}

} // namespace

MvRleRuns::MvRleRuns(const MvRle& image)
    : height_(image.Height()), pixelCount_(image.PixelCount()), packedMasks_{0, 0, 0}
{
    MvAssert(height_ > 0);
    CutRows(image, CutBy8, 8);
    // Only translucent segments are cut, and filled to their step.
    const Cut by4 = image.HasAlpha() ? CutBy4 : CutBy8;
    if (by4 == CutBy4)
        CutRows(image, CutBy4, 4);
    cutRuns_[CutBy4] = runs_[by4].data();
    cutRowStarts_[CutBy4] = rowStarts_[by4].data();
    cutRuns_[CutBy8] = runs_[CutBy8].data();
    cutRowStarts_[CutBy8] = rowStarts_[CutBy8].data();
}

void MvRleRuns::CutRows(const MvRle& image, Cut cut, int step)
{
    std::vector<Run>& runs = runs_[cut];
    std::vector<int32_t>& rowStarts = rowStarts_[cut];
    const int height = image.Height();
    rowStarts.reserve(static_cast<size_t>(height) + 1);
    runs.reserve(static_cast<size_t>(image.SegmentCount()));
    int32_t pixelIndex = 0;   // of the next segment's first pixel, row after row
    int32_t segmentPixel = 0; // of this segment's first pixel
    // Adds the run of columns first to last - 1 of segment.
    auto add = [&](const MvRleSegment& segment, int first, int last, bool translucent) {
        runs.push_back({static_cast<uint16_t>(segment.start + first), static_cast<uint16_t>(segment.start + last - 1),
                        {static_cast<uint8_t>(translucent ? 1 : 0), static_cast<uint8_t>(segment.HasAlpha() ? 1 : 0)},
                        segment.pixels + first, segmentPixel + first});
    };
    std::vector<Stretch> opaque;
    for (int k = 0; k < height; ++k) {
        rowStarts.push_back(static_cast<int32_t>(runs.size()));
        const MvRleLine& line = image.Row(k);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            const int count = segment.Length();
            segmentPixel = pixelIndex;
            pixelIndex += count;
            if (!segment.HasAlpha()) {
                add(segment, 0, count, false);
                continue;
            }
            // The translucent pieces lie between the opaque stretches. Each is lengthened
            // to a multiple of step with opaque pixels of a neighbour that can spare them,
            // which it paints unblended all the same.
            FindOpaqueStretches(segment.pixels, count, &opaque);
            const int n = static_cast<int>(opaque.size());
            for (int o = 0; o <= n; ++o) {
                const int first = o == 0 ? 0 : opaque[o - 1].last;
                const int last = o == n ? count : opaque[o].first;
                const int need = (step - (last - first) % step) % step;
                if (last == first || need == 0)
                    continue;
                if (!(o < n && Lend(&opaque[o], need, true)) && o > 0)
                    Lend(&opaque[o - 1], need, false);
            }
            int next = 0;
            for (const Stretch& stretch : opaque) {
                if (stretch.first > next)
                    add(segment, next, stretch.first, true);
                add(segment, stretch.first, stretch.last, false);
                next = stretch.last;
            }
            if (next < count)
                add(segment, next, count, true);
        }
    }
    rowStarts.push_back(static_cast<int32_t>(runs.size()));
}

const uint16_t* MvRleRuns::Packed16(const MvPaintTarget& paint) const
{
    MvAssert(paint.BytesPerPixel() == 2);
    const uint32_t masks[3] = {paint.redMask, paint.greenMask, paint.blueMask};
    if (packed_.size() != static_cast<size_t>(pixelCount_) || masks[0] != packedMasks_[0] ||
        masks[1] != packedMasks_[1] || masks[2] != packedMasks_[2]) {
        packed_.resize(static_cast<size_t>(pixelCount_));
        const MvRunBlitter opaque = paint.Blitter(MvBlitSimpleNoAlpha);
        const MvColorXform identity;
        for (const Run& run : runs_[CutBy8])
            opaque(paint, reinterpret_cast<uint8_t*>(packed_.data() + run.packed), run.pixels,
                   run.end - run.start + 1, identity);
        for (int ch = 0; ch < 3; ++ch)
            packedMasks_[ch] = masks[ch];
    }
    return packed_.data();
}
