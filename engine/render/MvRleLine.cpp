#include "MvRleLine.h"

MvRleLine::MvRleLine() : flags(0), segmentCount(0), segments(nullptr) { }

MvRleLine::~MvRleLine()
{
    if (segments == nullptr)
        return;
    if (flags & MvRleInPool) {
        // Made in place in pool memory: finish them, the memory stays the pool's.
        for (int i = 0; i < segmentCount; ++i)
            segments[i].~MvRleSegment();
    } else {
        delete[] segments;
    }
}
