#include "MvDirtyList.h"

#include "MvLog.h"

namespace {

constexpr int kBlocks = MvDirtyGridColumns * MvDirtyGridRows;
// A rectangle's mask is the bits of its columns, looked up as a byte, shifted into each
// row it spans.
static_assert(MvDirtyGridColumns >= 1 && MvDirtyGridColumns <= 8 && MvDirtyGridRows >= 1 && kBlocks <= 32,
              "a row of blocks must fit a byte and the whole grid a 32-bit mask");
constexpr uint32_t kRowMask = (1u << MvDirtyGridColumns) - 1;
constexpr uint32_t kAllBlocks = kBlocks == 32 ? 0xFFFFFFFFu : (1u << kBlocks) - 1;

// Edges of an added rectangle must lie strictly inside this range.
constexpr int kCoordinateLimit = 100000;

// Both cells of the block grid must be wider and taller than this for an overflowing list
// to collapse into blocks; windows with smaller cells collapse into one bounding box.
constexpr int kBlockCollapseMinCell = 32;

// Row bytes of the block mask: bytes[first][last] has the bits of columns first to last set.
struct RowByteTable {
    uint8_t bytes[MvDirtyGridColumns][MvDirtyGridColumns];

    constexpr RowByteTable() : bytes()
    {
        for (int first = 0; first < MvDirtyGridColumns; ++first)
            for (int last = 0; last < MvDirtyGridColumns; ++last)
                bytes[first][last] = static_cast<uint8_t>((0xFF << first) & (0xFF >> (7 - last)));
    }
};

constexpr RowByteTable kRowBytes;

// Sides of e that n sticks out of, as the cut-or-merge table reads them.
enum StickOut { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

int StickOutCode(const MvIntRect& n, const MvIntRect& e)
{
    int code = 0;
    if (n.left < e.left)
        code |= kLeft;
    if (n.right > e.right)
        code |= kRight;
    if (n.top < e.top)
        code |= kTop;
    if (n.bottom > e.bottom)
        code |= kBottom;
    return code;
}

} // namespace

MvDirtyList::MvDirtyList() : clippingSet_(false), count_(0), gridX_(0), gridY_(0), cellWidth_(0), cellHeight_(0)
{
    for (Entry& entry : items_) {
        entry.rect.SetEmpty();
        entry.mask = 0;
    }
    clipRect_.SetEmpty();
}

void MvDirtyList::SetClipRect(const MvIntRect& clip)
{
    clipRect_ = clip;
    clippingSet_ = true;
    gridX_ = clip.left;
    gridY_ = clip.top;
    cellWidth_ = (clip.Width() + MvDirtyGridColumns - 1) / MvDirtyGridColumns;
    cellHeight_ = (clip.Height() + MvDirtyGridRows - 1) / MvDirtyGridRows;
}

uint32_t MvDirtyList::BlockMask(const MvIntRect& r) const
{
    MvAssert(clippingSet_);
    MvAssert(r.IsValid() && clipRect_.Encloses(r));
    int c0 = (r.left - gridX_) / cellWidth_;
    int c1 = (r.right - gridX_) / cellWidth_;
    int r0 = (r.top - gridY_) / cellHeight_;
    int r1 = (r.bottom - gridY_) / cellHeight_;
    MvAssert(0 <= c0 && c0 <= c1 && c1 < MvDirtyGridColumns);
    MvAssert(0 <= r0 && r0 <= r1 && r1 < MvDirtyGridRows);
    uint32_t rowByte = kRowBytes.bytes[c0][c1];
    uint32_t mask = 0;
    for (int row = r0; row <= r1; ++row)
        mask |= rowByte << (MvDirtyGridColumns * row);
    return mask;
}

void MvDirtyList::AddRect(const MvIntRect& r)
{
    MvAssert(r.left > -kCoordinateLimit && r.top > -kCoordinateLimit);
    MvAssert(r.right < kCoordinateLimit && r.bottom < kCoordinateLimit);
    MvAssert(clippingSet_);

    MvIntRect n = r;
    n.ClipTo(clipRect_);
    if (!n.IsValid())
        return;
    uint32_t nMask = BlockMask(n);

    int i = 0;
    while (i < count_) {
        Entry& e = items_[i];
        if ((nMask & e.mask) == 0 || !n.Overlaps(e.rect)) {
            ++i;
            continue;
        }
        if (e.rect.Encloses(n))
            return; // already dirty

        bool merge = n.Encloses(e.rect) || (n.left == e.rect.left && n.right == e.rect.right) ||
                     (n.top == e.rect.top && n.bottom == e.rect.bottom);
        if (!merge) {
            // A cut leaves the shrunk rectangle non-empty and apart from the other, so the
            // same entry is tested again and passed.
            int code = StickOutCode(n, e.rect);
            switch (code) {
            case kLeft:
                n.right = e.rect.left - 1;
                nMask = BlockMask(n);
                continue;
            case kRight:
                n.left = e.rect.right + 1;
                nMask = BlockMask(n);
                continue;
            case kTop:
                n.bottom = e.rect.top - 1;
                nMask = BlockMask(n);
                continue;
            case kBottom:
                n.top = e.rect.bottom + 1;
                nMask = BlockMask(n);
                continue;
            case kLeft | kRight | kTop:
                e.rect.top = n.bottom + 1;
                e.mask = BlockMask(e.rect);
                continue;
            case kLeft | kRight | kBottom:
                e.rect.bottom = n.top - 1;
                e.mask = BlockMask(e.rect);
                continue;
            case kLeft | kTop | kBottom:
                e.rect.left = n.right + 1;
                e.mask = BlockMask(e.rect);
                continue;
            case kRight | kTop | kBottom:
                e.rect.right = n.left - 1;
                e.mask = BlockMask(e.rect);
                continue;
            case kLeft | kRight:
            case kLeft | kTop:
            case kLeft | kBottom:
            case kRight | kTop:
            case kRight | kBottom:
            case kTop | kBottom:
                merge = true;
                break;
            default:
                // Neither side sticking out and all four sticking out are containment,
                // handled above.
                MvAssert(code != 0 && code != (kLeft | kRight | kTop | kBottom));
                ++i;
                continue;
            }
        }

        // The grown rectangle may now meet entries already passed: start over.
        n.Merge(e.rect);
        nMask = BlockMask(n);
        RemoveAt(i);
        i = 0;
    }

    if (count_ < MvDirtyListCapacity)
        Append(n);
    else
        Overflow(n, nMask);
}

void MvDirtyList::Overflow(const MvIntRect& n, uint32_t nMask)
{
    if (cellWidth_ <= kBlockCollapseMinCell || cellHeight_ <= kBlockCollapseMinCell) {
        MvIntRect box = n;
        for (int i = 0; i < count_; ++i)
            box.Merge(items_[i].rect);
        count_ = 0;
        Append(box);
        return;
    }

    uint32_t touched = nMask;
    for (int i = 0; i < count_; ++i)
        touched |= items_[i].mask;
    count_ = 0;

    if (touched == kAllBlocks) {
        Append(clipRect_);
        return;
    }

    for (int row = 0; row < MvDirtyGridRows; ++row) {
        uint32_t rowBits = kRowMask << (MvDirtyGridColumns * row);
        if ((touched & rowBits) != rowBits)
            continue;
        MvIntRect strip = MvMakeRect(gridX_, gridY_ + row * cellHeight_, clipRect_.right,
                                     gridY_ + (row + 1) * cellHeight_ - 1);
        strip.ClipTo(clipRect_);
        Append(strip);
        touched &= ~rowBits;
    }

    for (int bit = 0; bit < kBlocks; ++bit) {
        if ((touched & (1u << bit)) == 0)
            continue;
        int column = bit % MvDirtyGridColumns;
        int row = bit / MvDirtyGridColumns;
        MvIntRect block = MvMakeRect(gridX_ + column * cellWidth_, gridY_ + row * cellHeight_,
                                     gridX_ + (column + 1) * cellWidth_ - 1, gridY_ + (row + 1) * cellHeight_ - 1);
        block.ClipTo(clipRect_);
        Append(block);
    }
}

void MvDirtyList::Append(const MvIntRect& rect)
{
    MvAssert(count_ < MvDirtyListCapacity);
    items_[count_].rect = rect;
    items_[count_].mask = BlockMask(rect);
    ++count_;
}

void MvDirtyList::RemoveAt(int index)
{
    MvAssert(index >= 0 && index < count_);
    --count_;
    items_[index] = items_[count_];
}

void MvDirtyList::Clear() { count_ = 0; }

void MvDirtyList::Dump(const char* label) const
{
    MvLog("DR Print. '%s'\n", label ? label : "");
    for (int i = 0; i < count_; ++i) {
        const MvIntRect& r = items_[i].rect;
        MvLog("  %d,%d -- %d,%d\n", r.left, r.top, r.right, r.bottom);
    }
}
