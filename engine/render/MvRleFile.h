#ifndef MV_RLE_FILE_H
#define MV_RLE_FILE_H

#include <SDL.h>

#include <cstdint>

class MvResourceReader;
class MvRle;

/// The stored form of an MvRle: a header (flags, offset, size, delta, and the smallest
/// value and bit count of each colour channel) followed by a bit-packed stream of rows, in
/// which every channel of a pixel takes only the bits its range over the image needs.
/// Reading checks every count and value against the data left before allocating for it,
/// so a damaged file ends in a message naming the byte, never in an assertion.
class MvRleFile {
public:
    /// Reads the stored form into image, which must be empty; see MvRle::Read.
    static bool Read(MvRle* image, MvResourceReader& reader);
    /// Writes image's stored form to stream and logs its size; see MvRle::Write.
    static bool Write(const MvRle& image, SDL_RWops* stream);

private:
    static bool ReadRows(MvRle* image, MvResourceReader& reader, const uint8_t* channels);
};

#endif
