#ifndef MV_RESOURCE_READER_H
#define MV_RESOURCE_READER_H

#include "MvAssert.h"

#include <SDL.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

/// Reads a resource file, which is untrusted input, from an SDL stream. It reads
/// little-endian integers, zero-terminated names and raw bytes through a buffer, tracks the
/// byte offset, and refuses to read past the end of the stream or of the current record.
/// The first problem (a read past the end, or a bad value reported by the caller with Fail)
/// becomes the reader's error: one message naming the file, the byte offset and what is
/// wrong, printed once through MvLog. After an error every read yields zeros and false, so
/// callers can stop at their next check instead of testing every read.
class MvResourceReader {
public:
    /// The longest name (without its zero byte) that ReadName accepts.
    enum { MaxNameLength = 255 };

    /// Reads stream from its current position; fileName names the data in messages. The
    /// stream must be able to seek (files and memory can); otherwise the reader starts in
    /// the error state. Asserts stream and fileName are not null.
    MvResourceReader(SDL_RWops* stream, const char* fileName);

    /// Puts the stream at Offset(), just after the last byte consumed.
    ~MvResourceReader();

    MvResourceReader(const MvResourceReader&) = delete;
    MvResourceReader& operator=(const MvResourceReader&) = delete;

    /// Each read stores the value and returns true, or stores 0, sets the error (unless
    /// one is set) and returns false when the bytes are not there.
    ///@{
    bool ReadUint8(uint8_t* value);
    bool ReadUint16(uint16_t* value);
    bool ReadUint32(uint32_t* value);
    bool ReadInt32(int32_t* value);
    ///@}
    /// count raw bytes into data.
    bool ReadBytes(void* data, size_t count);
    /// Bytes up to and excluding a zero byte, which is consumed. More than maxLength bytes
    /// before the zero is an error.
    bool ReadName(std::string* name, size_t maxLength = MaxNameLength);

    /// The next byte, for bit readers: 0 (and the error) when there is none.
    uint8_t NextByte();
    /// The bytes already buffered from the next one on (all before End()): bit readers
    /// take them ahead of need with Consume and give back the whole bytes they did not use
    /// with Unread.
    int BufferedCount() const;
    /// The first of the BufferedCount() buffered bytes, the next to be read.
    const uint8_t* Buffered() const;
    /// Moves past count buffered bytes. Asserts 0 <= count <= BufferedCount().
    void Consume(int count);
    /// Steps back count bytes, so that they are read again. Asserts count <= the bytes
    /// consumed since construction.
    void Unread(long count);

    /// Byte offset of the next read within the stream.
    long Offset() const;
    /// Offset of the stream's end.
    long Size() const;
    /// Reads stop here: the stream's end, or the end set by SetEnd.
    long End() const;
    /// End() - Offset(): the bytes that may still be read.
    long Remaining() const;

    /// Limits reads to the bytes before end (the end of a record). Asserts
    /// Offset() <= end <= Size().
    void SetEnd(long end);
    /// Lifts the limit: reads may go on to the end of the stream.
    void ClearEnd();

    /// Sets the error at Offset() (when none is set) and returns false; format and the
    /// arguments say what is wrong.
    bool Fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// As Fail, at the given byte offset.
    bool FailAt(long offset, const char* format, ...) __attribute__((format(printf, 3, 4)));

    /// True once the error is set.
    bool Failed() const;
    /// The error message (empty while there is none).
    const std::string& Error() const;
    /// The name given at construction, which messages name the data by.
    const char* FileName() const;

private:
    enum { BufferSize = 4096 };

    uint8_t NextByteSlow();
    bool Refill();
    bool Take(void* data, size_t count);
    void UpdateLimit();
    bool FailAtV(long offset, const char* format, va_list args);

    SDL_RWops* stream_;
    std::string fileName_;
    std::string error_;
    bool failed_;
    long start_; ///< stream offset at construction
    long size_;
    long end_;
    long bufferOffset_; ///< stream offset of buffer_[0]
    int bufferLength_;  ///< bytes held in buffer_
    int bufferLimit_;   ///< bytes of the buffer that lie before end_
    int position_;      ///< next byte of the buffer
    uint8_t buffer_[BufferSize];
};

inline uint8_t MvResourceReader::NextByte()
{
    if (position_ < bufferLimit_)
        return buffer_[position_++];
    return NextByteSlow();
}

inline int MvResourceReader::BufferedCount() const { return bufferLimit_ - position_; }
inline const uint8_t* MvResourceReader::Buffered() const { return buffer_ + position_; }

inline void MvResourceReader::Consume(int count)
{
    MvAssert(count >= 0 && count <= bufferLimit_ - position_);
    position_ += count;
}

inline long MvResourceReader::Offset() const { return bufferOffset_ + position_; }
inline long MvResourceReader::Size() const { return size_; }
inline long MvResourceReader::End() const { return end_; }
inline long MvResourceReader::Remaining() const { return end_ - Offset(); }
inline bool MvResourceReader::Failed() const { return failed_; }
inline const std::string& MvResourceReader::Error() const { return error_; }
inline const char* MvResourceReader::FileName() const { return fileName_.c_str(); }

#endif
