// movo-pixelart: turns pixel art kept as text into PNG files.
//
// The game's pictures are kept in a form a person can read and a diff can show: one palette
// file that maps single characters to colours, and picture files whose rows of characters are
// the pixels. This program writes one RGBA PNG per picture, so that the resource encoder can
// cut frames from them. It runs at build time; with --scale it also makes enlarged copies for
// looking at the art.
//
// Palette file, one entry per line:   R RRGGBB   or   R RRGGBBAA   (hexadecimal; '.' is
// always transparent and cannot be redefined). Picture files hold any number of blocks:
//
//   picture NAME          rows of palette characters follow, all of the same length,
//   ..KK..                up to the next blank line or keyword;
//   mirror NAME SOURCE    NAME is SOURCE flipped left to right.
//
// Lines starting with '#' are comments everywhere.

#include "MvCommandLine.h"
#include "MvPngImage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Picture {
    std::string name;
    std::string file; // where it was defined, for messages
    int line = 0;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xRRGGBBAA, row by row
};

struct Palette {
    std::map<char, uint32_t> colors;
};

const char Usage[] = "Usage: movo-pixelart -o OUTDIR [--scale N] PALETTE.txt PICTURES.pix...\n"
                     "Writes OUTDIR/NAME.png for every picture defined in the picture files, using the\n"
                     "colours of the palette file; OUTDIR is made when it is missing. --scale N (1 to\n"
                     "64) enlarges every picture N times (for viewing; the build uses scale 1).\n";

bool Fail(const std::string& file, int line, const std::string& message)
{
    if (line > 0)
        std::fprintf(stderr, "movo-pixelart: %s:%d: %s\n", file.c_str(), line, message.c_str());
    else
        std::fprintf(stderr, "movo-pixelart: %s: %s\n", file.c_str(), message.c_str());
    return false;
}

bool IsBlankOrComment(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    return first == std::string::npos || text[first] == '#';
}

