#ifndef MV_MEMORY_STREAM_H
#define MV_MEMORY_STREAM_H

#include "MvStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

/// A stream over a growable block of memory, for writing resource data without a file:
/// writes past the end extend the block, seeks and reads work as on a file. SDL 1.2's own
/// memory streams have a fixed size, which a writer that does not know the final size in
/// advance cannot use.
class MvMemoryStream : public MvStream {
public:
    /// An empty block, positioned at 0.
    MvMemoryStream();
    /// A block holding a copy of size bytes from data, positioned at 0.
    MvMemoryStream(const void* data, size_t size);

    /// The bytes written so far.
    const uint8_t* Data() const;
    /// Number of bytes written so far.
    size_t Size() const;
    /// The block itself, as a vector of the bytes written so far.
    const std::vector<uint8_t>& Bytes() const;

    /// Positions past the end of the block are allowed (a write there extends it, a read
    /// finds nothing); positions past INT_MAX are not, as SDL 1.2 streams count in int.
    long Seek(long offset, int whence) override;
    long Read(void* data, size_t size, size_t count) override;
    long Write(const void* data, size_t size, size_t count) override;

private:
    std::vector<uint8_t> bytes_;
    size_t position_;
};

inline const uint8_t* MvMemoryStream::Data() const { return bytes_.data(); }
inline size_t MvMemoryStream::Size() const { return bytes_.size(); }
inline const std::vector<uint8_t>& MvMemoryStream::Bytes() const { return bytes_; }

#endif
