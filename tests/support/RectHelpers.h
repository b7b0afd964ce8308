#ifndef RECT_HELPERS_H
#define RECT_HELPERS_H

// Rectangles in tests: a short way to write one, readable ones in failure messages, and
// the entries of a dirty list.

#include "MvDirtyList.h"
#include "MvIntRect.h"

#include <ostream>
#include <vector>

// Readable rectangles in failure messages (found through argument-dependent lookup).
inline void PrintTo(const MvIntRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

// The rectangle from left, top, right and bottom, all inclusive.
inline MvIntRect R(int l, int t, int r, int b) { return MvMakeRect(l, t, r, b); }

// The entries of a dirty list, in list order.
inline std::vector<MvIntRect> Entries(const MvDirtyList& list)
{
    std::vector<MvIntRect> rects;
    for (int i = 0; i < list.Count(); ++i)
        rects.push_back(list.At(i));
    return rects;
}

#endif
