#ifndef MV_RLE_RUNS_H
#define MV_RLE_RUNS_H

#include "MvAssert.h"
#include "MvColor.h"

#include <cstdint>
#include <vector>

class MvPaintTarget;
class MvRle;

/// The runs an image is painted by: its segments, with every translucent one cut into
/// pieces of fully opaque pixels and pieces holding the rest, so that without a transform
/// alpha opaque pixels go through the cheaper unblended blitter of their kind. Made once
/// when the image is filled and kept beside its rows; the pixels stay the segments'.
/// Opaque stretches shorter than MinOpaqueLength stay inside their translucent piece,
/// where a call of their own would cost more than it saves, and translucent pieces take
/// opaque pixels from their neighbours to fill whole steps of a wide blitter; as the
/// blitters step by 4 or by 8 pixels, the rows are cut once for each (an opaque image has
/// one cut, its segments, serving both). For 16-bit targets
/// the pixels can also be kept converted to the target's format, as its own opaque blitter
/// writes them, so that drawing opaque runs is a copy; they cost two bytes a pixel and are
/// made on first use. Internal to the render code.
class MvRleRuns {
public:
    /// One run: the inclusive columns start to end, which blitter it takes without and
    /// with a transform alpha (0 the opaque one, 1 the translucent one: with a transform
    /// alpha an opaque piece of a translucent segment keeps its segment's blitter, as the
    /// weights differ), its first pixel, and the index of that pixel among the image's
    /// pixels, row after row (where its converted pixels start).
    struct Run {
        uint16_t start;
        uint16_t end;
        uint8_t blitter[2];
        const MvColor* pixels;
        int32_t packed;
    };

    /// The two cuts, by the step their translucent pieces are filled to.
    enum Cut { CutBy4, CutBy8, CutCount };

    enum {
        MinOpaqueLength = 8 ///< the shortest stretch of opaque pixels cut out as a run
    };

    /// Cuts the rows of image both ways. Asserts the image has rows.
    explicit MvRleRuns(const MvRle& image);

    /// The runs of row k in cut, sorted by column. Asserts 0 <= k < the image's height.
    ///@{
    const Run* RowBegin(Cut cut, int k) const;
    const Run* RowEnd(Cut cut, int k) const;
    ///@}
    /// The runs of every row in cut, row after row, and where each row's start: those of
    /// row k are Runs()[RowStarts()[k]] up to Runs()[RowStarts()[k + 1]], for loops that
    /// keep to the image's rows themselves.
    ///@{
    const Run* Runs(Cut cut) const;
    const int32_t* RowStarts(Cut cut) const;
    ///@}

    /// The image's pixels, row after row, as paint's opaque blitter without a transform
    /// writes them (Run::packed indexes them); made again whenever paint's channel masks
    /// differ from those of the last call. Asserts paint has 2 bytes per pixel.
    const uint16_t* Packed16(const MvPaintTarget& paint) const;

private:
    void CutRows(const MvRle& image, Cut cut, int step);

    std::vector<Run> runs_[CutCount];
    std::vector<int32_t> rowStarts_[CutCount]; ///< per row, then the run count
    const Run* cutRuns_[CutCount];             ///< the runs of each cut, shared when they are alike
    const int32_t* cutRowStarts_[CutCount];    ///< and their row starts
    int32_t height_;
    int32_t pixelCount_;
    mutable std::vector<uint16_t> packed_; ///< the pixels converted for packedMasks_
    mutable uint32_t packedMasks_[3];      ///< red, green and blue mask packed_ was made for
};

inline const MvRleRuns::Run* MvRleRuns::Runs(Cut cut) const { return cutRuns_[cut]; }
inline const int32_t* MvRleRuns::RowStarts(Cut cut) const { return cutRowStarts_[cut]; }

inline const MvRleRuns::Run* MvRleRuns::RowBegin(Cut cut, int k) const
{
    MvAssert(k >= 0 && k < height_);
    return cutRuns_[cut] + cutRowStarts_[cut][k];
}

inline const MvRleRuns::Run* MvRleRuns::RowEnd(Cut cut, int k) const
{
    MvAssert(k >= 0 && k < height_);
    return cutRuns_[cut] + cutRowStarts_[cut][k + 1];
}

#endif
