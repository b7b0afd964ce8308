#include "MvResourceEncoder.h"

#include "MvAction.h"
#include "MvAssert.h"
#include "MvBinaryDataResource.h"
#include "MvDebugOutput.h"
#include "MvFontResource.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvPixelBlock.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSpriteResource.h"
#include "MvTextDataResource.h"
#include "MvTileResource.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The widest rectangle a memory paint target can wrap.
const int64_t MaxRectangleWidth = 16383;

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A C++ identifier part made of a name: letters and digits kept, every other character
// ends a word, and each word starts with a capital ("Stand.Left" gives "StandLeft").
// Names without letters or digits use the id ("Id12", "IdMinus3").
std::string IdentifierPart(const std::string& name, int32_t id)
{
    std::string part;
    bool wordStart = true;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            part += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    if (part.empty())
        part = id < 0 ? "IdMinus" + std::to_string(-static_cast<int64_t>(id)) : "Id" + std::to_string(id);
    return part;
}

// A unique identifier for base in used: base itself, or base with the id appended; empty
// when both are taken (the constant is then left out).
std::string Unique(std::set<std::string>* used, const std::string& base, int32_t id)
{
    if (used->insert(base).second)
        return base;
    const std::string alternative =
        base + "_" + (id < 0 ? "Minus" + std::to_string(-static_cast<int64_t>(id)) : std::to_string(id));
    if (used->insert(alternative).second)
        return alternative;
    return std::string();
}

// Text safe inside a C++ line comment and string: quotes and backslashes escaped.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// The include guard of the header at headerPath: "MV_" and the file name in capitals,
// with '_' for every character that is not a letter or digit.
std::string IncludeGuard(const std::string& headerPath)
{
    std::string guard = "MV_";
    for (char c : FileName(headerPath)) {
        const unsigned char u = static_cast<unsigned char>(c);
        guard += std::isalnum(u) ? static_cast<char>(std::toupper(u)) : '_';
    }
    return guard;
}

// The header lines of a resource that is not a sprite: a comment naming it and its
// constant (kTile..., kFont..., and so on, after kind), or a note that it is left out.
template <typename Definition>
std::string ResourceConstant(const char* kind, const Definition& resource, std::set<std::string>* used)
{
    const std::string part = Unique(used, kind + IdentifierPart(resource.name, resource.id), resource.id);
    std::string text = std::string("\n// ") + kind + " " + Quoted(resource.name) + "\n";
    if (part.empty())
        return text + "// (left out: its name and id repeat an earlier " + kind + "'s)\n";
    return text + "constexpr int k" + part + " = " + std::to_string(resource.id) + ";\n";
}

// The header lines of a sprite: a comment naming it, its constant and a namespace with
// one constant per action, or a note that it is left out.
std::string SpriteConstants(const MvSpriteDefinition& sprite, std::set<std::string>* used)
{
    const std::string part = Unique(used, "Sprite" + IdentifierPart(sprite.name, sprite.id), sprite.id);
    std::string text = "\n// Sprite " + Quoted(sprite.name) + "\n";
    if (part.empty())
        return text + "// (left out: its name and id repeat an earlier sprite's)\n";
    text += "constexpr int k" + part + " = " + std::to_string(sprite.id) + ";\n";
    if (sprite.actions.empty())
        return text;
    text += "namespace " + part + "Actions {\n";
    std::set<std::string> actionsUsed;
    for (const MvActionDefinition& action : sprite.actions) {
        const std::string name = Unique(&actionsUsed, IdentifierPart(action.name, action.id), action.id);
        if (name.empty())
            text += "// " + Quoted(action.name) + " left out: its name and id repeat an earlier action's\n";
        else
            text += "constexpr int k" + name + " = " + std::to_string(action.id) + "; // " + Quoted(action.name) + "\n";
    }
    return text + "} // namespace " + part + "Actions\n";
}

// Character codes are 16-bit: a glyph beyond this code could never be drawn.
const int64_t MaxCharacterCode = 65535;

void Collect(const char* text, void* context) { static_cast<std::string*>(context)->append(text); }

// The first logged line that begins with prefix, without the prefix and the line end;
// empty when there is none.
std::string LoggedLine(const std::string& log, const std::string& prefix)
{
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        if (log.compare(start, prefix.size(), prefix) == 0)
            return log.substr(start + prefix.size(), end - start - prefix.size());
        start = end + 1;
    }
    return std::string();
}

