#include "MvResourceInspector.h"

#include "MvAction.h"
#include "MvAssert.h"
#include "MvBinaryDataResource.h"
#include "MvDebugOutput.h"
#include "MvFontResource.h"
#include "MvGrowArray.h"
#include "MvPixelBlock.h"
#include "MvResource.h"
#include "MvResourceReader.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvTextDataResource.h"
#include "MvTileResource.h"

#include <SDL.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

void Collect(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

// Splits logged text into its lines, without the line ends.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// A line of text data as a quoted C-style string: quotes, backslashes and bytes that are
// not printable ASCII escaped, cut after MvResourceInspector::PreviewLineLength
// characters with "..." after the closing quote.
std::string QuotedLine(const std::string& line)
{
    std::string quoted = "\"";
    const size_t shown = std::min<size_t>(line.size(), MvResourceInspector::PreviewLineLength);
    for (size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == '"' || c == '\\')
            quoted += std::string("\\") + static_cast<char>(c);
        else if (c == '\t')
            quoted += "\\t";
        else if (c == '\r')
            quoted += "\\r";
        else if (c < 0x20 || c > 0x7E)
            quoted += Format("\\x%02X", c);
        else
            quoted += static_cast<char>(c);
    }
    quoted += "\"";
    if (shown < line.size())
        quoted += "...";
    return quoted;
}

// The size and bytes a pixel of a tile.
std::string TileListing(const MvTileResource& tile)
{
    const MvPixelBlock* block = tile.Block(0);
    return Format(" size=%dx%d pixel bytes=%d%s\n", block->Width(), block->Height(), block->HasAlpha() ? 4 : 3,
                  block->HasAlpha() ? " alpha" : "");
}

// The length and line count of a text, then its first lines.
std::string TextListing(const MvTextDataResource& textData)
{
    const int previewLines = MvResourceInspector::PreviewLines;
    MvGrowArray<std::string> lines;
    textData.GetLines(&lines);
    std::string text = Format(" bytes=%zu lines=%d\n", textData.Text().size(), lines.Count());
    for (int i = 0; i < lines.Count() && i < previewLines; ++i)
        text += Format("  Line %d: %s\n", i + 1, QuotedLine(lines[i]).c_str());
    if (lines.Count() > previewLines)
        text += Format("  (%d more lines)\n", lines.Count() - previewLines);
    return text;
}

// The length of binary data, then its first bytes in hexadecimal.
std::string BinaryListing(const MvBinaryDataResource& binary)
{
    std::string text = Format(" length=%d\n", binary.Length());
    if (binary.Length() == 0)
        return text;
    text += "  Bytes:";
    const int shown = std::min<int>(binary.Length(), MvResourceInspector::PreviewBytes);
    for (int i = 0; i < shown; ++i)
        text += Format(" %02X", binary.Data()[i]);
    if (shown < binary.Length())
        text += " ...";
    return text + "\n";
}

// The rest of the line of a sprite or a font (a font first gives its type and glyphs),
// then a line per action and a line per frame. Other resources only end their line.
std::string SpriteListing(MvResource& resource)
{
    std::string text;
    if (const MvFontResource* font = resource.AsFontResource()) {
        text += Format(" type=%u (%s) glyphs=%d start=%d space=%d space width=%d",
                       static_cast<unsigned>(font->FontType()),
                       font->FontType() == MvFontResource::FixedCells ? "equal cells" : "marked cells",
                       font->GlyphCount(), font->StartIndex(), font->SpaceCode(), font->SpaceWidth());
    }
    const MvSpriteResource* sprite = resource.AsSpriteResource();
    if (sprite == nullptr)
        return text + "\n";
    text += Format(" actions=%d\n", sprite->ActionCount());
    for (int a = 0; a < sprite->ActionCount(); ++a) {
        const MvAction* action = sprite->ActionAt(a);
        text += Format("  Action id=%d name=\"%s\" frames=%d\n", action->Id(), action->Name(), action->FrameCount());
        for (int f = 0; f < action->FrameCount(); ++f) {
            const MvRle* frame = action->FrameAt(f);
            text += Format("    Frame %d: size %dx%d offset (%d,%d) delta (%d,%d)%s\n", f, frame->Width(),
                           frame->Height(), frame->OffsetX(), frame->OffsetY(), frame->DeltaX(), frame->DeltaY(),
                           frame->HasAlpha() ? " alpha" : "");
        }
    }
    return text;
}

} // namespace

MvResourceInspector::MvResourceInspector() : pixelTally_(0), lineTally_(0), segmentTally_(0) { }

