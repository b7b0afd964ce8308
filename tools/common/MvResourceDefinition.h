#ifndef MV_RESOURCE_DEFINITION_H
#define MV_RESOURCE_DEFINITION_H

#include <cstdint>
#include <string>
#include <vector>

// One frame of an action as the definition gives it: the rectangle cut from a picture,
// the hot spot relative to the rectangle's top-left corner, and the delta. hasWidth and
// hasHeight are false where the definition leaves the size to the picture.
struct MvFrameDefinition {
    int line;          // line of the <frame> element
    std::string image; // the picture's path as written
    int32_t x, y, width, height;
    bool hasWidth, hasHeight;
    int32_t hotX, hotY;
    int32_t deltaX, deltaY;
};

// One action of a sprite: name, id and frames in order.
struct MvActionDefinition {
    int line;
    std::string name;
    int32_t id;
    std::vector<MvFrameDefinition> frames;
};

// One sprite resource: name, id and actions in order.
struct MvSpriteDefinition {
    int line;
    std::string name;
    int32_t id;
    std::vector<MvActionDefinition> actions;
};

// One tile: a square cut from a picture. hasSize is false where the definition leaves
// the side to the picture (its width from x on). opaque is set by alpha="no": every
// pixel must then be opaque, and the tile is stored with 3 bytes a pixel.
struct MvTileDefinition {
    int line;
    std::string name;
    int32_t id;
    std::string image;
    int32_t x, y, size;
    bool hasSize;
    bool opaque;
};

// One font built from a whole picture: font type 0 cuts length equal cells side by side,
// type 1 takes the cells the top row marks. startIndex is the character code of the
// first glyph, spaceCode the code drawn as empty space.
struct MvFontDefinition {
    int line;
    std::string name;
    int32_t id;
    std::string image;
    uint16_t fontType;
    int32_t startIndex;
    int32_t spaceCode;
    int32_t length; // glyph count of a type 0 font; 0 for type 1
};

// One text: from a file (fromFile, path in file) or written inside the element (text).
struct MvTextDefinition {
    int line;
    std::string name;
    int32_t id;
    bool fromFile;
    std::string file;
    std::string text;
};

// One block of bytes: the whole file at path file.
struct MvBinaryDefinition {
    int line;
    std::string name;
    int32_t id;
    std::string file;
};

// The kinds of resource a definition holds.
enum class MvDefinedKind { Sprite, Tile, Font, Text, Binary };

// One resource of the definition in file order: its kind and its index in that kind's list.
struct MvDefinedResource {
    MvDefinedKind kind;
    int index;
};

// The contents of a resource definition, the XML file from which the encoder builds a
// resource file: sprites with their actions and frames, tiles, fonts, texts and binary
// data, in file order. Loading checks the
// whole structure (known elements and attributes, required attributes, integers in range,
// ASCII names the engine can read) and stops at the first problem with one message that
// names the file and the line, so that the encoder never meets a half-valid definition.
// Doubtful but legal contents (repeated names or ids within a kind, sprites without
// actions, empty texts) load and leave a warning. Pictures and data files are not opened
// here; the encoder checks them.
class MvResourceDefinition {
public:
    // An empty definition.
    MvResourceDefinition();

    // Reads the definition file at path, replacing what was loaded. Returns false and
    // sets error ("FILE:LINE: what is wrong", or "FILE: ..." when no line applies) at the
    // first problem; the definition is then empty. Asserts error is not null.
    bool Load(const std::string& path, std::string* error);

    // The path given to Load.
    const std::string& Path() const;
    // The folder that holds the definition file ("." when the path has none).
    std::string Folder() const;
    const std::vector<MvSpriteDefinition>& Sprites() const;
    const std::vector<MvTileDefinition>& Tiles() const;
    const std::vector<MvFontDefinition>& Fonts() const;
    const std::vector<MvTextDefinition>& Texts() const;
    const std::vector<MvBinaryDefinition>& Binaries() const;
    // Every resource of the definition, of all kinds, in file order.
    const std::vector<MvDefinedResource>& Order() const;
    // Messages about doubtful contents ("FILE:LINE: warning: ..."), in file order.
    const std::vector<std::string>& Warnings() const;

private:
    void Clear();

    std::string path_;
    std::vector<MvSpriteDefinition> sprites_;
    std::vector<MvTileDefinition> tiles_;
    std::vector<MvFontDefinition> fonts_;
    std::vector<MvTextDefinition> texts_;
    std::vector<MvBinaryDefinition> binaries_;
    std::vector<MvDefinedResource> order_;
    std::vector<std::string> warnings_;
};

inline const std::string& MvResourceDefinition::Path() const { return path_; }
inline const std::vector<MvSpriteDefinition>& MvResourceDefinition::Sprites() const { return sprites_; }
inline const std::vector<MvTileDefinition>& MvResourceDefinition::Tiles() const { return tiles_; }
inline const std::vector<MvFontDefinition>& MvResourceDefinition::Fonts() const { return fonts_; }
inline const std::vector<MvTextDefinition>& MvResourceDefinition::Texts() const { return texts_; }
inline const std::vector<MvBinaryDefinition>& MvResourceDefinition::Binaries() const { return binaries_; }
inline const std::vector<MvDefinedResource>& MvResourceDefinition::Order() const { return order_; }
inline const std::vector<std::string>& MvResourceDefinition::Warnings() const { return warnings_; }

#endif