// Checks that path names a regular file the engine can hold (at most INT_MAX bytes) and
// gives its size; otherwise sets why.
bool FileSize(const std::string& path, int64_t* size, std::string* why)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        *why = "cannot open the file '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *why = "'" + path + "' is not a regular file";
        return false;
    }
    *size = static_cast<int64_t>(info.st_size);
    if (*size > INT_MAX) {
        *why = "the file '" + path + "' is " + std::to_string(*size) + " bytes, more than " + std::to_string(INT_MAX);
        return false;
    }
    return true;
}

// Reads the whole file at path into bytes; otherwise sets why.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* why)
{
    int64_t size = 0;
    if (!FileSize(path, &size, why))
        return false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *why = "cannot open the file '" + path + "': " + std::strerror(errno);
        return false;
    }
    bytes->assign(static_cast<size_t>(size), '\0');
    const size_t read = size > 0 ? std::fread(&(*bytes)[0], 1, bytes->size(), file) : 0;
    const bool ok = read == bytes->size() && std::fgetc(file) == EOF && !std::ferror(file);
    std::fclose(file);
    if (!ok)
        *why = "cannot read the file '" + path + "' in full";
    return ok;
}

bool WriteBytes(const std::string& path, const void* data, size_t size, std::string* error)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = path + ": cannot create the file: " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        *error = path + ": cannot write the file: " + std::strerror(written ? errno : savedErrno);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

// A rectangle of a picture, in the picture's pixels.
struct Area {
    int64_t x, y, width, height;
};

// What keeps rectangle from being cut from picture (found at path): it does not lie
// inside, or it is too wide for a paint target; empty when it can be cut.
std::string RectangleProblem(const MvPngImage& picture, const std::string& path, const Area& rectangle)
{
    const int64_t x = rectangle.x, y = rectangle.y, w = rectangle.width, h = rectangle.height;
    if (w < 0 || h < 0 || x + w > picture.Width() || y + h > picture.Height())
        return "the rectangle x=" + std::to_string(x) + " y=" + std::to_string(y) + " width=" + std::to_string(w) +
               " height=" + std::to_string(h) + " does not lie inside the picture '" + path + "' (" +
               std::to_string(picture.Width()) + " x " + std::to_string(picture.Height()) + " pixels)";
    if (w > MaxRectangleWidth)
        return "the rectangle is " + std::to_string(w) + " pixels wide, more than " +
               std::to_string(MaxRectangleWidth);
    return std::string();
}

bool Visible(const MvPngImage& picture, int64_t col, int64_t row)
{
    return picture.At(static_cast<int>(col), static_cast<int>(row)).alpha != 0;
}

// The smallest area of rectangle that holds all its visible pixels, as MvRle::Create
// trims a frame; its width is 0 when there are none.
Area VisibleArea(const MvPngImage& picture, const Area& rectangle)
{
    int64_t c0 = -1, c1 = -1, r0 = -1, r1 = -1;
    for (int64_t row = rectangle.y; row < rectangle.y + rectangle.height; ++row) {
        for (int64_t col = rectangle.x; col < rectangle.x + rectangle.width; ++col) {
            if (!Visible(picture, col, row))
                continue;
            if (r0 < 0)
                r0 = row;
            r1 = row;
            if (c0 < 0 || col < c0)
                c0 = col;
            if (col > c1)
                c1 = col;
        }
    }
    if (c0 < 0)
        return Area{0, 0, 0, 0};
    return Area{c0, r0, c1 - c0 + 1, r1 - r0 + 1};
}

// What keeps the frame's hot spot from being stored: the offset it gives the visible
// pixels lies beyond what a resource file holds; empty when it fits.
std::string HotSpotProblem(const MvFrameDefinition& f, const Area& rectangle, const Area& visible)
{
    const bool blank = visible.width == 0;
    const int64_t offsetX = blank ? rectangle.width - f.hotX : visible.x - rectangle.x - f.hotX;
    const int64_t offsetY = blank ? -static_cast<int64_t>(f.hotY) : visible.y - rectangle.y - f.hotY;
    if (offsetX >= -MvRle::MaxWrittenOffset && offsetX <= MvRle::MaxWrittenOffset &&
        offsetY >= -MvRle::MaxWrittenOffset && offsetY <= MvRle::MaxWrittenOffset)
        return std::string();
    return "the hot spot hotx=" + std::to_string(f.hotX) + " hoty=" + std::to_string(f.hotY) +
           " puts the image at offset (" + std::to_string(offsetX) + ", " + std::to_string(offsetY) +
           "), outside -" + std::to_string(MvRle::MaxWrittenOffset) + ".." + std::to_string(MvRle::MaxWrittenOffset);
}

