#ifndef MV_DIRTY_LIST_H
#define MV_DIRTY_LIST_H

#include "MvAssert.h"
#include "MvIntRect.h"

#include <cstdint>

/// @file
/// The dirty list MvDirtyList, which collects the rectangles of one window to repaint, its
/// fixed capacity and the grid of blocks it divides the window into.

/// The most rectangles one dirty list holds.
constexpr int MvDirtyListCapacity = 128;

/// The columns of blocks a dirty list divides its window into, each block one bit of a
/// 32-bit mask (bit row * MvDirtyGridColumns + column). The scene tree gathers a changed
/// subtree's rectangles per block of the same grid.
constexpr int MvDirtyGridColumns = 8;
/// The rows of blocks of that grid.
constexpr int MvDirtyGridRows = 4;

/// The screen rectangles of one window that must be repainted in the next frame. Nodes add
/// their old and new bounds whenever they change; the stage repaints and presents exactly
/// the listed rectangles and then clears the list. The list keeps itself short and free of
/// overlaps as rectangles arrive: covered rectangles are dropped, overlapping ones are cut
/// or merged, and a full list collapses into the coarse blocks of the grid over the window.
/// Each entry carries a mask of the grid blocks it touches, so most pairs that are far
/// apart are rejected with one AND. The entries are a fixed array: adding never allocates,
/// at the price of repainting somewhat more than changed when the list overflows.
class MvDirtyList {
public:
    /// An empty list with every entry set to the empty rectangle; clipping not set yet.
    MvDirtyList();

    /// Stores the window bounds as the clip rectangle, allows adding, and divides the
    /// rectangle into MvDirtyGridColumns columns and MvDirtyGridRows rows of blocks.
    void SetClipRect(const MvIntRect& clip);

    /// Marks r (clipped to the window) for repainting. Asserts clipping is set and every
    /// edge of r lies strictly between -100000 and 100000.
    void AddRect(const MvIntRect& r);

    /// Forgets every entry; the clip rectangle and the block grid stay.
    void Clear();

    /// Number of entries, 0 to MvDirtyListCapacity.
    int Count() const;

    /// Rectangle of entry index. Asserts 0 <= index < Count().
    const MvIntRect& At(int index) const;

    /// Block mask of entry index. Asserts 0 <= index < Count().
    uint32_t MaskAt(int index) const;

    /// Bit (row * MvDirtyGridColumns + column) set for every grid block that r touches. Asserts clipping is
    /// set and r is a valid rectangle inside the clip rectangle.
    uint32_t BlockMask(const MvIntRect& r) const;

    /// The window bounds given to SetClipRect.
    const MvIntRect& ClipRect() const;

    /// Logs "DR Print. '<label>'" and then one line per entry with its four edges.
    void Dump(const char* label) const;

private:
    struct Entry {
        MvIntRect rect;
        uint32_t mask;
    };

    /// Puts rect and its mask at the end; the caller has checked that there is room.
    void Append(const MvIntRect& rect);
    /// Removes entry index; the last entry moves into its place.
    void RemoveAt(int index);
    /// Runs when a rectangle must be added to a full list: collapses the list to grid
    /// blocks (large cells) or to one bounding box (small cells), n included.
    void Overflow(const MvIntRect& n, uint32_t nMask);

    Entry items_[MvDirtyListCapacity];
    MvIntRect clipRect_;
    bool clippingSet_;
    int count_;
    int gridX_;
    int gridY_;
    int cellWidth_;
    int cellHeight_;
};

inline int MvDirtyList::Count() const { return count_; }
inline const MvIntRect& MvDirtyList::ClipRect() const { return clipRect_; }

inline const MvIntRect& MvDirtyList::At(int index) const
{
    MvAssert(index >= 0 && index < count_);
    return items_[index].rect;
}

inline uint32_t MvDirtyList::MaskAt(int index) const
{
    MvAssert(index >= 0 && index < count_);
    return items_[index].mask;
}

#endif
