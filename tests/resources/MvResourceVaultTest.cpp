#include "ResourceTestSupport.h"

#include "MvAction.h"
#include "MvFailedCheck.h"
#include "MvLoadPool.h"
#include "MvResource.h"
#include "MvResourceVault.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace restest;

// A resource file written byte by byte: sprite "hero" (id 5) with actions "Stand" (id 1,
// one pixel 10, 20, 30) and "Walk" (id 2, a red and a green pixel), and sprite "coin"
// (id 9) whose action "NONE" (id 2) holds one empty frame.
std::vector<uint8_t> HandWrittenFile()
{
    const std::vector<uint8_t> onePixel = ByteBuilder()
                                              .U16(0).U32(0).U32(0).U32(1).U32(1).U32(0).U32(0)
                                              .U8(10).U8(0).U8(20).U8(0).U8(30).U8(0).U8(255).U8(0)
                                              .U8(0x06).U8(0x00)
                                              .Bytes();
    const std::vector<uint8_t> redGreen = ByteBuilder()
                                              .U16(0).U32(uint32_t(-1)).U32(uint32_t(-2)).U32(2).U32(1).U32(4).U32(0)
                                              .U8(0).U8(8).U8(0).U8(8).U8(0).U8(0).U8(255).U8(0)
                                              .U8(0x06).U8(0x05).U8(0xFF).U8(0x00).U8(0x00).U8(0xFF)
                                              .Bytes();
    const std::vector<uint8_t> empty =
        ByteBuilder().U16(0).U32(3).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).Bytes();
    return ByteBuilder()
        .U8('M').U8('O').U8('V').U8('O').Name("2.0.2")
        .U32(3).U32(2).U32(2)
        .U32(2).U32(116)
        .Name("hero").U32(5).U32(2)
        .Name("Stand").U32(1).U32(1).Raw(onePixel)
        .Name("Walk").U32(2).U32(1).Raw(redGreen)
        .U32(2).U32(60)
        .Name("coin").U32(9).U32(1)
        .Name("NONE").U32(2).U32(1).Raw(empty)
        .U32(1).U32(0)
        .Bytes();
}

TEST(MvResourceVault, LoadsAFileWrittenByteByByte)
{
    const std::vector<uint8_t> file = HandWrittenFile();
    ASSERT_EQ(222u, file.size());
    MvResourceVault vault;
    MvLogCapture log;
    ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
    ASSERT_EQ(2, vault.ResourceCount());
    EXPECT_TRUE(vault.HasLoadedFile());

    MvSpriteResource* hero = vault.FindSpriteResource("hero");
    ASSERT_NE(nullptr, hero);
    EXPECT_EQ(vault.ResourceAt(0), hero);
    EXPECT_EQ(hero, vault.FindSpriteResource(5));
    EXPECT_EQ(5, hero->Id());
    ASSERT_EQ(2, hero->ActionCount());
    const MvAction* stand = hero->FindAction("Stand");
    ASSERT_NE(nullptr, stand);
    EXPECT_EQ(stand, hero->FindAction(1));
    ASSERT_EQ(1, stand->FrameCount());
    EXPECT_EQ("0-0", Runs(*stand->FrameAt(0)));
    EXPECT_EQ(Rgba(10, 20, 30, 255), stand->FrameAt(0)->Row(0).segments[0].pixels[0]);
    const MvAction* walk = hero->FindAction(2);
    ASSERT_NE(nullptr, walk);
    EXPECT_STREQ("Walk", walk->Name());
    const MvRle* frame = walk->FrameAt(0);
    EXPECT_EQ(-1, frame->OffsetX());
    EXPECT_EQ(-2, frame->OffsetY());
    EXPECT_EQ(4, frame->DeltaX());
    EXPECT_EQ("0-1", Runs(*frame));
    EXPECT_EQ(Rgba(255, 0, 0, 255), frame->Row(0).segments[0].pixels[0]);
    EXPECT_EQ(Rgba(0, 255, 0, 255), frame->Row(0).segments[0].pixels[1]);
    EXPECT_NE(0u, frame->Flags() & MvRleInPool);

    MvSpriteResource* coin = vault.FindSpriteResource(9);
    ASSERT_NE(nullptr, coin);
    EXPECT_STREQ("coin", coin->Name());
    const MvAction* none = coin->FindAction("NONE");
    ASSERT_NE(nullptr, none);
    EXPECT_EQ(none, coin->FindAction(2));
    EXPECT_EQ(nullptr, coin->FindAction("none"));
    EXPECT_EQ(0, none->FrameAt(0)->Height());
    EXPECT_EQ(3, none->FrameAt(0)->OffsetX());

    // The progress lines, in order.
    const char* const lines[] = {
        "File magic=MOVO version=2.0.2\n",
        "Tally count: rgba=3 line=2 segment=2\n",
        "here=22 id=2 size=116 next=146\n",
        "Sprite or Font resource 'hero' id=5\n",
        "Action 'Stand' id=1 numFrames=1\n",
        "Action 'Walk' id=2 numFrames=1\n",
        "here=146 id=2 size=60 next=214\n",
        "Sprite or Font resource 'coin' id=9\n",
        "Action 'NONE' id=2 numFrames=1\n",
        "here=214 id=1 size=0 next=222\n",
        "Num RGBA: RLE: ",
    };
    size_t at = 0;
    for (const char* line : lines) {
        const size_t found = log.Text().find(line, at);
        EXPECT_NE(std::string::npos, found) << line;
        if (found != std::string::npos)
            at = found + 1;
    }
}

