#ifndef MV_RLE_PAINTER_H
#define MV_RLE_PAINTER_H

#include "MvColorXform.h"
#include "MvIntRect.h"
#include "MvTransform.h"

class MvPaintTarget;
class MvRle;
class MvTextureRef;

/// Draws an MvRle. On a software target every run of the image's MvRleRuns is painted by
/// one blitter call, the blitters for opaque and translucent runs being chosen once per
/// image; opaque runs without a transform are copied in place instead, from the source
/// pixels when the opaque blitter is the plain block copy and from the runs' converted
/// pixels on a 16-bit target. A scaled image is sampled (nearest neighbour) along its runs,
/// the samples of a run gathered and painted by one call. On an OpenGL target the image is
/// one textured quad.
class MvRlePainter {
public:
    /// Paints the part visible of image placed at bounds (its rectangle at scale 1.0).
    static void Paint(const MvRle& image, const MvPaintTarget& paint, const MvColorXform& cx, const MvIntRect& bounds,
                      const MvIntRect& visible);
    /// Paints the part visible of image stretched over bounds.
    static void PaintScaled(const MvRle& image, const MvPaintTarget& paint, const MvColorXform& cx,
                            const MvIntRect& bounds, const MvIntRect& visible);

    /// A texture of image's pixels, transparent black between its runs, owned by the caller.
    static MvTextureRef* MakeTexture(const MvRle& image);
    /// Draws texture as a quad over bounds at depth openGLZ through cx; scaled tells the
    /// texture environment to filter. Asserts 1 <= openGLZ <= 50000.
    static void DrawTextured(const MvTextureRef& texture, const MvIntRect& bounds, const MvColorXform& cx, bool scaled,
                             int openGLZ);
};

#endif
