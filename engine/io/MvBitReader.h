#ifndef MV_BIT_READER_H
#define MV_BIT_READER_H

#include "MvAssert.h"
#include "MvResourceReader.h"

#include <cstdint>

/// Unpacks values written by MvBitWriter: fields of 0 to 32 bits, most significant bit
/// first. It keeps up to 64 unread bits, taking bytes that the resource reader has already
/// buffered ahead of need and single bytes otherwise, so that most fields cost a shift and
/// a mask. Finish gives the whole bytes it took but did not use back to the resource
/// reader, so a stored image's stream ends exactly at its last byte; the unread fill bits
/// of that byte are dropped. Past the end of the data the resource reader holds the error
/// and the values read are 0.
class MvBitReader {
public:
    /// Reads from source (not owned), starting at a byte boundary.
    explicit MvBitReader(MvResourceReader& source);
    /// Finish.
    ~MvBitReader();

    MvBitReader(const MvBitReader&) = delete;
    MvBitReader& operator=(const MvBitReader&) = delete;

    /// The next bits bits as a value, highest bit first. Asserts 0 <= bits <= 32; a 0-bit
    /// field reads as 0 and consumes nothing.
    uint32_t Read(int bits);

    /// Gives the whole unused bytes back to the resource reader and drops the rest of the
    /// current byte; the bit reader is empty afterwards.
    void Finish();

    /// Bits that may still be read: those held and those of the bytes left before the
    /// resource reader's end.
    int64_t BitsLeft() const;

    /// Offset of the byte that holds the next unread bit, for messages.
    long ByteOffset() const;

private:
    void Fill(int bits);

    MvResourceReader& source_;
    uint64_t held_; ///< the low count_ bits are unread, the highest of them next
    int count_;
};

inline uint32_t MvBitReader::Read(int bits)
{
    MvAssert(bits >= 0 && bits <= 32);
    if (count_ < bits)
        Fill(bits);
    count_ -= bits;
    return static_cast<uint32_t>((held_ >> count_) & ((uint64_t(1) << bits) - 1));
}

inline int64_t MvBitReader::BitsLeft() const { return count_ + static_cast<int64_t>(source_.Remaining()) * 8; }

inline long MvBitReader::ByteOffset() const { return source_.Offset() - count_ / 8 - (count_ % 8 != 0); }

#endif
