#ifndef SCREEN_FORMAT_H
#define SCREEN_FORMAT_H

#include <cstdint>

// A screen surface format: a name for messages, bits per pixel and the colour masks.
struct ScreenFormat {
    const char* name;
    int bits;
    uint32_t redMask, greenMask, blueMask;
};

#endif
