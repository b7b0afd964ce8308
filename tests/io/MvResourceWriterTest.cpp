#include "ResourceTestSupport.h"

#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvResourceWriter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

using namespace restest;

// The writer lays out a complete file: header with the summed tallies, records whose size
// fields count the bytes after them, and the end record.
TEST(MvResourceWriter, WritesHeaderRecordsAndTallies)
{
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    writer.BeginRecord(7);
    writer.WriteName("abc");
    writer.WriteUint32(5);
    writer.WriteUint16(0x0102);
    writer.WriteUint8(3);
    writer.WriteInt32(-1);
    writer.AddTallies(10, 2, 3);
    writer.EndRecord();
    writer.BeginRecord(9);
    writer.EndRecord();
    writer.AddTallies(1, 1, 1);
    EXPECT_EQ(11, writer.PixelTally());
    EXPECT_EQ(3, writer.LineTally());
    EXPECT_EQ(4, writer.SegmentTally());
    EXPECT_TRUE(writer.EndFile());
    EXPECT_FALSE(writer.Failed());

    const std::vector<uint8_t> expected = ByteBuilder()
                                              .U8('M').U8('O').U8('V').U8('O').Name("2.0.2")
                                              .U32(11).U32(3).U32(4)
                                              .U32(7).U32(15).Name("abc").U32(5).U16(0x0102).U8(3).U32(0xFFFFFFFF)
                                              .U32(9).U32(0)
                                              .U32(1).U32(0)
                                              .Bytes();
    EXPECT_EQ(expected, stream.Bytes());
    // The stream stands after the end record.
    EXPECT_EQ(static_cast<int>(expected.size()), SDL_RWtell(stream.Stream()));
}

// Files on disk are written the same way.
TEST(MvResourceWriter, WritesToAFile)
{
    char path[] = "/tmp/movo-writer-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    SDL_RWops* file = SDL_RWFromFile(path, "wb");
    ASSERT_NE(nullptr, file);
    {
        MvResourceWriter writer(file);
        writer.BeginFile();
        writer.BeginRecord(2);
        writer.WriteName("x");
        writer.EndRecord();
        EXPECT_TRUE(writer.EndFile());
    }
    SDL_RWclose(file);
    FILE* in = std::fopen(path, "rb");
    ASSERT_NE(nullptr, in);
    std::vector<uint8_t> bytes(64);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
    std::fclose(in);
    std::remove(path);
    EXPECT_EQ(ByteBuilder().U8('M').U8('O').U8('V').U8('O').Name("2.0.2").U32(0).U32(0).U32(0)
                  .U32(2).U32(2).Name("x").U32(1).U32(0).Bytes(),
              bytes);
}

// A stream that takes no more bytes, or tallies too big for their fields, make EndFile
// report failure.
TEST(MvResourceWriter, ReportsWhatCouldNotBeWritten)
{
    uint8_t small[20];
    SDL_RWops* fixed = SDL_RWFromMem(small, sizeof small);
    {
        MvResourceWriter writer(fixed);
        writer.BeginFile();
        writer.BeginRecord(2);
        writer.WriteName("a name too long for twenty bytes");
        writer.EndRecord();
        EXPECT_FALSE(writer.EndFile());
        EXPECT_TRUE(writer.Failed());
    }
    SDL_RWclose(fixed);

    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    writer.AddTallies(int64_t(1) << 32, 0, 0);
    EXPECT_FALSE(writer.EndFile());
}

// The memory stream grows on writes past its end and reads and seeks like a file.
TEST(MvMemoryStream, GrowsOnWritesAndReadsBack)
{
    MvMemoryStream stream;
    SDL_RWops* rw = stream.Stream();
    EXPECT_EQ(1, SDL_RWwrite(rw, "abcdef", 6, 1));
    EXPECT_EQ(2, SDL_RWseek(rw, 2, RW_SEEK_SET));
    EXPECT_EQ(1, SDL_RWwrite(rw, "XYZWV", 5, 1));
    EXPECT_EQ(std::vector<uint8_t>({'a', 'b', 'X', 'Y', 'Z', 'W', 'V'}), stream.Bytes());
    EXPECT_EQ(7, SDL_RWseek(rw, 0, RW_SEEK_END));
    EXPECT_EQ(-1, SDL_RWseek(rw, -8, RW_SEEK_CUR));
    EXPECT_EQ(4, SDL_RWseek(rw, -3, RW_SEEK_END));
    char out[8] = {};
    EXPECT_EQ(1, SDL_RWread(rw, out, 2, 5)); // one whole 2-byte object is left
    EXPECT_EQ(std::string("ZW"), std::string(out));
    EXPECT_EQ(0, SDL_RWread(rw, out, 2, 1));

    const uint8_t data[3] = {1, 2, 3};
    MvMemoryStream copy(data, sizeof data);
    EXPECT_EQ(3u, copy.Size());
    EXPECT_EQ(0, SDL_RWtell(copy.Stream()));
}

TEST(MvResourceWriterDeathTest, BrokenPreconditionsAreCaught)
{
    MvMemoryStream stream;
    MvResourceWriter fresh(stream.Stream());
    MvMemoryStream inRecordStream;
    MvResourceWriter inRecord(inRecordStream.Stream());
    inRecord.BeginFile();
    inRecord.BeginRecord(2);
    const MvDeathCase cases[] = {
        {"EndRecord with no record open", [&] { fresh.EndRecord(); }, "recordOpen_"},
        {"EndFile before BeginFile", [&] { fresh.EndFile(); }, "tallyOffset_ >= 0 && !recordOpen_ && !ended_"},
        {"negative tallies", [&] { fresh.AddTallies(-1, 0, 0); }, "pixels >= 0 && lines >= 0 && segments >= 0"},
        {"no stream", [] { MvResourceWriter(nullptr); }, "stream != nullptr"},
        {"BeginFile twice", [&] { inRecord.BeginFile(); }, "tallyOffset_ < 0 && !recordOpen_ && !ended_"},
        {"BeginRecord inside a record", [&] { inRecord.BeginRecord(2); }, "!recordOpen_"},
        {"EndFile inside a record", [&] { inRecord.EndFile(); }, "tallyOffset_ >= 0 && !recordOpen_ && !ended_"},
        {"closing the stream of an MvMemoryStream", [&] { SDL_RWclose(stream.Stream()); },
         "!\"an engine stream is closed with its owner, not through SDL_RWclose\""},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
