#ifndef MV_RLE_H
#define MV_RLE_H

#include "MvAssert.h"
#include "MvColorXform.h"
#include "MvIntRect.h"
#include "MvRleLine.h"
#include "MvTransform.h"

#include <SDL.h>

#include <cstdint>

class MvCollisionMask;
class MvTextureRef;
class MvPaintTarget;
class MvResourceReader;
class MvRleRuns;

/// A true-colour image with alpha, stored as rows of runs of visible pixels (MvRleLine,
/// MvRleSegment): every sprite frame is one. Transparent pixels are not stored, so drawing
/// only walks runs and paints each through one blitter call, choosing the blitter by the
/// run's alpha flag; for drawing, translucent runs are also kept cut into opaque and
/// translucent pieces (MvRleRuns), so opaque pixels are not blended. Hit tests only look
/// at the runs. The image knows where its top-left pixel lies relative to its hot spot
/// (the point a sprite's position designates) and the delta a sprite moves by when it
/// steps past this frame. Stored in resource files as a small header and a bit-packed
/// stream in which every channel takes only the bits its value range over the image
/// needs. An image is made empty and filled once, by Create or Read; images read during a
/// load keep their rows, segments and pixels in the vault's load pools and must not
/// outlive the vault. The work is done by MvRleEncoder (pictures to runs), MvRleFile (the
/// stored form) and MvRlePainter (drawing); the image holds the runs and answers for their
/// invariants.
class MvRle {
public:
    /// Limits of the stored form and of Create.
    enum {
        MaxSegmentLength = 1999,        ///< pixels in one segment
        MaxSegmentsPerRow = 1999,       ///< segments in one stored row
        MaxCreatedSegmentsPerRow = 199, ///< segments in one row made by Create
        MaxSize = 4000,                 ///< width and height of a stored image
        MaxReadOffset = 4000,           ///< offsets of a stored image
        MaxWrittenOffset = 3999         ///< offsets that Create makes and Write accepts
    };

    /// An empty image: no rows, every number 0.
    MvRle();
    /// Frees what the image owns; storage from a load pool stays the pool's.
    ~MvRle();

    MvRle(const MvRle&) = delete;
    MvRle& operator=(const MvRle&) = delete;

    /// Encodes the rectangle (x, y, width, height) of source, trimmed to its visible
    /// pixels (alpha above 0), with the hot spot at (hotX, hotY) and the given delta, both
    /// in source coordinates. A fully transparent rectangle gives an empty image. Asserts
    /// the image is empty, the rectangle lies inside the source, no run is longer than
    /// MaxSegmentLength, no row has more than MaxCreatedSegmentsPerRow runs, and the
    /// offsets lie within +-MaxWrittenOffset.
    void Create(const MvPaintTarget& source, int x, int y, int width, int height, int hotX, int hotY, int deltaX,
                int deltaY);

    /// Reads the stored form. Storage comes from the current load pools while a load is
    /// under way. Values out of range, a pool too small, or data that ends early set the
    /// reader's error and leave the image empty. Returns true when the image was read and
    /// has at least one row. Asserts the image is empty.
    bool Read(MvResourceReader& reader);
    /// Read from stream, left just after the image. streamName names it in messages.
    bool Read(SDL_RWops* stream, const char* streamName = "stream");

    /// Writes the stored form and logs its size. Returns true when every byte reached the
    /// stream. Asserts the offsets lie within +-MaxWrittenOffset.
    bool Write(SDL_RWops* stream) const;

    /// The screen rectangle the image covers with its hot spot placed by t (scaled when t
    /// has a scale); not valid when the image is empty or scaled below one pixel across or
    /// down.
    void ComputeBounds(const MvTransform& t, MvIntRect* bounds) const;

    /// Paints the image with its hot spot at t's position, through cx, inside clip; scaled
    /// (nearest neighbour) when t has a scale. An image that covers no pixel under t paints
    /// nothing, on either kind of target. On an OpenGL target the image is drawn
    /// instead as one textured quad at depth openGLZ, made into a texture on its first such
    /// draw and kept until the image is destroyed; clip is not used there (OpenGL clips to
    /// the window). Asserts the painted rectangle lies inside a software target, and
    /// 1 <= openGLZ <= 50000 on an OpenGL one.
    void Draw(const MvPaintTarget& paint, const MvTransform& t, const MvColorXform& cx, const MvIntRect& clip,
              int openGLZ) const;

