#ifndef GLYPH_ART_H
#define GLYPH_ART_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The pictures of the label letters as the artist drew them: the "glyph_X" pictures of the
// game's pixel-art sources and the palette they are drawn with. A test paints from them
// the picture the program must show, so it follows the art instead of copying it. Only
// what those files use is read (picture blocks and palette lines); mirrored pictures are
// not, since no glyph is one.
class GlyphArt {
public:
    // The colour of a transparent pixel ('.' in the sources).
    static constexpr uint32_t Transparent = 0xFFFFFFFFu;

    struct Glyph {
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels; // 0xRRGGBB or Transparent, row by row
        // Pixel (x, y); Transparent outside the picture.
        uint32_t At(int x, int y) const;
    };

    // Reads palettePath and picturesPath. False with the reason (file and line) in *error
    // when either cannot be read or a picture uses a character the palette lacks.
    bool Load(const std::string& palettePath, const std::string& picturesPath, std::string* error);

    // The picture of character c; null when the sources have none.
    const Glyph* Find(char c) const;

private:
    std::map<char, Glyph> glyphs_;
};

#endif