// The data block needs to live only during the call: everything is copied.
TEST(MvResourceVault, LoadFromMemoryCopiesTheData)
{
    MvResourceVault vault;
    {
        std::vector<uint8_t> file = HandWrittenFile();
        ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
        std::fill(file.begin(), file.end(), 0);
    }
    const MvRle* frame = vault.FindSpriteResource("hero")->FindAction("Walk")->FrameAt(0);
    EXPECT_EQ(Rgba(0, 255, 0, 255), frame->Row(0).segments[0].pixels[1]);
}

TEST(MvResourceVault, LoadsAFileFromAPath)
{
    char path[] = "/tmp/movo-vault-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::vector<uint8_t> file = HandWrittenFile();
    ASSERT_EQ(static_cast<ssize_t>(file.size()), write(fd, file.data(), file.size()));
    close(fd);
    MvResourceVault vault;
    EXPECT_TRUE(vault.LoadDatFile(path));
    std::remove(path);
    EXPECT_EQ(2, vault.ResourceCount());
    EXPECT_EQ("", vault.LoadError());

    MvResourceVault missing;
    MvLogCapture log;
    EXPECT_FALSE(missing.LoadDatFile("/nonexistent/Sprites.dat"));
    EXPECT_EQ("MvResourceVault::LoadDatFile failed to open file '/nonexistent/Sprites.dat'\n", log.Text());
    EXPECT_EQ("cannot open '/nonexistent/Sprites.dat': No such file or directory", missing.LoadError());
    EXPECT_EQ(0, missing.ResourceCount());
    EXPECT_FALSE(missing.HasLoadedFile());
}

// A file much larger than the reader's buffer loads from disk exactly as it was saved.
TEST(MvResourceVault, LoadsLargeFilesExactly)
{
    std::mt19937 random(99);
    std::vector<std::unique_ptr<MvSpriteResource>> sprites;
    std::vector<const MvResource*> resources;
    for (int i = 0; i < 12; ++i) {
        ActionDraft walk{"Walk", 1, {}};
        for (int f = 0; f < 3; ++f)
            walk.frames.push_back({RandomPicture(random, 20 + f, 15 + i), 3, 4, f, 0});
        sprites.emplace_back(MakeSprite(("sprite" + std::to_string(i)).c_str(), i, {walk}));
        resources.push_back(sprites.back().get());
    }
    const std::vector<uint8_t> file = SaveFile(resources);
    ASSERT_GT(file.size(), 4u * 4096);
    char path[] = "/tmp/movo-large-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(static_cast<ssize_t>(file.size()), write(fd, file.data(), file.size()));
    close(fd);
    MvResourceVault vault;
    const bool loaded = vault.LoadDatFile(path);
    std::remove(path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(12, vault.ResourceCount());
    for (int i = 0; i < 12; ++i) {
        const MvAction* saved = sprites[i]->ActionAt(0);
        const MvAction* read = vault.FindSpriteResource(i)->FindAction("Walk");
        ASSERT_NE(nullptr, read);
        for (int f = 0; f < 3; ++f)
            EXPECT_TRUE(SameImage(*saved->FrameAt(f), *read->FrameAt(f))) << i << " " << f;
    }
}

// Only the header and the end record: an empty vault, and the load counts as done.
TEST(MvResourceVault, AFileWithoutRecordsGivesAnEmptyVault)
{
    const std::vector<uint8_t> file = ByteBuilder().U8('M').U8('O').U8('V').U8('O').Name("2.0.2")
                                          .U32(0).U32(0).U32(0).U32(1).U32(0).Bytes();
    MvResourceVault vault;
    EXPECT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
    EXPECT_EQ(0, vault.ResourceCount());
    EXPECT_TRUE(vault.HasLoadedFile());
}

// The kilobytes of a /proc/self/status field such as "VmHWM"; -1 when there is none.
long StatusKilobytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

// Sets the peak resident size (VmHWM) back to the current one; false where the system
// does not allow it.
bool ResetPeakResidentSize()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5" << std::flush;
    return clear.good() && StatusKilobytes("VmHWM") >= 0;
}

