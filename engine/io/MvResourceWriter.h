#ifndef MV_RESOURCE_WRITER_H
#define MV_RESOURCE_WRITER_H

#include <SDL.h>

#include <cstdint>

/// Writes resource files: the header with its tallies, one record per resource, and the end
/// record. A record is opened with its type code and closed once its payload is written;
/// closing fills in the size field, the number of bytes after it, so a resource's Save
/// never has to know its size in advance. The tallies (pixels, RLE rows and RLE segments
/// of all images) are added up while records are written and put into the header when the
/// file is ended. The stream must be able to seek back (files and MvMemoryStream can).
class MvResourceWriter {
public:
    /// Writes to stream (not owned) from its current position. Asserts stream is not null.
    explicit MvResourceWriter(SDL_RWops* stream);

    MvResourceWriter(const MvResourceWriter&) = delete;
    MvResourceWriter& operator=(const MvResourceWriter&) = delete;

    /// Writes the header: the magic "MOVO", the version "2.0.2" and room for the tallies.
    /// Asserts it is called once, before any record.
    void BeginFile();

    /// Writes the end record and fills in the header's tallies; the stream is left after
    /// the end record. Returns true when every byte reached the stream and the tallies fit
    /// their 32-bit fields. Asserts BeginFile came first and no record is open.
    bool EndFile();

    /// Opens a record: its type code and a size field filled in by EndRecord. Asserts no
    /// record is open.
    void BeginRecord(uint32_t type);
    /// Closes the open record, writing its payload size. Asserts a record is open.
    void EndRecord();

    /// Little-endian integers, raw bytes, and a name followed by its zero byte.
    ///@{
    void WriteUint8(uint8_t value);
    void WriteUint16(uint16_t value);
    void WriteUint32(uint32_t value);
    void WriteInt32(int32_t value);
    void WriteBytes(const void* data, size_t count);
    void WriteName(const char* name);
    ///@}

    /// Adds an image's pixels, RLE rows and RLE segments to the tallies. Asserts the counts
    /// are not negative.
    void AddTallies(int64_t pixels, int64_t lines, int64_t segments);
    /// The tallies of pixels, RLE rows and RLE segments added so far.
    ///@{
    int64_t PixelTally() const;
    int64_t LineTally() const;
    int64_t SegmentTally() const;
    ///@}

    /// The stream, for writers that write straight to it (MvRle::Write); they report a
    /// failed write with NoteFailure.
    SDL_RWops* Stream() const;
    /// Records that a write straight to Stream() failed: Failed() becomes true.
    void NoteFailure();
    /// True once a write failed.
    bool Failed() const;

private:
    void Put(const void* data, size_t count);
    long Tell() const;
    bool PatchUint32(long offset, uint32_t value);

    SDL_RWops* stream_;
    long tallyOffset_; ///< offset of the header's pixel tally; -1 before BeginFile
    long recordStart_; ///< offset of the open record's type code
    bool recordOpen_;
    int64_t pixelTally_;
    int64_t lineTally_;
    int64_t segmentTally_;
    bool failed_;
    bool ended_;
};

inline int64_t MvResourceWriter::PixelTally() const { return pixelTally_; }
inline int64_t MvResourceWriter::LineTally() const { return lineTally_; }
inline int64_t MvResourceWriter::SegmentTally() const { return segmentTally_; }
inline SDL_RWops* MvResourceWriter::Stream() const { return stream_; }
inline void MvResourceWriter::NoteFailure() { failed_ = true; }
inline bool MvResourceWriter::Failed() const { return failed_; }

#endif
