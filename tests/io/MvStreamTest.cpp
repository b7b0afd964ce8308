#include "MvFileStream.h"
#include "MvMemoryStream.h"
#include "MvScratchFolder.h"
#include "MvStreamBytes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Both kinds of engine stream, seen the way the engine's readers and writers see them:
// through SDL's stream calls, which reach the stream through its callbacks.
struct StreamKind {
    const char* name;
    std::function<std::unique_ptr<MvStream>(const std::string& folder)> make;
};

std::unique_ptr<MvStream> MakeMemoryStream(const std::string&) { return std::make_unique<MvMemoryStream>(); }

std::unique_ptr<MvStream> MakeFileStream(const std::string& folder)
{
    auto file = std::make_unique<MvFileStream>();
    EXPECT_TRUE(file->Open((folder + "/stream.bin").c_str(), "w+b"));
    return file;
}

const StreamKind Kinds[] = {{"memory", MakeMemoryStream}, {"file", MakeFileStream}};

// Runs check on a fresh stream of each kind, through its SDL stream.
void ForEachKind(const std::function<void(SDL_RWops* rw)>& check)
{
    for (const StreamKind& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        MvScratchFolder folder;
        std::unique_ptr<MvStream> stream = kind.make(folder.Path());
        check(stream->Stream());
    }
}

TEST(MvStream, WritesSeeksAndReadsThroughSdlCalls)
{
    ForEachKind([](SDL_RWops* rw) {
        const char text[] = "abcdefgh";
        EXPECT_EQ(SDL_RWwrite(rw, text, 2, 4), 4);
        EXPECT_EQ(SDL_RWtell(rw), 8);
        EXPECT_EQ(SDL_RWseek(rw, -3, RW_SEEK_END), 5);
        char got[8] = {};
        // Only whole objects are read: 3 bytes left make one object of 2.
        EXPECT_EQ(SDL_RWread(rw, got, 2, 4), 1);
        EXPECT_EQ(std::string(got, 2), "fg");
        EXPECT_EQ(SDL_RWseek(rw, 2, RW_SEEK_SET), 2);
        EXPECT_EQ(SDL_RWseek(rw, 1, RW_SEEK_CUR), 3);
        EXPECT_EQ(SDL_RWread(rw, got, 1, 8), 5);
        EXPECT_EQ(std::string(got, 5), "defgh");
        EXPECT_EQ(SDL_RWread(rw, got, 1, 8), 0) << "at the end nothing is read";
        EXPECT_EQ(SDL_RWread(rw, got, 0, 8), 0);
        EXPECT_EQ(SDL_RWwrite(rw, text, 1, 0), 0);
    });
}

TEST(MvStream, SeekBeforeTheStartFailsAndKeepsThePosition)
{
    ForEachKind([](SDL_RWops* rw) {
        ASSERT_TRUE(MvWriteBytes(rw, "0123", 4));
        EXPECT_EQ(SDL_RWseek(rw, 1, RW_SEEK_SET), 1);
        EXPECT_EQ(SDL_RWseek(rw, -2, RW_SEEK_CUR), -1);
        EXPECT_EQ(SDL_RWseek(rw, -5, RW_SEEK_END), -1);
        EXPECT_EQ(SDL_RWseek(rw, 0, 99), -1) << "an unknown origin";
        EXPECT_EQ(SDL_RWtell(rw), 1);
    });
}

// A memory stream may be positioned past its end (a write there fills the gap with zero
// bytes) but not past what SDL 1.2 can count.
TEST(MvMemoryStream, GrowsOnWritesPastTheEndUpToIntMax)
{
    MvMemoryStream stream;
    SDL_RWops* rw = stream.Stream();
    EXPECT_EQ(SDL_RWseek(rw, 3, RW_SEEK_SET), 3);
    EXPECT_EQ(stream.Size(), 0u) << "seeking writes nothing";
    ASSERT_TRUE(MvWriteBytes(rw, "x", 1));
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{0, 0, 0, 'x'}));
    EXPECT_EQ(SDL_RWseek(rw, INT_MAX, RW_SEEK_SET), INT_MAX);
    EXPECT_EQ(SDL_RWseek(rw, 1, RW_SEEK_CUR), -1);
    EXPECT_FALSE(MvWriteBytes(rw, "y", 1)) << "a write would pass INT_MAX";
    EXPECT_EQ(stream.Size(), 4u);
}

TEST(MvStreamBytes, WritesLittleEndianIntegers)
{
    MvMemoryStream stream;
    ASSERT_TRUE(MvWriteLE16(stream.Stream(), 0x1234));
    ASSERT_TRUE(MvWriteLE32(stream.Stream(), 0x89ABCDEFu));
    ASSERT_TRUE(MvWriteBytes(stream.Stream(), nullptr, 0)) << "nothing to write is no failure";
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89}));
}

TEST(MvFileStream, OpenFailureKeepsTheReason)
{
    MvScratchFolder folder;
    MvFileStream file;
    errno = 0;
    EXPECT_FALSE(file.Open((folder.Path() + "/missing.dat").c_str(), "rb"));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(file.IsOpen());
    char byte;
    EXPECT_EQ(file.Read(&byte, 1, 1), -1) << "no file, no read";
    EXPECT_EQ(file.Seek(0, RW_SEEK_SET), -1);
    EXPECT_EQ(SDL_RWwrite(file.Stream(), &byte, 1, 1), -1);
    EXPECT_TRUE(file.Close()) << "closing nothing is no failure";
}

// A full disk shows at the latest when the file is closed.
TEST(MvFileStream, WriteFailureIsReported)
{
    MvFileStream file;
    if (!file.Open("/dev/full", "wb"))
        GTEST_SKIP() << "/dev/full cannot be opened here";
    const std::vector<uint8_t> block(1 << 16, 7);
    const bool written = MvWriteBytes(file.Stream(), block.data(), block.size());
    errno = 0;
    const bool closed = file.Close();
    EXPECT_FALSE(written && closed);
    EXPECT_FALSE(file.IsOpen());
}

TEST(MvFileStream, ReopeningClosesTheFirstFile)
{
    MvScratchFolder folder;
    const std::string first = folder.Path() + "/first.bin";
    const std::string second = folder.Path() + "/second.bin";
    MvFileStream file;
    ASSERT_TRUE(file.Open(first.c_str(), "wb"));
    ASSERT_TRUE(MvWriteBytes(file.Stream(), "one", 3));
    ASSERT_TRUE(file.Open(second.c_str(), "wb"));
    // The first file was closed, so its bytes reached it.
    MvFileStream check;
    ASSERT_TRUE(check.Open(first.c_str(), "rb"));
    char got[3] = {};
    EXPECT_EQ(check.Read(got, 1, 3), 3);
    EXPECT_EQ(std::string(got, 3), "one");
}

} // namespace
