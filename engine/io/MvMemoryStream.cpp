#include "MvMemoryStream.h"

#include <algorithm>
#include <climits>
#include <cstring>

MvMemoryStream::MvMemoryStream() : position_(0) {}

MvMemoryStream::MvMemoryStream(const void* data, size_t size)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size), position_(0)
{
}

long MvMemoryStream::Seek(long offset, int whence)
{
    long base;
    switch (whence) {
    case RW_SEEK_SET:
        base = 0;
        break;
    case RW_SEEK_CUR:
        base = static_cast<long>(position_);
        break;
    case RW_SEEK_END:
        base = static_cast<long>(bytes_.size());
        break;
    default:
        return -1;
    }
    if (offset < -base || offset > INT_MAX - base)
        return -1;
    position_ = static_cast<size_t>(base + offset);
    return static_cast<long>(position_);
}

long MvMemoryStream::Read(void* data, size_t size, size_t count)
{
    if (size == 0 || count == 0)
        return 0;
    const size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const size_t objects = std::min(available / size, count);
    const size_t bytes = objects * size;
    if (bytes > 0)
        std::memcpy(data, bytes_.data() + position_, bytes);
    position_ += bytes;
    return static_cast<long>(objects);
}

long MvMemoryStream::Write(const void* data, size_t size, size_t count)
{
    if (size == 0 || count == 0)
        return 0;
    if (count > INT_MAX / size || position_ + size * count > INT_MAX)
        return -1;
    const size_t bytes = size * count;
    if (position_ + bytes > bytes_.size())
        bytes_.resize(position_ + bytes);
    std::memcpy(bytes_.data() + position_, data, bytes);
    position_ += bytes;
    return static_cast<long>(count);
}
