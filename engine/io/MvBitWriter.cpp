#include "MvBitWriter.h"

#include "MvAssert.h"

MvBitWriter::MvBitWriter(SDL_RWops* stream) : stream_(stream), pending_(0), free_(8), ok_(true)
{
    MvAssert(stream != nullptr);
}

void MvBitWriter::Write(uint32_t value, int bits)
{
    MvAssert(bits >= 0 && bits <= 32);
    MvAssert(bits == 32 || value < (uint32_t(1) << bits));
    while (bits > 0) {
        const int take = bits < free_ ? bits : free_;
        bits -= take;
        const uint32_t part = (value >> bits) & ((uint32_t(1) << take) - 1);
        free_ -= take;
        pending_ = static_cast<uint8_t>(pending_ | (part << free_));
        if (free_ == 0)
            PutPending();
    }
}

void MvBitWriter::PutPending()
{
    if (SDL_RWwrite(stream_, &pending_, 1, 1) != 1)
        ok_ = false;
    pending_ = 0;
    free_ = 8;
}

bool MvBitWriter::Flush()
{
    if (free_ < 8)
        PutPending();
    return ok_;
}