// The tallies are promises of untrusted data: the pools take memory only as the records
// ask for it. Small files whose tallies promise 600 MB of pixels neither take that memory
// while loading nor keep any of it.
TEST(MvResourceVault, PoolsTakeOnlyWhatTheRecordsAskFor)
{
    if (!ResetPeakResidentSize())
        GTEST_SKIP() << "/proc/self/clear_refs cannot reset the peak resident size here";
    const uint32_t pixelPromise = 149742947, segmentPromise = 74898;
    // The header, then 64 KiB of zeros: a type code 0, which no factory knows, ends the load
    // at once.
    std::vector<uint8_t> noRecords =
        ByteBuilder().U8('M').U8('O').U8('V').U8('O').Name("2.0.2").U32(pixelPromise).U32(0).U32(segmentPromise).Bytes();
    noRecords.resize(noRecords.size() + 64 * 1024);
    // Three pixels in two segments, then 64 KiB after the end record for the promise.
    std::vector<uint8_t> fewRecords = HandWrittenFile();
    for (int i = 0; i < 4; ++i) {
        fewRecords[10 + i] = static_cast<uint8_t>(pixelPromise >> (8 * i));
        fewRecords[18 + i] = static_cast<uint8_t>(segmentPromise >> (8 * i));
    }
    fewRecords.resize(22 + 64 * 1024);
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        const char* refusal; // null when the file loads
    };
    const Case cases[] = {
        {"no records", noRecords, nullptr},
        {"records holding less than the tallies", fewRecords,
         "at byte 10: the tallies rgba=149742947 line=2 segment=74898 do not match the records (rgba=3 line=2 "
         "segment=2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ResetPeakResidentSize());
        const long before = StatusKilobytes("VmRSS");
        MvResourceVault vault;
        MvLogCapture log(MvLogCapture::QuietStdout);
        const bool loaded = vault.LoadDatFileFromMemory(c.file.data(), static_cast<int>(c.file.size()));
        EXPECT_LT(StatusKilobytes("VmHWM") - before, 8 * 1024) << "kB more at the peak of the load";
        if (c.refusal == nullptr) {
            EXPECT_TRUE(loaded);
            EXPECT_EQ(0, vault.ResourceCount());
            EXPECT_EQ(0u, vault.LoadPoolBytes());
        } else {
            EXPECT_FALSE(loaded);
            EXPECT_TRUE(RefusedWithOneMessage(log.Text(), c.refusal));
        }
    }
}

// A kind that records what the vault asks of it.
class ProbeResource : public MvResource {
public:
    ProbeResource(const char* name, int32_t id, std::vector<std::string>* calls) : calls_(calls)
    {
        SetIdentity(name, id);
    }
    int Type() const override { return 99; }
    const std::string& TypeName() const override
    {
        static const std::string name = "Probe";
        return name;
    }
    void AddScaleCache(MvFixed xScale, MvFixed yScale) override
    {
        calls_->push_back(std::string("add ") + Name() + " " + std::to_string(xScale.Raw()) + " " +
                          std::to_string(yScale.Raw()));
    }
    void ClearScaleCache() override { calls_->push_back(std::string("clear ") + Name()); }

private:
    std::vector<std::string>* calls_;
};

