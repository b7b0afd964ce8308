#include "MvBitReader.h"
#include "MvBitWriter.h"
#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvResourceReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<uint32_t, int>> Fields; // value, bits

// Fields are packed highest bit first, the first bit landing in bit 7 of the first byte;
// the last byte is padded with 0 bits and a 0-bit field takes no room.
TEST(MvBitWriter, PacksFieldsHighestBitFirst)
{
    struct Case {
        const char* what;
        Fields fields;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"nothing writes nothing", {}, {}},
        {"zero-bit fields take no room", {{0, 0}, {0, 0}}, {}},
        {"one bit lands in bit 7", {{1, 1}}, {0x80}},
        {"one-pixel image stream", {{0, 2}, {1, 4}, {1, 1}, {0, 3}, {0, 4}, {0, 0}, {0, 0}}, {0x06, 0x00}},
        {"a field crossing a byte", {{0x5, 3}, {0x1FF, 9}}, {0xBF, 0xF0}},
        {"whole bytes", {{0xAB, 8}, {0xCD, 8}}, {0xAB, 0xCD}},
        {"32 bits", {{0xDEADBEEF, 32}}, {0xDE, 0xAD, 0xBE, 0xEF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvMemoryStream stream;
        MvBitWriter writer(stream.Stream());
        for (const auto& field : c.fields)
            writer.Write(field.first, field.second);
        EXPECT_TRUE(writer.Flush());
        EXPECT_EQ(c.bytes, stream.Bytes());

        // The reader gets every field back and stops at the last byte.
        SDL_RWseek(stream.Stream(), 0, RW_SEEK_SET);
        MvResourceReader reader(stream.Stream(), "bits");
        MvBitReader bits(reader);
        for (const auto& field : c.fields)
            EXPECT_EQ(field.first, bits.Read(field.second));
        bits.Finish();
        EXPECT_FALSE(reader.Failed());
        EXPECT_EQ(static_cast<long>(c.bytes.size()), reader.Offset());
    }
}

// The bit reader takes bytes ahead of need, but once finished the bytes after the last one
// it used are read next, and the fill bits of that last byte are dropped.
TEST(MvBitReader, FinishLeavesTheFollowingBytesUnread)
{
    MvMemoryStream stream;
    MvBitWriter writer(stream.Stream());
    writer.Write(0x2A, 6);
    writer.Write(0x1234, 13);
    writer.Flush();
    for (uint8_t b = 1; b <= 12; ++b)
        SDL_RWwrite(stream.Stream(), &b, 1, 1);
    SDL_RWseek(stream.Stream(), 0, RW_SEEK_SET);
    MvResourceReader reader(stream.Stream(), "bits");
    {
        MvBitReader bits(reader);
        EXPECT_EQ(0x2Au, bits.Read(6));
        EXPECT_EQ(0, bits.ByteOffset());
        EXPECT_EQ(0x1234u, bits.Read(13));
        EXPECT_EQ(2, bits.ByteOffset());
    }
    EXPECT_EQ(3, reader.Offset());
    uint8_t next = 0;
    EXPECT_TRUE(reader.ReadUint8(&next));
    EXPECT_EQ(1, next);
}

// Mixed widths round-trip, and BitsLeft counts what remains of the current byte and the
// rest of the data.
TEST(MvBitReader, ReadsBackMixedWidthsAndCountsBitsLeft)
{
    Fields fields;
    uint32_t seed = 12345;
    for (int i = 0; i < 500; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int bits = static_cast<int>((seed >> 16) % 17);
        const uint32_t value = bits == 0 ? 0 : (seed >> 3) & ((1u << bits) - 1);
        fields.push_back({value, bits});
    }
    MvMemoryStream stream;
    MvBitWriter writer(stream.Stream());
    int64_t total = 0;
    for (const auto& field : fields) {
        writer.Write(field.first, field.second);
        total += field.second;
    }
    writer.Flush();
    ASSERT_EQ(static_cast<size_t>((total + 7) / 8), stream.Size());

    SDL_RWseek(stream.Stream(), 0, RW_SEEK_SET);
    MvResourceReader reader(stream.Stream(), "bits");
    MvBitReader bits(reader);
    int64_t consumed = 0;
    for (const auto& field : fields) {
        ASSERT_EQ(field.first, bits.Read(field.second));
        consumed += field.second;
        ASSERT_EQ(static_cast<int64_t>(stream.Size()) * 8 - consumed, bits.BitsLeft());
    }
    EXPECT_FALSE(reader.Failed());
}

// Past the end of the data the values are 0 and the reader holds the error.
TEST(MvBitReader, PastTheEndReadsZeroAndSetsTheError)
{
    const uint8_t data[] = {0xFF};
    MvMemoryStream stream(data, sizeof data);
    MvResourceReader reader(stream.Stream(), "short.dat");
    MvBitReader bits(reader);
    EXPECT_EQ(0x7Fu, bits.Read(7));
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(0x2u, bits.Read(2)); // the last bit of the byte, then a missing one
    EXPECT_TRUE(reader.Failed());
    EXPECT_NE(std::string::npos, reader.Error().find("'short.dat' at byte 1"));
    EXPECT_EQ(0u, bits.Read(8));
}

TEST(MvBitStreamDeathTest, OutOfRangeFieldsAreCaught)
{
    MvMemoryStream stream;
    MvBitWriter writer(stream.Stream());
    MvResourceReader reader(stream.Stream(), "bits");
    MvBitReader bits(reader);
    const MvDeathCase cases[] = {
        {"a value wider than its field", [&] { writer.Write(4, 2); }, "bits == 32 || value < (uint32_t(1) << bits)"},
        {"writing 33 bits", [&] { writer.Write(0, 33); }, "bits >= 0 && bits <= 32"},
        {"writing -1 bits", [&] { writer.Write(0, -1); }, "bits >= 0 && bits <= 32"},
        {"reading 33 bits", [&] { bits.Read(33); }, "bits >= 0 && bits <= 32"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
