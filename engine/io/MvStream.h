#ifndef MV_STREAM_H
#define MV_STREAM_H

#include <SDL.h>

#include <cstddef>

/// The base of the engine's own streams: an object that reads, writes and seeks, seen by
/// the engine's readers and writers as an SDL stream (Stream()), whose callbacks call the
/// virtual functions here. SDL builds differ in the callbacks' types (int counts and
/// offsets in SDL 1.2, size_t counts and long offsets in the browser's SDL); the callbacks
/// are made for whichever the SDL header declares, so one stream class serves both. The
/// engine allocates the SDL stream object itself and frees it with the stream, so it needs
/// nothing of SDL's stream allocation either.
class MvStream {
public:
    /// Allocates the SDL stream object, bound to this stream.
    MvStream();
    /// Frees the SDL stream object; a derived class has released what it holds by then.
    virtual ~MvStream();

    MvStream(const MvStream&) = delete;
    MvStream& operator=(const MvStream&) = delete;

    /// The SDL stream; closing it through SDL_RWclose is not allowed (it belongs here).
    SDL_RWops* Stream() const;

    /// Moves to offset from whence (RW_SEEK_SET, RW_SEEK_CUR or RW_SEEK_END): the new
    /// position, or -1 (the position unchanged) when the target is before the start or
    /// cannot be reached.
    virtual long Seek(long offset, int whence) = 0;
    /// Reads up to count objects of size bytes into data: the number of whole objects read
    /// (0 at the end), or -1 after a read error.
    virtual long Read(void* data, size_t size, size_t count) = 0;
    /// Writes count objects of size bytes from data: the number of whole objects written
    /// (count when all were), or -1 after a write error.
    virtual long Write(const void* data, size_t size, size_t count) = 0;

private:
    SDL_RWops* stream_;
};

inline SDL_RWops* MvStream::Stream() const { return stream_; }

#endif
