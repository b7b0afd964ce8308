#ifndef MV_STREAM_BYTES_H
#define MV_STREAM_BYTES_H

/// @file
/// Writing bytes and little-endian integers to an SDL stream, the same with every SDL
/// build (their stream calls differ in the types they count in, and not all of them have
/// SDL's little-endian writers).

#include <SDL.h>

#include <cstddef>
#include <cstdint>

/// Writes count bytes from data to stream: true when every byte was written.
inline bool MvWriteBytes(SDL_RWops* stream, const void* data, size_t count)
{
    return count == 0 || SDL_RWwrite(stream, data, count, 1) == 1;
}

/// Writes value to stream as 2 bytes, low byte first: true when both were written.
inline bool MvWriteLE16(SDL_RWops* stream, uint16_t value)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    return MvWriteBytes(stream, bytes, sizeof bytes);
}

/// Writes value to stream as 4 bytes, low byte first: true when all were written.
inline bool MvWriteLE32(SDL_RWops* stream, uint32_t value)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return MvWriteBytes(stream, bytes, sizeof bytes);
}

#endif
