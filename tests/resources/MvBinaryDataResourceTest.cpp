#include "ResourceFileBytes.h"
#include "ResourceTestSupport.h"

#include "MvBinaryDataResource.h"
#include "MvFailedCheck.h"
#include "MvMemoryStream.h"
#include "MvResourceReader.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvTextDataResource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Binary data: reading and saving binary-data records, loading files, and malformed
// records; files mixing text and binary data, cut short anywhere.

namespace {

using namespace restest;

std::vector<uint8_t> BinaryPayload(const char* name, uint32_t id, const std::vector<uint8_t>& bytes)
{
    return ByteBuilder().Name(name).U32(id).U32(static_cast<uint32_t>(bytes.size())).Raw(bytes).Bytes();
}

std::vector<uint8_t> BytesOf(const MvBinaryDataResource& resource)
{
    if (resource.Data() == nullptr)
        return {};
    return std::vector<uint8_t>(resource.Data(), resource.Data() + resource.Length());
}

// A binary-data resource read from its record payload.
std::unique_ptr<MvBinaryDataResource> Read(const char* name, uint32_t id, const std::vector<uint8_t>& bytes)
{
    const std::vector<uint8_t> payload = BinaryPayload(name, id, bytes);
    MvMemoryStream stream(payload.data(), payload.size());
    MvResourceReader reader(stream.Stream(), "binary.dat");
    std::unique_ptr<MvBinaryDataResource> resource(
        new MvBinaryDataResource(static_cast<uint32_t>(payload.size()), reader));
    EXPECT_FALSE(reader.Failed()) << reader.Error();
    EXPECT_EQ(0, reader.Remaining());
    return resource;
}

class TempFile {
public:
    explicit TempFile(const std::string& name) : path_(testing::TempDir() + "movo-" + name) {}
    ~TempFile() { std::remove(path_.c_str()); }
    const char* Path() const { return path_.c_str(); }
    void Write(const std::vector<uint8_t>& bytes) const
    {
        FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        if (!bytes.empty()) {
            EXPECT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
        }
        std::fclose(f);
    }

private:
    std::string path_;
};

// Any bytes, zeros and 0xFF among them, come back as they were saved; a record of
// length 0 gives no data.
TEST(MvBinaryDataResource, SaveWritesTheRecordTheReaderReads)
{
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> cases[] = {{}, {0}, {0xFF, 0, 0x7F}, all, std::vector<uint8_t>(70000, 0xA5)};
    for (const auto& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        std::unique_ptr<MvBinaryDataResource> read = Read("blob", 21, bytes);
        EXPECT_STREQ("blob", read->Name());
        EXPECT_EQ(21, read->Id());
        EXPECT_EQ(static_cast<int>(bytes.size()), read->Length());
        EXPECT_EQ(bytes, BytesOf(*read));
        if (bytes.empty()) {
            EXPECT_EQ(nullptr, read->Data());
        }

        MvMemoryStream stream;
        MvResourceWriter writer(stream.Stream());
        read->Save(writer);
        EXPECT_FALSE(writer.Failed());
        EXPECT_EQ(Record(8, BinaryPayload("blob", 21, bytes)), stream.Bytes());
    }

    MvBinaryDataResource made("made");
    EXPECT_EQ(0, made.Id());
    EXPECT_EQ(nullptr, made.Data());
    EXPECT_EQ(0, made.Length());
    EXPECT_EQ(8, made.Type());
    EXPECT_EQ("BinaryData", made.TypeName());
    EXPECT_EQ(&made, made.AsBinaryDataResource());
    EXPECT_EQ(nullptr, made.AsTextDataResource());
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    made.Save(writer);
    EXPECT_EQ(Record(8, BinaryPayload("made", 0, {})), stream.Bytes());
}

// LoadFile takes a whole file once; a resource that has data keeps it, and a file that
// cannot be opened changes nothing, silently.
TEST(MvBinaryDataResource, LoadFileTakesAWholeFileOnce)
{
    std::vector<uint8_t> contents(5000);
    for (size_t i = 0; i < contents.size(); ++i)
        contents[i] = static_cast<uint8_t>(i * 7);
    TempFile file("binary-data.bin");
    file.Write(contents);
    TempFile other("binary-data-other.bin");
    other.Write({1, 2, 3});
    MvLogCapture log;

    MvBinaryDataResource resource("file");
    EXPECT_FALSE(resource.LoadFile("no/such/folder/data.bin"));
    EXPECT_EQ(nullptr, resource.Data());
    EXPECT_EQ(0, resource.Length());
    EXPECT_FALSE(resource.LoadFile(testing::TempDir().c_str())) << "a folder cannot be read";
    EXPECT_EQ(nullptr, resource.Data());
    EXPECT_EQ(0, resource.Length());

    EXPECT_TRUE(resource.LoadFile(file.Path()));
    EXPECT_EQ(contents, BytesOf(resource));
    const uint8_t* data = resource.Data();
    EXPECT_FALSE(resource.LoadFile(other.Path()));
    EXPECT_EQ(data, resource.Data());
    EXPECT_EQ(contents, BytesOf(resource));

    std::unique_ptr<MvBinaryDataResource> read = Read("r", 1, {9, 9});
    EXPECT_FALSE(read->LoadFile(other.Path())) << "data read from a record counts as data";
    EXPECT_EQ((std::vector<uint8_t>{9, 9}), BytesOf(*read));

    TempFile empty("binary-data-empty.bin");
    empty.Write({});
    MvBinaryDataResource nothing("nothing");
    EXPECT_TRUE(nothing.LoadFile(empty.Path()));
    EXPECT_EQ(0, nothing.Length());
    EXPECT_EQ("", log.Text());
}

// Text and binary data load together from one file and are found by their own getters
// only.
TEST(MvBinaryDataResource, LoadsFromAResourceFileBesideTextData)
{
    const std::vector<uint8_t> file =
        FileOf({Record(8, BinaryPayload("level", 5, {1, 0, 2})), Record(8, BinaryPayload("none", 6, {})),
                Record(7, ByteBuilder().Name("level").U32(5).Name("text").Bytes())});
    MvResourceVault vault;
    MvLogCapture log(MvLogCapture::QuietStdout);
    ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size()))) << log.Text();
    ASSERT_EQ(3, vault.ResourceCount());
    MvBinaryDataResource* level = vault.FindBinaryDataResource("level");
    ASSERT_NE(nullptr, level);
    EXPECT_EQ(level, vault.FindBinaryDataResource(5));
    EXPECT_EQ(level, vault.FindResource("BinaryData", "level"));
    EXPECT_EQ((std::vector<uint8_t>{1, 0, 2}), BytesOf(*level));
    ASSERT_NE(nullptr, vault.FindBinaryDataResource(6));
    EXPECT_EQ(0, vault.FindBinaryDataResource(6)->Length());
    ASSERT_NE(nullptr, vault.FindTextDataResource(5));
    EXPECT_EQ("text", vault.FindTextDataResource(5)->Text());
    EXPECT_EQ(nullptr, vault.FindTextDataResource("none"));
}

