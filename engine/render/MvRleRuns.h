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
/// when the image is filled and kept beside its rows; the pixels stay the segments'. Opaque stretches shorter than
/// MinOpaqueLength stay inside their translucent piece, where a call of their own would
/// cost more than it saves, and translucent pieces take opaque pixels from their
/// neighbours to fill the wide blitters' steps. For 16-bit targets the opaque runs' pixels can also be kept
/// converted to the target's format, as its own opaque blitter writes them, so that
/// drawing them is a copy; they cost two bytes a pixel and are made on first use. Internal
/// to the render code.
class MvRleRuns {
public:
    /// One run: the inclusive columns start to end, which blitter it takes without and
    /// with a transform alpha (0 the opaque one, 1 the translucent one: with a transform
    /// alpha an opaque piece of a translucent segment keeps its segment's blitter, as the
    /// weights differ), its first pixel, and for an opaque piece where its converted pixels
    /// start.
    struct Run {
        uint16_t start;
        uint16_t end;
        uint8_t blitter[2];
        const MvColor* pixels;
        int32_t packed;
    };

    enum {
        MinOpaqueLength = 8, ///< the shortest stretch of opaque pixels cut out as a run
        TranslucentStep = 8  ///< the pixels a wide blitter blends in one step
    };

    /// Cuts the rows of image. Asserts the image has rows.
    explicit MvRleRuns(const MvRle& image);

    /// The runs of row k, sorted by column. Asserts 0 <= k < the image's height.
    ///@{
    const Run* RowBegin(int k) const;
    const Run* RowEnd(int k) const;
    ///@}
    /// All runs of the image.
    int RunCount() const;
    /// The runs of every row, row after row, and where each row's start: those of row k
    /// are Runs()[RowStarts()[k]] up to Runs()[RowStarts()[k + 1]], for loops that keep to
    /// the image's rows themselves.
    ///@{
    const Run* Runs() const;
    const int32_t* RowStarts() const;
    ///@}

    /// The opaque runs' pixels as paint's opaque blitter without a transform writes them,
    /// each run's from its packed index on; made again whenever paint's channel masks
    /// differ from those of the last call. Asserts paint has 2 bytes per pixel.
    const uint16_t* Packed16(const MvPaintTarget& paint) const;

private:
    std::vector<Run> runs_;
    std::vector<int32_t> firstRun_; ///< per row, then the run count
    int32_t opaquePixels_;          ///< pixels in opaque runs
    mutable std::vector<uint16_t> packed_; ///< opaque runs' pixels converted for packedMasks_
    mutable uint32_t packedMasks_[3];      ///< red, green and blue mask packed_ was made for
};

inline int MvRleRuns::RunCount() const { return static_cast<int>(runs_.size()); }

inline const MvRleRuns::Run* MvRleRuns::Runs() const { return runs_.data(); }
inline const int32_t* MvRleRuns::RowStarts() const { return firstRun_.data(); }

inline const MvRleRuns::Run* MvRleRuns::RowBegin(int k) const
{
    MvAssert(k >= 0 && k + 1 < static_cast<int>(firstRun_.size()));
    return runs_.data() + firstRun_[k];
}

inline const MvRleRuns::Run* MvRleRuns::RowEnd(int k) const
{
    MvAssert(k >= 0 && k + 1 < static_cast<int>(firstRun_.size()));
    return runs_.data() + firstRun_[k + 1];
}

#endif
