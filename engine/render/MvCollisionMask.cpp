#include "MvCollisionMask.h"

#include <algorithm>

MvCollisionMask::MvCollisionMask(int width, int height, MvFixed xScale, MvFixed yScale)
    : wordsPerRow_(0), rows_(0), bits_(nullptr), xScale_(xScale), yScale_(yScale)
{
    MvAssert(width >= 0 && height >= 0);
    wordsPerRow_ = (width + 31) / 32;
    rows_ = height;
    const size_t words = static_cast<size_t>(wordsPerRow_) * static_cast<size_t>(rows_);
    if (words > 0)
        bits_ = new uint32_t[words]();
}

MvCollisionMask::~MvCollisionMask() { delete[] bits_; }

void MvCollisionMask::SetSpan(int row, int first, int last)
{
    MvAssert(row >= 0 && row < rows_);
    MvAssert(first >= 0 && first <= last && last < 32 * wordsPerRow_);
    uint32_t* words = bits_ + static_cast<size_t>(row) * static_cast<size_t>(wordsPerRow_);
    for (int word = first / 32; word <= last / 32; ++word) {
        // Columns lo..hi of this word; column 0 of a word is its most significant bit.
        const int lo = std::max(first, word * 32) - word * 32;
        const int hi = std::min(last, word * 32 + 31) - word * 32;
        const uint32_t fromLo = 0xFFFFFFFFu >> lo;
        const uint32_t toHi = 0xFFFFFFFFu << (31 - hi);
        words[word] |= fromLo & toHi;
    }
}

bool MvCollisionMask::IsSet(int x, int y) const
{
    if (x < 0 || y < 0 || x >= 32 * wordsPerRow_ || y >= rows_)
        return false;
    return (Row(y)[x / 32] >> (31 - x % 32) & 1u) != 0;
}

bool MvCollisionMask::Collide(int dx, int dy, const MvIntRect& overlap, const MvCollisionMask* other) const
{
    MvAssert(other != nullptr);
    MvAssert(dx >= 0);
    if (!overlap.IsValid())
        return false;

    const int firstWord = dx / 32; // A's first word that the overlap touches
    const int shift = dx % 32;     // where B's word boundaries fall inside A's words
    // A's words spanned by the overlap, but never past the end of A's row (the words after
    // it are the next row's) and never more than B's words can reach.
    int words = (dx + overlap.Width() - 1) / 32 - firstWord + 1;
    words = std::min(words, wordsPerRow_ - firstWord);
    words = std::min(words, other->wordsPerRow_ + 1);
    if (words <= 0)
        return false;

    const int wordsB = other->wordsPerRow_;
    for (int i = 0; i < overlap.Height(); ++i) {
        const uint32_t* rowB = other->Row(dy < 0 ? i - dy : i);
        const uint32_t* rowA = Row(dy < 0 ? i : i + dy) + firstWord;
        for (int j = 0; j < words; ++j) {
            const uint32_t a = rowA[j];
            // The right-hand columns of B's previous word reach into this word of A. With
            // no shift, B's words lie exactly on A's and nothing spills over.
            if (j > 0 && shift > 0 && ((rowB[j - 1] << (32 - shift)) & a) != 0)
                return true;
            if (j < wordsB && ((rowB[j] >> shift) & a) != 0)
                return true;
        }
    }
    return false;
}
