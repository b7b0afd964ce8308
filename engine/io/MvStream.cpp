#include "MvStream.h"

#include "MvAssert.h"

#include <limits>
#include <new>
#include <type_traits>

namespace {

MvStream* Owner(SDL_RWops* context) { return static_cast<MvStream*>(context->hidden.unknown.data1); }

// A count or offset from the stream's long as the callback's type: SDL 1.2's int callbacks
// report an error as -1, the browser's size_t counts as 0; a value beyond int is an error.
template <typename Result> Result FromLong(long value)
{
    if constexpr (std::is_unsigned<Result>::value)
        return value < 0 ? Result(0) : static_cast<Result>(value);
    else
        return value > static_cast<long>(std::numeric_limits<Result>::max()) ? Result(-1) : static_cast<Result>(value);
}

// A count parameter of the callback's type as size_t: a negative int count asks for nothing.
template <typename Count> size_t ToSize(Count count)
{
    return count > 0 ? static_cast<size_t>(count) : 0;
}

template <typename Offset> Offset SeekCall(SDL_RWops* context, Offset offset, int whence)
{
    return FromLong<Offset>(Owner(context)->Seek(static_cast<long>(offset), whence));
}

template <typename Count> Count ReadCall(SDL_RWops* context, void* data, Count size, Count count)
{
    return FromLong<Count>(Owner(context)->Read(data, ToSize(size), ToSize(count)));
}

template <typename Count> Count WriteCall(SDL_RWops* context, const void* data, Count size, Count count)
{
    return FromLong<Count>(Owner(context)->Write(data, ToSize(size), ToSize(count)));
}

int CloseCall(SDL_RWops*)
{
    // The SDL stream lives as long as its owner; closing it would free it twice.
    MvAssert(!"an engine stream is closed with its owner, not through SDL_RWclose");
    return -1;
}

} // namespace

MvStream::MvStream() : stream_(new SDL_RWops())
{
    // Each callback is instantiated for the parameter types the SDL header declares.
    stream_->seek = SeekCall;
    stream_->read = ReadCall;
    stream_->write = WriteCall;
    stream_->close = CloseCall;
    stream_->hidden.unknown.data1 = this;
}

MvStream::~MvStream() { delete stream_; }
