#include "ResourceTestSupport.h"

#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvResourceReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace restest;

TEST(MvResourceReader, ReadsLittleEndianFieldsAndNames)
{
    const std::vector<uint8_t> bytes =
        ByteBuilder().U8(0x7F).U16(0xBEEF).U32(0xDEADBEEF).U32(uint32_t(-2)).Name("hero").Name("").U8(9).Bytes();
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvResourceReader reader(stream.Stream(), "fields.dat");
    EXPECT_EQ(static_cast<long>(bytes.size()), reader.Size());
    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
    int32_t i32;
    std::string name;
    EXPECT_TRUE(reader.ReadUint8(&u8));
    EXPECT_EQ(0x7F, u8);
    EXPECT_TRUE(reader.ReadUint16(&u16));
    EXPECT_EQ(0xBEEF, u16);
    EXPECT_TRUE(reader.ReadUint32(&u32));
    EXPECT_EQ(0xDEADBEEFu, u32);
    EXPECT_TRUE(reader.ReadInt32(&i32));
    EXPECT_EQ(-2, i32);
    EXPECT_TRUE(reader.ReadName(&name));
    EXPECT_EQ("hero", name);
    EXPECT_TRUE(reader.ReadName(&name));
    EXPECT_EQ("", name);
    EXPECT_EQ(9, reader.NextByte());
    EXPECT_EQ(0, reader.Remaining());
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ("", reader.Error());
}

// Reads past the end set the one error, naming the file and the byte, and every later
// read yields zeros; only the first problem is reported.
TEST(MvResourceReader, TheFirstProblemBecomesTheError)
{
    const std::vector<uint8_t> bytes = ByteBuilder().U16(1).U8(2).Bytes();
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvResourceReader reader(stream.Stream(), "short.dat");
    MvLogCapture log;
    uint16_t u16;
    uint32_t u32 = 99;
    EXPECT_TRUE(reader.ReadUint16(&u16));
    EXPECT_FALSE(reader.ReadUint32(&u32));
    EXPECT_EQ(0u, u32);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ("Error in resource file 'short.dat' at byte 2: the file ends early (it has 3 bytes)", reader.Error());
    EXPECT_EQ(reader.Error() + "\n", log.Text());
    uint8_t u8 = 5;
    EXPECT_FALSE(reader.ReadUint8(&u8)); // the byte is there, but the reader has failed
    EXPECT_EQ(0, u8);
    EXPECT_EQ(0, reader.NextByte());
    EXPECT_FALSE(reader.FailAt(0, "something else"));
    EXPECT_EQ(reader.Error() + "\n", log.Text());
}

TEST(MvResourceReader, NamesNeedTheirZeroWithinTheLimit)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        size_t limit;
        const char* error; // null: read
    };
    const Case cases[] = {
        {"at the limit", ByteBuilder().Name("abcd").Bytes(), 4, nullptr},
        {"past the limit", ByteBuilder().Name("abcde").Bytes(), 4,
         "at byte 0: a name has no zero byte within 4 characters"},
        {"no zero byte", {'a', 'b'}, 255, "at byte 2: the file ends early"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvMemoryStream stream(c.bytes.data(), c.bytes.size());
        MvResourceReader reader(stream.Stream(), "names.dat");
        std::string name = "old";
        const bool ok = reader.ReadName(&name, c.limit);
        EXPECT_EQ(c.error == nullptr, ok);
        if (c.error != nullptr) {
            EXPECT_EQ("", name);
            EXPECT_NE(std::string::npos, reader.Error().find(c.error)) << reader.Error();
        }
    }
}

// An end set for a record stops reads at the record's last byte; lifting it lets reads go
// on to the end of the stream.
TEST(MvResourceReader, AnEndStopsReadsAtTheRecord)
{
    const std::vector<uint8_t> bytes = ByteBuilder().U32(1).U32(2).U32(3).Bytes();
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvResourceReader reader(stream.Stream(), "records.dat");
    uint32_t v;
    reader.SetEnd(6);
    EXPECT_EQ(6, reader.End());
    EXPECT_TRUE(reader.ReadUint32(&v));
    EXPECT_EQ(2, reader.Remaining());
    reader.ClearEnd();
    EXPECT_TRUE(reader.ReadUint32(&v));
    EXPECT_EQ(2u, v);
    reader.SetEnd(10);
    EXPECT_FALSE(reader.ReadUint32(&v));
    EXPECT_NE(std::string::npos, reader.Error().find("at byte 8: the data passes the end of its record (at byte 10)"))
        << reader.Error();
}

// Reads go through a buffer, yet the stream ends up just after the last byte consumed,
// also across many buffer refills.
TEST(MvResourceReader, LeavesTheStreamAfterTheLastByteRead)
{
    std::vector<uint8_t> bytes(10000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    MvMemoryStream stream(bytes.data(), bytes.size());
    SDL_RWseek(stream.Stream(), 3, RW_SEEK_SET);
    {
        MvResourceReader reader(stream.Stream(), "big.dat");
        EXPECT_EQ(3, reader.Offset());
        std::vector<uint8_t> chunk(5000);
        EXPECT_TRUE(reader.ReadBytes(chunk.data(), chunk.size()));
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 3, bytes.begin() + 5003), chunk);
        for (int i = 0; i < 4000; ++i)
            ASSERT_EQ(bytes[5003 + i], reader.NextByte());
        EXPECT_EQ(9003, reader.Offset());
    }
    EXPECT_EQ(9003, SDL_RWtell(stream.Stream()));
}

// Unread steps back within the buffer or, for bytes before it, reads them again.
TEST(MvResourceReader, UnreadStepsBackWithinAndBeforeTheBuffer)
{
    std::vector<uint8_t> bytes(10000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 13);
    MvMemoryStream stream(bytes.data(), bytes.size());
    MvResourceReader reader(stream.Stream(), "big.dat");
    std::vector<uint8_t> chunk(6000);
    ASSERT_TRUE(reader.ReadBytes(chunk.data(), chunk.size()));
    reader.Unread(3);
    EXPECT_EQ(bytes[5997], reader.NextByte());
    reader.Unread(5500);
    EXPECT_EQ(498, reader.Offset());
    for (int i = 498; i < 9000; ++i)
        ASSERT_EQ(bytes[i], reader.NextByte());
    EXPECT_FALSE(reader.Failed());
}

TEST(MvResourceReaderDeathTest, BrokenPreconditionsAreCaught)
{
    const uint8_t data[4] = {};
    MvMemoryStream stream(data, sizeof data);
    MvResourceReader reader(stream.Stream(), "x");
    const MvDeathCase cases[] = {
        {"no stream", [] { MvResourceReader(nullptr, "x"); }, "stream != nullptr"},
        {"no file name", [&] { MvResourceReader(stream.Stream(), nullptr); }, "fileName != nullptr"},
        {"an end past the data", [&] { reader.SetEnd(5); }, "end >= Offset() && end <= size_"},
        {"unreading before the start", [&] { reader.Unread(1); }, "count >= 0 && count <= Offset() - start_"},
        {"consuming more than is buffered", [&] { reader.Consume(5); },
         "count >= 0 && count <= bufferLimit_ - position_"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
