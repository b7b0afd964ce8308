#include "MvResourceWriter.h"

#include "MvAssert.h"
#include "MvResourceTypeCode.h"
#include "MvStreamBytes.h"

#include <cstring>

namespace {

const char Magic[4] = {'M', 'O', 'V', 'O'};
const char Version[] = "2.0.2";

} // namespace

MvResourceWriter::MvResourceWriter(SDL_RWops* stream)
    : stream_(stream), tallyOffset_(-1), recordStart_(-1), recordOpen_(false), pixelTally_(0), lineTally_(0),
      segmentTally_(0), failed_(false), ended_(false)
{
    MvAssert(stream != nullptr);
}

void MvResourceWriter::Put(const void* data, size_t count)
{
    if (!MvWriteBytes(stream_, data, count))
        failed_ = true;
}

long MvResourceWriter::Tell() const { return SDL_RWtell(stream_); }

bool MvResourceWriter::PatchUint32(long offset, uint32_t value)
{
    const long back = Tell();
    if (back < 0 || SDL_RWseek(stream_, static_cast<int>(offset), RW_SEEK_SET) != offset)
        return false;
    WriteUint32(value);
    return SDL_RWseek(stream_, static_cast<int>(back), RW_SEEK_SET) == back;
}

void MvResourceWriter::BeginFile()
{
    MvAssert(tallyOffset_ < 0 && !recordOpen_ && !ended_);
    Put(Magic, sizeof Magic);
    Put(Version, sizeof Version);
    tallyOffset_ = Tell();
    if (tallyOffset_ < 0)
        failed_ = true;
    WriteUint32(0);
    WriteUint32(0);
    WriteUint32(0);
}

bool MvResourceWriter::EndFile()
{
    MvAssert(tallyOffset_ >= 0 && !recordOpen_ && !ended_);
    ended_ = true;
    WriteUint32(MvResourceEndCode);
    WriteUint32(0);
    const int64_t limit = UINT32_MAX;
    if (pixelTally_ > limit || lineTally_ > limit || segmentTally_ > limit)
        return false;
    if (!PatchUint32(tallyOffset_, static_cast<uint32_t>(pixelTally_)) ||
        !PatchUint32(tallyOffset_ + 4, static_cast<uint32_t>(lineTally_)) ||
        !PatchUint32(tallyOffset_ + 8, static_cast<uint32_t>(segmentTally_)))
        failed_ = true;
    return !failed_;
}

void MvResourceWriter::BeginRecord(uint32_t type)
{
    MvAssert(!recordOpen_);
    recordOpen_ = true;
    recordStart_ = Tell();
    if (recordStart_ < 0)
        failed_ = true;
    WriteUint32(type);
    WriteUint32(0);
}

void MvResourceWriter::EndRecord()
{
    MvAssert(recordOpen_);
    recordOpen_ = false;
    const long start = recordStart_;
    const long end = Tell();
    if (start < 0 || end < start + 8 || end - (start + 8) > static_cast<long>(UINT32_MAX) ||
        !PatchUint32(start + 4, static_cast<uint32_t>(end - (start + 8))))
        failed_ = true;
}

void MvResourceWriter::WriteUint8(uint8_t value) { Put(&value, 1); }

void MvResourceWriter::WriteUint16(uint16_t value)
{
    const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    Put(b, sizeof b);
}

void MvResourceWriter::WriteUint32(uint32_t value)
{
    const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Put(b, sizeof b);
}

void MvResourceWriter::WriteInt32(int32_t value) { WriteUint32(static_cast<uint32_t>(value)); }

void MvResourceWriter::WriteBytes(const void* data, size_t count) { Put(data, count); }

void MvResourceWriter::WriteName(const char* name)
{
    MvAssert(name != nullptr);
    Put(name, std::strlen(name) + 1);
}

void MvResourceWriter::AddTallies(int64_t pixels, int64_t lines, int64_t segments)
{
    MvAssert(pixels >= 0 && lines >= 0 && segments >= 0);
    pixelTally_ += pixels;
    lineTally_ += lines;
    segmentTally_ += segments;
}