    /// True when a visible pixel lies at (x, y), measured from the hot spot.
    bool HitTest(int x, int y) const;

    /// The image's collision bit map, made on the first call and kept until the image is
    /// destroyed; xScale and yScale are the scale the image was made at (1.0 for a frame
    /// itself, the pair of a scaled copy). Asserts every later call passes the same pair.
    MvCollisionMask* GetCollisionMask(MvFixed xScale, MvFixed yScale);

    /// Writes the image's pixels into pixels, a picture of at least Width() x Height()
    /// MvColors with pitch MvColors a row: every stored run to its row and columns; the
    /// pixels between runs are left as they are (clear them first for transparent black).
    /// *hotX and *hotY receive the hot spot's place in the picture. Asserts hotX and hotY
    /// are not null and, when the image has rows, pixels is not null and pitch >= Width().
    void Unpack(MvColor* pixels, int pitch, int* hotX, int* hotY) const;

    /// A new image, owned by the caller, that is this image drawn at (xScale, yScale):
    /// the frame is unpacked into a pixel block, drawn scaled into another by averaging
    /// boxes when both scales are at most 0.5 and bilinearly otherwise, and encoded again
    /// with the offset and delta scaled and rounded. The copy keeps as many and as long
    /// runs as the scaled picture has, even beyond what Create accepts from a picture, so
    /// that any image read from a file can be copied. Asserts both scales are above 0 and
    /// the scaled size is at most MvPixelBlock::MaxSize (always so for scales up to 4.0,
    /// as stored images are at most MaxSize wide and high).
    MvRle* MakeScaledCopy(MvFixed xScale, MvFixed yScale) const;

    /// The size of the picture trimmed to its visible pixels (0 for an empty image).
    ///@{
    int Width() const;
    int Height() const;
    ///@}
    /// Position of the top-left pixel relative to the hot spot.
    ///@{
    int OffsetX() const;
    int OffsetY() const;
    ///@}
    /// The move a sprite makes when it steps past this frame.
    ///@{
    int DeltaX() const;
    int DeltaY() const;
    ///@}
    /// MvRleHasAlpha and MvRleInPool, as they apply.
    uint32_t Flags() const;
    /// Some pixel has alpha below 255.
    bool HasAlpha() const;
    /// The rows, top to bottom (null for an empty image).
    const MvRleLine* Rows() const;
    /// Row index. Asserts 0 <= index < Height().
    const MvRleLine& Row(int index) const;
    /// Totals over all rows, as the file tallies count them.
    ///@{
    int SegmentCount() const;
    int PixelCount() const;
    ///@}

private:
    friend class MvRleEncoder;
    friend class MvRleFile;
    friend class MvRlePainter;

    void Release();
    /// Makes runs_ once the rows are filled.
    void CutRuns();

    uint32_t flags_;
    MvRleLine* rows_;
    int32_t offsetX_;
    int32_t offsetY_;
    int32_t width_;
    int32_t height_;
    int32_t deltaX_;
    int32_t deltaY_;
    MvCollisionMask* collisionMask_; ///< owned; null until first requested
    MvRleRuns* runs_;                ///< owned; the runs painted, null for an empty image
    mutable MvTextureRef* texture_;  ///< owned reference; null until the first OpenGL draw
};

inline int MvRle::Width() const { return width_; }
inline int MvRle::Height() const { return height_; }
inline int MvRle::OffsetX() const { return offsetX_; }
inline int MvRle::OffsetY() const { return offsetY_; }
inline int MvRle::DeltaX() const { return deltaX_; }
inline int MvRle::DeltaY() const { return deltaY_; }
inline uint32_t MvRle::Flags() const { return flags_; }
inline bool MvRle::HasAlpha() const { return (flags_ & MvRleHasAlpha) != 0; }
inline const MvRleLine* MvRle::Rows() const { return rows_; }

inline const MvRleLine& MvRle::Row(int index) const
{
    MvAssert(index >= 0 && index < height_ && rows_ != nullptr);
    return rows_[index];
}

#endif
