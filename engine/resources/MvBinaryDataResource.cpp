#include "MvBinaryDataResource.h"

#include "MvAssert.h"
#include "MvFileStream.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"

#include <SDL.h>

#include <climits>
#include <new>

namespace {

const std::string BinaryDataTypeName = "BinaryData";

} // namespace

MvBinaryDataResource::MvBinaryDataResource(uint32_t size, MvResourceReader& reader) : data_(nullptr), length_(0)
{
    (void)size;
    if (!ReadIdentity(reader))
        return;
    const long lengthOffset = reader.Offset();
    uint32_t length = 0;
    if (!reader.ReadUint32(&length))
        return;
    // The length comes from the file: it must be held by the record before it is
    // allocated.
    if (length > static_cast<unsigned long>(reader.Remaining()) || length > static_cast<uint32_t>(INT_MAX)) {
        reader.FailAt(lengthOffset, "binary data '%s' has a length of %u bytes, but its record holds %ld after it",
                      Name(), length, reader.Remaining());
        return;
    }
    if (length == 0)
        return;
    uint8_t* data = new (std::nothrow) uint8_t[length];
    if (data == nullptr) {
        reader.FailAt(lengthOffset, "there is no memory for the %u bytes of binary data '%s'", length, Name());
        return;
    }
    if (!reader.ReadBytes(data, length)) {
        delete[] data;
        return;
    }
    data_ = data;
    length_ = static_cast<int>(length);
}

MvBinaryDataResource::MvBinaryDataResource(const char* name) : data_(nullptr), length_(0) { SetIdentity(name, 0); }

MvBinaryDataResource::~MvBinaryDataResource() { delete[] data_; }

int MvBinaryDataResource::Type() const { return MvBinaryDataResourceCode; }

const std::string& MvBinaryDataResource::TypeName() const { return BinaryDataTypeName; }

MvBinaryDataResource* MvBinaryDataResource::AsBinaryDataResource() { return this; }

void MvBinaryDataResource::Save(MvResourceWriter& writer) const
{
    writer.BeginRecord(MvBinaryDataResourceCode);
    SaveIdentity(writer);
    writer.WriteUint32(static_cast<uint32_t>(length_));
    if (length_ > 0)
        writer.WriteBytes(data_, static_cast<size_t>(length_));
    writer.EndRecord();
}

bool MvBinaryDataResource::LoadFile(const char* path)
{
    MvAssert(path != nullptr);
    if (data_ != nullptr)
        return false;
    MvFileStream file;
    if (!file.Open(path, "rb"))
        return false;
    // Only a file that is measured and then read in full replaces nothing with something:
    // a short read would leave bytes that were never filled.
    uint8_t* data = nullptr;
    const long length = file.Seek(0, RW_SEEK_END);
    bool loaded = length >= 0 && length <= INT_MAX && file.Seek(0, RW_SEEK_SET) == 0;
    if (loaded && length > 0) {
        data = new (std::nothrow) uint8_t[length];
        loaded = data != nullptr && file.Read(data, 1, static_cast<size_t>(length)) == length;
    }
    if (!loaded) {
        delete[] data;
        return false;
    }
    data_ = data;
    length_ = length;
    return true;
}
