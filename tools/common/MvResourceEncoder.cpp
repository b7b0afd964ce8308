#include "MvResourceEncoder.h"

#include "MvAction.h"
#include "MvAssert.h"
#include "MvMemoryStream.h"
#include "MvPaintTarget.h"
#include "MvResourceVault.h"
#include "MvResourceWriter.h"
#include "MvRle.h"
#include "MvSpriteResource.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>

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
    const std::string where = definition_.Path() + ":" + std::to_string(f.line) + ": frame " + std::to_string(index) +
                              " of action '" + action.name + "' in sprite '" + sprite.name + "': ";
    const std::string path = PicturePath(f.image);
    std::string why;
    const MvPngImage* picture = Picture(path, &why);
    if (picture == nullptr) {
        *error = where + why;
        return false;
    }

    // The rectangle, with the sizes the definition leaves out taken from the picture.
    const int64_t x = f.x, y = f.y;
    const int64_t w = f.hasWidth ? f.width : picture->Width() - x;
    const int64_t h = f.hasHeight ? f.height : picture->Height() - y;
    const std::string size = std::to_string(picture->Width()) + " x " + std::to_string(picture->Height());
    if (w < 0 || h < 0 || x + w > picture->Width() || y + h > picture->Height()) {
        *error = where + "the rectangle x=" + std::to_string(x) + " y=" + std::to_string(y) +
                 " width=" + std::to_string(w) + " height=" + std::to_string(h) + " does not lie inside the picture '" +
                 path + "' (" + size + " pixels)";
        return false;
    }
    if (w > MaxRectangleWidth) {
        *error = where + "the rectangle is " + std::to_string(w) + " pixels wide, more than " +
                 std::to_string(MaxRectangleWidth);
        return false;
    }

    // Trim as MvRle::Create does, to test what it would assert on.
    int64_t c0 = -1, c1 = -1, r0 = -1, r1 = -1;
    for (int64_t row = y; row < y + h; ++row) {
        for (int64_t col = x; col < x + w; ++col) {
            if (picture->At(static_cast<int>(col), static_cast<int>(row)).alpha == 0)
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
    const int64_t offsetX = c0 < 0 ? w - f.hotX : c0 - x - f.hotX;
    const int64_t offsetY = c0 < 0 ? -static_cast<int64_t>(f.hotY) : r0 - y - f.hotY;
    if (offsetX < -MvRle::MaxWrittenOffset || offsetX > MvRle::MaxWrittenOffset ||
        offsetY < -MvRle::MaxWrittenOffset || offsetY > MvRle::MaxWrittenOffset) {
        *error = where + "the hot spot hotx=" + std::to_string(f.hotX) + " hoty=" + std::to_string(f.hotY) +
                 " puts the image at offset (" + std::to_string(offsetX) + ", " + std::to_string(offsetY) +
                 "), outside -" + std::to_string(MvRle::MaxWrittenOffset) + ".." +
                 std::to_string(MvRle::MaxWrittenOffset);
        return false;
    }
    if (c0 >= 0) {
        if (c1 - c0 + 1 > MvRle::MaxSize || r1 - r0 + 1 > MvRle::MaxSize) {
            *error = where + "the visible pixels span " + std::to_string(c1 - c0 + 1) + " x " +
                     std::to_string(r1 - r0 + 1) + " pixels, more than " + std::to_string(MvRle::MaxSize) +
                     " on a side";
            return false;
        }
        for (int64_t row = r0; row <= r1; ++row) {
            int runs = 0;
            for (int64_t col = c0; col <= c1;) {
                if (picture->At(static_cast<int>(col), static_cast<int>(row)).alpha == 0) {
                    ++col;
                    continue;
                }
                const int64_t first = col;
                while (col <= c1 && picture->At(static_cast<int>(col), static_cast<int>(row)).alpha != 0)
                    ++col;
                ++runs;
                if (col - first > MvRle::MaxSegmentLength || runs > MvRle::MaxCreatedSegmentsPerRow) {
                    *error = where + "picture row " + std::to_string(row) + " holds " +
                             (runs > MvRle::MaxCreatedSegmentsPerRow
                                  ? "more than " + std::to_string(MvRle::MaxCreatedSegmentsPerRow) +
                                        " runs of visible pixels"
                                  : "a run of " + std::to_string(col - first) + " visible pixels, more than " +
                                        std::to_string(MvRle::MaxSegmentLength)) +
                             "; the engine cannot store it";
                    return false;
                }
            }
        }
    }

    // Encode from a copy of the rectangle, so the paint target's width limit concerns the
    // rectangle only; the hot spot is already relative to its corner. A rectangle without
    // area still needs a pixel for the target to wrap.
    MvPngImage cut(std::max<int>(static_cast<int>(w), 1), std::max<int>(static_cast<int>(h), 1));
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            cut.At(col, row) = picture->At(static_cast<int>(x) + col, static_cast<int>(y) + row);
    MvPaintTarget source(cut.Pixels(), cut.Width(), cut.Height());
    frame->Create(source, 0, 0, static_cast<int>(w), static_cast<int>(h), f.hotX, f.hotY, f.deltaX, f.deltaY);
    return true;
}

bool MvResourceEncoder::Build(MvResourceVault* vault, std::string* error)
{
    MvAssert(vault != nullptr && error != nullptr);
    for (const MvSpriteDefinition& spriteDefinition : definition_.Sprites()) {
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
    }
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
    std::string guard = "MV_";
    for (char c : FileName(headerPath))
        guard += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : '_';
    std::string text;
    text += "// Resource ids of the definition " + Quoted(FileName(definition.Path())) +
            ", made by movo-encode.\n// Do not edit: change the definition and encode it again.\n";
    text += "#ifndef " + guard + "\n#define " + guard + "\n";
    std::set<std::string> used;
    for (const MvSpriteDefinition& sprite : definition.Sprites()) {
        const std::string part = Unique(&used, IdentifierPart(sprite.name, sprite.id), sprite.id);
        text += "\n// Sprite " + Quoted(sprite.name) + "\n";
        if (part.empty()) {
            text += "// (left out: its name and id repeat an earlier sprite's)\n";
            continue;
        }
        text += "constexpr int kSprite" + part + " = " + std::to_string(sprite.id) + ";\n";
        if (sprite.actions.empty())
            continue;
        text += "namespace Sprite" + part + "Actions {\n";
        std::set<std::string> actionsUsed;
        for (const MvActionDefinition& action : sprite.actions) {
            const std::string name = Unique(&actionsUsed, IdentifierPart(action.name, action.id), action.id);
            if (name.empty())
                text += "// " + Quoted(action.name) + " left out: its name and id repeat an earlier action's\n";
            else
                text += "constexpr int k" + name + " = " + std::to_string(action.id) + "; // " + Quoted(action.name) +
                        "\n";
        }
        text += "} // namespace Sprite" + part + "Actions\n";
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
    if (!encoder.Build(&vault, error) || !WriteResourceFile(vault, options.outputPath, error))
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