// Lookups go by kind and exact name or id; the first match in list order wins; a resource
// of one kind never answers a getter of another kind.
TEST(MvResourceVault, FindsResourcesByKindAndNameOrId)
{
    std::vector<std::string> calls;
    MvResourceVault vault;
    ProbeResource* probe = new ProbeResource("a", 1, &calls);
    MvSpriteResource* a1 = new MvSpriteResource("a");
    a1->SetIdentity("a", 1);
    MvSpriteResource* b2 = new MvSpriteResource("b");
    b2->SetIdentity("b", 2);
    MvSpriteResource* a3 = new MvSpriteResource("a");
    a3->SetIdentity("a", 3);
    MvSpriteResource* c1 = new MvSpriteResource("c");
    c1->SetIdentity("c", 1);
    for (MvResource* r : std::vector<MvResource*>{probe, a1, b2, a3, c1})
        vault.AppendResource(r);
    ASSERT_EQ(5, vault.ResourceCount());
    EXPECT_EQ(a3, vault.ResourceAt(3));

    EXPECT_EQ(a1, vault.FindSpriteResource("a"));
    EXPECT_EQ(a1, vault.FindSpriteResource(1));
    EXPECT_EQ(a3, vault.FindSpriteResource(3));
    EXPECT_EQ(c1, vault.FindSpriteResource("c"));
    EXPECT_EQ(nullptr, vault.FindSpriteResource("A"));
    EXPECT_EQ(nullptr, vault.FindSpriteResource(4));
    EXPECT_EQ(probe, vault.FindResource(99, "a"));
    EXPECT_EQ(probe, vault.FindResource(99, 1));
    EXPECT_EQ(a1, vault.FindResource(MvSpriteResourceCode, "a"));
    EXPECT_EQ(probe, vault.FindResource("Probe", "a"));
    EXPECT_EQ(a1, vault.FindResource("Sprite", "a"));
    EXPECT_EQ(nullptr, vault.FindResource("Tile", "a"));
    EXPECT_EQ(nullptr, vault.FindTileResource("a"));
    EXPECT_EQ(nullptr, vault.FindTileResource(1));
    EXPECT_EQ(nullptr, vault.FindFontResource("a"));
    EXPECT_EQ(nullptr, vault.FindFontResource(1));
    EXPECT_EQ(nullptr, vault.FindTextDataResource("a"));
    EXPECT_EQ(nullptr, vault.FindTextDataResource(1));
    EXPECT_EQ(nullptr, vault.FindBinaryDataResource("a"));
    EXPECT_EQ(nullptr, vault.FindBinaryDataResource(1));

    const MvFixed half = MvFixed::FromRaw(MvFixedOne / 2);
    vault.AddScaleCache(half, MvFixed::FromInt(2));
    vault.ClearScaleCache();
    EXPECT_EQ((std::vector<std::string>{"add a 32768 131072", "clear a"}), calls);
}

// A lookup that finds nothing leaves a note of what it asked for, in words a reader of
// an assertion understands; lookups that succeed leave the last note alone.
TEST(MvResourceVault, TheLastFailedLookupIsNamed)
{
    MvResourceVault vault;
    MvSpriteResource* hero = new MvSpriteResource("hero");
    hero->SetIdentity("hero", 12);
    vault.AppendResource(hero);
    struct Case {
        std::function<bool()> found;
        const char* note;
    } cases[] = {
        {[&] { return vault.FindSpriteResource("Hero") != nullptr; }, "sprite resource \"Hero\""},
        {[&] { return vault.FindSpriteResource(13) != nullptr; }, "sprite resource id 13"},
        {[&] { return vault.FindTileResource("grass") != nullptr; }, "tile resource \"grass\""},
        {[&] { return vault.FindFontResource(30) != nullptr; }, "font resource id 30"},
        {[&] { return vault.FindTextDataResource("Credits") != nullptr; }, "text-data resource \"Credits\""},
        {[&] { return vault.FindBinaryDataResource(50) != nullptr; }, "binary-data resource id 50"},
        {[&] { return vault.FindResource(99, "x") != nullptr; }, "resource of type 99 \"x\""},
        {[&] { return vault.FindResource("Tile", "hero") != nullptr; }, "Tile resource \"hero\""},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.found());
        EXPECT_STREQ(c.note, MvResourceVault::LastFailedLookup());
    }
    EXPECT_EQ(hero, vault.FindSpriteResource(12));
    EXPECT_STREQ("Tile resource \"hero\"", MvResourceVault::LastFailedLookup());
}

