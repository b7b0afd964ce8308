#include "MvRleFile.h"

#include "MvBitReader.h"
#include "MvBitWriter.h"
#include "MvLoadPool.h"
#include "MvLog.h"
#include "MvResourceReader.h"
#include "MvRle.h"
#include "MvStreamBytes.h"

#include <algorithm>
#include <new>

namespace {

// Byte offsets in the stored header of the offset, the size and the channel table, for
// messages.
const long OffsetAt = 2;
const long SizeAt = 10;
const long ChannelsAt = 26;

// Bits needed to store v: 0 for 0, otherwise the smallest b with v < 2^b.
int BitsNeeded(uint32_t v)
{
    int bits = 0;
    while (bits < 32 && (v >> bits) != 0)
        ++bits;
    return bits;
}

// The fields of the stored header, as read.
struct StoredHeader {
    uint16_t flags;
    int32_t offsetX, offsetY, width, height, deltaX, deltaY;
    uint8_t channels[8]; // smallest value and bits of red, green, blue and alpha
};

// Reads the header and refuses values out of range; false with the reader's error set.
bool ReadHeader(MvResourceReader& reader, StoredHeader* header)
{
    const long start = reader.Offset();
    header->flags = 0;
    reader.ReadUint16(&header->flags);
    reader.ReadInt32(&header->offsetX);
    reader.ReadInt32(&header->offsetY);
    reader.ReadInt32(&header->width);
    reader.ReadInt32(&header->height);
    reader.ReadInt32(&header->deltaX);
    reader.ReadInt32(&header->deltaY);
    reader.ReadBytes(header->channels, sizeof header->channels);
    if (reader.Failed())
        return false;
    const int offsetX = header->offsetX, offsetY = header->offsetY;
    const int width = header->width, height = header->height;
    if (offsetX < -MvRle::MaxReadOffset || offsetX > MvRle::MaxReadOffset || offsetY < -MvRle::MaxReadOffset ||
        offsetY > MvRle::MaxReadOffset)
        return reader.FailAt(start + OffsetAt, "the image offset (%d, %d) lies outside -%d..%d", offsetX, offsetY,
                             MvRle::MaxReadOffset, MvRle::MaxReadOffset);
    if (width < 0 || width > MvRle::MaxSize || height < 0 || height > MvRle::MaxSize)
        return reader.FailAt(start + SizeAt, "the image size %d x %d lies outside 0..%d", width, height,
                             MvRle::MaxSize);
    if ((width == 0) != (height == 0))
        return reader.FailAt(start + SizeAt, "the image size %d x %d is empty in one direction only", width,
                             height);
    for (int c = 0; c < 4; ++c) {
        if (header->channels[2 * c + 1] > 8)
            return reader.FailAt(start + ChannelsAt + 1 + 2 * c, "a colour channel takes %d bits, more than 8",
                                 header->channels[2 * c + 1]);
    }
    return true;
}

// Where the channels of a stored pixel lie: all four are read as one value of pixelBits
// bits, red highest, and each is added to its channel's smallest value.
struct ChannelLayout {
    explicit ChannelLayout(const uint8_t* channels)
        : redMin(channels[0]), greenMin(channels[2]), blueMin(channels[4]), alphaMin(channels[6]),
          pixelBits(channels[1] + channels[3] + channels[5] + channels[7]), blueShift(channels[7]),
          greenShift(channels[5] + channels[7]), redShift(channels[3] + channels[5] + channels[7]),
          redMask((1u << channels[1]) - 1), greenMask((1u << channels[3]) - 1), blueMask((1u << channels[5]) - 1),
          alphaMask((1u << channels[7]) - 1)
    {
    }