// A binary-data record whose length its record does not hold is refused before anything
// is allocated for it, with one message naming the file, the byte and what is wrong.
TEST(MvBinaryDataResource, RefusesMalformedRecords)
{
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        const char* message;
    } cases[] = {
        {"a length beyond the record",
         FileOf({Record(8, ByteBuilder().Name("b").U32(1).U32(5).U8(1).U8(2).Bytes())}),
         "at byte 36: binary data 'b' has a length of 5 bytes, but its record holds 2 after it"},
        {"the largest length", FileOf({Record(8, ByteBuilder().Name("b").U32(1).U32(0xFFFFFFFF).Bytes())}),
         "binary data 'b' has a length of 4294967295 bytes, but its record holds 0 after it"},
        {"a length above the largest int",
         FileOf({Record(8, ByteBuilder().Name("b").U32(1).U32(0x80000000u).Bytes())}),
         "binary data 'b' has a length of 2147483648 bytes"},
        {"a record that ends in its length", FileOf({Record(8, ByteBuilder().Name("b").U32(1).U16(0).Bytes())}),
         "the data passes the end of its record"},
        {"a record longer than its bytes",
         FileOf({Record(8, ByteBuilder().Raw(BinaryPayload("b", 1, {7})).U8(0).Bytes())}),
         "the record's payload ends after 11 of the 12 bytes its size gives"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(FreshVaultRefuses(c.file, c.message));
    }
}

// Every shortened copy of a file with text and binary data is refused without a crash, a
// leak or a sanitizer report; the whole file loads.
TEST(MvBinaryDataResource, EveryTruncatedDataFileIsRefused)
{
    const std::vector<uint8_t> file =
        FileOf({Record(7, ByteBuilder().Name("words").U32(1).Name("a\nb").Bytes()),
                Record(8, BinaryPayload("bytes", 2, {0, 1, 2, 3, 4})), Record(8, BinaryPayload("", 3, {}))});
    ExpectEveryTruncationRefused(file, 3);
}

TEST(MvBinaryDataResourceDeathTest, BrokenPreconditionsAreCaught)
{
    MvBinaryDataResource resource("b");
    EXPECT_DEATH(resource.LoadFile(nullptr), MvFailedCheck("path != nullptr"));
    EXPECT_DEATH(MvBinaryDataResource(nullptr), MvFailedCheck("name != nullptr"));
}

} // namespace
