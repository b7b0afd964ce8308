#include "MvMemoryStream.h"

#include "MvAssert.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

MvMemoryStream* Owner(SDL_RWops* context) { return static_cast<MvMemoryStream*>(context->hidden.unknown.data1); }

} // namespace

MvMemoryStream::MvMemoryStream() : stream_(nullptr), position_(0) { Attach(); }

MvMemoryStream::MvMemoryStream(const void* data, size_t size)
    : stream_(nullptr), bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size),
      position_(0)
{
    Attach();
}

MvMemoryStream::~MvMemoryStream() { SDL_FreeRW(stream_); }

void MvMemoryStream::Attach()
{
    stream_ = SDL_AllocRW();
    MvAssert(stream_ != nullptr);
    stream_->seek = Seek;
    stream_->read = Read;
    stream_->write = Write;
    stream_->close = Close;
    stream_->hidden.unknown.data1 = this;
}

int MvMemoryStream::Seek(SDL_RWops* context, int offset, int whence)
{
    MvMemoryStream* self = Owner(context);
    long base;
    switch (whence) {
    case RW_SEEK_SET:
        base = 0;
        break;
    case RW_SEEK_CUR:
        base = static_cast<long>(self->position_);
        break;
    case RW_SEEK_END:
        base = static_cast<long>(self->bytes_.size());
        break;
    default:
        return -1;
    }
    const long target = base + offset;
    if (target < 0 || target > INT_MAX)
        return -1;
    self->position_ = static_cast<size_t>(target);
    return static_cast<int>(target);
}

int MvMemoryStream::Read(SDL_RWops* context, void* ptr, int size, int maxnum)
{
    MvMemoryStream* self = Owner(context);
    if (size <= 0 || maxnum <= 0)
        return 0;
    const size_t available = self->position_ < self->bytes_.size() ? self->bytes_.size() - self->position_ : 0;
    const size_t count = std::min(available / static_cast<size_t>(size), static_cast<size_t>(maxnum));
    const size_t bytes = count * static_cast<size_t>(size);
    if (bytes > 0)
        std::memcpy(ptr, self->bytes_.data() + self->position_, bytes);
    self->position_ += bytes;
    return static_cast<int>(count);
}

int MvMemoryStream::Write(SDL_RWops* context, const void* ptr, int size, int num)
{
    MvMemoryStream* self = Owner(context);
    if (size <= 0 || num <= 0)
        return 0;
    const size_t bytes = static_cast<size_t>(size) * static_cast<size_t>(num);
    if (self->position_ + bytes > INT_MAX)
        return -1;
    if (self->position_ + bytes > self->bytes_.size())
        self->bytes_.resize(self->position_ + bytes);
    std::memcpy(self->bytes_.data() + self->position_, ptr, bytes);
    self->position_ += bytes;
    return num;
}

int MvMemoryStream::Close(SDL_RWops*)
{
    // The stream lives as long as its MvMemoryStream; closing it would free it twice.
    MvAssert(!"an MvMemoryStream's stream is closed with its owner");
    return -1;
}