// What keeps the visible pixels from becoming runs, which MvRle::Create would assert on:
// a span beyond its size, or a row with too many runs or one too long; empty when they fit.
std::string RunProblem(const MvPngImage& picture, const Area& visible)
{
    if (visible.width == 0)
        return std::string();
    if (visible.width > MvRle::MaxSize || visible.height > MvRle::MaxSize)
        return "the visible pixels span " + std::to_string(visible.width) + " x " + std::to_string(visible.height) +
               " pixels, more than " + std::to_string(MvRle::MaxSize) + " on a side";
    for (int64_t row = visible.y; row < visible.y + visible.height; ++row) {
        int runs = 0;
        for (int64_t col = visible.x; col < visible.x + visible.width;) {
            if (!Visible(picture, col, row)) {
                ++col;
                continue;
            }
            const int64_t first = col;
            while (col < visible.x + visible.width && Visible(picture, col, row))
                ++col;
            ++runs;
            if (runs > MvRle::MaxCreatedSegmentsPerRow)
                return "picture row " + std::to_string(row) + " holds more than " +
                       std::to_string(MvRle::MaxCreatedSegmentsPerRow) +
                       " runs of visible pixels; the engine cannot store it";
            if (col - first > MvRle::MaxSegmentLength)
                return "picture row " + std::to_string(row) + " holds a run of " + std::to_string(col - first) +
                       " visible pixels, more than " + std::to_string(MvRle::MaxSegmentLength) +
                       "; the engine cannot store it";
        }
    }
    return std::string();
}

// A copy of area of picture, so that a paint target's width limit concerns the area only.
// An area without pixels still gets one, for a target to wrap.
MvPngImage Cut(const MvPngImage& picture, const Area& area)
{
    MvPngImage cut(std::max<int>(static_cast<int>(area.width), 1), std::max<int>(static_cast<int>(area.height), 1));
    for (int row = 0; row < area.height; ++row)
        for (int col = 0; col < area.width; ++col)
            cut.At(col, row) = picture.At(static_cast<int>(area.x) + col, static_cast<int>(area.y) + row);
    return cut;
}

} // namespace

MvResourceEncoder::MvResourceEncoder(const MvResourceDefinition& definition, const std::string& imageDir)
    : definition_(definition), pictureFolder_(imageDir.empty() ? definition.Folder() : imageDir)
{
}

std::string MvResourceEncoder::PicturePath(const std::string& image) const
{
    if (!image.empty() && image[0] == '/')
        return image;
    return pictureFolder_ + "/" + image;
}

std::string MvResourceEncoder::DataPath(const std::string& file) const
{
    if (!file.empty() && file[0] == '/')
        return file;
    return definition_.Folder() + "/" + file;
}

std::string MvResourceEncoder::At(int line) const { return definition_.Path() + ":" + std::to_string(line) + ": "; }

std::string MvResourceEncoder::Where(int line, const char* kind, const std::string& name) const
{
    return At(line) + kind + " '" + name + "': ";
}

const MvPngImage* MvResourceEncoder::PictureFor(const std::string& where, const std::string& path,
                                                std::string* error)
{
    std::string why;
    const MvPngImage* picture = Picture(path, &why);
    if (picture == nullptr)
        *error = where + why;
    return picture;
}

const MvPngImage* MvResourceEncoder::Picture(const std::string& path, std::string* why)
{
    auto found = pictures_.find(path);
    if (found != pictures_.end())
        return &found->second;
    MvPngImage picture;
    if (!picture.Load(path, why))
        return nullptr;
    return &pictures_.emplace(path, std::move(picture)).first->second;
}