    uint32_t redMin, greenMin, blueMin, alphaMin;
    int pixelBits;
    int blueShift, greenShift, redShift;
    uint32_t redMask, greenMask, blueMask, alphaMask;
};

// What the pixels of one segment held, for the checks after they are read.
struct PixelSummary {
    uint32_t all;         // every channel value ORed: above 255 when one was
    uint32_t lowestAlpha; // below 255 when a pixel is translucent, 0 when one is invisible
};

// Reads count pixels into pixels.
inline PixelSummary ReadPixels(MvBitReader& in, const ChannelLayout& layout, MvColor* pixels, int count)
{
    const int pixelBits = layout.pixelBits;
    const int redShift = layout.redShift, greenShift = layout.greenShift, blueShift = layout.blueShift;
    const uint32_t redMask = layout.redMask, greenMask = layout.greenMask, blueMask = layout.blueMask;
    const uint32_t alphaMask = layout.alphaMask;
    const uint32_t redMin = layout.redMin, greenMin = layout.greenMin, blueMin = layout.blueMin;
    const uint32_t alphaMin = layout.alphaMin;
    uint32_t all = 0;
    uint32_t lowestAlpha = 255;
    for (int i = 0; i < count; ++i) {
        // The four channels of a pixel take at most 32 bits: one read, then split.
        const uint32_t packed = in.Read(pixelBits);
        const uint32_t red = (packed >> redShift & redMask) + redMin;
        const uint32_t green = (packed >> greenShift & greenMask) + greenMin;
        const uint32_t blue = (packed >> blueShift & blueMask) + blueMin;
        const uint32_t alpha = (packed & alphaMask) + alphaMin;
        all |= red | green | blue | alpha;
        lowestAlpha = std::min(lowestAlpha, alpha);
        pixels[i].Set(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue),
                      static_cast<uint8_t>(alpha));
    }
    return {all, lowestAlpha};
}

// count empty objects for an image being read: from pool while a load is under way (then
// *flags gets MvRleInPool), from the heap otherwise. Null, with the reader's error set at
// offset, when the pool has not that much room left or no memory for it.
template <typename T>
T* NewItems(MvLoadPool* pool, int count, MvResourceReader& reader, long offset, const char* tally, uint32_t* flags)
{
    if (pool == nullptr)
        return new T[count];
    const size_t bytes = sizeof(T) * static_cast<size_t>(count);
    if (pool->Remaining() < bytes) {
        reader.FailAt(offset, "the images hold more %s than the file's tally", tally);
        return nullptr;
    }
    T* items = static_cast<T*>(pool->Alloc(bytes));
    if (items == nullptr) {
        reader.FailAt(offset, "there is no memory for the images' %s", tally);
        return nullptr;
    }
    for (int i = 0; i < count; ++i)
        new (items + i) T();
    *flags |= MvRleInPool;
    return items;
}

// Reads the bit-packed rows of one image of the given width, checking every row and
// segment against the data left and against the flags the stored form gives.
class RowReader {
public:
    RowReader(MvResourceReader& reader, const uint8_t* channels, int width)
        : reader_(reader), in_(reader), layout_(channels), width_(width), segmentPool_(CurrentSegmentPool()),
          pixelPool_(CurrentPixelPool())
    {
    }

    // Reads row k into line; *translucent tells whether a pixel of it has alpha below 255.
    bool ReadRow(int k, MvRleLine* line, bool* translucent);
    // Offset of the next unread byte, for messages.
    long ByteOffset() const { return in_.ByteOffset(); }

private:
    bool ReadSegment(int k, int previousEnd, MvRleSegment* segment, bool* segmentTranslucent);

    MvResourceReader& reader_;
    MvBitReader in_;
    const ChannelLayout layout_;
    const int width_;
    MvLoadPool* const segmentPool_;
    MvLoadPool* const pixelPool_;
};

bool RowReader::ReadRow(int k, MvRleLine* line, bool* translucent)
{
    const uint32_t rowFlags = in_.Read(2) & MvRleHasAlpha;
    const uint32_t count = in_.Read(in_.Read(4));
    if (reader_.Failed())
        return false;
    if (count > MvRle::MaxSegmentsPerRow)
        return reader_.FailAt(in_.ByteOffset(), "row %d has %u segments, more than %d", k, count,
                              MvRle::MaxSegmentsPerRow);
    if (static_cast<int64_t>(count) * 7 > in_.BitsLeft())
        return reader_.FailAt(in_.ByteOffset(), "row %d has %u segments, but the data ends early (%lld bits left)", k,
                              count, static_cast<long long>(in_.BitsLeft()));
    line->flags = rowFlags;
    if (count > 0) {
        line->segments = NewItems<MvRleSegment>(segmentPool_, static_cast<int>(count), reader_, in_.ByteOffset(),
                                                "segments", &line->flags);
        if (line->segments == nullptr)
            return false;
        line->segmentCount = static_cast<int32_t>(count);
    }

    int previousEnd = -2;
    bool rowTranslucent = false;
    for (uint32_t s = 0; s < count; ++s) {
        MvRleSegment& segment = line->segments[s];
        bool segmentTranslucent = false;
        if (!ReadSegment(k, previousEnd, &segment, &segmentTranslucent))
            return false;
        rowTranslucent |= segmentTranslucent;
        previousEnd = segment.end;
    }
    if (rowTranslucent && !rowFlags)
        return reader_.FailAt(in_.ByteOffset(), "row %d is marked opaque but has translucent pixels", k);
    *translucent = rowTranslucent;
    return true;
}

