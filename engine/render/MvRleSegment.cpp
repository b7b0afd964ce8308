#include "MvRleSegment.h"

MvRleSegment::MvRleSegment() : flags(0), start(0), end(0), pixels(nullptr) { }

MvRleSegment::~MvRleSegment()
{
    if (!(flags & MvRleInPool))
        delete[] pixels;
}
