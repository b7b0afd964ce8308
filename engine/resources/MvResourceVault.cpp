#include "MvResourceVault.h"

#include "MvAssert.h"
#include "MvFileStream.h"
#include "MvLoadPool.h"
#include "MvLog.h"
#include "MvMemoryStream.h"
#include "MvResource.h"
#include "MvResourceFactory.h"
#include "MvResourceReader.h"
#include "MvRle.h"
#include "MvRleLine.h"
#include "MvRleSegment.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

template <typename View>
View* CheckedView(MvResource* resource, View* (MvResource::*view)())
{
    if (resource == nullptr)
        return nullptr;
    View* typed = (resource->*view)();
    MvAssert(typed != nullptr);
    return typed;
}

// What the last lookup that found nothing asked for; see LastFailedLookup. Names longer
// than the buffer are cut.
char lastFailedLookup[160] = "none";

// Notes what a lookup of a resource of type code type asked for; what is the name in
// quotes or "id N". Known kinds are named in words, others by their code.
void NoteFailedLookup(int type, const char* what)
{
    const char* kind = nullptr;
    switch (type) {
    case MvSpriteResourceCode:
        kind = "sprite";
        break;
    case MvTileResourceCode:
        kind = "tile";
        break;
    case MvCanvasResourceCode:
        kind = "canvas";
        break;
    case MvFontResourceCode:
        kind = "font";
        break;
    case MvBoxResourceCode:
        kind = "box";
        break;
    case MvTextDataResourceCode:
        kind = "text-data";
        break;
    case MvBinaryDataResourceCode:
        kind = "binary-data";
        break;
    }
    if (kind != nullptr)
        std::snprintf(lastFailedLookup, sizeof lastFailedLookup, "%s resource %s", kind, what);
    else
        std::snprintf(lastFailedLookup, sizeof lastFailedLookup, "resource of type %d %s", type, what);
}

// The counts the file header gives of the pixels, rows and segments its images hold,
// and where they lie in the file.
struct FileTallies {
    uint32_t pixels = 0;
    uint32_t lines = 0;
    uint32_t segments = 0;
    long offset = 0;
};

// Reads the magic, the version and the tallies, and refuses tallies that the rest of the
// file could not hold before anything is allocated for them. False with the reader's
// error set.
bool ReadFileHeader(MvResourceReader& reader, FileTallies* tallies)
{
    char magic[5] = {0, 0, 0, 0, 0};
    std::string version;
    if (reader.ReadBytes(magic, 4)) {
        if (std::memcmp(magic, "MOVO", 4) != 0)
            reader.FailAt(0, "the file does not begin with \"MOVO\"");
        else if (reader.ReadName(&version))
            MvLog("File magic=%s version=%s\n", magic, version.c_str());
    }
    if (!reader.Failed()) {
        tallies->offset = reader.Offset();
        reader.ReadUint32(&tallies->pixels);
        reader.ReadUint32(&tallies->lines);
        reader.ReadUint32(&tallies->segments);
    }
    if (reader.Failed())
        return false;
    MvLog("Tally count: rgba=%u line=%u segment=%u\n", tallies->pixels, tallies->lines, tallies->segments);
    // A stored RLE row takes at least 6 bits, a segment at least 7 bits and holds at most
    // MaxSegmentLength pixels, a pixel-block pixel takes at least 3 bytes.
    const int64_t bytes = reader.Remaining();
    if (tallies->lines > bytes * 8 / 6)
        return reader.FailAt(tallies->offset + 4,
                             "the line tally %u is more than the %lld bytes after the header can hold",
                             tallies->lines, static_cast<long long>(bytes));
    if (tallies->segments > bytes * 8 / 7)
        return reader.FailAt(tallies->offset + 8,
                             "the segment tally %u is more than the %lld bytes after the header can hold",
                             tallies->segments, static_cast<long long>(bytes));
    if (tallies->pixels > static_cast<int64_t>(tallies->segments) * MvRle::MaxSegmentLength + bytes / 3)
        return reader.FailAt(tallies->offset, "the pixel tally %u is more than the file's segments and bytes can hold",
                             tallies->pixels);
    return true;
}

// The three pools of one load, each bounded by its tally; the vault keeps them after a
// load that succeeds.
struct LoadPools {
    explicit LoadPools(const FileTallies& tallies)
        : pixels(new MvLoadPool(static_cast<size_t>(tallies.pixels) * sizeof(MvColor))),
          lines(new MvLoadPool(static_cast<size_t>(tallies.lines) * sizeof(MvRleLine))),
          segments(new MvLoadPool(static_cast<size_t>(tallies.segments) * sizeof(MvRleSegment)))
    {
    }
    void Delete()
    {
        delete lines;
        delete pixels;
        delete segments;
    }

    MvLoadPool* pixels;
    MvLoadPool* lines;
    MvLoadPool* segments;
};