bool RowReader::ReadSegment(int k, int previousEnd, MvRleSegment* segment, bool* segmentTranslucent)
{
    const uint32_t segmentFlags = in_.Read(3) & MvRleHasAlpha;
    const int columnBits = static_cast<int>(in_.Read(4));
    const uint32_t first = in_.Read(columnBits);
    const uint32_t last = in_.Read(columnBits);
    if (reader_.Failed())
        return false;
    if (first > last)
        return reader_.FailAt(in_.ByteOffset(), "row %d: a segment starts at column %u, after its end %u", k, first,
                              last);
    if (last >= static_cast<uint32_t>(width_))
        return reader_.FailAt(in_.ByteOffset(), "row %d: a segment ends at column %u, outside the image width %d", k,
                              last, width_);
    if (static_cast<int>(first) <= previousEnd + 1)
        return reader_.FailAt(in_.ByteOffset(),
                              "row %d: the segment at column %u overlaps or touches the one before it", k, first);
    const int length = static_cast<int>(last - first) + 1;
    if (length > MvRle::MaxSegmentLength)
        return reader_.FailAt(in_.ByteOffset(), "row %d: a segment of %d pixels is longer than %d", k, length,
                              MvRle::MaxSegmentLength);
    const int pixelBits = layout_.pixelBits;
    if (static_cast<int64_t>(length) * pixelBits > in_.BitsLeft())
        return reader_.FailAt(in_.ByteOffset(),
                              "row %d: a segment of %d pixels needs %lld bits, but the data ends early (%lld "
                              "bits left)",
                              k, length, static_cast<long long>(length) * pixelBits,
                              static_cast<long long>(in_.BitsLeft()));
    MvColor* const pixels =
        NewItems<MvColor>(pixelPool_, length, reader_, in_.ByteOffset(), "pixels", &segment->flags);
    if (pixels == nullptr)
        return false;
    segment->pixels = pixels;
    segment->flags |= segmentFlags;
    segment->start = static_cast<uint16_t>(first);
    segment->end = static_cast<uint16_t>(last);
    MvAddRlePixels(length);

    const PixelSummary summary = ReadPixels(in_, layout_, pixels, length);
    if (reader_.Failed())
        return false;
    if (summary.all > 255)
        return reader_.FailAt(in_.ByteOffset(), "row %d: a pixel channel of the segment at column %u is above 255", k,
                              first);
    if (summary.lowestAlpha == 0)
        return reader_.FailAt(in_.ByteOffset(), "row %d: the segment at column %u stores a fully transparent pixel",
                              k, first);
    const bool translucent = summary.lowestAlpha < 255;
    if (translucent && !segmentFlags)
        return reader_.FailAt(in_.ByteOffset(),
                              "row %d: the segment at column %u is marked opaque but has translucent pixels", k,
                              first);
    *segmentTranslucent = translucent;
    return true;
}

// Each channel's smallest value over the image's pixels and the bits its range needs, in
// the order of the stored channel table (0 and 0 for an image without pixels).
void MeasureChannels(const MvRle& image, int* low, int* bits)
{
    int high[4] = {0, 0, 0, 0};
    bool anyPixel = false;
    for (int ch = 0; ch < 4; ++ch)
        low[ch] = 255;
    for (int k = 0; k < image.Height(); ++k) {
        const MvRleLine& line = image.Row(k);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            for (int i = 0; i < segment.Length(); ++i) {
                const MvColor& c = segment.pixels[i];
                const int value[4] = {c.red, c.green, c.blue, c.alpha};
                for (int ch = 0; ch < 4; ++ch) {
                    low[ch] = std::min(low[ch], value[ch]);
                    high[ch] = std::max(high[ch], value[ch]);
                }
                anyPixel = true;
            }
        }
    }
    for (int ch = 0; ch < 4; ++ch) {
        if (!anyPixel)
            low[ch] = high[ch] = 0;
        bits[ch] = BitsNeeded(static_cast<uint32_t>(high[ch] - low[ch]));
    }
}

