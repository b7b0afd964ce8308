#include "MvBitReader.h"

#include <cstring>

MvBitReader::MvBitReader(MvResourceReader& source) : source_(source), held_(0), count_(0) { }

MvBitReader::~MvBitReader() { Finish(); }

void MvBitReader::Fill(int bits)
{
    // Whole bytes ahead of need, eight at a time while the resource reader has them
    // buffered; then single bytes, which may make it refill its buffer or find the end of
    // the data.
    MvAssert(count_ < bits && bits <= 32);
    if (source_.BufferedCount() >= 8) {
        uint64_t word;
        std::memcpy(&word, source_.Buffered(), 8);
        word = __builtin_bswap64(word); // first byte highest
        const int take = (64 - count_) / 8;
        held_ = take == 8 ? word : held_ << (8 * take) | word >> (64 - 8 * take);
        count_ += 8 * take;
        source_.Consume(take);
        return;
    }
    while (count_ <= 56 && source_.BufferedCount() > 0) {
        held_ = held_ << 8 | *source_.Buffered();
        source_.Consume(1);
        count_ += 8;
    }
    while (count_ < bits) {
        held_ = held_ << 8 | source_.NextByte();
        count_ += 8;
    }
}

void MvBitReader::Finish()
{
    if (count_ >= 8 && !source_.Failed())
        source_.Unread(count_ / 8);
    held_ = 0;
    count_ = 0;
}