// Reads records into loaded, up to the end record, a type the factory does not know or an
// error. The factory is made afresh for every load. True when the end record was read.
bool ReadRecords(MvResourceReader& reader, MvGrowArray<MvResource*>* loaded)
{
    MvResourceFactory* factory = MvResourceFactory::Instance();
    MvAssert(factory != nullptr);
    bool endReached = false;
    while (!reader.Failed()) {
        const long here = reader.Offset();
        MvLog("here=%ld ", here);
        uint32_t type = 0, size = 0;
        if (!reader.ReadUint32(&type) || !reader.ReadUint32(&size))
            break;
        MvLog("id=%u size=%u next=%lld\n", type, size, static_cast<long long>(reader.Offset()) + size);
        if (type == MvResourceEndCode) {
            if (size != 0)
                reader.FailAt(here + 4, "the end record has size %u instead of 0", size);
            endReached = true;
            break;
        }
        if (size > static_cast<unsigned long>(reader.Remaining())) {
            reader.FailAt(here + 4, "the record size %u passes the end of the file (%ld bytes left)", size,
                          reader.Remaining());
            break;
        }
        const long payloadStart = reader.Offset();
        reader.SetEnd(payloadStart + size);
        MvResource* resource = factory->Create(type, size, reader);
        if (resource != nullptr)
            loaded->Append(resource);
        if (reader.Failed())
            break;
        if (resource == nullptr)
            break; // a kind the factory does not know: the load ends here
        if (reader.Offset() != payloadStart + static_cast<long>(size)) {
            reader.Fail("the record's payload ends after %ld of the %u bytes its size gives",
                        reader.Offset() - payloadStart, size);
            break;
        }
        reader.ClearEnd();
    }
    delete factory;
    return endReached;
}

// After a whole file, the images must have used every pool to the last byte.
void CheckTalliesUsedUp(MvResourceReader& reader, const FileTallies& tallies, const LoadPools& pools)
{
    if (pools.pixels->IsUsedUp() && pools.lines->IsUsedUp() && pools.segments->IsUsedUp())
        return;
    reader.FailAt(tallies.offset,
                  "the tallies rgba=%u line=%u segment=%u do not match the records (rgba=%zu "
                  "line=%zu segment=%zu)",
                  tallies.pixels, tallies.lines, tallies.segments, pools.pixels->Used() / sizeof(MvColor),
                  pools.lines->Used() / sizeof(MvRleLine), pools.segments->Used() / sizeof(MvRleSegment));
}

} // namespace

MvResourceVault::MvResourceVault() : pixelPool_(nullptr), linePool_(nullptr), segmentPool_(nullptr) { }

MvResourceVault::~MvResourceVault()
{
    // Resources first: images of a loaded file live in the pools.
    for (int i = 0; i < resources_.Count(); ++i)
        delete resources_[i];
    delete linePool_;
    delete pixelPool_;
    delete segmentPool_;
    resources_.Clear();
}

bool MvResourceVault::LoadDatFile(const char* path)
{
    MvAssert(path != nullptr);
    errno = 0;
    MvFileStream file;
    if (!file.Open(path, "rb")) {
        const int reason = errno;
        MvLogError("MvResourceVault::LoadDatFile failed to open file '%s'\n", path);
        loadError_ = std::string("cannot open '") + path + "': " + (reason != 0 ? std::strerror(reason) : "unknown reason");
        return false;
    }
    return ReadStream(file.Stream(), path);
}

bool MvResourceVault::LoadDatFileFromMemory(const void* data, int size)
{
    MvAssert(size >= 0);
    MvMemoryStream block(data, static_cast<size_t>(size));
    return ReadStream(block.Stream(), "memory block");
}

bool MvResourceVault::ReadStream(SDL_RWops* stream, const char* fileName)
{
    MvResourceReader reader(stream, fileName);
    loadError_.clear();
    const bool result = ReadInto(reader);
    if (!result)
        loadError_ = reader.Error();
    return result;
}

bool MvResourceVault::ReadInto(MvResourceReader& reader)
{
    if (HasLoadedFile())
        return reader.FailAt(reader.Offset(), "this vault already holds a loaded file");
    FileTallies tallies;
    if (!ReadFileHeader(reader, &tallies))
        return false;

    LoadPools pools(tallies);
    SetCurrentLoadPools(pools.pixels, pools.lines, pools.segments);
    MvGrowArray<MvResource*> loaded;
    const bool endReached = ReadRecords(reader, &loaded);
    if (!reader.Failed()) {
        MvLog("Num RGBA: RLE: %lld Block: %lld total=%lld\n", static_cast<long long>(MvRlePixelCounter()),
              static_cast<long long>(MvBlockPixelCounter()),
              static_cast<long long>(MvRlePixelCounter() + MvBlockPixelCounter()));
    }
    if (!reader.Failed() && endReached)
        CheckTalliesUsedUp(reader, tallies, pools);
    SetCurrentLoadPools(nullptr, nullptr, nullptr);

    if (reader.Failed()) {
        for (int i = 0; i < loaded.Count(); ++i)
            delete loaded[i];
        pools.Delete();
        return false;
    }
    for (int i = 0; i < loaded.Count(); ++i)
        resources_.Append(loaded[i]);
    pixelPool_ = pools.pixels;
    linePool_ = pools.lines;
    segmentPool_ = pools.segments;
    return true;
}

