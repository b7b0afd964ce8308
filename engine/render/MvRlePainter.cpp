#include "MvRlePainter.h"

#include "MvAssert.h"
#include "MvBlitterSets.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvRle.h"
#include "MvTextureEnv.h"
#include "MvTextureManager.h"
#include "MvTextureRef.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Copies count pixels byte for byte. Sprite runs are short, so they are copied here, 32
// bytes a step, without a library call per run.
inline void CopyPixels(uint8_t* target, const MvColor* source, int count)
{
    const uint8_t* from = reinterpret_cast<const uint8_t*>(source);
    size_t bytes = static_cast<size_t>(count) * 4;
#if defined(__SSE2__)
    for (; bytes >= 32; bytes -= 32, from += 32, target += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 16), high);
    }
    if (bytes >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
        bytes -= 16;
        from += 16;
        target += 16;
    }
#endif
    for (; bytes > 0; bytes -= 4, from += 4, target += 4)
        std::memcpy(target, from, 4);
}

// Paints image columns lo to hi of count rows from line on; row is the target address of
// screen column 0 in the first row and left the screen column of image column 0. A run
// is painted by the blitter of its alpha flag. With CopyOpaque (the opaque blitter is
// the block copy "32B_Simple_NoAlpha") opaque runs are copied here byte for byte, as that
// blitter copies them, without a call per run; with Whole no column is clipped.
template <bool CopyOpaque, bool Whole>
void PaintRows(const MvPaintTarget& paint, const MvRunBlitter* blitters, const MvColorXform& cx, const MvRleLine* line,
               int count, uint8_t* row, int left, int lo, int hi)
{
    const int bytesPerPixel = CopyOpaque ? 4 : paint.BytesPerPixel();
    const int pitch = paint.Pitch();
    for (const MvRleLine* const end = line + count; line != end; ++line, row += pitch) {
        const MvRleSegment* segment = line->segments;
        for (const MvRleSegment* const last = segment + line->segmentCount; segment != last; ++segment) {
            int s0 = segment->start;
            int s1 = segment->end;
            if (!Whole) {
                if (s1 < lo)
                    continue;
                if (s0 > hi)
                    break;
                s0 = std::max(s0, lo);
                s1 = std::min(s1, hi);
            }
            uint8_t* const target = row + (left + s0) * bytesPerPixel;
            const MvColor* const source = segment->pixels + (s0 - segment->start);
            const uint32_t alpha = segment->flags & MvRleHasAlpha;
            if (CopyOpaque && !alpha)
                CopyPixels(target, source, s1 - s0 + 1);
            else
                blitters[alpha](paint, target, source, s1 - s0 + 1, cx);
        }
    }
}

typedef void (*RowPainter)(const MvPaintTarget& paint, const MvRunBlitter* blitters, const MvColorXform& cx,
                           const MvRleLine* line, int count, uint8_t* row, int left, int lo, int hi);

// By [opaque runs are copied][no column is clipped].
const RowPainter RowPainters[2][2] = {{PaintRows<false, false>, PaintRows<false, true>},
                                      {PaintRows<true, false>, PaintRows<true, true>}};

} // namespace

void MvRlePainter::Paint(const MvRle& image, const MvPaintTarget& paint, const MvColorXform& cx,
                         const MvIntRect& bounds, const MvIntRect& visible)
{
    // The blitters for opaque and for translucent runs, chosen once for the whole image.
    const MvRunBlitter blitters[2] = {paint.PickBlitter(false, cx), paint.PickBlitter(true, cx)};
    const int lo = visible.left - bounds.left;
    const int hi = visible.right - bounds.left;
    const bool copyOpaque = blitters[0] == MvBlit32BSimpleNoAlpha;
    const bool whole = lo == 0 && hi == image.Width() - 1;
    RowPainters[copyOpaque][whole](paint, blitters, cx, image.Rows() + (visible.top - bounds.top), visible.Height(),
                                   paint.Pixels() + paint.Pitch() * visible.top, bounds.left, lo, hi);
}

void MvRlePainter::PaintScaled(const MvRle& image, const MvPaintTarget& paint, const MvColorXform& cx,
                               const MvIntRect& bounds, const MvIntRect& visible)
{
    const int bytesPerPixel = paint.BytesPerPixel();
    const MvRunBlitter blitters[2] = {paint.PickBlitter(false, cx), paint.PickBlitter(true, cx)};
    const int height = image.Height();
    const MvRleLine* const rows = image.Rows();
    // 16.16 source pixels per screen pixel.
    const int64_t xStep = static_cast<int64_t>(image.Width()) * 65536 / bounds.Width();
    const int64_t yStep = static_cast<int64_t>(height) * 65536 / bounds.Height();
    const int64_t yStart = yStep * (visible.top - bounds.top);
    int sourceRow = static_cast<int>(yStart >> 16);
    int64_t fraction = yStart & 0xFFFF;
    uint8_t* row = paint.Pixels() + paint.Pitch() * visible.top;
    for (int y = visible.top; y <= visible.bottom && sourceRow < height; ++y, row += paint.Pitch()) {
        const MvRleLine& line = rows[sourceRow];
        int x = bounds.left;
        int64_t position = 0;
        for (int s = 0; s < line.segmentCount && x <= visible.right; ++s) {
            const MvRleSegment& segment = line.segments[s];
            while ((position >> 16) < segment.start && x <= visible.right) {
                ++x;
                position += xStep;
            }
            const MvRunBlitter blitter = blitters[segment.flags & MvRleHasAlpha];
            while ((position >> 16) <= segment.end && x <= visible.right) {
                if (x >= visible.left)
                    blitter(paint, row + x * bytesPerPixel, segment.pixels + ((position >> 16) - segment.start), 1, cx);
                ++x;
                position += xStep;
            }
        }
        fraction += yStep;
        while (fraction > 0xFFFF) {
            fraction -= 0x10000;
            ++sourceRow;
        }
    }
}

MvTextureRef* MvRlePainter::MakeTexture(const MvRle& image)
{
    MvPixelBlock pixels;
    pixels.CreateFromRle(image);
    return MvTextureManager::Instance()->NewTexture(pixels.Pixels(), image.Width(), image.Height());
}

void MvRlePainter::DrawTextured(const MvTextureRef& texture, const MvIntRect& bounds, const MvColorXform& cx,
                                bool scaled, int openGLZ)
{
    glBindTexture(GL_TEXTURE_2D, texture.Name());
    ApplyToTextureEnv(cx, scaled, texture);
    MvAssert(openGLZ >= 1 && openGLZ <= 50000);
    const MvIntRect& b = bounds;
    const int w = b.Width();
    const int h = b.Height();
    const GLint z = openGLZ;
    glBegin(GL_QUADS);
    glTexCoord2f(texture.S0(), texture.T0());
    glVertex3i(b.left, b.top, z);
    glTexCoord2f(texture.S1(), texture.T0());
    glVertex3i(b.left + w, b.top, z);
    glTexCoord2f(texture.S1(), texture.T1());
    glVertex3i(b.left + w, b.top + h, z);
    glTexCoord2f(texture.S0(), texture.T1());
    glVertex3i(b.left, b.top + h, z);
    glEnd();
}
