#ifndef MV_TEXT_DATA_RESOURCE_H
#define MV_TEXT_DATA_RESOURCE_H

#include "MvGrowArray.h"
#include "MvResource.h"

#include <cstdint>
#include <string>

/// A named text carried in a resource file, for program code to fetch from the vault by
/// name or id and split into lines. The text is stored with a terminating zero byte, so
/// it cannot hold a zero byte itself; lines end at newline characters only, and a
/// carriage return before one stays part of its line.
class MvTextDataResource : public MvResource {
public:
    /// An empty text (id 0) for the encoder and program code. Asserts name is not null.
    explicit MvTextDataResource(const char* name);

    int Type() const override;
    const std::string& TypeName() const override;
    MvTextDataResource* AsTextDataResource() override;

    /// Replaces the text with the contents of the file at path (asserted not null), read
    /// as text. A file that cannot be opened or read leaves the text empty, silently.
    /// Returns true when the file was read.
    bool LoadTextFile(const char* path);

    /// Appends the text's lines to lines (asserted not null): every newline ends a line,
    /// which is appended even when empty; what follows the last newline is appended only
    /// when it is not empty. The newlines are not part of the lines.
    void GetLines(MvGrowArray<std::string>* lines) const;

    /// The whole text, without its zero byte.
    const std::string& Text() const;

    /// @name Engine internals
    /// For the engine's loader and the resource encoder, never for a program: the reader
    /// and the writer are the engine's own types, not installed.
    ///@{

    /// Reads a text-data record's payload (size bytes, not used: the payload is read
    /// field by field): name, id, then the text up to its zero byte. Nothing is logged
    /// but a malformed payload (a text without its zero byte before the record ends),
    /// which leaves the reader's error set; the owner then deletes the resource.
    MvTextDataResource(uint32_t size, MvResourceReader& reader);

    /// Writes one text-data record: name, id and the text with its zero byte.
    void Save(MvResourceWriter& writer) const override;
    ///@}

private:
    std::string text_;
};

inline const std::string& MvTextDataResource::Text() const { return text_; }

#endif
