#ifndef MV_MEMORY_STREAM_H
#define MV_MEMORY_STREAM_H

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

/// An SDL stream over a growable block of memory, for writing resource data without a
/// file: writes past the end extend the block, seeks and reads work as on a file. SDL 1.2's
/// own memory streams have a fixed size, which a writer that does not know the final size
/// in advance cannot use. The stream object belongs to this class and lives as long as it.
class MvMemoryStream {
public:
    /// An empty block, positioned at 0.
    MvMemoryStream();
    /// A block holding a copy of size bytes from data, positioned at 0.
    MvMemoryStream(const void* data, size_t size);
    /// Frees the stream object and the block.
    ~MvMemoryStream();

    MvMemoryStream(const MvMemoryStream&) = delete;
    MvMemoryStream& operator=(const MvMemoryStream&) = delete;

    /// The SDL stream; closing it through SDL_RWclose is not allowed (it belongs here).
    SDL_RWops* Stream() const;

    /// The bytes written so far.
    const uint8_t* Data() const;
    /// Number of bytes written so far.
    size_t Size() const;
    /// The block itself, as a vector of the bytes written so far.
    const std::vector<uint8_t>& Bytes() const;

private:
    static int Seek(SDL_RWops* context, int offset, int whence);
    static int Read(SDL_RWops* context, void* ptr, int size, int maxnum);
    static int Write(SDL_RWops* context, const void* ptr, int size, int num);
    static int Close(SDL_RWops* context);
    void Attach();

    SDL_RWops* stream_;
    std::vector<uint8_t> bytes_;
    size_t position_;
};

inline SDL_RWops* MvMemoryStream::Stream() const { return stream_; }
inline const uint8_t* MvMemoryStream::Data() const { return bytes_.data(); }
inline size_t MvMemoryStream::Size() const { return bytes_.size(); }
inline const std::vector<uint8_t>& MvMemoryStream::Bytes() const { return bytes_; }

#endif
