#ifndef MV_FILE_STREAM_H
#define MV_FILE_STREAM_H

#include "MvStream.h"

#include <cstdio>

/// A stream over a file opened with the C library, for reading and writing resource files
/// through the engine's readers and writers. It works wherever the C library's files do,
/// also where SDL's own file streams cannot be read from C++ (the browser build, whose
/// files live in the program's memory).
class MvFileStream : public MvStream {
public:
    /// No file yet: Open one.
    MvFileStream();
    /// Closes the file.
    ~MvFileStream() override;

    /// Opens path with fopen's mode ("rb", "wb", ...), closing the file opened before.
    /// False, with errno saying why, when the file cannot be opened. Asserts path and mode
    /// are not null.
    bool Open(const char* path, const char* mode);
    /// True while a file is open.
    bool IsOpen() const;
    /// Closes the file: false when buffered writes could not be written (errno says why).
    /// Does nothing and returns true when no file is open.
    bool Close();

    /// Without an open file every call returns -1.
    long Seek(long offset, int whence) override;
    long Read(void* data, size_t size, size_t count) override;
    long Write(const void* data, size_t size, size_t count) override;

private:
    std::FILE* file_;
};

inline bool MvFileStream::IsOpen() const { return file_ != nullptr; }

#endif
