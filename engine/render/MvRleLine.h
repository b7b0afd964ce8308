#ifndef MV_RLE_LINE_H
#define MV_RLE_LINE_H

#include "MvRleSegment.h"

#include <cstdint>

/// One row of a run-length encoded image: its runs of visible pixels, sorted by column,
/// apart from each other by at least one transparent column. A fully transparent row has
/// no segments. The segment array is freed with the row unless it was taken from a load
/// pool; the segments themselves are always finished, so pixels they own are freed either
/// way.
class MvRleLine {
public:
    /// An empty row: flags 0, no segments.
    MvRleLine();
    /// Finishes the segments and frees their array unless MvRleInPool is set.
    ~MvRleLine();

    MvRleLine(const MvRleLine&) = delete;
    MvRleLine& operator=(const MvRleLine&) = delete;

    /// Some segment of the row has alpha below 255.
    bool HasAlpha() const;

    uint32_t flags; ///< MvRleHasAlpha and MvRleInPool, as they apply
    int32_t segmentCount; ///< number of runs, 0 for a fully transparent row
    MvRleSegment* segments; ///< segmentCount runs, or null
};

inline bool MvRleLine::HasAlpha() const { return (flags & MvRleHasAlpha) != 0; }

#endif