// Resources added by hand join the loaded ones; a record of a kind the factory does not
// list ends the load with the resources before it kept and the result true.
TEST(MvResourceVault, AnUnlistedKindEndsTheLoadKeepingWhatCameBefore)
{
    std::unique_ptr<MvSpriteResource> one(MakeSprite("one", 1, {{"A", 1, {{{"R"}, 0, 0, 0, 0}}}}));
    std::unique_ptr<MvSpriteResource> two(MakeSprite("two", 2, {{"A", 1, {{{"GG"}, 0, 0, 0, 0}}}}));
    std::unique_ptr<MvSpriteResource> three(MakeSprite("three", 3, {{"A", 1, {{{"B"}, 0, 0, 0, 0}}}}));
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    one->Save(writer);
    two->Save(writer);
    writer.BeginRecord(42);
    writer.WriteName("mystery");
    writer.EndRecord();
    three->Save(writer);
    ASSERT_TRUE(writer.EndFile());

    MvResourceVault vault;
    vault.AppendResource(new MvSpriteResource("early"));
    MvLogCapture log;
    EXPECT_TRUE(vault.LoadDatFileFromMemory(stream.Data(), static_cast<int>(stream.Size())));
    EXPECT_TRUE(log.Contains("Warning: could not find resource id=42 in MvResourceFactory\n"));
    EXPECT_FALSE(log.Contains("Error"));
    EXPECT_FALSE(log.Contains("'three'"));
    ASSERT_EQ(3, vault.ResourceCount());
    EXPECT_STREQ("early", vault.ResourceAt(0)->Name());
    EXPECT_STREQ("one", vault.ResourceAt(1)->Name());
    EXPECT_STREQ("two", vault.ResourceAt(2)->Name());
    EXPECT_EQ(nullptr, vault.FindSpriteResource("three"));
    vault.AppendResource(new MvSpriteResource("late"));
    EXPECT_STREQ("late", vault.ResourceAt(3)->Name());
}

// Every malformed file is refused with one message naming the file, the byte and what is
// wrong; the vault keeps nothing of it and can load a good file afterwards.
TEST(MvResourceVault, RefusesMalformedFilesAndStaysAsItWas)
{
    const std::vector<uint8_t> good = HandWrittenFile();
    auto with = [&](std::function<void(std::vector<uint8_t>&)> change) {
        std::vector<uint8_t> bytes = good;
        change(bytes);
        return bytes;
    };
    auto set32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        const char* message;
    };
    const Case cases[] = {
        {"an empty file", {}, "at byte 0: the file ends early"},
        {"a bad magic", with([](std::vector<uint8_t>& b) { b[3] = 'E'; }),
         "at byte 0: the file does not begin with \"MOVO\""},
        {"a version without its zero byte", std::vector<uint8_t>(good.begin(), good.begin() + 9),
         "the file ends early"},
        {"a pixel tally too high", with([&](std::vector<uint8_t>& b) { set32(b, 10, 4); }),
         "at byte 10: the tallies rgba=4 line=2 segment=2 do not match the records (rgba=3 line=2 segment=2)"},
        {"a line tally too low", with([&](std::vector<uint8_t>& b) { set32(b, 14, 1); }),
         "more rows than the file's tally"},
        {"a segment tally too low", with([&](std::vector<uint8_t>& b) { set32(b, 18, 1); }),
         "more segments than the file's tally"},
        {"a pixel tally too low", with([&](std::vector<uint8_t>& b) { set32(b, 10, 2); }),
         "more pixels than the file's tally"},
        {"a line tally the file cannot hold", with([&](std::vector<uint8_t>& b) { set32(b, 14, 0xFFFFFFFF); }),
         "at byte 14: the line tally 4294967295 is more than"},
        {"a segment tally the file cannot hold", with([&](std::vector<uint8_t>& b) { set32(b, 18, 300); }),
         "at byte 18: the segment tally 300 is more than"},
        {"a pixel tally the file cannot hold", with([&](std::vector<uint8_t>& b) { set32(b, 10, 0x80000000); }),
         "at byte 10: the pixel tally 2147483648 is more than"},
        {"a record size past the end", with([&](std::vector<uint8_t>& b) { set32(b, 26, 1000); }),
         "at byte 26: the record size 1000 passes the end of the file"},
        {"a record size too small", with([&](std::vector<uint8_t>& b) { set32(b, 26, 115); }),
         "but the data ends early"},
        {"a record size too large",
         with([&](std::vector<uint8_t>& b) {
             set32(b, 26, 117);
             b.insert(b.begin() + 146, 0);
         }),
         "the record's payload ends after 116 of the 117 bytes its size gives"},
        {"an end record with a size", with([&](std::vector<uint8_t>& b) { set32(b, 218, 1); }),
         "at byte 218: the end record has size 1 instead of 0"},
        {"no end record", std::vector<uint8_t>(good.begin(), good.end() - 8), "at byte 214: the file ends early"},
        {"an image value out of range", with([](std::vector<uint8_t>& b) { b[70] = 0xFF; }),
         "at byte 67: the image size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MvResourceVault vault;
        vault.AppendResource(new MvSpriteResource("kept"));
        MvLogCapture log;
        EXPECT_FALSE(vault.LoadDatFileFromMemory(c.file.data(), static_cast<int>(c.file.size())));
        EXPECT_TRUE(RefusedWithOneMessage(log.Text(), c.message));
        EXPECT_EQ(1, vault.ResourceCount());
        EXPECT_FALSE(vault.HasLoadedFile());
        EXPECT_EQ(nullptr, CurrentPixelPool());
        EXPECT_TRUE(vault.LoadDatFileFromMemory(good.data(), static_cast<int>(good.size())));
        EXPECT_EQ(3, vault.ResourceCount());
    }
}

