#ifndef MV_BIT_WRITER_H
#define MV_BIT_WRITER_H

#include <SDL.h>

#include <cstdint>

/// Packs values of any width from 0 to 32 bits into a byte stream, most significant bit
/// first: the first bit written is bit 7 of the first byte. It keeps one pending byte and
/// writes it to the SDL stream when it is full, so a stored image's fields cost exactly
/// their bit widths. Flush pads the last byte with 0 bits.
class MvBitWriter {
public:
    /// Writes to stream (not owned). Asserts stream is not null.
    explicit MvBitWriter(SDL_RWops* stream);

    /// Appends value in bits bits, highest bit first. Asserts 0 <= bits <= 32 and
    /// value < 2^bits; a 0-bit field takes no room.
    void Write(uint32_t value, int bits);

    /// Writes the pending byte when it holds at least one bit, padded with 0 bits. Returns
    /// true when every byte so far reached the stream.
    bool Flush();

    /// False once a byte could not be written.
    bool Ok() const;

private:
    void PutPending();

    SDL_RWops* stream_;
    uint8_t pending_;
    int free_; ///< free bits in pending_, 8 when it is empty
    bool ok_;
};

inline bool MvBitWriter::Ok() const { return ok_; }

#endif