bool MvResourceEncoder::EncodeFrame(const MvSpriteDefinition& sprite, const MvActionDefinition& action, int index,
                                    MvRle* frame, std::string* error)
{
    const MvFrameDefinition& f = action.frames[index];
    const std::string where = At(f.line) + "frame " + std::to_string(index) + " of action '" + action.name +
                              "' in sprite '" + sprite.name + "': ";
    const std::string path = PicturePath(f.image);
    const MvPngImage* picture = PictureFor(where, path, error);
    if (picture == nullptr)
        return false;
    // The sizes the definition leaves out are taken from the picture.
    const Area rectangle{f.x, f.y, f.hasWidth ? f.width : int64_t{picture->Width()} - f.x,
                         f.hasHeight ? f.height : int64_t{picture->Height()} - f.y};
    std::string problem = RectangleProblem(*picture, path, rectangle);
    if (problem.empty()) {
        const Area visible = VisibleArea(*picture, rectangle);
        problem = HotSpotProblem(f, rectangle, visible);
        if (problem.empty())
            problem = RunProblem(*picture, visible);
    }
    if (!problem.empty()) {
        *error = where + problem;
        return false;
    }
    // The hot spot is already relative to the rectangle's corner.
    MvPngImage cut = Cut(*picture, rectangle);
    MvPaintTarget source(cut.Pixels(), cut.Width(), cut.Height());
    frame->Create(source, 0, 0, static_cast<int>(rectangle.width), static_cast<int>(rectangle.height), f.hotX, f.hotY,
                  f.deltaX, f.deltaY);
    return true;
}

