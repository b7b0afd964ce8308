#include "MvRlePainter.h"

#include "MvAssert.h"
#include "MvBlitterSets.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvRle.h"
#include "MvRleRuns.h"
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
// Copies the first and the last sizeof(Word) of bytes (at least one Word, at most two).
template <class Word>
inline void CopyHeadAndTail(uint8_t* target, const uint8_t* from, size_t bytes)
{
    Word head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + bytes - sizeof tail, sizeof tail);
    std::memcpy(target, &head, sizeof head);
    std::memcpy(target + bytes - sizeof tail, &tail, sizeof tail);
}

// Copies bytes (an even number) byte for byte. Sprite runs are short, so they are copied
// here without a library call per run: 16 bytes a step, the last step ending at the last
// byte, and a run under 16 bytes in two copies that may overlap.
inline void CopyBytes(uint8_t* target, const uint8_t* from, size_t bytes)
{
#if defined(__SSE2__)
    if (bytes >= 16) {
        const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + bytes - 16));
        uint8_t* const lastTarget = target + bytes - 16;
        for (; bytes > 16; bytes -= 16, from += 16, target += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lastTarget), last);
    } else if (bytes >= 8) {
        CopyHeadAndTail<uint64_t>(target, from, bytes);
    } else if (bytes >= 4) {
        CopyHeadAndTail<uint32_t>(target, from, bytes);
    } else if (bytes > 0) {
        std::memcpy(target, from, 2);
    }
#else
    std::memcpy(target, from, bytes);
#endif
}

// How opaque runs are painted: by the opaque blitter; copied from the source pixels, as
// the block copy "32B_Simple_NoAlpha" would copy them; or copied from the pixels the
// runs keep converted for a 16-bit target, as its opaque blitter would write them.
enum class OpaqueCopy { None, Source, Packed16 };

// Paints image columns lo to hi of image rows first to first + count - 1; row is the
// target address of screen column 0 in the first row and left the screen column of image
// column 0. A run is painted by the blitter its index for the transform names, opaque
// ones copied as kCopy says; with Whole no column is clipped.
template <OpaqueCopy kCopy, bool Whole>
void PaintRows(const MvPaintTarget& paint, const MvRunBlitter* blitters, const MvColorXform& cx,
               const MvRleRuns& runs, MvRleRuns::Cut cut, const uint16_t* packed, int first, int count, uint8_t* row,
               int left, int lo, int hi)
{
    const MvRleRuns::Run* const all = runs.Runs(cut);
    const int32_t* const rowStart = runs.RowStarts(cut);
    const int bytesPerPixel =
        kCopy == OpaqueCopy::Source ? 4 : kCopy == OpaqueCopy::Packed16 ? 2 : paint.BytesPerPixel();
    const int pitch = paint.Pitch();
    const int withAlpha = cx.hasAlpha ? 1 : 0;
    for (int k = first; k != first + count; ++k, row += pitch) {
        const MvRleRuns::Run* run = all + rowStart[k];
        for (const MvRleRuns::Run* const last = all + rowStart[k + 1]; run != last; ++run) {
            int s0 = run->start;
            int s1 = run->end;
            if (!Whole) {
                if (s1 < lo)
                    continue;
                if (s0 > hi)
                    break;
                s0 = std::max(s0, lo);
                s1 = std::min(s1, hi);
            }
            uint8_t* const target = row + (left + s0) * bytesPerPixel;
            const int blitter = run->blitter[withAlpha];
            const int skipped = s0 - run->start;
            const size_t length = static_cast<size_t>(s1 - s0 + 1);
            if (kCopy == OpaqueCopy::Source && !blitter)
                CopyBytes(target, reinterpret_cast<const uint8_t*>(run->pixels + skipped), length * 4);
            else if (kCopy == OpaqueCopy::Packed16 && !blitter)
                CopyBytes(target, reinterpret_cast<const uint8_t*>(packed + run->packed + skipped), length * 2);
            else
                blitters[blitter](paint, target, run->pixels + skipped, static_cast<int>(length), cx);
        }
    }
}

typedef void (*RowPainter)(const MvPaintTarget& paint, const MvRunBlitter* blitters, const MvColorXform& cx,
                           const MvRleRuns& runs, MvRleRuns::Cut cut, const uint16_t* packed, int first, int count,
                           uint8_t* row, int left, int lo, int hi);

// By [how opaque runs are painted][no column is clipped].
const RowPainter RowPainters[3][2] = {{PaintRows<OpaqueCopy::None, false>, PaintRows<OpaqueCopy::None, true>},
                                      {PaintRows<OpaqueCopy::Source, false>, PaintRows<OpaqueCopy::Source, true>},
                                      {PaintRows<OpaqueCopy::Packed16, false>, PaintRows<OpaqueCopy::Packed16, true>}};

