#include "ResourceFileBytes.h"
#include "ResourceTestSupport.h"

#include "MvFailedCheck.h"
#include "MvGrowArray.h"
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

// Text data: splitting into lines, reading and saving text-data records, loading text
// files, and malformed records.

namespace {

using namespace restest;

// The payload of a text-data record: name, id, the text's bytes and a zero byte.
std::vector<uint8_t> TextPayload(const char* name, uint32_t id, const std::string& text)
{
    ByteBuilder payload;
    payload.Name(name).U32(id);
    for (char c : text)
        payload.U8(static_cast<uint8_t>(c));
    payload.U8(0);
    return payload.Bytes();
}

// A text-data resource read from a record payload holding text.
std::unique_ptr<MvTextDataResource> Read(const std::string& text)
{
    const std::vector<uint8_t> payload = TextPayload("t", 1, text);
    MvMemoryStream stream(payload.data(), payload.size());
    MvResourceReader reader(stream.Stream(), "text.dat");
    std::unique_ptr<MvTextDataResource> resource(new MvTextDataResource(static_cast<uint32_t>(payload.size()), reader));
    EXPECT_FALSE(reader.Failed()) << reader.Error();
    EXPECT_EQ(0, reader.Remaining());
    return resource;
}

std::vector<std::string> Lines(const MvTextDataResource& resource)
{
    MvGrowArray<std::string> lines;
    resource.GetLines(&lines);
    return std::vector<std::string>(lines.Items(), lines.Items() + lines.Count());
}

// A file under the test's temporary folder; removed with the object.
class TempFile {
public:
    explicit TempFile(const std::string& name) : path_(testing::TempDir() + "movo-" + name) {}
    ~TempFile() { std::remove(path_.c_str()); }
    const char* Path() const { return path_.c_str(); }
    void Write(const std::string& bytes) const
    {
        FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }

private:
    std::string path_;
};

// ---------------------------------------------------------------------------------------
// Lines

TEST(MvTextDataResource, GetLinesSplitsAtNewlines)
{
    const std::string longLine(5000, 'x');
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"the empty text", "", {}},
        {"one line without a newline", "a", {"a"}},
        {"one line with its newline", "a\n", {"a"}},
        {"an empty line between two", "a\n\nb", {"a", "", "b"}},
        {"a lone newline", "\n", {""}},
        {"only newlines", "\n\n\n", {"", "", ""}},
        {"a leading empty line", "\nz", {"", "z"}},
        {"trailing empty lines", "a\n\n", {"a", ""}},
        {"carriage returns stay in their lines", "a\r\nb\r\n\r", {"a\r", "b\r", "\r"}},
        {"spaces are kept", "  a b \n ", {"  a b ", " "}},
        {"a long line", longLine + "\nend", {longLine, "end"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<MvTextDataResource> resource = Read(c.text);
        EXPECT_EQ(c.text, resource->Text());
        EXPECT_EQ(c.lines, Lines(*resource));
    }
}

// GetLines appends to what the array already holds.
TEST(MvTextDataResource, GetLinesAppends)
{
    std::unique_ptr<MvTextDataResource> resource = Read("b\nc");
    MvGrowArray<std::string> lines;
    lines.Append("a");
    resource->GetLines(&lines);
    resource->GetLines(&lines);
    ASSERT_EQ(5, lines.Count());
    EXPECT_EQ("a", lines[0]);
    EXPECT_EQ("b", lines[1]);
    EXPECT_EQ("c", lines[2]);
    EXPECT_EQ("b", lines[3]);
    EXPECT_EQ("c", lines[4]);
}

// ---------------------------------------------------------------------------------------
// Records and files

// Save writes exactly the record the reader reads; a resource made by program code has
// id 0 and the empty text. The vault finds loaded text data by name and by id.
TEST(MvTextDataResource, SaveWritesTheRecordTheReaderReads)
{
    const std::string texts[] = {"", "one line", "two\nlines\n", std::string(3000, 'q') + "\r\n"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        std::unique_ptr<MvTextDataResource> read = Read(text);
        read->SetIdentity("notes", 17);
        MvMemoryStream stream;
        MvResourceWriter writer(stream.Stream());
        read->Save(writer);
        EXPECT_FALSE(writer.Failed());
        EXPECT_EQ(Record(7, TextPayload("notes", 17, text)), stream.Bytes());
        EXPECT_EQ(0, writer.PixelTally());
    }

    MvTextDataResource made("made");
    EXPECT_EQ(0, made.Id());
    EXPECT_EQ("", made.Text());
    EXPECT_EQ(7, made.Type());
    EXPECT_EQ("TextData", made.TypeName());
    EXPECT_EQ(&made, made.AsTextDataResource());
    EXPECT_EQ(nullptr, made.AsBinaryDataResource());
    EXPECT_EQ(nullptr, made.AsCanvasResource());
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    made.Save(writer);
    EXPECT_EQ(Record(7, TextPayload("made", 0, "")), stream.Bytes());
}

TEST(MvTextDataResource, LoadsFromAResourceFile)
{
    std::unique_ptr<MvTextDataResource> a = Read("first\nsecond\n");
    a->SetIdentity("a", 3);
    std::unique_ptr<MvTextDataResource> b = Read("");
    b->SetIdentity("b", 4);
    std::unique_ptr<MvSpriteResource> sprite(MakeSprite("a", 3, {{"Stand", 1, {{{"R"}, 0, 0, 0, 0}}}}));
    std::vector<uint8_t> file;
    {
        MvLogCapture quiet(MvLogCapture::QuietStdout);
        file = SaveFile({a.get(), sprite.get(), b.get()});
    }
    MvResourceVault vault;
    MvLogCapture log(MvLogCapture::QuietStdout);
    ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size()))) << log.Text();
    ASSERT_EQ(3, vault.ResourceCount());
    MvTextDataResource* loaded = vault.FindTextDataResource("a");
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(loaded, vault.FindTextDataResource(3));
    EXPECT_EQ(loaded, vault.FindResource("TextData", "a"));
    EXPECT_EQ("first\nsecond\n", loaded->Text());
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), Lines(*loaded));
    ASSERT_NE(nullptr, vault.FindTextDataResource(4));
    EXPECT_EQ("", vault.FindTextDataResource("b")->Text());
    EXPECT_EQ(nullptr, vault.FindBinaryDataResource("a"));
    EXPECT_NE(nullptr, vault.FindSpriteResource("a"));
}