size_t MvResourceVault::LoadPoolBytes() const
{
    if (!HasLoadedFile())
        return 0;
    return pixelPool_->Held() + linePool_->Held() + segmentPool_->Held();
}

MvResource* MvResourceVault::FindResource(int type, const char* name) const
{
    MvAssert(name != nullptr);
    for (int i = 0; i < resources_.Count(); ++i) {
        MvResource* resource = resources_[i];
        if (resource->Type() == type && std::strcmp(resource->Name(), name) == 0)
            return resource;
    }
    char what[sizeof lastFailedLookup];
    std::snprintf(what, sizeof what, "\"%s\"", name);
    NoteFailedLookup(type, what);
    return nullptr;
}

MvResource* MvResourceVault::FindResource(int type, int32_t id) const
{
    for (int i = 0; i < resources_.Count(); ++i) {
        MvResource* resource = resources_[i];
        if (resource->Type() == type && resource->Id() == id)
            return resource;
    }
    char what[24];
    std::snprintf(what, sizeof what, "id %d", static_cast<int>(id));
    NoteFailedLookup(type, what);
    return nullptr;
}

MvResource* MvResourceVault::FindResource(const char* typeName, const char* name) const
{
    MvAssert(typeName != nullptr && name != nullptr);
    for (int i = 0; i < resources_.Count(); ++i) {
        MvResource* resource = resources_[i];
        if (resource->TypeName() == typeName && std::strcmp(resource->Name(), name) == 0)
            return resource;
    }
    std::snprintf(lastFailedLookup, sizeof lastFailedLookup, "%s resource \"%s\"", typeName, name);
    return nullptr;
}

const char* MvResourceVault::LastFailedLookup() { return lastFailedLookup; }

MvSpriteResource* MvResourceVault::FindSpriteResource(const char* name) const
{
    return CheckedView(FindResource(MvSpriteResourceCode, name), &MvResource::AsSpriteResource);
}

MvSpriteResource* MvResourceVault::FindSpriteResource(int32_t id) const
{
    return CheckedView(FindResource(MvSpriteResourceCode, id), &MvResource::AsSpriteResource);
}

MvTileResource* MvResourceVault::FindTileResource(const char* name) const
{
    return CheckedView(FindResource(MvTileResourceCode, name), &MvResource::AsTileResource);
}

MvTileResource* MvResourceVault::FindTileResource(int32_t id) const
{
    return CheckedView(FindResource(MvTileResourceCode, id), &MvResource::AsTileResource);
}

MvFontResource* MvResourceVault::FindFontResource(const char* name) const
{
    return CheckedView(FindResource(MvFontResourceCode, name), &MvResource::AsFontResource);
}

MvFontResource* MvResourceVault::FindFontResource(int32_t id) const
{
    return CheckedView(FindResource(MvFontResourceCode, id), &MvResource::AsFontResource);
}

MvTextDataResource* MvResourceVault::FindTextDataResource(const char* name) const
{
    return CheckedView(FindResource(MvTextDataResourceCode, name), &MvResource::AsTextDataResource);
}

MvTextDataResource* MvResourceVault::FindTextDataResource(int32_t id) const
{
    return CheckedView(FindResource(MvTextDataResourceCode, id), &MvResource::AsTextDataResource);
}

MvBinaryDataResource* MvResourceVault::FindBinaryDataResource(const char* name) const
{
    return CheckedView(FindResource(MvBinaryDataResourceCode, name), &MvResource::AsBinaryDataResource);
}

MvBinaryDataResource* MvResourceVault::FindBinaryDataResource(int32_t id) const
{
    return CheckedView(FindResource(MvBinaryDataResourceCode, id), &MvResource::AsBinaryDataResource);
}

void MvResourceVault::AppendResource(MvResource* resource)
{
    MvAssert(resource != nullptr);
    resources_.Append(resource);
}

void MvResourceVault::AddScaleCache(MvFixed xScale, MvFixed yScale)
{
    for (int i = 0; i < resources_.Count(); ++i)
        resources_[i]->AddScaleCache(xScale, yScale);
}

void MvResourceVault::ClearScaleCache()
{
    for (int i = 0; i < resources_.Count(); ++i)
        resources_[i]->ClearScaleCache();
}