// The rows, each channel of a pixel stored relative to low in its bits.
void WriteRows(const MvRle& image, MvBitWriter& out, const int* low, const int* bits)
{
    for (int k = 0; k < image.Height(); ++k) {
        const MvRleLine& line = image.Row(k);
        const uint32_t count = static_cast<uint32_t>(line.segmentCount);
        const int countBits = BitsNeeded(count);
        out.Write(line.flags & MvRleHasAlpha, 2);
        out.Write(static_cast<uint32_t>(countBits), 4);
        out.Write(count, countBits);
        for (int s = 0; s < line.segmentCount; ++s) {
            const MvRleSegment& segment = line.segments[s];
            const int columnBits = BitsNeeded(segment.end);
            out.Write(segment.flags & MvRleHasAlpha, 3);
            out.Write(static_cast<uint32_t>(columnBits), 4);
            out.Write(segment.start, columnBits);
            out.Write(segment.end, columnBits);
            for (int i = 0; i < segment.Length(); ++i) {
                const MvColor& c = segment.pixels[i];
                out.Write(static_cast<uint32_t>(c.red - low[0]), bits[0]);
                out.Write(static_cast<uint32_t>(c.green - low[1]), bits[1]);
                out.Write(static_cast<uint32_t>(c.blue - low[2]), bits[2]);
                out.Write(static_cast<uint32_t>(c.alpha - low[3]), bits[3]);
            }
        }
    }
}

} // namespace

bool MvRleFile::Read(MvRle* image, MvResourceReader& reader)
{
    StoredHeader header;
    if (!ReadHeader(reader, &header))
        return false;
    image->flags_ = header.flags & MvRleHasAlpha;
    image->offsetX_ = header.offsetX;
    image->offsetY_ = header.offsetY;
    image->deltaX_ = header.deltaX;
    image->deltaY_ = header.deltaY;
    if (header.height == 0)
        return false;
    image->width_ = header.width;
    image->height_ = header.height;
    if (!ReadRows(image, reader, header.channels)) {
        image->Release();
        return false;
    }
    return true;
}

bool MvRleFile::ReadRows(MvRle* image, MvResourceReader& reader, const uint8_t* channels)
{
    // Every row takes at least 6 bits and every segment at least 7: counts that the data
    // left cannot hold are refused before anything is allocated for them.
    const int height = image->height_;
    const int64_t bitsLeft = static_cast<int64_t>(reader.Remaining()) * 8;
    if (static_cast<int64_t>(height) * 6 > bitsLeft)
        return reader.Fail("the image's %d rows need at least %lld bits, but the data ends early (%lld bits left)",
                           height, static_cast<long long>(height) * 6, static_cast<long long>(bitsLeft));
    image->rows_ = NewItems<MvRleLine>(CurrentLinePool(), height, reader, reader.Offset(), "rows", &image->flags_);
    if (image->rows_ == nullptr)
        return false;

    RowReader rows(reader, channels, image->width_);
    bool imageTranslucent = false;
    for (int k = 0; k < height; ++k) {
        bool rowTranslucent = false;
        if (!rows.ReadRow(k, &image->rows_[k], &rowTranslucent))
            return false;
        imageTranslucent |= rowTranslucent;
    }
    if (imageTranslucent && !(image->flags_ & MvRleHasAlpha))
        return reader.FailAt(rows.ByteOffset(), "the image is marked opaque but has translucent pixels");
    return true;
}

bool MvRleFile::Write(const MvRle& image, SDL_RWops* stream)
{
    MvLog("Writing RLE: (");
    if (image.HasAlpha())
        MvLog("ALPHA ");

    bool ok = MvWriteLE16(stream, static_cast<uint16_t>(image.Flags() & MvRleHasAlpha));
    const int32_t numbers[6] = {image.OffsetX(), image.OffsetY(), image.Width(),
                                image.Height(),  image.DeltaX(),  image.DeltaY()};
    for (int32_t n : numbers)
        ok = MvWriteLE32(stream, static_cast<uint32_t>(n)) && ok;

    // Each channel is stored relative to its smallest value, in the bits its range needs.
    int low[4];
    int bits[4];
    MeasureChannels(image, low, bits);
    uint8_t channels[8];
    for (int ch = 0; ch < 4; ++ch) {
        channels[2 * ch] = static_cast<uint8_t>(low[ch]);
        channels[2 * ch + 1] = static_cast<uint8_t>(bits[ch]);
    }
    ok = MvWriteBytes(stream, channels, sizeof channels) && ok;

    MvBitWriter out(stream);
    WriteRows(image, out, low, bits);
    ok = out.Flush() && ok;
    MvLog(")\n size cx=%d cy=%d\n", image.Width(), image.Height());
    return ok;
}
