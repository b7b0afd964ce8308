#ifndef MV_BLITTER_SETS_H
#define MV_BLITTER_SETS_H

#include "MvPaintTarget.h"

// The blitter sets a paint target chooses from, one per target format, each in
// MvBlitterSlot order, with the names MvBlitterName reports. Each set is defined in its
// own source file. Internal to the render code: drawing code reaches the blitters only
// through MvPaintTarget.

struct MvBlitterTable {
    MvRunBlitter slots[MvBlitterSlotCount];
};

struct MvBlitterSet {
    MvBlitterTable blitters;
    const char* names[MvBlitterSlotCount]; // null where the set's blitters have no name
};

// 32-bit targets whose three channels are whole bytes at any position ("32_..."), as
// every 32-bit screen has; Simple_NoAlpha packs every pixel. Where the processor has
// SSE2 these paint eight pixels per step, bit-identical to the plain set.
extern const MvBlitterSet MvBlitters32;
// 32-bit targets with red, green and blue in bytes 2, 1 and 0, the layout of the source
// pixels themselves ("32_..."; the paint target puts the block copy in its first slot).
// With SSE2 four pixels per step, without reordering channels; bit-identical to the
// plain set.
extern const MvBlitterSet MvBlitters32RedAt16;
// 32-bit targets of any channel masks, one pixel per step; the reference for the above.
extern const MvBlitterSet MvBlitters32Plain;
// 24-bit targets whose channels lie on whole bytes ("24_..."). Where the processor has
// SSE2 and green is the middle byte these paint sixteen pixels per step, bit-identical
// to the plain set.
extern const MvBlitterSet MvBlitters24;
// 24-bit targets one pixel per step; the reference for the above.
extern const MvBlitterSet MvBlitters24Plain;
// 16-bit targets, channels of at most 8 bits ("16_..."); eight pixels per step with
// SSE2, bit-identical to the plain set.
extern const MvBlitterSet MvBlitters16;
// 16-bit targets one pixel per step; the reference for the above.
extern const MvBlitterSet MvBlitters16Plain;
// Memory targets: MvColor pixels whose alpha byte is kept up to date (no names).
extern const MvBlitterSet MvBlittersMemory;

// "32B_Simple_NoAlpha": an opaque run without transform on a 32-bit target with red at
// bit 16, green at 8 and blue at 0 is one block copy of the source bytes. Asserts 4 bytes
// per pixel, that layout, count >= 0 and 4-byte aligned target and source.
void MvBlit32BSimpleNoAlpha(const MvPaintTarget& target, uint8_t* dest, const MvColor* source, int count,
                            MvColorXform xform);
extern const char* const MvBlit32BSimpleNoAlphaName;

#endif