bool MvResourceInspector::Load(const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    MvAssert(!vault_.HasLoadedFile() && vault_.ResourceCount() == 0);
    path_ = path;

    // The loader reports through the log; its last line on failure is the reason.
    std::string log;
    MvDebugSink previous = MvSetDebugSink(Collect, &log);
    const bool loaded = vault_.LoadDatFile(path.c_str());
    MvSetDebugSink(previous, nullptr);
    const std::vector<std::string> lines = Lines(log);
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "Warning:") == 0)
            warnings_.push_back(line);
    }
    if (!loaded) {
        *error = lines.empty() ? "cannot load '" + path + "'" : lines.back();
        return false;
    }

    // The loader checked the header; read it again for the version and the tallies.
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    bool ok = stream != nullptr;
    if (ok) {
        MvResourceReader reader(stream, path.c_str());
        char magic[4];
        ok = reader.ReadBytes(magic, sizeof magic) && reader.ReadName(&version_) && reader.ReadUint32(&pixelTally_) &&
             reader.ReadUint32(&lineTally_) && reader.ReadUint32(&segmentTally_);
        if (!ok)
            *error = reader.Error();
    } else {
        *error = "cannot open '" + path + "' again to read its header";
    }
    if (stream != nullptr)
        SDL_RWclose(stream);
    return ok;
}

std::string MvResourceInspector::Listing() const
{
    std::string text;
    text += Format("File '%s'\n", path_.c_str());
    text += Format("Version %s\n", version_.c_str());
    text += Format("Tallies: %u pixels, %u lines, %u segments\n", pixelTally_, lineTally_, segmentTally_);
    text += Format("Resources: %d\n", vault_.ResourceCount());
    for (int r = 0; r < vault_.ResourceCount(); ++r) {
        MvResource* resource = vault_.ResourceAt(r);
        text += Format("%s id=%d name=\"%s\"", resource->TypeName().c_str(), resource->Id(), resource->Name());
        if (const MvTileResource* tile = resource->AsTileResource())
            text += TileListing(*tile);
        else if (const MvTextDataResource* textData = resource->AsTextDataResource())
            text += TextListing(*textData);
        else if (const MvBinaryDataResource* binary = resource->AsBinaryDataResource())
            text += BinaryListing(*binary);
        else
            text += SpriteListing(*resource);
    }
    return text;
}

void MvResourceInspector::LayoutSheet(std::vector<SheetCell>* cells, int* width, int* height) const
{
    MvAssert(cells != nullptr && width != nullptr && height != nullptr);
    cells->clear();
    int x = 0, y = 0, lineHeight = 0;
    int sheetWidth = 0;
    auto newLine = [&]() {
        if (x > 0) {
            y += lineHeight + SheetGap;
            x = 0;
            lineHeight = 0;
        }
    };
    for (int r = 0; r < vault_.ResourceCount(); ++r) {
        const MvSpriteResource* sprite = vault_.ResourceAt(r)->AsSpriteResource();
        if (sprite == nullptr)
            continue;
        for (int a = 0; a < sprite->ActionCount(); ++a) {
            newLine();
            const MvAction* action = sprite->ActionAt(a);
            for (int f = 0; f < action->FrameCount(); ++f) {
                const MvRle* frame = action->FrameAt(f);
                if (frame->Width() == 0 || frame->Height() == 0)
                    continue;
                if (x > 0 && x + frame->Width() > SheetWrapWidth)
                    newLine();
                cells->push_back(SheetCell{r, a, f, x, y});
                x += frame->Width() + SheetGap;
                lineHeight = std::max(lineHeight, frame->Height());
                sheetWidth = std::max(sheetWidth, x - SheetGap);
            }
        }
    }
    *width = std::max(sheetWidth, 1);
    *height = std::max(y + lineHeight, 1);
}

MvPngImage MvResourceInspector::ContactSheet() const
{
    std::vector<SheetCell> cells;
    int width = 0, height = 0;
    LayoutSheet(&cells, &width, &height);
    MvPngImage sheet(width, height);
    for (const SheetCell& cell : cells) {
        const MvRle* frame = vault_.ResourceAt(cell.resource)->AsSpriteResource()->ActionAt(cell.action)->FrameAt(
            cell.frame);
        for (int k = 0; k < frame->Height(); ++k) {
            const MvRleLine& line = frame->Row(k);
            for (int s = 0; s < line.segmentCount; ++s) {
                const MvRleSegment& segment = line.segments[s];
                for (int i = 0; i < segment.Length(); ++i)
                    sheet.At(cell.x + segment.start + i, cell.y + k) = segment.pixels[i];
            }
        }
    }
    return sheet;
}

bool MvResourceInspector::WriteContactSheet(const std::string& path, std::string* error) const
{
    return ContactSheet().Save(path, error);
}