bool MvResourceEncoder::Build(MvResourceVault* vault, std::string* error, std::vector<std::string>* warnings)
{
    MvAssert(vault != nullptr && error != nullptr);
    for (const MvDefinedResource& entry : definition_.Order()) {
        bool ok = false;
        switch (entry.kind) {
        case MvDefinedKind::Sprite: ok = BuildSprite(definition_.Sprites()[entry.index], vault, error); break;
        case MvDefinedKind::Tile: ok = BuildTile(definition_.Tiles()[entry.index], vault, error); break;
        case MvDefinedKind::Font: ok = BuildFont(definition_.Fonts()[entry.index], vault, error, warnings); break;
        case MvDefinedKind::Text: ok = BuildText(definition_.Texts()[entry.index], vault, error); break;
        case MvDefinedKind::Binary: ok = BuildBinary(definition_.Binaries()[entry.index], vault, error); break;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool MvResourceEncoder::BuildSprite(const MvSpriteDefinition& spriteDefinition, MvResourceVault* vault,
                                    std::string* error)
{
    MvSpriteResource* sprite = new MvSpriteResource(spriteDefinition.name.c_str());
    sprite->SetIdentity(spriteDefinition.name.c_str(), spriteDefinition.id);
    vault->AppendResource(sprite);
    for (const MvActionDefinition& actionDefinition : spriteDefinition.actions) {
        MvAction* action = new MvAction(actionDefinition.name.c_str());
        action->SetIdentity(actionDefinition.name.c_str(), actionDefinition.id);
        const int count = static_cast<int>(actionDefinition.frames.size());
        if (count > 0)
            action->SetFrameCount(count);
        bool ok = true;
        for (int i = 0; ok && i < count; ++i)
            ok = EncodeFrame(spriteDefinition, actionDefinition, i, action->FrameAt(i), error);
        sprite->AppendAction(action);
        if (!ok)
            return false;
    }
    return true;
}

bool MvResourceEncoder::BuildTile(const MvTileDefinition& t, MvResourceVault* vault, std::string* error)
{
    const std::string where = Where(t.line, "tile", t.name);
    const std::string path = PicturePath(t.image);
    const MvPngImage* picture = PictureFor(where, path, error);
    if (picture == nullptr)
        return false;
    // The square, its side taken from the picture's width when the definition leaves it out.
    const int64_t x = t.x, y = t.y;
    const int64_t size = t.hasSize ? t.size : picture->Width() - x;
    if (size < 1 || x + size > picture->Width() || y + size > picture->Height()) {
        *error = where + "the square x=" + std::to_string(x) + " y=" + std::to_string(y) +
                 " size=" + std::to_string(size) + " does not lie inside the picture '" + path + "' (" +
                 std::to_string(picture->Width()) + " x " + std::to_string(picture->Height()) + " pixels)";
        return false;
    }
    if (size > MvPixelBlock::MaxSize) {
        *error = where + "the tile is " + std::to_string(size) + " pixels on a side, more than " +
                 std::to_string(static_cast<int>(MvPixelBlock::MaxSize));
        return false;
    }
    const int side = static_cast<int>(size);
    MvPngImage cut = Cut(*picture, Area{x, y, size, size});
    for (int row = 0; t.opaque && row < side; ++row) {
        for (int col = 0; col < side; ++col) {
            const int alpha = cut.At(col, row).alpha;
            if (alpha != 255) {
                *error = where + "pixel (" + std::to_string(x + col) + ", " + std::to_string(y + row) +
                         ") of the picture '" + path + "' has alpha " + std::to_string(alpha) +
                         ", but the tile is declared alpha=\"no\"";
                return false;
            }
        }
    }
    MvPaintTarget source(cut.Pixels(), side, side);
    MvTileResource* tile = new MvTileResource(t.name.c_str(), source, 0, 0, side);
    tile->SetIdentity(t.name.c_str(), t.id);
    vault->AppendResource(tile);
    return true;
}

bool MvResourceEncoder::BuildFont(const MvFontDefinition& f, MvResourceVault* vault, std::string* error,
                                  std::vector<std::string>* warnings)
{
    const std::string where = Where(f.line, "font", f.name);
    const std::string path = PicturePath(f.image);
    const MvPngImage* picture = PictureFor(where, path, error);
    if (picture == nullptr)
        return false;
    const std::string pictureText = "the picture '" + path + "' is " + std::to_string(picture->Width()) +
                                    " pixels wide";
    if (picture->Width() > MaxRectangleWidth) {
        *error = where + pictureText + ", more than " + std::to_string(MaxRectangleWidth);
        return false;
    }
    if (f.fontType == MvFontResource::FixedCells) {
        if (picture->Width() < f.length) {
            *error = where + pictureText + ", too narrow for length=" + std::to_string(f.length) + " cells";
            return false;
        }
        const int left = picture->Width() % f.length;
        if (left != 0 && warnings != nullptr)
            warnings->push_back(At(f.line) + "warning: font '" + f.name + "': " + pictureText +
                                ", not a multiple of length=" + std::to_string(f.length) + "; the last " +
                                std::to_string(left) + " columns belong to no glyph");
    }

    // The engine logs why a cell cannot become a glyph and leaves the font incomplete;
    // that line, caught here, becomes the message.
    MvPngImage image = *picture;
    MvPaintTarget target(image.Pixels(), image.Width(), image.Height());
    std::string log;
    const MvDebugSink previous = MvSetDebugSink(Collect, &log);
    std::unique_ptr<MvFontResource> font(new MvFontResource(f.name.c_str(), target, f.startIndex, f.spaceCode,
                                                            f.fontType, f.length));
    MvSetDebugSink(previous, nullptr);
    if (!font->IsComplete()) {
        std::string reason = LoggedLine(log, "Font '" + f.name + "': ");
        if (reason.empty())
            reason = "not every cell could become a glyph";
        *error = where + "the picture '" + path + "': " + reason;
        return false;
    }
    const int64_t lastCode = static_cast<int64_t>(f.startIndex) + font->GlyphCount() - 1;
    if (lastCode > MaxCharacterCode) {
        *error = where + "its " + std::to_string(font->GlyphCount()) + " glyphs from start=" +
                 std::to_string(f.startIndex) + " reach the character code " + std::to_string(lastCode) +
                 ", above the largest " + std::to_string(MaxCharacterCode);
        return false;
    }
    font->SetIdentity(f.name.c_str(), f.id);
    vault->AppendResource(font.release());
    return true;
}

bool MvResourceEncoder::BuildText(const MvTextDefinition& t, MvResourceVault* vault, std::string* error)
{
    const std::string where = Where(t.line, "text", t.name);
    std::unique_ptr<MvTextDataResource> text(new MvTextDataResource(t.name.c_str()));
    std::string expected;
    std::string why;
    if (t.fromFile) {
        // The stored text ends at its zero byte, so a zero inside it would cut it short.
        const std::string path = DataPath(t.file);
        if (!ReadWholeFile(path, &expected, &why)) {
            *error = where + why;
            return false;
        }
        const size_t zero = expected.find('\0');
        if (zero != std::string::npos) {
            *error = where + "the file '" + path + "' holds a zero byte at offset " + std::to_string(zero) +
                     "; a text cannot hold one (<binary> can)";
            return false;
        }
        if (!text->LoadTextFile(path.c_str()) || text->Text() != expected) {
            *error = where + "cannot read the file '" + path + "' in full";
            return false;
        }
    } else if (!t.text.empty()) {
        // The engine takes a text only from a file: the written text passes through a
        // temporary one.
        expected = t.text;
        const char* folder = std::getenv("TMPDIR");
        std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                              "/movo-encode-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        const int descriptor = mkstemp(name.data());
        bool ok = descriptor >= 0;
        if (!ok)
            why = std::string("cannot make a temporary file for the text: ") + std::strerror(errno);
        if (ok) {
            ok = write(descriptor, expected.data(), expected.size()) == static_cast<ssize_t>(expected.size());
            ok = close(descriptor) == 0 && ok;
            ok = ok && text->LoadTextFile(name.data()) && text->Text() == expected;
            if (!ok)
                why = "cannot pass the text through the temporary file '" + std::string(name.data()) + "'";
            unlink(name.data());
        }
        if (!ok) {
            *error = where + why;
            return false;
        }
    }
    text->SetIdentity(t.name.c_str(), t.id);
    vault->AppendResource(text.release());
    return true;
}

bool MvResourceEncoder::BuildBinary(const MvBinaryDefinition& b, MvResourceVault* vault, std::string* error)
{
    const std::string where = Where(b.line, "binary", b.name);
    const std::string path = DataPath(b.file);
    int64_t size = 0;
    std::string why;
    if (!FileSize(path, &size, &why)) {
        *error = where + why;
        return false;
    }
    std::unique_ptr<MvBinaryDataResource> binary(new MvBinaryDataResource(b.name.c_str()));
    if (!binary->LoadFile(path.c_str()) || binary->Length() != size) {
        *error = where + "cannot read the file '" + path + "' in full";
        return false;
    }
    binary->SetIdentity(b.name.c_str(), b.id);
    vault->AppendResource(binary.release());
    return true;
}

bool MvResourceEncoder::WriteResourceFile(const MvResourceVault& vault, const std::string& path, std::string* error)
{
    MvAssert(error != nullptr);
    MvMemoryStream stream;
    MvResourceWriter writer(stream.Stream());
    writer.BeginFile();
    for (int i = 0; i < vault.ResourceCount(); ++i)
        vault.ResourceAt(i)->Save(writer);
    if (!writer.EndFile()) {
        *error = path + ": the resources do not fit a resource file (tallies above 32 bits)";
        return false;
    }
    return WriteBytes(path, stream.Data(), stream.Size(), error);
}

std::string MvResourceEncoder::HeaderText(const MvResourceDefinition& definition, const std::string& headerPath)
{
    const std::string guard = IncludeGuard(headerPath);
    std::string text;
    text += "// Resource ids of the definition " + Quoted(FileName(definition.Path())) +
            ", made by movo-encode.\n// Do not edit: change the definition and encode it again.\n";
    text += "#ifndef " + guard + "\n#define " + guard + "\n";
    std::set<std::string> used;
    for (const MvDefinedResource& entry : definition.Order()) {
        switch (entry.kind) {
        case MvDefinedKind::Sprite: text += SpriteConstants(definition.Sprites()[entry.index], &used); break;
        case MvDefinedKind::Tile: text += ResourceConstant("Tile", definition.Tiles()[entry.index], &used); break;
        case MvDefinedKind::Font: text += ResourceConstant("Font", definition.Fonts()[entry.index], &used); break;
        case MvDefinedKind::Text: text += ResourceConstant("Text", definition.Texts()[entry.index], &used); break;
        case MvDefinedKind::Binary:
            text += ResourceConstant("Binary", definition.Binaries()[entry.index], &used);
            break;
        }
    }
    text += "\n#endif\n";
    return text;
}

bool MvResourceEncoder::Run(const Options& options, std::string* error, std::vector<std::string>* warnings)
{
    MvAssert(error != nullptr && warnings != nullptr);
    MvResourceDefinition definition;
    if (!definition.Load(options.definitionPath, error))
        return false;
    warnings->insert(warnings->end(), definition.Warnings().begin(), definition.Warnings().end());
    MvResourceVault vault;
    MvResourceEncoder encoder(definition, options.imageDir);
    if (!encoder.Build(&vault, error, warnings) || !WriteResourceFile(vault, options.outputPath, error))
        return false;
    if (options.headerPath.empty())
        return true;
    const std::string header = HeaderText(definition, options.headerPath);
    if (!WriteBytes(options.headerPath, header.data(), header.size(), error)) {
        std::remove(options.outputPath.c_str());
        return false;
    }
    return true;
}
