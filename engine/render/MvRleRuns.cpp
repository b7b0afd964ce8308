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

MvRleRuns::MvRleRuns(const MvRle& image) : opaquePixels_(0), packedMasks_{0, 0, 0}
{
    const int height = image.Height();
    MvAssert(height > 0);
    firstRun_.reserve(static_cast<size_t>(height) + 1);
    runs_.reserve(static_cast<size_t>(image.SegmentCount()));
    // Adds the run of columns first to last - 1 of segment.
    auto add = [this](const MvRleSegment& segment, int first, int last, bool translucent) {
        const uint8_t inSegment = segment.HasAlpha() ? 1 : 0;
        runs_.push_back({static_cast<uint16_t>(segment.start + first), static_cast<uint16_t>(segment.start + last - 1),
                         {static_cast<uint8_t>(translucent ? 1 : 0), inSegment}, segment.pixels + first,
                         translucent ? -1 : opaquePixels_});
        if (!translucent)
            opaquePixels_ += last - first;
    };
    std::vector<Stretch> opaque;
    for (int k = 0; k < height; ++k) {
        firstRun_.push_back(static_cast<int32_t>(runs_.size()));
        const MvRleLine& line = image.Row(k);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            const int count = segment.Length();
            if (!segment.HasAlpha()) {
                add(segment, 0, count, false);
                continue;
            }
            // The translucent pieces lie between the opaque stretches. Each is lengthened
            // to a multiple of TranslucentStep with opaque pixels of a neighbour that can
            // spare them, which it paints unblended all the same.
            FindOpaqueStretches(segment.pixels, count, &opaque);
            const int n = static_cast<int>(opaque.size());
            for (int o = 0; o <= n; ++o) {
                const int first = o == 0 ? 0 : opaque[o - 1].last;
                const int last = o == n ? count : opaque[o].first;
                const int need = (TranslucentStep - (last - first) % TranslucentStep) % TranslucentStep;
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
    firstRun_.push_back(static_cast<int32_t>(runs_.size()));
}

const uint16_t* MvRleRuns::Packed16(const MvPaintTarget& paint) const
{
    MvAssert(paint.BytesPerPixel() == 2);
    const uint32_t masks[3] = {paint.redMask, paint.greenMask, paint.blueMask};
    if (packed_.size() != static_cast<size_t>(opaquePixels_) || masks[0] != packedMasks_[0] ||
        masks[1] != packedMasks_[1] || masks[2] != packedMasks_[2]) {
        packed_.resize(static_cast<size_t>(opaquePixels_));
        const MvRunBlitter opaque = paint.Blitter(MvBlitSimpleNoAlpha);
        const MvColorXform identity;
        for (const Run& run : runs_) {
            if (!run.blitter[0])
                opaque(paint, reinterpret_cast<uint8_t*>(packed_.data() + run.packed), run.pixels,
                       run.end - run.start + 1, identity);
        }
        for (int ch = 0; ch < 3; ++ch)
            packedMasks_[ch] = masks[ch];
    }
    return packed_.data();
}