// The blitters for opaque and for translucent runs through cx, chosen once per image, and
// the cut whose translucent pieces fill their steps: 4 pixels on a target laid out like
// the source (the block copy's), 8 elsewhere.
struct RunBlitters {
    RunBlitters(const MvPaintTarget& paint, const MvColorXform& cx)
        : blitters{paint.PickBlitter(false, cx), paint.PickBlitter(true, cx)},
          cut(paint.Blitter(MvBlitSimpleNoAlpha) == MvBlit32BSimpleNoAlpha ? MvRleRuns::CutBy4 : MvRleRuns::CutBy8)
    {
    }
    MvRunBlitter blitters[2];
    MvRleRuns::Cut cut;
};

} // namespace

void MvRlePainter::Paint(const MvRle& image, const MvPaintTarget& paint, const MvColorXform& cx,
                         const MvIntRect& bounds, const MvIntRect& visible)
{
    const RunBlitters pick(paint, cx);
    const MvRleRuns& runs = *image.runs_;
    OpaqueCopy copy = OpaqueCopy::None;
    const uint16_t* packed = nullptr;
    if (pick.blitters[0] == MvBlit32BSimpleNoAlpha) {
        copy = OpaqueCopy::Source;
    } else if (paint.BytesPerPixel() == 2 && cx.identity) {
        copy = OpaqueCopy::Packed16;
        packed = runs.Packed16(paint);
    }
    const int lo = visible.left - bounds.left;
    const int hi = visible.right - bounds.left;
    const bool whole = lo == 0 && hi == image.Width() - 1;
    RowPainters[static_cast<int>(copy)][whole](paint, pick.blitters, cx, runs, pick.cut, packed,
                                               visible.top - bounds.top, visible.Height(),
                                               paint.Pixels() + paint.Pitch() * visible.top, bounds.left, lo, hi);
}

void MvRlePainter::PaintScaled(const MvRle& image, const MvPaintTarget& paint, const MvColorXform& cx,
                               const MvIntRect& bounds, const MvIntRect& visible)
{
    const RunBlitters pick(paint, cx);
    const bool copyOpaque = pick.blitters[0] == MvBlit32BSimpleNoAlpha;
    const MvRleRuns& runs = *image.runs_;
    const int withAlpha = cx.hasAlpha ? 1 : 0;
    const int bytesPerPixel = paint.BytesPerPixel();
    const int height = image.Height();
    // 16.16 source pixels per screen pixel: screen column x of the bounds (0 at their left
    // edge) samples source column (x * xStep) >> 16. Every bounds column is narrower than a
    // source column, as a scale is below 32768, so xStep > 0.
    const int64_t xStep = static_cast<int64_t>(image.Width()) * 65536 / bounds.Width();
    const int64_t yStep = static_cast<int64_t>(height) * 65536 / bounds.Height();
    MvAssert(xStep > 0);
    // The first bounds column sampling source column c or one right of it.
    auto firstColumnAt = [xStep](int c) { return (static_cast<int64_t>(c) * 65536 + xStep - 1) / xStep; };
    const int64_t origin = visible.left - bounds.left; // the bounds column of visible column 0
    const int64_t columns = visible.Width();
    const int64_t yStart = yStep * (visible.top - bounds.top);
    int sourceRow = static_cast<int>(yStart >> 16);
    int64_t fraction = yStart & 0xFFFF;
    uint8_t* row = paint.Pixels() + paint.Pitch() * visible.top + visible.left * bytesPerPixel;
    // The samples of one run, painted by one blitter call per kChunk of them.
    enum { kChunk = 256 };
    MvColor samples[kChunk];
    for (int y = visible.top; y <= visible.bottom && sourceRow < height; ++y, row += paint.Pitch()) {
        const MvRleRuns::Run* run = runs.RowBegin(pick.cut, sourceRow);
        for (const MvRleRuns::Run* const last = runs.RowEnd(pick.cut, sourceRow); run != last; ++run) {
            // The visible columns x0 to x1 - 1 sample the run.
            const int64_t x0 = std::max<int64_t>(firstColumnAt(run->start) - origin, 0);
            if (x0 >= columns)
                break;
            const int64_t x1 = std::min<int64_t>(firstColumnAt(run->end + 1) - origin, columns);
            if (x1 <= x0)
                continue; // left of the visible columns, or sampled by none
            const MvColor* const pixels = run->pixels - run->start;
            int64_t position = (origin + x0) * xStep;
            const int blitter = run->blitter[withAlpha];
            if (copyOpaque && !blitter) {
                // The block copy's bytes, written in place.
                for (uint8_t* target = row + x0 * 4; target != row + x1 * 4; target += 4, position += xStep)
                    std::memcpy(target, &pixels[position >> 16], 4);
                continue;
            }
            for (int64_t x = x0; x < x1;) {
                const int n = static_cast<int>(std::min<int64_t>(x1 - x, kChunk));
                for (int i = 0; i < n; ++i, position += xStep)
                    samples[i] = pixels[position >> 16];
                pick.blitters[blitter](paint, row + x * bytesPerPixel, samples, n, cx);
                x += n;
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
