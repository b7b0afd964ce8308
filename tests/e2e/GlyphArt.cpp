#include "GlyphArt.h"

#include <fstream>
#include <sstream>

namespace {

// A glyph's picture is named with this and its character.
const std::string GlyphPrefix = "glyph_";

} // namespace

uint32_t GlyphArt::Glyph::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return Transparent;
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

bool GlyphArt::Load(const std::string& palettePath, const std::string& picturesPath, std::string* error)
{
    glyphs_.clear();
    std::map<char, uint32_t> palette = {{'.', Transparent}};
    std::ifstream paletteFile(palettePath);
    if (!paletteFile) {
        *error = "cannot open " + palettePath;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(paletteFile, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string key, hex;
        if (!(fields >> key >> hex) || key.size() != 1 || hex.size() != 6) {
            *error = palettePath + ":" + std::to_string(number) + ": not a palette line";
            return false;
        }
        palette[key[0]] = static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
    }

    std::ifstream pictures(picturesPath);
    if (!pictures) {
        *error = "cannot open " + picturesPath;
        return false;
    }
    Glyph* open = nullptr; // the glyph whose rows are being read
    for (int number = 1; std::getline(pictures, line); ++number) {
        if (!line.empty() && line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string first, name;
        fields >> first >> name;
        if (first.empty() || first == "picture" || first == "mirror") {
            open = nullptr;
            if (first == "picture" && name.size() == GlyphPrefix.size() + 1 &&
                name.compare(0, GlyphPrefix.size(), GlyphPrefix) == 0)
                open = &glyphs_[name.back()];
            continue;
        }
        if (!open)
            continue;
        if (open->width != 0 && static_cast<int>(line.size()) != open->width) {
            *error = picturesPath + ":" + std::to_string(number) + ": rows of different lengths";
            return false;
        }
        open->width = static_cast<int>(line.size());
        for (char key : line) {
            auto color = palette.find(key);
            if (color == palette.end()) {
                *error = picturesPath + ":" + std::to_string(number) + ": '" + key + "' is not in the palette";
                return false;
            }
            open->pixels.push_back(color->second);
        }
        ++open->height;
    }
    return true;
}

const GlyphArt::Glyph* GlyphArt::Find(char c) const
{
    auto glyph = glyphs_.find(c);
    return glyph == glyphs_.end() ? nullptr : &glyph->second;
}
