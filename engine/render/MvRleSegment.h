#ifndef MV_RLE_SEGMENT_H
#define MV_RLE_SEGMENT_H

#include "MvColor.h"

#include <cstdint>

/// @file
/// The flag bits of run-length encoded images and MvRleSegment, one run of visible pixels.

/// Flag bits of MvRle, MvRleLine and MvRleSegment: some pixel below them has alpha below
/// 255; their array lies in a load pool and is not theirs to free (a run-time mark, never
/// stored).
enum MvRleFlags : uint32_t { MvRleHasAlpha = 1, MvRleInPool = 2 };

/// One run of visible pixels in a row of a run-length encoded image: the inclusive columns
/// start to end, relative to the image's left edge, and their colours. Transparent pixels
/// are never stored, so drawing walks runs without testing pixels. The pixel array is freed
/// with the segment unless it was taken from a load pool.
class MvRleSegment {
public:
    /// An empty run: flags 0, columns 0, no pixels.
    MvRleSegment();
    /// Frees the pixels unless MvRleInPool is set.
    ~MvRleSegment();

    MvRleSegment(const MvRleSegment&) = delete;
    MvRleSegment& operator=(const MvRleSegment&) = delete;

    /// end - start + 1.
    int Length() const;
    /// Some pixel of the run has alpha below 255.
    bool HasAlpha() const;

    uint32_t flags; ///< MvRleHasAlpha and MvRleInPool, as they apply
    uint16_t start; ///< the first column of the run
    uint16_t end; ///< the last column of the run (inclusive)
    MvColor* pixels; ///< Length() colours
};

inline int MvRleSegment::Length() const { return end - start + 1; }
inline bool MvRleSegment::HasAlpha() const { return (flags & MvRleHasAlpha) != 0; }

#endif
