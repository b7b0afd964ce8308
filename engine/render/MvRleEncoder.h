#ifndef MV_RLE_ENCODER_H
#define MV_RLE_ENCODER_H

#include "MvFixed.h"

class MvPaintTarget;
class MvRle;

/// Turns a picture into the runs of an MvRle: the rectangle is trimmed to the columns and
/// rows that hold a visible pixel (alpha above 0), then every row is cut into runs of
/// visible pixels. Images made from pictures are held to the stored form's limits; a
/// scaled copy, made by unpacking, scaling and encoding again, is not, so that any image
/// read from a file can be copied.
class MvRleEncoder {
public:
    /// Encodes the rectangle (x, y, width, height) of source into image, which must be
    /// empty, with the hot spot at (hotX, hotY) and the given delta. With storedLimits the
    /// runs per row and the run lengths are asserted to fit what Create accepts; without,
    /// only the column range of the trimmed picture is. Returns false for a fully
    /// transparent rectangle, which leaves image empty but placed. Asserts the rectangle
    /// lies inside the source.
    static bool Encode(MvRle* image, const MvPaintTarget& source, int x, int y, int width, int height, int hotX,
                       int hotY, int deltaX, int deltaY, bool storedLimits);

    /// A new image, owned by the caller, that is image drawn at (xScale, yScale); see
    /// MvRle::MakeScaledCopy, which asserts the scales.
    static MvRle* MakeScaledCopy(const MvRle& image, MvFixed xScale, MvFixed yScale);
};

#endif