// A vault loads one file in its life; a second load is refused and changes nothing.
TEST(MvResourceVault, RefusesASecondFile)
{
    const std::vector<uint8_t> file = HandWrittenFile();
    MvResourceVault vault;
    ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
    MvLogCapture log;
    EXPECT_FALSE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
    EXPECT_EQ("Error in resource file 'memory block' at byte 0: this vault already holds a loaded file\n",
              log.Text());
    EXPECT_EQ(2, vault.ResourceCount());
}

// Reads a pixel of a loaded image when it is destroyed: the vault must delete its
// resources while the pools still hold their images.
class PixelReaderResource : public MvResource {
public:
    explicit PixelReaderResource(const MvColor* pixel) : pixel_(pixel) {}
    ~PixelReaderResource() override { seen = *pixel_; }
    int Type() const override { return 98; }
    const std::string& TypeName() const override
    {
        static const std::string name = "PixelReader";
        return name;
    }
    static MvColor seen;

private:
    const MvColor* pixel_;
};
MvColor PixelReaderResource::seen;

TEST(MvResourceVault, DeletesResourcesBeforeThePools)
{
    const std::vector<uint8_t> file = HandWrittenFile();
    {
        MvResourceVault vault;
        ASSERT_TRUE(vault.LoadDatFileFromMemory(file.data(), static_cast<int>(file.size())));
        const MvRle* frame = vault.FindSpriteResource("hero")->FindAction("Stand")->FrameAt(0);
        const MvColor* pixel = frame->Row(0).segments[0].pixels;
        vault.AppendResource(new PixelReaderResource(pixel));
    }
    EXPECT_EQ(Rgba(10, 20, 30, 255), PixelReaderResource::seen);
}

TEST(MvResourceVaultDeathTest, BrokenPreconditionsAreCaught)
{
    MvResourceVault vault;
    const MvDeathCase cases[] = {
        {"no path", [&] { vault.LoadDatFile(nullptr); }, "path != nullptr"},
        {"a negative size", [&] { vault.LoadDatFileFromMemory(nullptr, -1); }, "size >= 0"},
        {"AppendResource(null)", [&] { vault.AppendResource(nullptr); }, "resource != nullptr"},
        {"ResourceAt in an empty vault", [&] { vault.ResourceAt(0); }, "index >= 0 && index < count_"},
        {"FindResource without a name", [&] { vault.FindResource(2, static_cast<const char*>(nullptr)); },
         "name != nullptr"},
    };
    for (const MvDeathCase& c : cases)
        EXPECT_DEATH(c.call(), MvFailedCheck(c.condition)) << c.what;
}

} // namespace
