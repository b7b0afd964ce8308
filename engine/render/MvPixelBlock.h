#ifndef MV_PIXEL_BLOCK_H
#define MV_PIXEL_BLOCK_H

#include "MvColor.h"
#include "MvColorXform.h"
#include "MvIntRect.h"
#include "MvTransform.h"

#include <SDL.h>

#include <cstdint>

class MvPaintTarget;
class MvResourceReader;
class MvRle;
class MvTextureRef;

/// An uncompressed true-colour picture, width x height MvColors row after row with a flag
/// for whether any pixel is not opaque: the pixel store of tiles and canvases. Unlike a
/// run-length image it keeps every pixel, so it can be changed in place, turned and
/// sampled anywhere, at the price of memory for transparent areas. Drawing at scale 1.0 is
/// one blitter call per row, scaled drawing (nearest, bilinear or box sampling) one call
/// per pixel, which is slow enough that callers cache scaled copies.
class MvPixelBlock {
public:
    /// Bits of Flags().
    enum {
        HasAlphaFlag = 1, ///< some pixel's alpha is below 255
        InPoolFlag = 2    ///< the pixels lie in a load pool and are not the block's to free
    };
    /// Scaling methods Draw takes as quality.
    enum { QualityNearest = 1, QualityBilinear = 2, QualityBest = 3 };
    /// The largest width and height: a memory paint target (16-bit pitch) can wrap such a
    /// block, and sizes stay well inside MvFixed's integer range.
    enum { MaxSize = 16383 };

    /// An empty block: no pixels, every field 0.
    MvPixelBlock();
    /// Frees the pixels unless they lie in a load pool, and releases the OpenGL texture.
    ~MvPixelBlock();

    MvPixelBlock(const MvPixelBlock&) = delete;
    MvPixelBlock& operator=(const MvPixelBlock&) = delete;

    /// Allocates width x height pixels, all (0, 0, 0, 0) with alpha, or black with alpha
    /// 255 without. Asserts the block is empty and 0 <= width, height <= MaxSize.
    void Create(int width, int height, bool hasAlpha);

    /// Copies the rectangle (x, y, width, height) of source's surface, pixel by pixel
    /// through an MvSurfacePen; the alpha flag is set when a copied pixel is not opaque.
    /// Asserts the block is empty, the rectangle lies inside the source and its size is at
    /// most MaxSize.
    void CreateFromImage(const MvPaintTarget& source, int x, int y, int width, int height);

    /// Read from stream, left just after the block. streamName names it in messages.
    bool Read(SDL_RWops* stream, const char* streamName = "stream");

    /// Logs the block's size and writes its stored form. Returns true when every byte
    /// reached the stream. Asserts stream is not null.
    bool Write(SDL_RWops* stream) const;

    /// The screen rectangle of the block drawn with xform: its edges are the rounded
    /// positions of the scaled corners, so at scale 1.0 exactly width x height pixels.
    void ComputeBounds(const MvTransform& xform, MvIntRect* bounds) const;

    /// Paints the block with its top-left corner at xform's position, scaled by xform's
    /// scales, through cform, inside clip; flipVertical mirrors it top to bottom. A scaled
    /// block is sampled by nearest neighbour when flipped or for QualityNearest, bilinearly
    /// for QualityBilinear, and for QualityBest by averaging boxes when both scales are at
    /// most 0.5, bilinearly otherwise. On an OpenGL target DrawOpenGL draws instead, in
    /// orientation 4 when flipped (the same picture), else 0. Asserts quality is 1, 2 or 3
    /// and the painted rectangle lies inside a software target.
    void Draw(const MvPaintTarget& paintInfo, const MvTransform& xform, bool flipVertical, const MvColorXform& cform,
              const MvIntRect& clip, int quality, int openGLZ) const;

    /// Draws the block on an OpenGL target as one textured quad over its bounds at depth
    /// openGLZ, turned and mirrored as a tile in orientation (0 to 7), through cform,
    /// filtered linearly when xform is scaled. The texture is made from the pixels on the
    /// first call and kept until the block is destroyed (RefreshTexture uploads changes);
    /// clip is not used (OpenGL clips to the window). An empty block draws nothing. Asserts
    /// the target is OpenGL, 0 <= orientation <= 7 and OpenGL reports no error.
    void DrawOpenGL(const MvPaintTarget& paintInfo, const MvTransform& xform, const MvColorXform& cform,
                    const MvIntRect& clip, int orientation, int openGLZ) const;

    /// Uploads the current pixels into the block's texture, when it has one, so that the
    /// next OpenGL draw shows them. Call it after changing the pixels.
    void RefreshTexture();

    /// The size in pixels (0 for an empty block).
    ///@{
    int Width() const;
    int Height() const;
    ///@}
    /// The pixels, row after row (null for an empty block); pixel (x, y) is at
    /// y * Width() + x.
    ///@{
    MvColor* Pixels();
    const MvColor* Pixels() const;
    ///@}
    /// Some pixel has alpha below 255 (bit 0 of the flags).
    bool HasAlpha() const;
    /// HasAlphaFlag and InPoolFlag, as they apply.
    uint32_t Flags() const;
    /// Width() * Height().
    int PixelCount() const;

    /// @name Engine internals
    /// For the engine's loader, images and OpenGL path, never for a program: the reader,
    /// the run-length image and the texture are the engine's own types, not installed.
    ///@{

    /// Unpacks image (MvRle::Unpack) into a block of its size with alpha, transparent black
    /// between its runs. Asserts what Create asserts.
    void CreateFromRle(const MvRle& image);
    /// Reads the stored form (flags, width, height, then 3 or 4 bytes a pixel). While a
    /// load is under way the pixels come from the current pixel pool (and must not outlive
    /// it); otherwise the block owns them. A size out of range,
    /// more pixels than the data or the pool holds, or data that ends early sets the
    /// reader's error and leaves the block empty. Returns true when the block was read.
    /// Asserts the block is empty.
    bool Read(MvResourceReader& reader);
    /// The block's texture reference, null until its first OpenGL draw.
    const MvTextureRef* Texture() const;
    ///@}

private:
    /// The painted part of a scaled draw: bounds B clipped, its offset inside B and the
    /// 16.16 source steps per target pixel.
    struct ScaledWalk;

    void DrawUnscaled(const MvPaintTarget& paint, const MvTransform& xform, bool flipVertical,
                      const MvColorXform& cform, const MvIntRect& clip) const;
    void DrawNearest(const MvPaintTarget& paint, const ScaledWalk& walk, bool flipVertical,
                     const MvColorXform& cform) const;
    void DrawBilinear(const MvPaintTarget& paint, const ScaledWalk& walk, const MvColorXform& cform) const;
    void DrawBox(const MvPaintTarget& paint, const ScaledWalk& walk, const MvColorXform& cform) const;

    uint32_t flags_;
    int32_t width_;
    int32_t height_;
    MvColor* pixels_;
    mutable MvTextureRef* texture_; ///< owned reference; null until the first OpenGL draw
};

inline int MvPixelBlock::Width() const { return width_; }
inline int MvPixelBlock::Height() const { return height_; }
inline MvColor* MvPixelBlock::Pixels() { return pixels_; }
inline const MvColor* MvPixelBlock::Pixels() const { return pixels_; }
inline bool MvPixelBlock::HasAlpha() const { return (flags_ & HasAlphaFlag) != 0; }
inline uint32_t MvPixelBlock::Flags() const { return flags_; }
inline int MvPixelBlock::PixelCount() const { return width_ * height_; }
inline const MvTextureRef* MvPixelBlock::Texture() const { return texture_; }

#endif
