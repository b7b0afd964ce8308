#include "MvResourceReader.h"

#include "MvAssert.h"
#include "MvLog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

MvResourceReader::MvResourceReader(SDL_RWops* stream, const char* fileName)
    : stream_(stream), failed_(false), start_(0), size_(0), end_(0), bufferOffset_(0), bufferLength_(0),
      bufferLimit_(0), position_(0)
{
    MvAssert(stream != nullptr);
    MvAssert(fileName != nullptr);
    fileName_ = fileName;
    const int start = SDL_RWtell(stream_);
    const int size = start < 0 ? -1 : SDL_RWseek(stream_, 0, RW_SEEK_END);
    if (start < 0 || size < start || SDL_RWseek(stream_, start, RW_SEEK_SET) != start) {
        size_ = -1;
        Fail("the stream cannot tell its size");
        return;
    }
    start_ = start;
    bufferOffset_ = start;
    size_ = size;
    end_ = size;
}

MvResourceReader::~MvResourceReader()
{
    if (size_ >= 0)
        SDL_RWseek(stream_, static_cast<int>(Offset()), RW_SEEK_SET);
}

void MvResourceReader::UpdateLimit()
{
    if (failed_) {
        bufferLimit_ = 0;
        return;
    }
    const long limit = end_ - bufferOffset_;
    bufferLimit_ = static_cast<int>(std::max(0L, std::min(limit, static_cast<long>(bufferLength_))));
}

bool MvResourceReader::Refill()
{
    MvAssert(position_ == bufferLength_);
    bufferOffset_ += bufferLength_;
    position_ = 0;
    bufferLength_ = 0;
    const long wanted = std::min(static_cast<long>(BufferSize), size_ - bufferOffset_);
    const int got = wanted > 0 ? SDL_RWread(stream_, buffer_, 1, static_cast<int>(wanted)) : 0;
    if (got <= 0) {
        UpdateLimit();
        return Fail("the stream could not be read");
    }
    bufferLength_ = got;
    UpdateLimit();
    return true;
}

uint8_t MvResourceReader::NextByteSlow()
{
    if (failed_)
        return 0;
    if (Offset() >= end_) {
        Take(nullptr, 1);
        return 0;
    }
    if (!Refill())
        return 0;
    return buffer_[position_++];
}

bool MvResourceReader::Take(void* data, size_t count)
{
    uint8_t* out = static_cast<uint8_t*>(data);
    if (!failed_ && static_cast<unsigned long>(Remaining()) < count) {
        if (end_ == size_)
            Fail("the file ends early (it has %ld bytes)", size_);
        else
            Fail("the data passes the end of its record (at byte %ld)", end_);
    }
    if (failed_) {
        if (out != nullptr)
            std::memset(out, 0, count);
        return false;
    }
    while (count > 0) {
        if (position_ == bufferLength_ && !Refill()) {
            std::memset(out, 0, count);
            return false;
        }
        const size_t chunk = std::min(count, static_cast<size_t>(bufferLength_ - position_));
        std::memcpy(out, buffer_ + position_, chunk);
        position_ += static_cast<int>(chunk);
        out += chunk;
        count -= chunk;
    }
    return true;
}

bool MvResourceReader::ReadUint8(uint8_t* value) { return Take(value, 1); }

bool MvResourceReader::ReadUint16(uint16_t* value)
{
    uint8_t b[2];
    const bool ok = Take(b, sizeof b);
    *value = static_cast<uint16_t>(b[0] | b[1] << 8);
    return ok;
}

bool MvResourceReader::ReadUint32(uint32_t* value)
{
    uint8_t b[4];
    const bool ok = Take(b, sizeof b);
    *value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
             static_cast<uint32_t>(b[3]) << 24;
    return ok;
}

bool MvResourceReader::ReadInt32(int32_t* value)
{
    uint32_t raw;
    const bool ok = ReadUint32(&raw);
    *value = static_cast<int32_t>(raw);
    return ok;
}

bool MvResourceReader::ReadBytes(void* data, size_t count) { return Take(data, count); }

bool MvResourceReader::ReadName(std::string* name, size_t maxLength)
{
    name->clear();
    const long start = Offset();
    for (;;) {
        uint8_t c;
        if (!Take(&c, 1)) {
            name->clear();
            return false;
        }
        if (c == 0)
            return true;
        if (name->size() == maxLength) {
            name->clear();
            return FailAt(start, "a name has no zero byte within %zu characters", maxLength);
        }
        name->push_back(static_cast<char>(c));
    }
}

void MvResourceReader::Unread(long count)
{
    MvAssert(count >= 0 && count <= Offset() - start_);
    if (count <= position_) {
        position_ -= static_cast<int>(count);
        return;
    }
    // The bytes lie before the buffer: read again from there.
    const long offset = Offset() - count;
    if (SDL_RWseek(stream_, static_cast<int>(offset), RW_SEEK_SET) != offset) {
        Fail("the stream could not seek back to byte %ld", offset);
        return;
    }
    bufferOffset_ = offset;
    bufferLength_ = 0;
    position_ = 0;
    UpdateLimit();
}

void MvResourceReader::SetEnd(long end)
{
    MvAssert(end >= Offset() && end <= size_);
    end_ = end;
    UpdateLimit();
}

void MvResourceReader::ClearEnd()
{
    end_ = size_;
    UpdateLimit();
}

bool MvResourceReader::Fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FailAtV(Offset(), format, args);
    va_end(args);
    return false;
}

bool MvResourceReader::FailAt(long offset, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FailAtV(offset, format, args);
    va_end(args);
    return false;
}

bool MvResourceReader::FailAtV(long offset, const char* format, va_list args)
{
    if (failed_)
        return false;
    failed_ = true;
    UpdateLimit();
    char what[512];
    std::vsnprintf(what, sizeof what, format, args);
    char text[1024];
    std::snprintf(text, sizeof text, "Error in resource file '%s' at byte %ld: %s", fileName_.c_str(), offset, what);
    error_ = text;
    MvLogError("%s\n", text);
    return false;
}
