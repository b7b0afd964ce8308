#ifndef MV_BINARY_DATA_RESOURCE_H
#define MV_BINARY_DATA_RESOURCE_H

#include "MvResource.h"

#include <cstdint>
#include <string>

/// A named block of bytes carried in a resource file, for program code to fetch from the
/// vault by name or id. The bytes are opaque to the engine: stored as a length and the
/// bytes, held in one allocation the resource owns.
class MvBinaryDataResource : public MvResource {
public:
    /// No data (id 0) for the encoder and program code. Asserts name is not null.
    explicit MvBinaryDataResource(const char* name);

    /// Frees the data.
    ~MvBinaryDataResource() override;

    int Type() const override;
    const std::string& TypeName() const override;
    MvBinaryDataResource* AsBinaryDataResource() override;

    /// When the resource has no data yet, takes the whole file at path (asserted not null)
    /// as its data. A file that cannot be opened, measured or read in full changes
    /// nothing, silently. Returns true when the data was loaded.
    bool LoadFile(const char* path);

    /// The bytes (null when there are none) and their number.
    ///@{
    const uint8_t* Data() const;
    int Length() const;
    ///@}

    /// @name Engine internals
    /// For the engine's loader and the resource encoder, never for a program: the reader
    /// and the writer are the engine's own types, not installed.
    ///@{

    /// Reads a binary-data record's payload (size bytes, not used: the payload is read
    /// field by field): name, id, length and the bytes. Nothing is logged but a malformed
    /// payload (a length the record does not hold), which leaves the reader's error set
    /// and the resource without data; the owner then deletes it.
    MvBinaryDataResource(uint32_t size, MvResourceReader& reader);

    /// Writes one binary-data record: name, id, length and the bytes.
    void Save(MvResourceWriter& writer) const override;
    ///@}

private:
    uint8_t* data_; ///< owned; null or length_ bytes
    int length_;
};

inline const uint8_t* MvBinaryDataResource::Data() const { return data_; }
inline int MvBinaryDataResource::Length() const { return length_; }

#endif