std::string StripCarriageReturn(std::string text)
{
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

bool ReadPalette(const std::string& path, Palette* palette)
{
    std::ifstream in(path);
    if (!in)
        return Fail(path, 0, "cannot open the palette file");
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        text = StripCarriageReturn(text);
        if (IsBlankOrComment(text))
            continue;
        std::istringstream fields(text);
        std::string key, value;
        fields >> key >> value;
        if (key.size() != 1 || key[0] == '.' || key[0] == '#')
            return Fail(path, line, "a palette key is one character other than '.' and '#'");
        if ((value.size() != 6 && value.size() != 8) ||
            value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return Fail(path, line, "a colour is RRGGBB or RRGGBBAA in hexadecimal");
        uint32_t color = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
        if (value.size() == 6)
            color = (color << 8) | 0xFF;
        if (!palette->colors.emplace(key[0], color).second)
            return Fail(path, line, std::string("the key '") + key + "' is defined twice");
    }
    if (palette->colors.empty())
        return Fail(path, 0, "the palette defines no colours");
    return true;
}

const Picture* FindPicture(const std::vector<Picture>& pictures, const std::string& name)
{
    for (const Picture& p : pictures)
        if (p.name == name)
            return &p;
    return nullptr;
}

// Ends the picture whose rows are being read (*open, null when there is none), which
// must have rows.
bool ClosePicture(const std::string& path, Picture** open)
{
    if (*open != nullptr && (*open)->height == 0)
        return Fail(path, (*open)->line, "the picture '" + (*open)->name + "' has no rows");
    *open = nullptr;
    return true;
}

// original flipped left to right, as the picture name defined at line of path.
Picture Mirrored(const Picture& original, const std::string& name, const std::string& path, int line)
{
    Picture copy = original;
    copy.name = name;
    copy.file = path;
    copy.line = line;
    for (int y = 0; y < copy.height; ++y)
        for (int x = 0; x < copy.width; ++x)
            copy.pixels[y * copy.width + x] = original.pixels[y * copy.width + copy.width - 1 - x];
    return copy;
}

// Reads the rest of a 'picture NAME' or 'mirror NAME SOURCE' line (fields) at line of
// path. A new picture is left open in *open for its rows; a mirror is complete.
bool ReadHeading(const std::string& keyword, std::istringstream& fields, const std::string& path, int line,
                 std::vector<Picture>* pictures, Picture** open)
{
    std::string name, source, extra;
    fields >> name >> source >> extra;
    if (name.empty() || name.find_first_of("/\\") != std::string::npos)
        return Fail(path, line, "a picture needs a plain name (no folders)");
    if (FindPicture(*pictures, name) != nullptr)
        return Fail(path, line, "the picture '" + name + "' is defined twice");
    if (keyword == "picture") {
        if (!source.empty())
            return Fail(path, line, "'picture' takes only a name");
        pictures->push_back(Picture());
        *open = &pictures->back();
        (*open)->name = name;
        (*open)->file = path;
        (*open)->line = line;
        return true;
    }
    if (source.empty() || !extra.empty())
        return Fail(path, line, "'mirror' takes a new name and the name of an existing picture");
    const Picture* original = FindPicture(*pictures, source);
    if (original == nullptr)
        return Fail(path, line, "no picture named '" + source + "' has been defined before");
    pictures->push_back(Mirrored(*original, name, path, line));
    return true;
}

// Appends the row of palette characters text, line of path, to the picture open.
bool ReadRow(const std::string& text, const Palette& palette, const std::string& path, int line, Picture* open)
{
    const int width = static_cast<int>(text.size());
    if (open->height > 0 && width != open->width)
        return Fail(path, line,
                    "row of " + std::to_string(width) + " pixels in a picture " + std::to_string(open->width) +
                        " pixels wide");
    open->width = width;
    for (int x = 0; x < width; ++x) {
        const char c = text[x];
        if (c == '.') {
            open->pixels.push_back(0);
            continue;
        }
        const auto found = palette.colors.find(c);
        if (found == palette.colors.end())
            return Fail(path, line, std::string("the character '") + c + "' is not in the palette");
        open->pixels.push_back(found->second);
    }
    ++open->height;
    return true;
}

// Reads every picture block of one file into pictures; mirrors may name pictures of any file
// read before or earlier in this one.
bool ReadPictures(const std::string& path, const Palette& palette, std::vector<Picture>* pictures)
{
    std::ifstream in(path);
    if (!in)
        return Fail(path, 0, "cannot open the picture file");
    std::string text;
    int line = 0;
    Picture* open = nullptr; // the picture whose rows are being read
    while (std::getline(in, text)) {
        ++line;
        text = StripCarriageReturn(text);
        if (text.find_first_not_of(" \t") == std::string::npos) {
            if (!ClosePicture(path, &open))
                return false;
            continue;
        }
        if (text[0] == '#')
            continue;
        std::istringstream fields(text);
        std::string keyword;
        fields >> keyword;
        if (keyword == "picture" || keyword == "mirror") {
            if (!ClosePicture(path, &open) || !ReadHeading(keyword, fields, path, line, pictures, &open))
                return false;
            continue;
        }
        if (open == nullptr)
            return Fail(path, line, "pixel rows belong after a 'picture NAME' line");
        if (!ReadRow(text, palette, path, line, open))
            return false;
    }
    return ClosePicture(path, &open);
}

// Writes picture, every pixel scale x scale pixels large, as an RGBA PNG file at path.
bool WritePng(const std::string& path, const Picture& picture, int scale)
{
    MvPngImage image(picture.width * scale, picture.height * scale);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint32_t c = picture.pixels[(y / scale) * picture.width + x / scale];
            image.At(x, y).Set(static_cast<uint8_t>(c >> 24), static_cast<uint8_t>(c >> 16),
                               static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c));
        }
    std::string error;
    if (!image.Save(path, &error)) {
        std::fprintf(stderr, "movo-pixelart: %s\n", error.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string outDir, palettePath;
    int scale = 1;
    std::vector<std::string> picturePaths;
    MvCommandLine commandLine("movo-pixelart", Usage);
    commandLine.AddOption({"-o"}, &outDir);
    commandLine.AddNumberOption({"--scale"}, &scale, 1, 64);
    commandLine.AddArgument(&palettePath, "palette", "palette file");
    commandLine.AddArguments(&picturePaths, "picture file");
    int exitCode = 0;
    if (!commandLine.Parse(argc, argv, &exitCode))
        return exitCode;
    if (outDir.empty())
        return commandLine.Fail("no output folder given (-o OUTDIR)");
    if (!commandLine.CheckInputFile(palettePath, "palette file"))
        return 1;
    for (const std::string& path : picturePaths)
        if (!commandLine.CheckInputFile(path, "picture file"))
            return 1;

    Palette palette;
    if (!ReadPalette(palettePath, &palette))
        return 1;
    std::vector<Picture> pictures;
    for (const std::string& path : picturePaths)
        if (!ReadPictures(path, palette, &pictures))
            return 1;
    // The output folder is made when it is missing, as a build rule expects.
    std::error_code made;
    std::filesystem::create_directories(outDir, made);
    if (made) {
        commandLine.Report("cannot make the folder '" + outDir + "': " + made.message());
        return 1;
    }
    for (const Picture& picture : pictures)
        if (!WritePng(outDir + "/" + picture.name + ".png", picture, scale))
            return 1;
    return 0;
}
