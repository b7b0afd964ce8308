#include "MvTextDataResource.h"

#include "MvAssert.h"
#include "MvResourceReader.h"
#include "MvResourceWriter.h"

#include <cstdio>

namespace {

const std::string TextDataTypeName = "TextData";

} // namespace

MvTextDataResource::MvTextDataResource(uint32_t size, MvResourceReader& reader)
{
    (void)size;
    if (!ReadIdentity(reader))
        return;
    // The text runs to its zero byte, which must lie inside the record: a missing one is
    // reported as such rather than as a read past the record's end.
    const long start = reader.Offset();
    std::string text;
    for (;;) {
        if (reader.Remaining() <= 0) {
            reader.FailAt(start, "the text of text data '%s' has no zero byte before its record ends", Name());
            return;
        }
        uint8_t c = 0;
        if (!reader.ReadUint8(&c))
            return;
        if (c == 0)
            break;
        text.push_back(static_cast<char>(c));
    }
    text_.swap(text);
}

MvTextDataResource::MvTextDataResource(const char* name) { SetIdentity(name, 0); }

int MvTextDataResource::Type() const { return MvTextDataResourceCode; }

const std::string& MvTextDataResource::TypeName() const { return TextDataTypeName; }

MvTextDataResource* MvTextDataResource::AsTextDataResource() { return this; }

void MvTextDataResource::Save(MvResourceWriter& writer) const
{
    writer.BeginRecord(MvTextDataResourceCode);
    SaveIdentity(writer);
    writer.WriteName(text_.c_str());
    writer.EndRecord();
}

bool MvTextDataResource::LoadTextFile(const char* path)
{
    MvAssert(path != nullptr);
    text_.clear();
    FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return false;
    // fgets ends a piece at a newline or after 1023 bytes; appending up to the piece's
    // zero leaves out any zero byte of the file, which the stored text could not hold.
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr)
        text_ += buffer;
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    if (!read)
        text_.clear(); // a part of a file is no text to keep
    return read;
}

void MvTextDataResource::GetLines(MvGrowArray<std::string>* lines) const
{
    MvAssert(lines != nullptr);
    size_t start = 0;
    for (;;) {
        const size_t newline = text_.find('\n', start);
        if (newline == std::string::npos)
            break;
        lines->Append(text_.substr(start, newline - start));
        start = newline + 1;
    }
    if (start < text_.size())
        lines->Append(text_.substr(start));
}