// LoadTextFile takes the whole file, lines longer than its 1023-byte pieces included,
// and replaces the text; a file that cannot be opened leaves the text empty silently.
TEST(MvTextDataResource, LoadTextFileReadsTheWholeFile)
{
    const std::string contents = "short\n" + std::string(1023, 'a') + "\n" + std::string(2500, 'b') + "\n\nlast";
    TempFile file("text-data.txt");
    file.Write(contents);
    MvTextDataResource resource("file");
    MvLogCapture log;
    EXPECT_TRUE(resource.LoadTextFile(file.Path()));
    EXPECT_EQ(contents, resource.Text());
    EXPECT_EQ((std::vector<std::string>{"short", std::string(1023, 'a'), std::string(2500, 'b'), "", "last"}),
              Lines(resource));
    EXPECT_TRUE(resource.LoadTextFile(file.Path()));
    EXPECT_EQ(contents, resource.Text()) << "loading again replaces, it does not append";

    TempFile empty("text-data-empty.txt");
    empty.Write("");
    EXPECT_TRUE(resource.LoadTextFile(empty.Path()));
    EXPECT_EQ("", resource.Text());

    resource.LoadTextFile(file.Path());
    EXPECT_FALSE(resource.LoadTextFile("no/such/folder/text.txt"));
    EXPECT_EQ("", resource.Text());
    EXPECT_FALSE(resource.LoadTextFile(testing::TempDir().c_str())) << "a folder is no text file";
    EXPECT_EQ("", resource.Text());
    EXPECT_EQ("", log.Text());
}

// A text-data record is refused with one message naming the file, the byte and what is
// wrong; the vault keeps nothing of the file.
TEST(MvTextDataResource, RefusesMalformedRecords)
{
    std::vector<uint8_t> noZero = TextPayload("t", 1, "abc");
    noZero.pop_back();
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        const char* message;
    } cases[] = {
        {"a text without its zero byte", FileOf({Record(7, noZero)}),
         "at byte 36: the text of text data 't' has no zero byte before its record ends"},
        {"a record that ends in its name", FileOf({Record(7, ByteBuilder().U8('n').Bytes())}),
         "the data passes the end of its record"},
        {"a record that ends in its id", FileOf({Record(7, ByteBuilder().Name("n").U16(1).Bytes())}),
         "the data passes the end of its record"},
        {"a record longer than its text",
         FileOf({Record(7, ByteBuilder().Raw(TextPayload("t", 1, "ab")).U8('x').Bytes())}),
         "the record's payload ends after 9 of the 10 bytes its size gives"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(FreshVaultRefuses(c.file, c.message));
    }
}

TEST(MvTextDataResourceDeathTest, BrokenPreconditionsAreCaught)
{
    MvTextDataResource resource("t");
    EXPECT_DEATH(resource.GetLines(nullptr), MvFailedCheck("lines != nullptr"));
    EXPECT_DEATH(resource.LoadTextFile(nullptr), MvFailedCheck("path != nullptr"));
    EXPECT_DEATH(MvTextDataResource(nullptr), MvFailedCheck("name != nullptr"));
}

} // namespace
