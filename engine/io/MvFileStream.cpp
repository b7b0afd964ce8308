#include "MvFileStream.h"

#include "MvAssert.h"

MvFileStream::MvFileStream() : file_(nullptr) {}

MvFileStream::~MvFileStream() { Close(); }

bool MvFileStream::Open(const char* path, const char* mode)
{
    MvAssert(path != nullptr && mode != nullptr);
    Close();
    file_ = std::fopen(path, mode);
    return file_ != nullptr;
}

bool MvFileStream::Close()
{
    if (file_ == nullptr)
        return true;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

long MvFileStream::Seek(long offset, int whence)
{
    if (file_ == nullptr || std::fseek(file_, offset, whence) != 0)
        return -1;
    return std::ftell(file_);
}

long MvFileStream::Read(void* data, size_t size, size_t count)
{
    if (file_ == nullptr)
        return -1;
    const size_t objects = size != 0 && count != 0 ? std::fread(data, size, count, file_) : 0;
    return objects == 0 && std::ferror(file_) ? -1 : static_cast<long>(objects);
}

long MvFileStream::Write(const void* data, size_t size, size_t count)
{
    if (file_ == nullptr)
        return -1;
    const size_t objects = size != 0 && count != 0 ? std::fwrite(data, size, count, file_) : 0;
    return objects == 0 && std::ferror(file_) ? -1 : static_cast<long>(objects);
}
